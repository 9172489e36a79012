#include "cng.h"

#include <algorithm>

#include "arithmetic.h"
#include "parameters.h"
#include "state.h"

namespace silk {

namespace {

constexpr int32_t kNlsfSmoothQ16 = 16348;
constexpr int32_t kGainSmoothQ16 = 4634;
constexpr int32_t kStartSeed = 3176576;
constexpr int kBufferMaskMax = 255;

void reset_for_order(cng_state &cng, int order) {
  const int32_t step = div32(32767, order + 1);
  for (int i = 0; i < order; ++i) cng.smth_nlsf_q15[i] = (i + 1) * step;
  cng.smth_gain_q16 = 0;
  cng.rand_seed = kStartSeed;
}

// Learns the spectrum, the level and the excitation of the loudest subframe of an inactive frame.
void learn(decoder_state &st, const decoder_control &ctrl) {
  cng_state &cng = st.cng;
  const int sl = st.subfr_length;
  for (int i = 0; i < st.lpc_order; ++i)
    cng.smth_nlsf_q15[i] += smulwb(st.prev_nlsf_q15[i] - cng.smth_nlsf_q15[i], kNlsfSmoothQ16);
  int loudest = 0;
  int32_t max_gain = 0;
  for (int k = 0; k < 4; ++k) {
    if (ctrl.gains_q16[k] > max_gain) {
      max_gain = ctrl.gains_q16[k];
      loudest = k;
    }
  }
  std::copy_backward(cng.exc_buf_q10, cng.exc_buf_q10 + 3 * sl, cng.exc_buf_q10 + 4 * sl);
  std::copy(st.exc_q10 + loudest * sl, st.exc_q10 + (loudest + 1) * sl, cng.exc_buf_q10);
  for (int k = 0; k < 4; ++k)
    cng.smth_gain_q16 += smulwb(sub32(ctrl.gains_q16[k], cng.smth_gain_q16), kGainSmoothQ16);
}

void synthesize(int order, const int16_t *a_q12, int32_t *state, const int16_t *in, int16_t *out,
                int length) {
  for (int m = 0; m < length; ++m) {
    int32_t pred = 0;
    for (int j = 0; j < order; ++j) pred = add32(pred, smulwb(state[order - 1 - j], a_q12[j]));
    int32_t y = add_sat32(pred, in[m] * 1024);
    out[m] = int16(sat16(rshift_round(y, 10)));
    std::copy(state + 1, state + order, state);
    state[order - 1] = lshift_sat32(y, 4);
  }
}

// Noise shaped like the learnt background, added on top of the concealed frame.
void add_noise(decoder_state &st, int16_t *frame, int length) {
  cng_state &cng = st.cng;
  int mask = kBufferMaskMax;
  while (mask > length) mask >>= 1;
  int16_t excitation[max_frame_length];
  int32_t seed = cng.rand_seed;
  for (int m = 0; m < length; ++m) {
    seed = rand(seed);
    int32_t idx = (seed >> 24) & mask;
    excitation[m] = int16(sat16(rshift_round(smulww(cng.exc_buf_q10[idx], cng.smth_gain_q16), 10)));
  }
  cng.rand_seed = seed;
  int16_t a_q12[16];
  nlsf2a_stable(a_q12, cng.smth_nlsf_q15, st.lpc_order);
  int16_t noise[max_frame_length];
  synthesize(st.lpc_order, a_q12, cng.synth_state, excitation, noise, length);
  for (int m = 0; m < length; ++m) frame[m] = int16(sat16(frame[m] + noise[m]));
}

}  // namespace

void cng_reset(decoder_state &st) { reset_for_order(st.cng, st.lpc_order); }

void cng_process(decoder_state &st, const decoder_control &ctrl, int16_t *frame, int length) {
  cng_state &cng = st.cng;
  if (cng.fs_khz != st.fs_khz) {
    reset_for_order(cng, st.lpc_order);
    cng.fs_khz = st.fs_khz;
  }
  if (st.loss_cnt == 0 && st.vad_flag == 0) learn(st, ctrl);
  if (st.loss_cnt != 0) {
    add_noise(st, frame, length);
  } else {
    std::fill(cng.synth_state, cng.synth_state + st.lpc_order, 0);
  }
}

}  // namespace silk
