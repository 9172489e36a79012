#include "plc.h"

#include <algorithm>
#include <iterator>

#include "arithmetic.h"
#include "parameters.h"
#include "state.h"
#include "tables.h"

namespace silk {

namespace {

constexpr int32_t kBwExpandPerLossQ16 = 64880;
constexpr int32_t kPitchGainStartMinQ14 = 11469;
constexpr int32_t kPitchGainStartMaxQ14 = 15565;
constexpr int kMaxPitchLagMs = 18;
constexpr int kNoiseBufferLength = 128;
constexpr int32_t kPitchDriftQ16 = 655;
constexpr int32_t kMinVoicedNoiseScaleQ14 = 3277;

int32_t max_pitch_lag_q8(const decoder_state &st) { return (kMaxPitchLagMs * st.fs_khz) << 8; }

void clear_taps(plc_state &plc) {
  std::fill(std::begin(plc.ltp_coef_q14), std::end(plc.ltp_coef_q14), int16_t{0});
}

// The stored state follows the decoder's rate; only the lag needs a value of the new rate.
void check_rate(decoder_state &st) {
  if (st.plc.fs_khz != st.fs_khz) {
    st.plc.pitch_l_q8 = st.frame_length >> 1;
    st.plc.fs_khz = st.fs_khz;
  }
}

// The strongest long-term filter among the subframes within one pitch period of the frame end
// becomes a single centre tap, with its gain kept inside the range concealment can sustain.
void remember_voiced_filter(decoder_state &st, const decoder_control &ctrl) {
  plc_state &plc = st.plc;
  int32_t strongest = 0;
  for (int j = 0; j < 4 && j * st.subfr_length < ctrl.pitch_l[3]; ++j) {
    int32_t taps = 0;
    for (int i = 0; i < 5; ++i) taps += ctrl.ltp_coef_q14[(3 - j) * 5 + i];
    if (taps > strongest) {
      strongest = taps;
      plc.pitch_l_q8 = lshift(ctrl.pitch_l[3 - j], 8);
    }
  }
  clear_taps(plc);
  plc.ltp_coef_q14[2] = int16(strongest);
  if (strongest < kPitchGainStartMinQ14) {
    int32_t scale_q10 = div32(kPitchGainStartMinQ14 << 10, max32(strongest, 1));
    for (int16_t &c : plc.ltp_coef_q14) c = int16(smulbb(c, scale_q10) >> 10);
  } else if (strongest > kPitchGainStartMaxQ14) {
    int32_t scale_q14 = div32(kPitchGainStartMaxQ14 << 14, strongest);
    for (int16_t &c : plc.ltp_coef_q14) c = int16(smulbb(c, scale_q14) >> 14);
  }
}

// The 128 excitation samples ending with whichever of the last two subframes carried less energy.
const int32_t *noise_source(const decoder_state &st) {
  const int sl = st.subfr_length;
  int16_t scaled[2][max_subframe_length]{};
  energy e[2];
  for (int s = 0; s < 2; ++s) {
    const int32_t *exc = st.exc_q10 + (2 + s) * sl;
    for (int i = 0; i < sl; ++i)
      scaled[s][i] = int16(smulww(exc[i], st.plc.prev_gain_q16[2 + s]) >> 10);
    e[s] = sum_sqr_shift(scaled[s], sl);
  }
  int end = (e[0].value >> e[1].shift) < (e[1].value >> e[0].shift) ? 3 * sl : st.frame_length;
  return st.exc_q10 + std::max(0, end - kNoiseBufferLength);
}

// Scale of the noise part in the first concealed frame, and the matching per-subframe decay.
void start_noise_scale(decoder_state &st, int32_t &scale_q14, int32_t &decay_q15) {
  plc_state &plc = st.plc;
  scale_q14 = 16384;
  if (st.prev_sigtype == 0) {
    for (int16_t c : plc.ltp_coef_q14) scale_q14 -= c;
    scale_q14 = max32(int16(scale_q14), kMinVoicedNoiseScaleQ14);
    scale_q14 = int16(smulbb(scale_q14, plc.prev_ltp_scale_q14) >> 14);
  } else {
    // A strongly predictive filter would turn full-scale noise into a loud burst.
    int32_t inv_gain_q30 = inverse_pred_gain_q30(plc.prev_lpc_q12, st.lpc_order);
    int32_t d = max32(min32(inv_gain_q30, 1 << 27), 1 << 22);
    decay_q15 = smulwb(lshift(d, 3), decay_q15) >> 14;
  }
}

void synthesize_excitation(decoder_state &st, const int32_t *noise, int32_t scale_q14,
                           int32_t decay_q15, int32_t *res) {
  plc_state &plc = st.plc;
  const int sl = st.subfr_length;
  const int fl = st.frame_length;
  const int16_t harm_att = harm_att_q15[std::min(st.loss_cnt, 1)];
  int16_t *b = plc.ltp_coef_q14;
  int32_t seed = plc.rand_seed;
  int lag = rshift_round(plc.pitch_l_q8, 8);
  int w = fl;
  for (int k = 0; k < 4; ++k) {
    for (int i = 0; i < sl; ++i, ++w) {
      seed = rand(seed);
      int idx = (seed >> 25) & (kNoiseBufferLength - 1);
      int p = w - lag + 2;
      int32_t pred = 0;
      for (int j = 0; j < 5; ++j) pred = add32(pred, smulwb(st.sltp_q16[p - j], b[j]));
      int32_t x = add32(lshift(smulwb(noise[idx], scale_q14), 2), rshift_round(pred, 4));
      st.sltp_q16[w] = lshift(x, 6);
      res[k * sl + i] = x;
    }
    for (int j = 0; j < 5; ++j) b[j] = int16(smulbb(harm_att, b[j]) >> 15);
    scale_q14 = int16(smulbb(scale_q14, decay_q15) >> 15);
    plc.pitch_l_q8 = min32(add32(plc.pitch_l_q8, smulwb(plc.pitch_l_q8, kPitchDriftQ16)),
                           max_pitch_lag_q8(st));
    lag = rshift_round(plc.pitch_l_q8, 8);
  }
  plc.rand_seed = seed;
  plc.rand_scale_q14 = int16(scale_q14);
}

void synthesize_short_term(decoder_state &st, int32_t *res) {
  const int sl = st.subfr_length;
  const int16_t *a = st.plc.prev_lpc_q12;
  int32_t *s = st.slpc_q14;
  for (int k = 0; k < 4; ++k) {
    for (int i = 0; i < sl; ++i) {
      int32_t q = 0;
      for (int j = 0; j < st.lpc_order; ++j) q = add32(q, smulwb(s[16 + i - 1 - j], a[j]));
      int32_t &r = res[k * sl + i];
      r = add32(r, q);
      s[16 + i] = lshift(r, 4);
    }
    std::copy(s + sl, s + sl + 16, s);
  }
}

}  // namespace

void plc_reset(decoder_state &st) { st.plc.pitch_l_q8 = st.frame_length >> 1; }

void plc_update(decoder_state &st, const decoder_control &ctrl) {
  check_rate(st);
  plc_state &plc = st.plc;
  st.prev_sigtype = ctrl.sigtype;
  if (ctrl.sigtype == 0) {
    remember_voiced_filter(st, ctrl);
  } else {
    plc.pitch_l_q8 = max_pitch_lag_q8(st);
    clear_taps(plc);
  }
  std::copy(ctrl.pred_coef_q12[1], ctrl.pred_coef_q12[1] + st.lpc_order, plc.prev_lpc_q12);
  plc.prev_ltp_scale_q14 = int16(ctrl.ltp_scale_q14);
  std::copy(ctrl.gains_q16, ctrl.gains_q16 + 4, plc.prev_gain_q16);
}

void plc_conceal(decoder_state &st, decoder_control &ctrl, int16_t *out) {
  check_rate(st);
  plc_state &plc = st.plc;
  const int fl = st.frame_length;
  const int first = std::min(st.loss_cnt, 1);
  std::copy(st.sltp_q16 + fl, st.sltp_q16 + 2 * fl, st.sltp_q16);
  bwexpander(plc.prev_lpc_q12, st.lpc_order, kBwExpandPerLossQ16);
  const int32_t *noise = noise_source(st);

  int32_t scale_q14 = plc.rand_scale_q14;
  int32_t decay_q15 = st.prev_sigtype == 0 ? plc_rand_attenuate_v_q15[first]
                                           : plc_rand_attenuate_uv_q15[first];
  if (st.loss_cnt == 0) start_noise_scale(st, scale_q14, decay_q15);

  int32_t res[max_frame_length];
  synthesize_excitation(st, noise, scale_q14, decay_q15, res);
  synthesize_short_term(st, res);
  for (int m = 0; m < fl; ++m)
    out[m] = int16(sat16(rshift_round(smulww(res[m], plc.prev_gain_q16[3]), 10)));

  const int lag = rshift_round(plc.pitch_l_q8, 8);
  std::fill(ctrl.pitch_l, ctrl.pitch_l + 4, lag);
}

void plc_glue_frames(decoder_state &st, int16_t *frame, int length) {
  plc_state &plc = st.plc;
  if (st.loss_cnt != 0) {
    energy e = sum_sqr_shift(frame, length);
    plc.conc_energy = e.value;
    plc.conc_energy_shift = e.shift;
    plc.last_frame_lost = 1;
    return;
  }
  if (plc.last_frame_lost) {
    energy e = sum_sqr_shift(frame, length);
    int32_t frame_energy = e.value;
    int32_t conc = plc.conc_energy;
    if (e.shift > plc.conc_energy_shift) conc >>= e.shift - plc.conc_energy_shift;
    else if (e.shift < plc.conc_energy_shift) frame_energy >>= plc.conc_energy_shift - e.shift;
    if (frame_energy > conc) {
      // Fade in from the level of the concealed frame. For very quiet concealed frames the
      // quotient is not a true Q24 value and the gain starts above one; that is kept as is.
      int z = clz32(conc) - 1;
      conc = lshift(conc, z);
      frame_energy >>= std::max(24 - z, 0);
      int32_t gain_q12 = sqrt_approx(div32(conc, max32(frame_energy, 1)));
      int32_t slope_q12 = div32(4096 - gain_q12, length);
      for (int m = 0; m < length; ++m) {
        frame[m] = int16(mul(gain_q12, frame[m]) >> 12);
        gain_q12 = min32(add32(gain_q12, slope_q12), 4096);
      }
    }
    plc.conc_energy = conc;
  }
  plc.last_frame_lost = 0;
}

}  // namespace silk
