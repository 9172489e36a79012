// Reading of the SILK v3 voice file container: the file header and the packet framing.
// Kept apart from the tool's main so that a fuzz target can drive the same code.
#ifndef DECODER_TOOL_CONTAINER_H
#define DECODER_TOOL_CONTAINER_H

#include <cstdio>

// Largest payload one look-ahead slot holds; longer packets are skipped and count as lost.
inline constexpr int max_payload_bytes = 5120;

// What read_packet yields when the packet stream has ended.
inline constexpr int end_of_stream = -1;

// Room for the nine header characters and the zero after them.
inline constexpr int header_area_bytes = 10;

// Reads the file header ("#!SILK_V3", optionally after a byte 0x02) from the start of input.
// On a mismatch read_area holds, as a zero-ended text, the bytes to show in the message.
// After a good header the input stands at the first packet's length field.
bool check_header(std::FILE *input, char (&read_area)[header_area_bytes]);

// Reads one packet into place, which must have room for max_payload_bytes.
// Yields the payload length (0 for an empty packet and for one too long to keep, whose bytes
// are read and dropped) or end_of_stream: no whole length field, a negative length, or fewer
// payload bytes than announced.
int read_packet(std::FILE *input, unsigned char *place);

#endif
