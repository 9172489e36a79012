// The two FIR structures of the converter. Both work through the input in
// batches of at most resampler_max_batch samples and restart the
// interpolation position at every batch; only the filter memories and the
// sample histories carry over, which is what keeps the output identical to
// the reference when a frame is cut differently.
#include <cstring>

#include "arithmetic.h"
#include "resampler_blocks.h"
#include "tables.h"

namespace silk {

namespace {

constexpr int32_t fir_144_phases = 144;

void run_iir_first_stage(resampler_state *s, int16_t *out, const int16_t *in, int32_t len) {
  switch (s->first_stage) {
  case resampler_first_stage::up2_hq:
    resampler_up2_hq(s->sIIR, out, in, len);
    break;
  case resampler_first_stage::up2_lq:
    resampler_up2_lq(s->sIIR, out, in, len);
    break;
  case resampler_first_stage::arma4:
    resampler_arma4(s->sIIR, out, in, len, resampler_coefs(s));
    break;
  case resampler_first_stage::none:
    break;
  }
}

// Six-tap interpolation at phase t of 144: the last three taps are those of
// the mirrored phase in reverse order.
inline int16_t interpolate_144(const int16_t *z, int32_t t) {
  const int16_t *lo = resampler_frac_fir_144[t];
  const int16_t *hi = resampler_frac_fir_144[fir_144_phases - 1 - t];
  int32_t acc = smulbb(z[0], lo[0]);
  acc = smlabb(acc, z[1], lo[1]);
  acc = smlabb(acc, z[2], lo[2]);
  acc = smlabb(acc, z[3], hi[2]);
  acc = smlabb(acc, z[4], hi[1]);
  acc = smlabb(acc, z[5], hi[0]);
  return static_cast<int16_t>(sat16(rshift_round(acc, 15)));
}

// Decimating FIR with one symmetric phase: the mirrored window values are
// summed before the multiplication, one rounding per pair.
inline int16_t decimate_symmetric(const int32_t *z, const int16_t c[6]) {
  int32_t acc = 0;
  for (int j = 0; j < 6; j++) acc = smlawb(acc, add32(z[j], z[11 - j]), c[j]);
  return static_cast<int16_t>(sat16(rshift_round(acc, 6)));
}

// Decimating FIR with several phases: phase g and the reversed mirror
// phase, twelve separately rounded products.
inline int16_t decimate_polyphase(const int32_t *z, const int16_t *c, int32_t phases, int32_t g) {
  const int16_t *lo = c + 6 * g;
  const int16_t *hi = c + 6 * (phases - 1 - g);
  int32_t acc = 0;
  for (int j = 0; j < 6; j++) acc = smlawb(acc, z[j], lo[j]);
  for (int j = 0; j < 6; j++) acc = smlawb(acc, z[11 - j], hi[j]);
  return static_cast<int16_t>(sat16(rshift_round(acc, 6)));
}

} // namespace

int32_t resampler_run_iir_fir(resampler_state *s, int16_t *out, const int16_t *in, int32_t in_len) {
  constexpr int32_t hist = resampler_iir_fir_history;
  int16_t z[hist + 2 * resampler_max_batch];
  std::memcpy(z, s->histI, sizeof s->histI);
  int32_t written = 0;
  int32_t remaining = in_len;
  do {
    int32_t n = min32(remaining, s->batch);
    int32_t m = n << s->input2x;
    run_iir_first_stage(s, z + hist, in, n);
    int32_t end_Q16 = m << 16;
    for (int32_t idx = 0; idx < end_Q16; idx += s->inc_Q16)
      out[written++] = interpolate_144(z + (idx >> 16), smulwb(idx & 0xFFFF, fir_144_phases));
    in += n;
    remaining -= n;
    std::memmove(z, z + m, hist * sizeof z[0]);
  } while (remaining > 0);
  std::memcpy(s->histI, z, sizeof s->histI);
  return written;
}

int32_t resampler_run_down_fir(resampler_state *s, int16_t *out, const int16_t *in, int32_t in_len) {
  constexpr int32_t hist = resampler_down_fir_history;
  int32_t z[hist + resampler_max_batch];
  int16_t halved[resampler_max_batch / 2];
  const int16_t *coefs = resampler_coefs(s);
  const int16_t *taps = coefs + 2;
  std::memcpy(z, s->histD, sizeof s->histD);
  int32_t written = 0;
  int32_t remaining = in_len;
  do {
    int32_t n = min32(remaining, s->batch);
    const int16_t *ar2_in = in;
    if (s->down2) {
      resampler_down2(s->sDown2, halved, in, n);
      n >>= 1;
      ar2_in = halved;
    }
    resampler_ar2(s->sIIR, z + hist, ar2_in, n, coefs);
    int32_t end_Q16 = n << 16;
    for (int32_t idx = 0; idx < end_Q16; idx += s->inc_Q16) {
      const int32_t *window = z + (idx >> 16);
      out[written++] = s->phases == 1
                           ? decimate_symmetric(window, taps)
                           : decimate_polyphase(window, taps, s->phases, smulwb(idx & 0xFFFF, s->phases));
    }
    in += n << s->down2;
    remaining -= n << s->down2;
    std::memmove(z, z + n, hist * sizeof z[0]);
  } while (remaining > s->down2);
  std::memcpy(s->histD, z, sizeof s->histD);
  return written;
}

} // namespace silk
