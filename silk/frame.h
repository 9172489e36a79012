// One 20 ms frame at the internal rate: parse and reconstruct it, or conceal it, then the steps
// every frame goes through (loss glue, comfort noise, high-pass filter).
#ifndef SILK_FRAME_H
#define SILK_FRAME_H

#include <cstdint>

#include "state.h"

namespace silk {

struct frame_result {
  int status;        // 0, or the API error code of a corrupt or oversized payload
  int32_t length;    // samples written at the internal rate valid after the frame
  int32_t used;      // payload bytes consumed; 0 when the frame was concealed on request
};

// lost: the caller has no payload for this frame. data/n are read only on a packet's first frame.
frame_result decode_frame(decoder_state &st, bool lost, const uint8_t *data, int32_t n, int16_t *out);

}  // namespace silk

#endif
