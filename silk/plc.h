// Packet-loss concealment: what the decoder remembers from the last good frame, the synthesis of
// a frame that did not arrive, and the fade-in of the first good frame after a loss.
#ifndef SILK_PLC_H
#define SILK_PLC_H

#include <cstdint>

namespace silk {

struct decoder_state;
struct decoder_control;

struct plc_state {
    std::int32_t pitch_l_q8;          // lag for voiced concealment
    std::int16_t ltp_coef_q14[5];     // only the centre tap is ever non-zero
    std::int16_t prev_lpc_q12[16];    // expanded further on every concealed frame
    std::int16_t prev_ltp_scale_q14;
    std::int32_t prev_gain_q16[4];
    std::int32_t rand_seed;           // never reset after initialisation
    std::int16_t rand_scale_q14;
    std::int32_t conc_energy;         // energy of the last concealed frame, with its shift
    std::int32_t conc_energy_shift;
    std::int32_t last_frame_lost;
    std::int32_t fs_khz;              // rate the state belongs to; 0 until the first use
};

// Decoder initialisation: the lag a loss as the very first call uses.
void plc_reset(decoder_state &st);

// After a good frame has been reconstructed: remember what a later concealment needs.
void plc_update(decoder_state &st, const decoder_control &ctrl);

// Synthesises one concealed frame of st's frame length into out and leaves the final
// concealment lag in ctrl's pitch lags. The caller increments the loss counter afterwards.
void plc_conceal(decoder_state &st, decoder_control &ctrl, std::int16_t *out);

// Runs on every frame before comfort noise: measures concealed frames and fades in the first
// good frame after them when it is louder.
void plc_glue_frames(decoder_state &st, std::int16_t *frame, int length);

} // namespace silk

#endif
