#include "synthesis.h"

#include <algorithm>

#include "arithmetic.h"
#include "tables.h"

namespace silk {

namespace {

constexpr int32_t unity_q16 = 65536;

void build_excitation(decoder_state &st, const decoder_control &ctrl, const int32_t *pulses) {
  const int32_t offset_q10 = quantization_offsets_q10[ctrl.sigtype][ctrl.quant_offset_type];
  int32_t seed = ctrl.seed;
  for (int i = 0; i < st.frame_length; ++i) {
    seed = silk::rand(seed);
    int32_t e = add32(lshift(pulses[i], 10), offset_q10);
    st.exc_q10[i] = seed < 0 ? sub32(0, e) : e;
    seed = add32(seed, pulses[i]);
  }
}

// Settings of one subframe.
struct subframe {
  const int16_t *a_q12;
  int16_t b_q14[ltp_order];
  int32_t gain_q16;
  int32_t lag;
  bool voiced;
};

subframe subframe_settings(const decoder_state &st, const decoder_control &ctrl, int k) {
  subframe sf{};
  sf.a_q12 = ctrl.pred_coef_q12[k >> 1];
  std::copy(ctrl.ltp_coef_q14 + k * ltp_order, ctrl.ltp_coef_q14 + (k + 1) * ltp_order, sf.b_q14);
  sf.gain_q16 = ctrl.gains_q16[k];
  sf.lag = ctrl.pitch_l[k];
  sf.voiced = ctrl.sigtype == 0;
  // An unvoiced frame right after a concealed voiced one starts with a plain pitch pulse train
  // at the concealment's lag, so the periodicity fades instead of stopping at once.
  if (st.loss_cnt > 0 && st.prev_sigtype == 0 && ctrl.sigtype == 1 && k < 2) {
    std::fill(sf.b_q14, sf.b_q14 + ltp_order, int16_t{0});
    sf.b_q14[2] = 4096;
    sf.voiced = true;
    sf.lag = st.lag_prev;
  }
  return sf;
}

// Rebuilds the long-term history from the output signal, whitened with the current filter and
// normalised with the current inverse gain. x points at the signal k subframes in.
void rewhiten_history(decoder_state &st, const decoder_control &ctrl, const subframe &sf, int k,
                      int32_t inv_gain_q16, int p) {
  const int fl = st.frame_length;
  const int d = st.lpc_order;
  const int16_t *x = st.out_buf + k * st.subfr_length;
  const int start = fl - sf.lag - d - 2;
  int16_t w[max_frame_length];
  // A lag beyond the encoder's range at 12 kHz would start two samples before the buffer; those
  // samples count as silence.
  for (int n = std::max(start + d, 0); n < fl; ++n) {
    int32_t s = 0;
    for (int j = 1; j <= d && n - j >= 0; ++j) s = add32(s, x[n - j] * sf.a_q12[j - 1]);
    w[n] = static_cast<int16_t>(sat16(rshift_round(sub32(lshift(x[n], 12), s), 12)));
  }
  int32_t inv_gain_q32 = lshift(inv_gain_q16, 16);
  if (k == 0) inv_gain_q32 = lshift(smulwb(inv_gain_q32, ctrl.ltp_scale_q14), 2);
  for (int i = 0; i <= sf.lag + 1; ++i) st.sltp_q16[p - 1 - i] = smulwb(inv_gain_q32, w[fl - 1 - i]);
}

void long_term_prediction(decoder_state &st, const subframe &sf, const int32_t *exc, int32_t *res,
                          int &p) {
  for (int i = 0; i < st.subfr_length; ++i) {
    int32_t pred = 0;
    const int32_t *h = st.sltp_q16 + p - sf.lag + 2;
    for (int j = 0; j < ltp_order; ++j) pred = smlawb(pred, h[-j], sf.b_q14[j]);
    res[i] = add32(exc[i], rshift_round(pred, 4));
    st.sltp_q16[p++] = lshift(res[i], 6);
  }
}

// The order is a template argument so that the compiler can unroll the filter for the two
// orders that exist; this loop is the decoder's hottest.
template <int d>
void short_term_synthesis_of_order(int32_t *s, int sl, const subframe &sf, const int32_t *res,
                                   int16_t *out) {
  for (int i = 0; i < sl; ++i) {
    int32_t pred = 0;
    for (int j = 0; j < d; ++j) pred = smlawb(pred, s[max_lpc_order + i - 1 - j], sf.a_q12[j]);
    int32_t v = add32(res[i], pred);
    s[max_lpc_order + i] = lshift(v, 4);
    out[i] = static_cast<int16_t>(sat16(rshift_round(smulww(v, sf.gain_q16), 10)));
  }
}

void short_term_synthesis(decoder_state &st, const subframe &sf, const int32_t *res, int16_t *out) {
  const int sl = st.subfr_length;
  int32_t *s = st.slpc_q14;
  if (st.lpc_order == max_lpc_order)
    short_term_synthesis_of_order<max_lpc_order>(s, sl, sf, res, out);
  else
    short_term_synthesis_of_order<min_lpc_order>(s, sl, sf, res, out);
  std::copy(s + sl, s + sl + max_lpc_order, s);
}

}  // namespace

void decode_core(decoder_state &st, const decoder_control &ctrl, const int32_t *pulses, int16_t *xq) {
  const int fl = st.frame_length;
  const int sl = st.subfr_length;
  build_excitation(st, ctrl, pulses);
  const int rewhiten_mask = ctrl.nlsf_interp_coef_q2 < 4 ? 1 : 3;
  int p = fl;
  for (int k = 0; k < subframes_per_frame; ++k) {
    const subframe sf = subframe_settings(st, ctrl, k);
    const int32_t inv_gain_q16 = std::min(inverse32_varq(std::max(sf.gain_q16, 1), 32), 32767);
    const int32_t gain_adj_q16 = inv_gain_q16 == st.prev_inv_gain_q16
                                     ? unity_q16
                                     : div32_varq(inv_gain_q16, st.prev_inv_gain_q16, 16);
    if (sf.voiced) {
      if ((k & rewhiten_mask) == 0) {
        rewhiten_history(st, ctrl, sf, k, inv_gain_q16, p);
      } else if (gain_adj_q16 != unity_q16) {
        for (int i = 0; i <= sf.lag + 1; ++i)
          st.sltp_q16[p - 1 - i] = smulww(gain_adj_q16, st.sltp_q16[p - 1 - i]);
      }
    }
    for (int i = 0; i < max_lpc_order; ++i) st.slpc_q14[i] = smulww(gain_adj_q16, st.slpc_q14[i]);
    st.prev_inv_gain_q16 = inv_gain_q16;

    int32_t res_q10[max_subframe_length];
    const int32_t *exc = st.exc_q10 + k * sl;
    if (sf.voiced)
      long_term_prediction(st, sf, exc, res_q10, p);
    else
      std::copy(exc, exc + sl, res_q10);
    short_term_synthesis(st, sf, res_q10, st.out_buf + fl + k * sl);
  }
  std::copy(st.out_buf + fl, st.out_buf + 2 * fl, xq);
}

void high_pass_filter(decoder_state &st, int16_t *x, int length) {
  const int16_t *b = st.hp_b_q13;
  const int16_t *a = st.hp_a_q13;
  int32_t s0 = st.hp_state[0];
  int32_t s1 = st.hp_state[1];
  for (int n = 0; n < length; ++n) {
    const int32_t in = x[n];
    const int32_t out32 = smlabb(s0, in, b[0]);
    s0 = add32(smlabb(s1, in, b[1]), lshift(smulwb(out32, -a[0]), 3));
    s1 = add32(lshift(smulwb(out32, -a[1]), 3), smulbb(in, b[2]));
    x[n] = static_cast<int16_t>(sat16(rshift_round(out32, 13) + 1));
  }
  st.hp_state[0] = s0;
  st.hp_state[1] = s1;
}

}  // namespace silk
