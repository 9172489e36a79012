// Debug aid: with SILK_DEBUG_TRACE defined, every parsed frame prints its indices and
// parameters to stderr in a stable text form, for a stage-by-stage comparison.
#ifndef SILK_DEBUG_TRACE_H
#define SILK_DEBUG_TRACE_H

#include <cstdint>

#include "indices.h"
#include "state.h"

namespace silk {

#ifdef SILK_DEBUG_TRACE
void trace_frame(const decoder_state &st, const frame_indices &ix, const decoder_control &ctrl,
                 const int32_t *pulses);
#else
inline void trace_frame(const decoder_state &, const frame_indices &, const decoder_control &,
                        const int32_t *) {}
#endif

}  // namespace silk

#endif
