// Microsecond clock used to time the calls into the decoder library.
#ifndef DECODER_TOOL_HIGH_RESOLUTION_TIME_H
#define DECODER_TOOL_HIGH_RESOLUTION_TIME_H

#include "SKP_Silk_typedef.h"

// Microseconds on the platform's monotonic high-resolution counter; only differences matter.
SKP_int64 GetHighResolutionTime();

#endif
