#include "conversion/batch_disk.h"

#include <windows.h>

#include "conversion/conversion_names.h"
#include "conversion/file_operations.h"

namespace {
bool is_dot_entry(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}
}  // namespace

bool windows_disk::is_folder(const Text& path) const
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool windows_disk::exists(const Text& path) const
{
    return file_exists(path);
}

std::vector<folder_entry> windows_disk::list_folder(const Text& folder) const
{
    std::vector<folder_entry> entries;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path_in_directory(folder, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return entries;
    do {
        const bool is_folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool leads_elsewhere = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (!is_dot_entry(found.cFileName) && !(is_folder && leads_elsewhere))
            entries.push_back({found.cFileName, is_folder});
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return entries;
}

Text windows_disk::read_head(const Text& path, int count) const
{
    return read_file_head(path, count);
}
