// The IIR building blocks of the converter: 2x/4x up- and down-samplers made
// of first-order all-pass sections, the AR2 of the decimating FIR and the
// ARMA4 first stage.
#include "resampler_blocks.h"

#include "arithmetic.h"
#include "tables.h"

namespace silk {

namespace {

// First-order all-pass section. The tables hold coefficients above 32767
// wrapped to int16; read back as unsigned they give the Q16 value the
// section multiplies by, so one exact 48-bit product covers both forms.
inline int32_t all_pass(int32_t &s, int32_t x, int16_t coef) {
  int32_t d = sub32(x, s);
  int32_t t = static_cast<int32_t>((static_cast<int64_t>(d) * static_cast<uint16_t>(coef)) >> 16);
  int32_t y = add32(s, t);
  s = add32(x, t);
  return y;
}

// One output of the high-quality up-sampler: the all-pass pair, then the
// notch recursion that links the even and odd outputs. r_own is the notch
// memory of this output's parity, r_other that of the previous output.
inline int16_t up2_hq_branch(int32_t &a0, int32_t &a1, int32_t &r_own, int32_t r_other,
                             int32_t u, const int16_t coefs[2]) {
  const int16_t *notch = resampler_up2_hq_notch;
  int32_t w = all_pass(a1, all_pass(a0, u, coefs[0]), coefs[1]);
  int32_t g = smlawb(smlawb(w, r_own, notch[2]), r_other, notch[1]);
  int32_t h = smlawb(g, r_other, notch[0]);
  r_own = sub32(g, r_own);
  return static_cast<int16_t>(sat16(smlawb(256, h, notch[3]) >> 9));
}

inline int16_t round_q10(int32_t x) { return static_cast<int16_t>(sat16(rshift_round(x, 10))); }

inline int16_t down2_output(int32_t s[2], int32_t even, int32_t odd) {
  int32_t ye = all_pass(s[0], even, resampler_down2_1);
  int32_t yo = all_pass(s[1], odd, resampler_down2_0);
  return static_cast<int16_t>(sat16(rshift_round(add32(ye, yo), 11)));
}

} // namespace

void resampler_up2_hq(int32_t s[6], int16_t *out, const int16_t *in, int32_t len) {
  for (int32_t k = 0; k < len; k++) {
    int32_t u = lshift(in[k], 10);
    out[2 * k] = up2_hq_branch(s[0], s[1], s[5], s[4], u, resampler_up2_hq_0);
    out[2 * k + 1] = up2_hq_branch(s[2], s[3], s[4], s[5], u, resampler_up2_hq_1);
  }
}

void resampler_up2_lq(int32_t s[2], int16_t *out, const int16_t *in, int32_t len) {
  for (int32_t k = 0; k < len; k++) {
    int32_t u = lshift(in[k], 10);
    out[2 * k] = round_q10(all_pass(s[0], u, resampler_up2_lq_0));
    out[2 * k + 1] = round_q10(all_pass(s[1], u, resampler_up2_lq_1));
  }
}

void resampler_up4(int32_t s[2], int16_t *out, const int16_t *in, int32_t len) {
  for (int32_t k = 0; k < len; k++) {
    int32_t u = lshift(in[k], 10);
    int16_t even = round_q10(all_pass(s[0], u, resampler_up2_lq_0));
    int16_t odd = round_q10(all_pass(s[1], u, resampler_up2_lq_1));
    out[4 * k] = out[4 * k + 1] = even;
    out[4 * k + 2] = out[4 * k + 3] = odd;
  }
}

void resampler_down2(int32_t s[2], int16_t *out, const int16_t *in, int32_t len) {
  for (int32_t k = 0; k < len / 2; k++)
    out[k] = down2_output(s, lshift(in[2 * k], 10), lshift(in[2 * k + 1], 10));
}

void resampler_down4(int32_t s[2], int16_t *out, const int16_t *in, int32_t len) {
  for (int32_t k = 0; k < len / 4; k++) {
    int32_t even = lshift(in[4 * k] + in[4 * k + 1], 9);
    int32_t odd = lshift(in[4 * k + 2] + in[4 * k + 3], 9);
    out[k] = down2_output(s, even, odd);
  }
}

void resampler_ar2(int32_t s[2], int32_t *out_Q8, const int16_t *in, int32_t len, const int16_t a[2]) {
  for (int32_t k = 0; k < len; k++) {
    int32_t q = add32(s[0], lshift(in[k], 8));
    out_Q8[k] = q;
    int32_t t = lshift(q, 2);
    s[0] = smlawb(s[1], t, a[0]);
    s[1] = smulwb(t, a[1]);
  }
}

void resampler_arma4(int32_t s[4], int16_t *out, const int16_t *in, int32_t len, const int16_t c[7]) {
  for (int32_t k = 0; k < len; k++) {
    int32_t u = lshift(in[k], 8);
    int32_t v1 = add32(u, lshift(s[0], 2));
    int32_t v2 = add32(v1, lshift(s[2], 2));
    s[0] = smlawb(smlawb(s[1], u, c[0]), v1, c[2]);
    s[2] = smlawb(smlawb(s[3], v1, c[1]), v2, c[4]);
    s[1] = smlawb(u >> 2, v1, c[3]);
    s[3] = smlawb(v1 >> 2, v2, c[5]);
    out[k] = static_cast<int16_t>(sat16(smlawb(128, v2, c[6]) >> 8));
  }
}

} // namespace silk
