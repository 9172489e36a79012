#include "frame.h"

#include <algorithm>

#include "cng.h"
#include "debug_trace.h"
#include "indices.h"
#include "parameters.h"
#include "plc.h"
#include "synthesis.h"

namespace silk {

namespace {

// Parses the next frame of the packet and, when it is sound, reconstructs it into out.
// Returns false for a corrupt frame, after undoing a rate change it made.
bool decode_received(decoder_state &st, decoder_control &ctrl, const uint8_t *data, int32_t n,
                     int16_t *out, frame_result &result) {
  const int32_t fs_before = st.fs_khz;
  if (st.n_frames_decoded == 0) range_decoder_init(st.rd, data, n);
  frame_indices ix;
  int32_t pulses[max_frame_length];
  decode_indices(st, ix, pulses);
  decode_parameters(st, ix, ctrl);
  trace_frame(st, ix, ctrl, pulses);
  if (st.rd.err != 0) {
    st.n_bytes_left = 0;
    decoder_set_fs(st, fs_before);
    result.used = st.rd.len;
    result.status = st.rd.err == range_error_too_long ? -11 : -12;
    return false;
  }
  result.used = st.rd.len - st.n_bytes_left;
  st.n_frames_decoded += 1;
  result.length = st.frame_length;
  decode_core(st, ctrl, pulses, out);
  plc_update(st, ctrl);
  st.loss_cnt = 0;
  st.prev_sigtype = ctrl.sigtype;
  st.first_frame_after_reset = 0;
  return true;
}

}  // namespace

frame_result decode_frame(decoder_state &st, bool lost, const uint8_t *data, int32_t n, int16_t *out) {
  frame_result result{0, st.frame_length, 0};
  decoder_control ctrl{};
  if (!lost) lost = !decode_received(st, ctrl, data, n, out, result);
  if (lost) {
    plc_conceal(st, ctrl, out);
    st.loss_cnt += 1;
  }
  const int32_t length = result.length;
  // The next frame whitens its long-term history from this output, before glue, noise and filter.
  std::copy(out, out + length, st.out_buf);
  plc_glue_frames(st, out, length);
  cng_process(st, ctrl, out, length);
  high_pass_filter(st, out, length);
  st.lag_prev = ctrl.pitch_l[subframes_per_frame - 1];
  return result;
}

}  // namespace silk
