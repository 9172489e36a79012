// Filter stages the converter is assembled from. Each takes its memories
// explicitly so the same block can serve as first stage, pre- or post-stage.
// Input and output buffers must not overlap.
#ifndef SILK_RESAMPLER_BLOCKS_H
#define SILK_RESAMPLER_BLOCKS_H

#include <cstdint>

#include "resampler.h"

namespace silk {

// 2x up-samplers: len inputs give 2 * len outputs.
void resampler_up2_hq(int32_t s[6], int16_t *out, const int16_t *in, int32_t len);
void resampler_up2_lq(int32_t s[2], int16_t *out, const int16_t *in, int32_t len);
// Each input repeated twice after the low-quality 2x step: 4 * len outputs.
void resampler_up4(int32_t s[2], int16_t *out, const int16_t *in, int32_t len);

// Decimators: len / 2 and len / 4 outputs; a surplus input tail is ignored.
void resampler_down2(int32_t s[2], int16_t *out, const int16_t *in, int32_t len);
void resampler_down4(int32_t s[2], int16_t *out, const int16_t *in, int32_t len);

// Second-order all-pole filter, Q14 coefficients a[0..1], Q8 output.
void resampler_ar2(int32_t s[2], int32_t *out_Q8, const int16_t *in, int32_t len, const int16_t a[2]);
// Fourth-order pole-zero filter, coefficients as stored in the k:441 tables.
void resampler_arma4(int32_t s[4], int16_t *out, const int16_t *in, int32_t len, const int16_t c[7]);

// The structures: each converts in_len samples and returns how many it wrote.
int32_t resampler_run_iir_fir(resampler_state *s, int16_t *out, const int16_t *in, int32_t in_len);
int32_t resampler_run_down_fir(resampler_state *s, int16_t *out, const int16_t *in, int32_t in_len);

// The ROM table a structure was configured with.
const int16_t *resampler_coefs(const resampler_state *s);

} // namespace silk

#endif
