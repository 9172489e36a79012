#include "container.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr unsigned char wechat_marker = 0x02;
constexpr char full_magic[] = "#!SILK_V3";
// Without the WeChat marker the first byte stands for the '#' and is not compared.
constexpr char magic_after_first_byte[] = "!SILK_V3";

// Reads and drops a payload too long for a slot, using place as scratch room.
bool skip_payload(std::FILE *input, unsigned char *place, int length)
{
    while (length > 0) {
        const int chunk = length < max_payload_bytes ? length : max_payload_bytes;
        if (std::fread(place, 1, chunk, input) != static_cast<size_t>(chunk))
            return false;
        length -= chunk;
    }
    return true;
}

} // namespace

bool check_header(std::FILE *input, char (&read_area)[header_area_bytes])
{
    std::memset(read_area, 0, sizeof read_area);
    // The first byte stays visible in the message when nothing follows it.
    const bool has_marker = std::fread(read_area, 1, 1, input) == 1
                            && static_cast<unsigned char>(read_area[0]) == wechat_marker;
    read_area[1] = 0;
    const char *expected = has_marker ? full_magic : magic_after_first_byte;
    const size_t length = std::strlen(expected);
    const size_t got = std::fread(read_area, 1, length, input);
    read_area[length] = 0;
    return got == length && std::memcmp(read_area, expected, length) == 0;
}

int read_packet(std::FILE *input, unsigned char *place)
{
    unsigned char length_field[2];
    if (std::fread(length_field, 1, sizeof length_field, input) != sizeof length_field)
        return end_of_stream;
    const int length = static_cast<int16_t>(length_field[0] | length_field[1] << 8);
    if (length < 0)
        return end_of_stream;
    if (length > max_payload_bytes)
        return skip_payload(input, place, length) ? 0 : end_of_stream;
    if (std::fread(place, 1, length, input) != static_cast<size_t>(length))
        return end_of_stream;
    return length;
}
