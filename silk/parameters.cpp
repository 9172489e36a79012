#include "parameters.h"

#include <algorithm>

#include "arithmetic.h"

namespace silk {

namespace {

constexpr int32_t gain_offset_q7 = 2176;
constexpr int32_t gain_inv_scale_q16 = 1774673;
constexpr int32_t max_gain_log_q7 = 3967;
constexpr int32_t stability_limit_q16 = 65520;
constexpr int32_t bwe_after_loss_q16 = 63570;
constexpr int stabilize_rounds = 20;
constexpr int magnitude_limit_rounds = 10;

void decode_gains(decoder_state &st, const frame_indices &ix, decoder_control &ctrl) {
  for (int k = 0; k < subframes_per_frame; ++k) {
    if (k == 0 && st.n_frames_decoded == 0)
      st.last_gain_index = ix.gain[0];
    else
      st.last_gain_index += ix.gain[k] - 4;
    ctrl.gains_q16[k] = gain_from_index(st.last_gain_index);
  }
}

void nlsf_from_stages(const nlsf_codebook &cb, const int32_t *indices, int32_t *nlsf_q15) {
  const int d = cb.lpc_order;
  std::fill(nlsf_q15, nlsf_q15 + d, 0);
  for (int s = 0; s < cb.n_stages; ++s) {
    const int16_t *vector = cb.q15 + cb.stages[s].cb_offset + indices[s] * d;
    for (int i = 0; i < d; ++i) nlsf_q15[i] += vector[i];
  }
}

// Returns the index of the smallest margin (lowest index on ties) and the margin itself.
int smallest_margin(const int32_t *nlsf, const int32_t *dm, int d, int32_t &margin) {
  margin = nlsf[0] - dm[0];
  int at = 0;
  for (int i = 1; i < d; ++i) {
    int32_t m = nlsf[i] - (nlsf[i - 1] + dm[i]);
    if (m < margin) {
      margin = m;
      at = i;
    }
  }
  int32_t m = 32768 - (nlsf[d - 1] + dm[d]);
  if (m < margin) {
    margin = m;
    at = d;
  }
  return at;
}

void move_pair_apart(int32_t *nlsf, const int32_t *dm, int d, int i) {
  int32_t min_center = dm[i] >> 1;
  for (int k = 0; k < i; ++k) min_center += dm[k];
  int32_t max_center = 32768 - (dm[i] - (dm[i] >> 1));
  for (int k = i + 1; k <= d; ++k) max_center -= dm[k];
  int32_t center = rshift_round(nlsf[i - 1] + nlsf[i], 1);
  center = std::max(min_center, std::min(max_center, center));
  nlsf[i - 1] = center - (dm[i] >> 1);
  nlsf[i] = nlsf[i - 1] + dm[i];
}

void stabilize_by_sorting(int32_t *nlsf, const int32_t *dm, int d) {
  sort_all_values(nlsf, d);
  nlsf[0] = std::max(nlsf[0], dm[0]);
  for (int i = 1; i < d; ++i) nlsf[i] = std::max(nlsf[i], nlsf[i - 1] + dm[i]);
  nlsf[d - 1] = std::min(nlsf[d - 1], 32768 - dm[d]);
  for (int i = d - 2; i >= 0; --i) nlsf[i] = std::min(nlsf[i], nlsf[i + 1] - dm[i + 1]);
}

// One of the two half polynomials of the NLSF-to-LPC conversion, from every second cosine.
void half_polynomial(int32_t *out, const int32_t *c_q20, int dd) {
  auto rounded_product = [](int32_t f, int32_t v) {
    return static_cast<int32_t>(rshift_round64(smull(f, v), 20));
  };
  out[0] = 1 << 20;
  out[1] = -c_q20[0];
  for (int m = 1; m < dd; ++m) {
    const int32_t f = c_q20[2 * m];
    out[m + 1] = sub32(lshift(out[m - 1], 1), rounded_product(f, out[m]));
    for (int n = m; n > 1; --n)
      out[n] = sub32(add32(out[n], out[n - 2]), rounded_product(f, out[n - 1]));
    out[1] = sub32(out[1], f);
  }
}

// Scales the coefficients down until each fits 16 bits.
void limit_magnitudes(int32_t *a32, int d) {
  for (int round = 0; round < magnitude_limit_rounds; ++round) {
    int32_t maxabs = 0;
    int idx = 0;
    for (int k = 0; k < d; ++k) {
      int32_t v = abs32(a32[k]);
      if (v > maxabs) {
        maxabs = v;
        idx = k;
      }
    }
    if (maxabs <= 32767) return;
    maxabs = std::min(maxabs, 98369);
    int32_t sc_q16 = 65470 - (16367 * (maxabs - 32767)) / ((maxabs * (idx + 1)) >> 2);
    bwexpander_32(a32, d, sc_q16);
  }
  for (int k = 0; k < d; ++k) a32[k] = sat16(a32[k]);
}

void interpolate_nlsf(int32_t *out, const int32_t *prev, const int32_t *cur, int coef_q2, int d) {
  for (int i = 0; i < d; ++i) out[i] = prev[i] + ((coef_q2 * (cur[i] - prev[i])) >> 2);
}

void decode_lpc(decoder_state &st, const frame_indices &ix, decoder_control &ctrl) {
  const int d = st.lpc_order;
  const nlsf_codebook &cb = nlsf_codebook_for(d, ix.sigtype);
  int32_t nlsf_q15[max_lpc_order];
  nlsf_from_stages(cb, ix.nlsf, nlsf_q15);
  nlsf_stabilize(nlsf_q15, cb.ndelta_min_q15, d);
  ctrl.nlsf_interp_coef_q2 = st.first_frame_after_reset ? 4 : ix.nlsf_interp_coef_q2;
  nlsf2a_stable(ctrl.pred_coef_q12[1], nlsf_q15, d);
  if (ctrl.nlsf_interp_coef_q2 < 4) {
    int32_t nlsf0_q15[max_lpc_order] = {};
    interpolate_nlsf(nlsf0_q15, st.prev_nlsf_q15, nlsf_q15, ctrl.nlsf_interp_coef_q2, d);
    nlsf2a_stable(ctrl.pred_coef_q12[0], nlsf0_q15, d);
  } else {
    std::copy(ctrl.pred_coef_q12[1], ctrl.pred_coef_q12[1] + d, ctrl.pred_coef_q12[0]);
  }
  std::copy(nlsf_q15, nlsf_q15 + d, st.prev_nlsf_q15);
  if (st.loss_cnt > 0) {
    bwexpander(ctrl.pred_coef_q12[0], d, bwe_after_loss_q16);
    bwexpander(ctrl.pred_coef_q12[1], d, bwe_after_loss_q16);
  }
}

void decode_pitch_and_ltp(const decoder_state &st, const frame_indices &ix, decoder_control &ctrl) {
  const int32_t base = 2 * st.fs_khz + ix.lag_index;
  for (int k = 0; k < subframes_per_frame; ++k) {
    ctrl.pitch_l[k] = base + (st.fs_khz == 8 ? cb_lags_stage2[k][ix.contour_index]
                                             : cb_lags_stage3[k][ix.contour_index]);
    const int16_t *taps = ltp_vq_ptrs_q14[ix.per_index] + ix.ltp_index[k] * ltp_order;
    std::copy(taps, taps + ltp_order, ctrl.ltp_coef_q14 + k * ltp_order);
  }
  ctrl.ltp_scale_q14 = ltpscales_table_q14[ix.ltp_scale_index];
}

}  // namespace

int32_t gain_from_index(int32_t gain_index) {
  int32_t log_q7 = std::min(smulwb(gain_inv_scale_q16, gain_index) + gain_offset_q7, max_gain_log_q7);
  return log2lin(log_q7);
}

void nlsf_stabilize(int32_t *nlsf_q15, const int32_t *dm, int d) {
  for (int round = 0; round < stabilize_rounds; ++round) {
    int32_t margin;
    int i = smallest_margin(nlsf_q15, dm, d, margin);
    if (margin >= 0) return;
    if (i == 0)
      nlsf_q15[0] = dm[0];
    else if (i == d)
      nlsf_q15[d - 1] = 32768 - dm[d];
    else
      move_pair_apart(nlsf_q15, dm, d, i);
  }
  stabilize_by_sorting(nlsf_q15, dm, d);
}

void nlsf2a(int16_t *a_q12, const int32_t *nlsf_q15, int d) {
  int32_t c_q20[max_lpc_order] = {};
  for (int k = 0; k < d; ++k) {
    int32_t f_int = nlsf_q15[k] >> 8;
    int32_t f_frac = nlsf_q15[k] - lshift(f_int, 8);
    c_q20[k] = lshift(lsfcostab_fix_q12[f_int], 8) +
               (lsfcostab_fix_q12[f_int + 1] - lsfcostab_fix_q12[f_int]) * f_frac;
  }
  const int dd = d / 2;
  int32_t p[max_lpc_order / 2 + 1];
  int32_t q[max_lpc_order / 2 + 1];
  half_polynomial(p, c_q20, dd);
  half_polynomial(q, c_q20 + 1, dd);
  int32_t a32[max_lpc_order];
  for (int k = 0; k < dd; ++k) {
    int32_t ptmp = add32(p[k + 1], p[k]);
    int32_t qtmp = sub32(q[k + 1], q[k]);
    a32[k] = -rshift_round(add32(ptmp, qtmp), 9);
    a32[d - 1 - k] = rshift_round(sub32(qtmp, ptmp), 9);
  }
  limit_magnitudes(a32, d);
  for (int k = 0; k < d; ++k) a_q12[k] = int16(a32[k]);
}

void nlsf2a_stable(int16_t *a_q12, const int32_t *nlsf_q15, int d) {
  nlsf2a(a_q12, nlsf_q15, d);
  for (int i = 0; i < stabilize_rounds; ++i) {
    if (lpc_inverse_pred_gain(a_q12, d).stable) return;
    bwexpander(a_q12, d, 65536 - (10 + i) * i);
  }
  std::fill(a_q12, a_q12 + d, int16_t{0});
}

prediction_gain lpc_inverse_pred_gain(const int16_t *a_q12, int d) {
  int32_t a[max_lpc_order];
  for (int k = 0; k < d; ++k) a[k] = lshift(a_q12[k], 4);
  int32_t inv_gain_q30 = 1 << 30;
  auto unstable = [](int32_t v) { return v > stability_limit_q16 || v < -stability_limit_q16; };
  for (int k = d - 1; k > 0; --k) {
    if (unstable(a[k])) return {false, inv_gain_q30};
    const int32_t rc_q31 = -lshift(a[k], 15);
    const int32_t rc_mult1_q30 = 1073741823 - smmul(rc_q31, rc_q31);
    const int32_t rc_mult2_q16 = inverse32_varq(rc_mult1_q30, 46);
    inv_gain_q30 = lshift(smmul(inv_gain_q30, rc_mult1_q30), 2);
    const int headrm = clz32(rc_mult2_q16) - 1;
    const int32_t r2 = lshift(rc_mult2_q16, headrm);
    int32_t next[max_lpc_order];
    for (int n = 0; n < k; ++n) {
      int32_t tmp = sub32(a[n], lshift(smmul(a[k - 1 - n], rc_q31), 1));
      next[n] = lshift(smmul(tmp, r2), 16 - headrm);
    }
    std::copy(next, next + k, a);
  }
  if (unstable(a[0])) return {false, inv_gain_q30};
  const int32_t rc_q31 = -lshift(a[0], 15);
  const int32_t rc_mult1_q30 = 1073741823 - smmul(rc_q31, rc_q31);
  return {true, lshift(smmul(inv_gain_q30, rc_mult1_q30), 2)};
}

void decode_parameters(decoder_state &st, const frame_indices &ix, decoder_control &ctrl) {
  ctrl = decoder_control{};
  ctrl.sigtype = ix.sigtype;
  ctrl.quant_offset_type = ix.quant_offset_type;
  ctrl.seed = ix.seed;
  decode_gains(st, ix, ctrl);
  decode_lpc(st, ix, ctrl);
  if (ix.sigtype == 0) decode_pitch_and_ltp(st, ix, ctrl);
}

}  // namespace silk
