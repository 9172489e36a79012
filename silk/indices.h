// Parsing of one frame of a packet into its quantisation indices and excitation pulses.
#ifndef SILK_INDICES_H
#define SILK_INDICES_H

#include <cstdint>

#include "state.h"
#include "tables.h"

namespace silk {

inline constexpr int max_nlsf_stages = 10;

struct frame_indices {
  int32_t fs_khz;  // the packet's rate (decoded in its first frame)
  int32_t type_offset;
  int32_t sigtype;
  int32_t quant_offset_type;
  int32_t gain[subframes_per_frame];  // absolute in subframe 0 of a packet's first frame, else deltas
  int32_t nlsf[max_nlsf_stages];
  int32_t nlsf_interp_coef_q2;  // as decoded
  int32_t lag_index;
  int32_t contour_index;
  int32_t per_index;
  int32_t ltp_index[subframes_per_frame];
  int32_t ltp_scale_index;
  int32_t seed;
  int32_t rate_level;
  int32_t vad_flag;
  int32_t frame_termination;
};

// The NLSF codebook of an LPC order and signal type.
const nlsf_codebook &nlsf_codebook_for(int lpc_order, int sigtype);

// Parses the next frame of the packet in st.rd. The first frame of a packet
// (st.n_frames_decoded == 0) carries the rate and switches st to it. Leaves the bytes left,
// VAD flag and termination code in st; st.rd.err tells whether the frame is corrupt.
void decode_indices(decoder_state &st, frame_indices &ix, int32_t pulses[max_frame_length]);

}  // namespace silk

#endif
