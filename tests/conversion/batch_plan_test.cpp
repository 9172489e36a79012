#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>

#include "conversion/batch_plan.h"
#include "conversion/conversion_names.h"

namespace {
const Text silk = Text("#!SILK_V3\x0c\x00", 11);
const Text wechat_silk = "\x02" + silk;

// A disk made of a few paths: folders, and files with their content.
class tree_disk final : public disk_view {
public:
    tree_disk& folder(const Text& path)
    {
        folders_.insert(path);
        return *this;
    }
    tree_disk& file(const Text& path, const Text& content)
    {
        files_[path] = content;
        return *this;
    }

    bool is_folder(const Text& path) const override { return folders_.contains(without_trailing_backslash(path)); }
    bool exists(const Text& path) const override { return is_folder(path) || files_.contains(path); }
    std::vector<folder_entry> list_folder(const Text& folder) const override
    {
        std::vector<folder_entry> entries;
        // Backwards: the walk must not depend on the order a disk lists in.
        for (auto it = folders_.rbegin(); it != folders_.rend(); ++it)
            if (const auto name = child_name(folder, *it))
                entries.push_back({*name, true});
        for (auto it = files_.rbegin(); it != files_.rend(); ++it)
            if (const auto name = child_name(folder, it->first))
                entries.push_back({*name, false});
        return entries;
    }
    Text read_head(const Text& path, int count) const override
    {
        const auto it = files_.find(path);
        return it == files_.end() ? Text() : it->second.substr(0, count);
    }

private:
    static std::optional<Text> child_name(const Text& folder, const Text& path)
    {
        if (path == folder || directory_of(path) != folder)
            return std::nullopt;
        return path.substr(folder.size() + 1);
    }

