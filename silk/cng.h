// Comfort noise: learns the background from inactive good frames and adds it to concealed ones.
#ifndef SILK_CNG_H
#define SILK_CNG_H

#include <cstdint>

namespace silk {

struct decoder_state;
struct decoder_control;

struct cng_state {
    std::int32_t exc_buf_q10[480];    // learnt excitation, newest subframe first
    std::int32_t smth_nlsf_q15[16];
    std::int32_t synth_state[16];     // Q14, entry order-1 most recent
    std::int32_t smth_gain_q16;
    std::int32_t rand_seed;
    std::int32_t fs_khz;              // rate the state belongs to; 0 until the first use
};

// Decoder initialisation (also applied by itself whenever the internal rate changes).
void cng_reset(decoder_state &st);

// Runs on every frame after the glue: learns from a good inactive frame, or adds noise to a
// concealed frame. length is the frame length at the current internal rate.
void cng_process(decoder_state &st, const decoder_control &ctrl, std::int16_t *frame, int length);

} // namespace silk

#endif
