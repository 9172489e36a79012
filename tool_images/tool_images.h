#pragma once
// The complete executables of the two console tools, carried inside the program
// and written to disk before a conversion. Made at build time from the tools
// built for the same target.
#include "common/text.h"

extern const ByteBlock decoder_tool_image;
extern const ByteBlock encoder_tool_image;
