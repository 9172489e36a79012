#include "conversion/file_operations.h"

#include <windows.h>

#include <vector>

#include "conversion/conversion_names.h"

namespace {
constexpr char temporary_prefix[] = "vel";

class file_handle {
public:
    explicit file_handle(HANDLE handle) : handle_(handle) {}
    ~file_handle()
    {
        if (is_open())
            CloseHandle(handle_);
    }
    file_handle(const file_handle&) = delete;
    file_handle& operator=(const file_handle&) = delete;
    bool is_open() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

file_handle open_for_reading(const Text& path)
{
    return file_handle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

Text read_up_to(HANDLE file, std::size_t count)
{
    Text bytes(count, '\0');
    std::size_t filled = 0;
    while (filled < count) {
        DWORD read = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(count - filled, 1 << 20));
        if (!ReadFile(file, bytes.data() + filled, wanted, &read, nullptr) || read == 0)
            break;
        filled += read;
    }
    bytes.resize(filled);
    return bytes;
}
}  // namespace

Text run_directory()
{
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size())
            return directory_of(Text(path.data(), length));
        path.resize(path.size() * 2);
    }
}

bool file_exists(const Text& path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

std::int64_t file_size(const Text& path)
{
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &attributes)
        || (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return -1;
    return (static_cast<std::int64_t>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
}

Text read_file_head(const Text& path, int count)
{
    file_handle file = open_for_reading(path);
    return file.is_open() && count > 0 ? read_up_to(file.get(), count) : Text();
}

bool file_holds(const Text& path, const ByteBlock& data)
{
    if (file_size(path) != static_cast<std::int64_t>(data.size()))
        return false;
    file_handle file = open_for_reading(path);
    return file.is_open() && read_up_to(file.get(), data.size()) == data;
}

bool write_file(const Text& path, const ByteBlock& data)
{
    if (path.empty())
        return false;
    file_handle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.is_open())
        return false;
    std::size_t written_in_all = 0;
    while (written_in_all < data.size()) {
        DWORD written = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(data.size() - written_in_all, 1 << 20));
        if (!WriteFile(file.get(), data.data() + written_in_all, wanted, &written, nullptr) || written == 0)
            return false;
        written_in_all += written;
    }
    return true;
}

bool delete_file(const Text& path)
{
    return DeleteFileA(path.c_str()) != 0;
}

bool replace_file(const Text& source, const Text& destination)
{
    return MoveFileExA(source.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool create_directories(const Text& path)
{
    if (path.empty())
        return false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const Text parent = directory_of(path);
    if (!parent.empty() && parent != path)
        create_directories(parent);
    return CreateDirectoryA(path.c_str(), nullptr) != 0 || GetLastError() == ERROR_ALREADY_EXISTS;
}

Text new_temporary_file(const Text& directory)
{
    Text folder = directory;
    if (folder.empty()) {
        char temporary[MAX_PATH + 1];
        const DWORD length = GetTempPathA(sizeof temporary, temporary);
        if (length == 0 || length > MAX_PATH)
            return Text();
        folder.assign(temporary, length);
    }
    char name[MAX_PATH];
    if (GetTempFileNameA(folder.c_str(), temporary_prefix, 0, name) == 0)
        return Text();
    return name;
}

Text local_tools_directory()
{
    char folder[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("LOCALAPPDATA", folder, sizeof folder);
    if (length == 0 || length >= sizeof folder)
        return Text();
    return path_in_directory(path_in_directory(Text(folder, length), "Velmora"), "tools");
}

int message_box(const Text& text, int style, const Text& title)
{
    const UINT shown_style = (style & MB_SYSTEMMODAL) != 0 ? style : style | MB_TASKMODAL;
    return MessageBoxA(nullptr, text.c_str(), title.c_str(), shown_style);
}
