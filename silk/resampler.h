// Output sample-rate converter: turns each decoded frame from the internal
// rate into the rate the caller asked for, bit-exact with the SDK's
// fixed-point converter. The state is a plain fixed-size record so the
// decoder state can embed it and clear it with the rest of itself.
#ifndef SILK_RESAMPLER_H
#define SILK_RESAMPLER_H

#include <cstdint>

namespace silk {

enum class resampler_structure : int32_t {
  copy,
  up2,      // direct high-quality 2x
  iir_fir,  // IIR first stage + 144-phase FIR interpolation
  down_fir, // AR2 + 12-tap FIR decimation
};

enum class resampler_first_stage : int32_t {
  none,
  up2_hq,
  up2_lq,
  arma4,
};

// ROM table read by the first stage or the decimating FIR.
enum class resampler_table : int32_t {
  none,
  down_3_4,
  down_2_3,
  down_1_2,
  down_3_8,
  down_1_3,
  arma4_80_441,
  arma4_120_441,
  arma4_160_441,
  arma4_240_441,
  arma4_320_441,
};

// Input samples per inner block; also the largest block the run function
// keeps on its stack.
inline constexpr int32_t resampler_max_batch = 480;
inline constexpr int32_t resampler_iir_fir_history = 6;
inline constexpr int32_t resampler_down_fir_history = 12;

struct resampler_state {
  int32_t sIIR[6];                                // first-stage / AR2 memories
  int16_t histI[resampler_iir_fir_history];       // IIRFIR intermediate history
  int32_t histD[resampler_down_fir_history];      // DOWNFIR AR2 output history (Q8)
  int32_t sDown2[2];                              // 2x pre-decimator inside DOWNFIR
  int32_t sPre[2];                                // >48 kHz pre-stage
  int32_t sPost[2];                               // >48 kHz post-stage

  resampler_structure structure;
  resampler_first_stage first_stage;
  resampler_table table;
  int32_t batch;      // B
  int32_t inc_Q16;    // intermediate samples per output sample
  int32_t phases;     // P of the decimating FIR
  int32_t input2x;
  int32_t down2;
  int32_t nPre;
  int32_t nPost;
  int32_t ratio_Q16;
  int32_t batch_pp;
  int32_t initialised;
};

// Returns 0, or -1 (state left cleared and unusable) for a rate outside
// 8000..192000 Hz.
int resampler_init(resampler_state *s, int32_t fs_in_hz, int32_t fs_out_hz);

// Converts in_len samples into out (which must not overlap in); returns -1
// without writing when the state was never set up successfully or in_len is
// negative.
int resampler_process(resampler_state *s, int16_t *out, const int16_t *in, int32_t in_len);

} // namespace silk

#endif
