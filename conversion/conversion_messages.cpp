#include "conversion/conversion_messages.h"

#include <string>

namespace {
constexpr char contact_note[] = "【如有问题，请联系 Velmora 开发组】";

constexpr char error_prefix[] = "Error:";
constexpr Text::size_type error_prefix_length = sizeof error_prefix - 1;

bool is_error_line(const Text& line)
{
    return line.starts_with(error_prefix);
}

// Only the start of a line tells whether it is wanted; the rest of an unwanted
// one is not kept.
bool is_unwanted_line(const Text& line)
{
    return line.size() >= error_prefix_length && !is_error_line(line);
}

Text without_line_end(Text line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    return line;
}
}  // namespace

Text with_contact_note(const Text& body, int blank_count)
{
    return body + Text(blank_count, ' ') + contact_note;
}

Text message_title()
{
    return Text("系统提示") + Text(9, ' ');
}

Text empty_path_message()
{
    return with_contact_note("请添加silk语音文件", 5);
}

Text not_silk_message()
{
    return with_contact_note("请检查是否有微信silk语音文件", 5);
}

Text completed_message()
{
    return with_contact_note("转换完成", 4);
}

Text failed_message(const Text& reason)
{
    return with_contact_note("转换失败：" + reason, 4);
}

Text tool_not_started_reason(const Text& tool_name)
{
    return tool_name + " 无法启动";
}

Text tool_exit_status_reason(const Text& tool_name, unsigned long exit_status)
{
    return tool_name + " 出错，退出状态 " + std::to_string(exit_status);
}

Text no_audio_reason()
{
    return "语音文件中没有可解码的声音";
}

Text no_mp3_reason()
{
    return "没有生成 MP3 文件";
}

Text tools_not_written_reason()
{
    return "无法写入转换工具";
}

Text no_temporary_file_reason()
{
    return "无法创建临时文件";
}

void error_line_finder::add_output(const Text& output)
{
    for (char byte : output) {
        if (found_)
            return;
        if (!is_unwanted_line(pending_line_))
            pending_line_ += byte;
        if (byte != '\n')
            continue;
        if (is_error_line(pending_line_)) {
            error_line_ = without_line_end(pending_line_);
            found_ = true;
        }
        pending_line_.clear();
    }
}

Text error_line_finder::first_error_line() const
{
    if (found_)
        return error_line_;
    return is_error_line(pending_line_) ? without_line_end(pending_line_) : Text();
}