    std::set<Text> folders_;
    std::map<Text, Text> files_;
};

std::vector<Text> sources_of(const batch_plan& plan)
{
    std::vector<Text> sources;
    for (const batch_item& item : plan.items)
        sources.push_back(item.source);
    return sources;
}

TEST(split_path_list, splits_trims_and_drops_empty_and_repeated_pieces)
{
    const struct {
        const char* text;
        std::vector<Text> paths;
    } cases[] = {
        {R"(E:\voice\a.silk)", {R"(E:\voice\a.silk)"}},
        {R"(E:\a.silk;E:\b.amr)", {R"(E:\a.silk)", R"(E:\b.amr)"}},
        {R"(  E:\my voice\a b.silk ; E:\c.silk;)", {R"(E:\my voice\a b.silk)", R"(E:\c.silk)"}},
        {";;  ;", {}},
        {"", {}},
        {R"(E:\A.silk;e:\a.SILK;E:\b)", {R"(E:\A.silk)", R"(E:\b)"}},
        // 0xB0 0x41 and 0xB0 0x61 are two different characters, not "A" and "a".
        {"E:\\\xB0\x41;E:\\\xB0\x61", {"E:\\\xB0\x41", "E:\\\xB0\x61"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(split_path_list(c.text), c.paths) << c.text;
    EXPECT_EQ(join_path_list({R"(E:\a b)", R"(E:\c)"}), R"(E:\a b;E:\c)");
}

TEST(selection_from_dialog, gives_one_path_or_the_folder_joined_to_each_name)
{
    const char one[] = "E:\\voice\\a.silk\0";
    EXPECT_EQ(selection_from_dialog(one, sizeof one, 9), R"(E:\voice\a.silk)");

    const char several[] = "E:\\my voice\0a.silk\0b c.amr\0\0";
    EXPECT_EQ(selection_from_dialog(several, sizeof several, 12), R"(E:\my voice\a.silk;E:\my voice\b c.amr)");

    const char in_root[] = "E:\\\0a.silk\0b.silk\0\0";
    EXPECT_EQ(selection_from_dialog(in_root, sizeof in_root, 4), R"(E:\a.silk;E:\b.silk)");
}

TEST(without_trailing_backslash, keeps_the_second_byte_of_a_chinese_character)
{
    // "癨" is 0xB0 0x5C in code page 936: its second byte looks like a backslash.
    EXPECT_EQ(without_trailing_backslash("E:\\\xB0\x5C"), "E:\\\xB0\x5C");
    EXPECT_EQ(without_trailing_backslash("E:\\\xB0\x5C\\"), "E:\\\xB0\x5C");
    EXPECT_EQ(without_trailing_backslash(R"(E:\voice\)"), R"(E:\voice)");
    EXPECT_EQ(without_trailing_backslash(R"(E:\)"), "E:");
}

TEST(kind_of_content, tells_silk_with_or_without_its_leading_byte_from_amr_and_the_rest)
{
    EXPECT_EQ(kind_of_content(silk), source_kind::silk);
    EXPECT_EQ(kind_of_content(wechat_silk), source_kind::silk);
    EXPECT_EQ(kind_of_content("#!AMR\n"), source_kind::amr);
    EXPECT_EQ(kind_of_content("#!AMR-WB\n"), source_kind::amr);
    EXPECT_EQ(kind_of_content("#!SILK_V"), source_kind::other);
    EXPECT_EQ(kind_of_content("\x02\x02#!SILK_V3"), source_kind::other);
    EXPECT_EQ(kind_of_content(""), source_kind::other);
}

TEST(plan_batch, walks_nested_folders_and_sorts_out_what_is_not_to_convert)
{
    const Text gbk_folder = "E:\\v\\\xD3\xEF\xD2\xF4 \xB0\x5C";  // "语音 癨", ending in byte 0x5C
    tree_disk disk;
    disk.folder(R"(E:\v)")
        .folder(R"(E:\v\sub)")
        .folder(R"(E:\v\sub\deeper)")
        .folder(gbk_folder)
        .file(R"(E:\v\a.silk)", wechat_silk)
        .file(R"(E:\v\msg 1.amr)", silk)  // SILK under an AMR name
        .file(R"(E:\v\real.amr)", "#!AMR\n...")
        .file(R"(E:\v\notes.txt)", "hello")
        .file(R"(E:\v\done.silk)", silk)
        .file(R"(E:\v\done.mp3)", "ID3")  // converted before: not overwritten
        .file(R"(E:\v\Velmora-失败.txt)", "old")  // our own list is no input
        .file(R"(E:\v\sub\b)", silk)
        .file(R"(E:\v\sub\deeper\c.SILK)", silk)
        .file(gbk_folder + "\\d.silk", silk);

    for (const char* root : {R"(E:\v)", R"(E:\v\)"}) {
        const batch_plan plan = plan_batch({root}, disk);
        ASSERT_EQ(sources_of(plan),
                  (std::vector<Text>{R"(E:\v\a.silk)", R"(E:\v\msg 1.amr)", R"(E:\v\sub\b)",
                                     R"(E:\v\sub\deeper\c.SILK)", gbk_folder + "\\d.silk"}))
            << root;
        EXPECT_EQ(plan.items[1].mp3, R"(E:\v\msg 1.mp3)");
        EXPECT_EQ(plan.items[2].mp3, R"(E:\v\sub\b.mp3)");
        EXPECT_EQ(plan.items[4].mp3, gbk_folder + "\\d.mp3");
        EXPECT_EQ(plan.counts.not_silk, 1);
        EXPECT_EQ(plan.counts.amr, 1);
        EXPECT_EQ(plan.counts.mp3_exists, 1);
        EXPECT_TRUE(plan.failures.empty());
        EXPECT_EQ(plan.failure_list_path, R"(E:\v\Velmora-失败.txt)");
    }
    // A folder whose name ends in byte 0x5C, named by itself.
    EXPECT_EQ(sources_of(plan_batch({gbk_folder}, disk)), std::vector<Text>{gbk_folder + "\\d.silk"});
}

TEST(plan_batch, takes_several_files_and_folders_once_each_and_reports_missing_paths)
{
    tree_disk disk;
    disk.folder(R"(E:\v)")
        .folder(R"(E:\w)")
        .file(R"(E:\v\a.silk)", silk)
        .file(R"(E:\v\a.amr)", silk)  // would write the same a.mp3
        .file(R"(E:\w\x.silk)", silk);

    const batch_plan plan
        = plan_batch({R"(E:\v\a.silk)", R"(E:\w)", R"(E:\w\x.silk)", R"(E:\gone.silk)", R"(E:\v\a.amr)"}, disk);

    EXPECT_EQ(sources_of(plan), (std::vector<Text>{R"(E:\v\a.silk)", R"(E:\w\x.silk)"}));
    EXPECT_EQ(plan.counts.mp3_exists, 1);
    ASSERT_EQ(plan.failures.size(), 1u);
    EXPECT_EQ(plan.failures[0].source, R"(E:\gone.silk)");
    EXPECT_EQ(plan.failure_list_path, R"(E:\v\Velmora-失败.txt)");
}

TEST(is_batch_request, for_a_folder_or_several_paths_but_not_for_one_file)
{
    tree_disk disk;
    disk.folder(R"(E:\v)").file(R"(E:\v\a;b.silk)", silk).file(R"(E:\v\c.silk)", silk);
    EXPECT_TRUE(is_batch_request(R"(E:\v)", disk));
    EXPECT_TRUE(is_batch_request(R"(E:\v\)", disk));
    EXPECT_TRUE(is_batch_request(R"(E:\v\c.silk;E:\v\d.silk)", disk));
    EXPECT_FALSE(is_batch_request(R"(E:\v\a;b.silk)", disk));
    EXPECT_FALSE(is_batch_request(R"(E:\v\c.silk)", disk));
    EXPECT_FALSE(is_batch_request(R"(E:\v\gone.silk)", disk));
    EXPECT_FALSE(is_batch_request("", disk));
}

TEST(batch_summary_text, gives_the_counts_the_first_failures_and_the_list_file)
{
    const batch_counts counts{.converted = 9, .not_silk = 2, .amr = 1, .mp3_exists = 3};
    EXPECT_EQ(batch_summary_text(counts, {}, R"(E:\v\list.txt)"),
              "批量转换结束\r\n已转换：9 个\r\n已跳过：6 个（不是silk语音 2 个，AMR语音无法转换 1 个，"
              "MP3已存在 3 个）\r\n失败：0 个");

    std::vector<batch_failure> failures;
    for (int i = 1; i <= 7; ++i)
        failures.push_back({"E:\\v\\" + std::to_string(i), "reason"});
    const Text text = batch_summary_text(counts, failures, R"(E:\v\list.txt)");
    EXPECT_NE(text.find("失败：7 个\r\nE:\\v\\1：reason\r\n"), Text::npos);
    EXPECT_NE(text.find("E:\\v\\5：reason\r\n……\r\n"), Text::npos);
    EXPECT_EQ(text.find(R"(E:\v\6)"), Text::npos);
    EXPECT_TRUE(text.ends_with(R"(E:\v\list.txt)"));

    EXPECT_EQ(failure_list_text({failures[0], failures[6]}), "E:\\v\\1\treason\r\nE:\\v\\7\treason\r\n");
    EXPECT_EQ(batch_caption(3, 120), "Velmora — 3/120");
}
}  // namespace
