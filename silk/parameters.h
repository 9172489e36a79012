// Dequantisation of a frame's indices: gains, NLSF vector and LPC filters, pitch lags, LTP taps.
#ifndef SILK_PARAMETERS_H
#define SILK_PARAMETERS_H

#include <cstdint>

#include "indices.h"
#include "state.h"

namespace silk {

// Turns the indices into the frame's parameters. Updates the running gain index and the
// previous NLSF vector in st, also for a frame that later turns out corrupt.
void decode_parameters(decoder_state &st, const frame_indices &ix, decoder_control &ctrl);

// Forces the NLSF vector into the ordering and minimum distances the codebook demands.
void nlsf_stabilize(int32_t *nlsf_q15, const int32_t *ndelta_min_q15, int order);

// NLSF vector (Q15) to LPC coefficients (Q12), without the stability check.
void nlsf2a(int16_t *a_q12, const int32_t *nlsf_q15, int order);

// NLSF to LPC, bandwidth-expanded until the filter is stable (all zeros if that never happens).
void nlsf2a_stable(int16_t *a_q12, const int32_t *nlsf_q15, int order);

// Inverse prediction gain (Q30) of an LPC filter; stable tells whether the filter passed the
// stability test. On an unstable filter the gain is the product up to the failing step.
struct prediction_gain {
  bool stable;
  int32_t inv_gain_q30;
};
prediction_gain lpc_inverse_pred_gain(const int16_t *a_q12, int order);
inline int32_t inverse_pred_gain_q30(const int16_t *a_q12, int order) {
  return lpc_inverse_pred_gain(a_q12, order).inv_gain_q30;
}

// Q16 gain of a running gain index.
int32_t gain_from_index(int32_t gain_index);

}  // namespace silk

#endif
