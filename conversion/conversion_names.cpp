#include "conversion/conversion_names.h"

namespace {
// The position just after the last backslash that is a character of its own: in
// the system's code page a byte 0x5C can also be the second byte of a Chinese one.
Text::size_type file_name_start(const Text& path)
{
    Text::size_type start = 0;
    for (Text::size_type i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (byte >= 0x80)
            ++i;
        else if (byte == '\\')
            start = i + 1;
    }
    return start;
}

constexpr char silk_magic[] = "#!SILK_V3";
}  // namespace

Text directory_of(const Text& path)
{
    const auto start = file_name_start(path);
    return start == 0 ? Text() : path.substr(0, start - 1);
}

Text path_in_directory(const Text& directory, const Text& name)
{
    return directory + "\\" + name;
}

Text mp3_path_for(const Text& input_path)
{
    const auto name_start = file_name_start(input_path);
    const auto dot = input_path.rfind('.');
    const bool has_extension = dot != Text::npos && dot > name_start;
    return (has_extension ? input_path.substr(0, dot) : input_path) + ".mp3";
}

Text quoted(const Text& path)
{
    return "\"" + path + "\"";
}

Text decoder_command_line(const Text& decoder_path, const Text& input_path, const Text& pcm_path)
{
    return quoted(decoder_path) + " " + quoted(input_path) + " " + quoted(pcm_path);
}

Text encoder_command_line(const Text& encoder_path, const Text& pcm_path, const Text& mp3_path)
{
    return quoted(encoder_path) + " -r -s 24000 -m m " + quoted(pcm_path) + " " + quoted(mp3_path);
}

bool has_silk_header(const Text& first_bytes)
{
    const Text magic = silk_magic;
    const bool leading_byte = !first_bytes.empty() && first_bytes[0] == '\x02';
    return first_bytes.compare(leading_byte ? 1 : 0, magic.size(), magic) == 0;
}
