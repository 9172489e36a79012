#pragma once
// What a batch converts: the paths the edit box names, walked down to the voice
// files below them, each paired with the MP3 it will produce. Portable: the disk
// is seen through disk_view, so tests can hand in a tree of their own.
#include <cstddef>
#include <vector>

#include "common/text.h"

inline constexpr char failure_list_name[] = "Velmora-失败.txt";

// The edit box's text as separate paths: the pieces between ";" with the blanks
// around them trimmed; empty pieces and repeated paths are dropped.
std::vector<Text> split_path_list(const Text& text);
Text join_path_list(const std::vector<Text>& paths);

// The open-file dialog's buffer after a choice: either one full path, or (several
// files chosen) the folder and then the bare names, each ended by a zero byte.
// Gives the chosen paths as the edit box holds them.
Text selection_from_dialog(const char* buffer, std::size_t size, std::size_t file_offset);

// The folder without a backslash that ends it ("E:\voice\" gives "E:\voice", "E:\"
// gives "E:"), so that a name joins it with one backslash. A last byte 0x5C that
// belongs to a two-byte character is no backslash.
Text without_trailing_backslash(const Text& folder);

enum class source_kind { silk, amr, other };
source_kind kind_of_content(const Text& first_bytes);

struct folder_entry {
    Text name;
    bool is_folder = false;
};

class disk_view {
public:
    virtual bool is_folder(const Text& path) const = 0;
    virtual bool exists(const Text& path) const = 0;
    // The entries of a folder without "." and "..". Folders that lead elsewhere
    // (junctions, links) are left out, so that a walk cannot go round in circles.
    virtual std::vector<folder_entry> list_folder(const Text& folder) const = 0;
    // Up to count bytes from the start of the file; empty when it cannot be read.
    virtual Text read_head(const Text& path, int count) const = 0;

protected:
    ~disk_view() = default;
};

struct batch_item {
    Text source;
    Text mp3;
};

struct batch_failure {
    Text source;
    Text reason;
};

struct batch_counts {
    int converted = 0;
    int not_silk = 0;  // neither SILK nor AMR
    int amr = 0;
    int mp3_exists = 0;
};

struct batch_plan {
    std::vector<batch_item> items;
    batch_counts counts;  // the skipped files; the runner adds the converted ones
    std::vector<batch_failure> failures;  // paths that name nothing; the runner adds its own
    Text failure_list_path;
};

// True when the edit box's text asks for more than one conversion: it names a
// folder, or several paths. A file whose own name holds ";" is still one file.
bool is_batch_request(const Text& text, const disk_view& disk);

batch_plan plan_batch(const std::vector<Text>& paths, const disk_view& disk);

// The window's caption while a batch runs: "Velmora — 3/120".
Text batch_caption(int position, int total);

// The closing message without its contact note: the counts, and the first few
// failures with their reasons. The list file names every failure.
Text batch_summary_text(const batch_counts& counts, const std::vector<batch_failure>& failures,
                        const Text& failure_list_path);
Text failure_list_text(const std::vector<batch_failure>& failures);
