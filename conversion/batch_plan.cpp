#include "conversion/batch_plan.h"

#include <algorithm>
#include <set>
#include <string>

#include "conversion/conversion_names.h"

namespace {
constexpr char blanks[] = " \t\r\n";

Text trimmed(const Text& piece)
{
    const auto first = piece.find_first_not_of(blanks);
    if (first == Text::npos)
        return Text();
    return piece.substr(first, piece.find_last_not_of(blanks) - first + 1);
}

// Windows compares file names without regard to the case of ASCII letters; the
// second byte of a two-byte character is no letter of its own.
Text folded(const Text& path)
{
    Text result = path;
    for (Text::size_type i = 0; i < result.size(); ++i) {
        if (static_cast<unsigned char>(result[i]) >= 0x80)
            ++i;
        else if (result[i] >= 'A' && result[i] <= 'Z')
            result[i] = static_cast<char>(result[i] - 'A' + 'a');
    }
    return result;
}

bool ends_with_folded(const Text& name, const Text& suffix)
{
    return name.size() >= suffix.size() && folded(name.substr(name.size() - suffix.size())) == folded(suffix);
}

// Our own results are no input: MP3s would be counted as skipped files on every
// later run, and so would the failure list.
bool is_own_output(const Text& name)
{
    return ends_with_folded(name, ".mp3") || folded(name) == folded(failure_list_name);
}

class planner {
public:
    explicit planner(const disk_view& disk) : disk_(disk) { }

    void add(const Text& path)
    {
        if (disk_.is_folder(path))
            walk(without_trailing_backslash(path));
        else if (disk_.exists(path))
            add_file(path);
        else
            plan_.failures.push_back({path, "找不到文件"});
    }

    batch_plan take() { return std::move(plan_); }

private:
    void walk(const Text& folder)
    {
        std::vector<folder_entry> entries = disk_.list_folder(folder);
        std::ranges::sort(entries, {}, &folder_entry::name);
        for (const folder_entry& entry : entries) {
            const Text path = path_in_directory(folder, entry.name);
            if (entry.is_folder)
                walk(path);
            else if (!is_own_output(entry.name))
                add_file(path);
        }
    }

    void add_file(const Text& source)
    {
        if (!seen_sources_.insert(folded(source)).second)
            return;
        switch (kind_of_content(disk_.read_head(source, silk_header_probe_size))) {
        case source_kind::amr:
            ++plan_.counts.amr;
            return;
        case source_kind::other:
            ++plan_.counts.not_silk;
            return;
        case source_kind::silk:
            break;
        }
        Text mp3 = mp3_path_for(source);
        // Sources that differ only in their extension share one MP3 name; converted
        // one after the other, the second would find the first one's MP3.
        if (!claimed_mp3s_.insert(folded(mp3)).second || disk_.exists(mp3)) {
            ++plan_.counts.mp3_exists;
            return;
        }
        plan_.items.push_back({source, std::move(mp3)});
    }

    const disk_view& disk_;
    batch_plan plan_;
    std::set<Text> seen_sources_;
    std::set<Text> claimed_mp3s_;
};

// Beside the MP3s: in the folder named first, or in the folder of the first file.
Text failure_list_path_for(const std::vector<Text>& paths, const disk_view& disk)
{
    if (paths.empty())
        return Text();
    const Text& first = paths.front();
    const Text folder = disk.is_folder(first) ? without_trailing_backslash(first) : directory_of(first);
    return folder.empty() ? Text() : path_in_directory(folder, failure_list_name);
}

constexpr std::size_t failures_shown = 5;
}  // namespace

std::vector<Text> split_path_list(const Text& text)
{
    std::vector<Text> paths;
    std::set<Text> seen;
    Text::size_type start = 0;
    while (start <= text.size()) {
        const auto end = std::min(text.find(';', start), text.size());
        const Text piece = trimmed(text.substr(start, end - start));
        if (!piece.empty() && seen.insert(folded(piece)).second)
            paths.push_back(piece);
        start = end + 1;
    }
    return paths;
}

Text join_path_list(const std::vector<Text>& paths)
{
    Text text;
    for (const Text& path : paths)
        text += (text.empty() ? "" : ";") + path;
    return text;
}

Text selection_from_dialog(const char* buffer, std::size_t size, std::size_t file_offset)
{
    const Text all(buffer, size);
    const Text first = all.substr(0, all.find('\0'));
    // One file: the full path, whose name begins inside the first string.
    if (file_offset <= first.size())
        return first;
    const Text folder = without_trailing_backslash(first);
    std::vector<Text> paths;
    auto start = first.size() + 1;
    while (start < all.size() && all[start] != '\0') {
        const auto end = std::min(all.find('\0', start), all.size());
        paths.push_back(path_in_directory(folder, all.substr(start, end - start)));
        start = end + 1;
    }
    return join_path_list(paths);
}

Text without_trailing_backslash(const Text& folder)
{
    const Text parent = directory_of(folder);
    return !parent.empty() && path_in_directory(parent, Text()) == folder ? parent : folder;
}

source_kind kind_of_content(const Text& first_bytes)
{
    if (has_silk_header(first_bytes))
        return source_kind::silk;
    // Real AMR voice files (narrow and wide band), which phones keep among SILK ones.
    if (first_bytes.starts_with("#!AMR"))
        return source_kind::amr;
    return source_kind::other;
}

bool is_batch_request(const Text& text, const disk_view& disk)
{
    if (text.empty())
        return false;
    if (disk.is_folder(text))
        return true;
    return !disk.exists(text) && text.find(';') != Text::npos;
}

batch_plan plan_batch(const std::vector<Text>& paths, const disk_view& disk)
{
    planner planner(disk);
    for (const Text& path : paths)
        planner.add(path);
    batch_plan plan = planner.take();
    plan.failure_list_path = failure_list_path_for(paths, disk);
    return plan;
}

Text batch_caption(int position, int total)
{
    return "Velmora — " + std::to_string(position) + "/" + std::to_string(total);
}

Text batch_summary_text(const batch_counts& counts, const std::vector<batch_failure>& failures,
                        const Text& failure_list_path)
{
    const auto figure = [](auto n) { return std::to_string(n); };
    Text text = "批量转换结束\r\n已转换：" + figure(counts.converted) + " 个\r\n已跳过："
        + figure(counts.not_silk + counts.amr + counts.mp3_exists) + " 个（不是silk语音 " + figure(counts.not_silk)
        + " 个，AMR语音无法转换 " + figure(counts.amr) + " 个，MP3已存在 " + figure(counts.mp3_exists)
        + " 个）\r\n失败：" + figure(failures.size()) + " 个";
    const auto shown = std::min(failures.size(), failures_shown);
    for (std::size_t i = 0; i < shown; ++i)
        text += "\r\n" + failures[i].source + "：" + failures[i].reason;
    if (failures.size() > shown)
        text += "\r\n……";
    if (!failures.empty())
        text += "\r\n全部失败的文件见 " + failure_list_path;
    return text;
}

Text failure_list_text(const std::vector<batch_failure>& failures)
{
    Text text;
    for (const batch_failure& failure : failures)
        text += failure.source + "\t" + failure.reason + "\r\n";
    return text;
}
