// Tool deployment and the input check on a real (Wine) file system.
#include <windows.h>

#include <gtest/gtest.h>

#include "conversion/conversion_names.h"
#include "conversion/conversion_messages.h"
#include "conversion/convert_command.h"
#include "conversion/file_operations.h"
#include "conversion/tool_deployment.h"
#include "tool_images/tool_images.h"

namespace {
class scratch_folder : public testing::Test {
protected:
    void SetUp() override
    {
        const Text file = new_temporary_file();
        ASSERT_FALSE(file.empty());
        delete_file(file);
        folder = file + " dir";
        ASSERT_TRUE(create_directories(folder));
    }
    void TearDown() override
    {
        WIN32_FIND_DATAA entry;
        HANDLE search = FindFirstFileA(path("*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do
                DeleteFileA(path(entry.cFileName).c_str());
            while (FindNextFileA(search, &entry));
            FindClose(search);
        }
        RemoveDirectoryA(folder.c_str());
    }

    Text path(const Text& name) const { return path_in_directory(folder, name); }

    int files_in_folder() const
    {
        int count = 0;
        WIN32_FIND_DATAA entry;
        HANDLE search = FindFirstFileA(path("*").c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE)
            return 0;
        do
            count += (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        while (FindNextFileA(search, &entry));
        FindClose(search);
        return count;
    }

    static FILETIME last_write(const Text& file)
    {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data);
        return data.ftLastWriteTime;
    }

    Text folder;
};

const ByteBlock image = ByteBlock("MZ\x90\0tool image", 14);

using tool_deployment = scratch_folder;

TEST_F(tool_deployment, writes_a_missing_tool_and_leaves_an_identical_one_alone)
{
    const Text tool = path(decoder_tool_name);
    ASSERT_TRUE(deploy_tool(tool, image));
    EXPECT_TRUE(file_holds(tool, image));
    const FILETIME written = last_write(tool);
    Sleep(50);
    ASSERT_TRUE(deploy_tool(tool, image));
    const FILETIME after = last_write(tool);
    EXPECT_EQ(CompareFileTime(&written, &after), 0);
    EXPECT_EQ(files_in_folder(), 1);
}

TEST_F(tool_deployment, replaces_a_partial_or_foreign_file_without_leaving_temporaries)
{
    const Text tool = path(encoder_tool_name);
    for (const ByteBlock& found : {image.substr(0, 5), ByteBlock("MZ\x90\0TOOL IMAGE", 14), ByteBlock()}) {
        ASSERT_TRUE(write_file(tool, found) || found.empty());
        ASSERT_TRUE(deploy_tool(tool, image));
        EXPECT_TRUE(file_holds(tool, image));
        EXPECT_EQ(files_in_folder(), 1);
    }
}

TEST_F(tool_deployment, refuses_an_empty_image_and_a_folder_it_cannot_write)
{
    EXPECT_FALSE(deploy_tool(path(decoder_tool_name), ByteBlock()));
    EXPECT_FALSE(file_exists(path(decoder_tool_name)));
    EXPECT_FALSE(deploy_tool(path_in_directory(path("missing folder"), decoder_tool_name), image));
}

TEST_F(tool_deployment, falls_back_to_the_local_folder_when_the_preferred_one_refuses)
{
    if (decoder_tool_image.empty() || encoder_tool_image.empty())
        GTEST_SKIP() << "this build carries no tool images";
    const Text fallback = path("local");
    const auto tools = deploy_tools_into(path("missing folder"), fallback);
    ASSERT_TRUE(tools.has_value());
    EXPECT_EQ(tools->decoder, path_in_directory(fallback, decoder_tool_name));
    EXPECT_TRUE(file_holds(tools->decoder, decoder_tool_image));
    EXPECT_TRUE(file_holds(tools->encoder, encoder_tool_image));
    delete_file(tools->decoder);
    delete_file(tools->encoder);
    RemoveDirectoryA(fallback.c_str());
}

using input_check_on_disk = scratch_folder;

TEST_F(input_check_on_disk, judges_the_content_not_the_name)
{
    ASSERT_TRUE(write_file(path("MSG.SILK"), ByteBlock("\x02#!SILK_V3\x01\x00", 12)));
    ASSERT_TRUE(write_file(path("x.amr"), ByteBlock("#!SILK_V3")));
    ASSERT_TRUE(write_file(path("talk.silk"), ByteBlock("#!AMR\n")));
    ASSERT_TRUE(write_file(path("short.silk"), ByteBlock("#!SIL")));
    ASSERT_TRUE(create_directories(path("silk")));

    EXPECT_EQ(check_input(""), input_check::empty_path);
    EXPECT_EQ(check_input(path("MSG.SILK")), input_check::usable);
    EXPECT_EQ(check_input(path("x.amr")), input_check::usable);
    EXPECT_EQ(check_input(path("talk.silk")), input_check::not_silk);
    EXPECT_EQ(check_input(path("short.silk")), input_check::not_silk);
    EXPECT_EQ(check_input(path("missing.silk")), input_check::not_silk);
    EXPECT_EQ(check_input(path("silk")), input_check::not_silk);
    RemoveDirectoryA(path("silk").c_str());
}
}  // namespace

namespace {
TEST(tool_failure_reason, names_the_tools_error_line_else_the_tool_and_how_it_ended)
{
    tool_run not_started;
    tool_run failed;
    failed.started = true;
    failed.exit_status = 3;
    tool_run succeeded;
    succeeded.started = true;

    EXPECT_EQ(tool_failure_reason(not_started, decoder_tool_name), tool_not_started_reason(decoder_tool_name));
    EXPECT_EQ(tool_failure_reason(succeeded, decoder_tool_name, "Error: no such file"), "Error: no such file");
    EXPECT_EQ(tool_failure_reason(failed, encoder_tool_name), tool_exit_status_reason(encoder_tool_name, 3));
    EXPECT_NE(tool_exit_status_reason(encoder_tool_name, 3).find("3"), Text::npos);
    EXPECT_EQ(tool_failure_reason(succeeded, encoder_tool_name), "");
}
}  // namespace
