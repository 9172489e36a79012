// Synthesis of a received frame: excitation, long-term and short-term prediction, and the
// output high-pass filter.
#ifndef SILK_SYNTHESIS_H
#define SILK_SYNTHESIS_H

#include <cstdint>

#include "state.h"

namespace silk {

// Builds the frame's excitation from its pulses and synthesises frame_length samples into xq.
void decode_core(decoder_state &st, const decoder_control &ctrl, const int32_t *pulses, int16_t *xq);

// The decoder's output high-pass filter, in place.
void high_pass_filter(decoder_state &st, int16_t *x, int length);

}  // namespace silk

#endif
