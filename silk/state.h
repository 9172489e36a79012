// The decoder state: one fixed-size record, plain memory, cleared by initialisation. Every
// history a later frame, a concealed frame or the output converter needs lives here.
#ifndef SILK_STATE_H
#define SILK_STATE_H

#include <cstdint>

#include "cng.h"
#include "plc.h"
#include "range_decoder.h"
#include "resampler.h"

namespace silk {

inline constexpr int max_lpc_order = 16;
inline constexpr int min_lpc_order = 10;  // at 8 kHz
inline constexpr int max_frame_length = 480;
inline constexpr int max_subframe_length = 120;
inline constexpr int subframes_per_frame = 4;
inline constexpr int ltp_order = 5;
inline constexpr int max_frames_per_packet = 5;

// Parameters of one frame, dequantised from its indices; the concealment keeps what it needs.
struct decoder_control {
  int32_t pitch_l[subframes_per_frame];
  int32_t gains_q16[subframes_per_frame];
  int16_t pred_coef_q12[2][max_lpc_order];  // first and second half of the frame
  int16_t ltp_coef_q14[subframes_per_frame * ltp_order];
  int32_t ltp_scale_q14;
  int32_t sigtype;  // 0 voiced, 1 unvoiced
  int32_t quant_offset_type;
  int32_t nlsf_interp_coef_q2;  // after the forcing of a reset
  int32_t seed;
};

struct decoder_state {
  range_decoder rd;

  // Internal rate and what follows from it.
  int32_t fs_khz;
  int32_t frame_length;
  int32_t subfr_length;
  int32_t lpc_order;
  int16_t hp_b_q13[3];
  int16_t hp_a_q13[2];

  // Histories of the synthesis. The long-term history keeps two spare entries: right after
  // initialisation a smoothing or concealment lag below 2 addresses one past the frame pair.
  int32_t prev_inv_gain_q16;
  int32_t sltp_q16[2 * max_frame_length + 2];
  int32_t slpc_q14[max_lpc_order + max_subframe_length];
  int16_t out_buf[2 * max_frame_length];
  int32_t exc_q10[max_frame_length];
  int32_t prev_nlsf_q15[max_lpc_order];
  int32_t hp_state[2];

  int32_t last_gain_index;
  int32_t lag_prev;
  int32_t prev_sigtype;
  int32_t first_frame_after_reset;
  int32_t loss_cnt;

  // Left by the last frame's parse.
  int32_t type_offset_prev;
  int32_t vad_flag;
  int32_t frame_termination;
  int32_t n_bytes_left;

  // Packet bookkeeping of the API.
  int32_t n_frames_decoded;
  int32_t n_frames_in_packet;
  int32_t more_internal_frames;
  int32_t inband_fec_offset;
  int32_t no_fec_counter;
  int32_t prev_api_fs_hz;
  // The pair of rates the output converter is set up for (0, 0 before the first set-up).
  int32_t resampler_in_hz;
  int32_t resampler_out_hz;

  plc_state plc;
  cng_state cng;
  resampler_state resampler;
};

// Switches the internal rate and resets what belongs to the old one; nothing happens when the
// rate does not change.
void decoder_set_fs(decoder_state &st, int32_t fs_khz);

// Clears the whole state for a new stream; the internal rate starts at 24 kHz.
void decoder_init(decoder_state &st);

}  // namespace silk

#endif
