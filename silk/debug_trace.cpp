#include "debug_trace.h"

#ifdef SILK_DEBUG_TRACE

#include <cstdio>

namespace silk {

namespace {

template <typename T> void print_list(const char *name, const T *v, int n) {
  std::fprintf(stderr, " %s", name);
  for (int i = 0; i < n; ++i) std::fprintf(stderr, "%c%d", i ? ',' : '=', static_cast<int>(v[i]));
}

}  // namespace

void trace_frame(const decoder_state &st, const frame_indices &ix, const decoder_control &ctrl,
                 const int32_t *pulses) {
  static long frame_number = 0;
  const int d = st.lpc_order;
  std::fprintf(stderr, "frame %ld fs=%d n=%d err=%d type=%d", frame_number++, ix.fs_khz,
               st.n_frames_decoded, st.rd.err, ix.type_offset);
  print_list("gain_idx", ix.gain, subframes_per_frame);
  print_list("nlsf_idx", ix.nlsf, nlsf_codebook_for(d, ix.sigtype).n_stages);
  std::fprintf(stderr, " interp=%d lag=%d contour=%d per=%d", ix.nlsf_interp_coef_q2, ix.lag_index,
               ix.contour_index, ix.per_index);
  print_list("ltp_idx", ix.ltp_index, subframes_per_frame);
  std::fprintf(stderr, " ltp_scale=%d seed=%d rate=%d vad=%d ft=%d left=%d\n", ix.ltp_scale_index,
               ix.seed, ix.rate_level, ix.vad_flag, ix.frame_termination, st.n_bytes_left);
  print_list("  gains_q16", ctrl.gains_q16, subframes_per_frame);
  print_list("nlsf_q15", st.prev_nlsf_q15, d);
  std::fprintf(stderr, "\n");
  print_list("  a0_q12", ctrl.pred_coef_q12[0], d);
  print_list("a1_q12", ctrl.pred_coef_q12[1], d);
  std::fprintf(stderr, "\n");
  print_list("  pitch", ctrl.pitch_l, subframes_per_frame);
  print_list("ltp_q14", ctrl.ltp_coef_q14, subframes_per_frame * ltp_order);
  std::fprintf(stderr, " ltp_scale_q14=%d\n", ctrl.ltp_scale_q14);
  print_list("  pulses", pulses, st.frame_length);
  std::fprintf(stderr, "\n");
}

}  // namespace silk

#endif
