// Set-up of the converter (choice of structure and its constants) and the
// run function with the stages for rates above 48 kHz.
#include "resampler.h"

#include <cstring>

#include "arithmetic.h"
#include "resampler_blocks.h"
#include "tables.h"

namespace silk {

namespace {

constexpr int32_t min_rate_hz = 8000;
constexpr int32_t max_rate_hz = 192000;
constexpr int32_t max_structure_rate_hz = 48000;
// The structures at most multiply the rate by 48000 / 8000; a few samples of
// margin cover the rounding of every batch.
constexpr int32_t max_structure_output = 6 * resampler_max_batch + 16;

int32_t gcd(int32_t a, int32_t b) {
  while (b > 0) {
    int32_t t = a % b;
    a = b;
    b = t;
  }
  return a;
}

// Number of octaves a rate above 48 kHz is brought down by: 0, 1 or 2.
int32_t octaves_above_48k(int32_t fs_hz) {
  if (fs_hz > 2 * max_structure_rate_hz) return 2;
  if (fs_hz > max_structure_rate_hz) return 1;
  return 0;
}

// num / den in Q16, rounded up: the smallest r with smulww(r, den) >= num.
// Stepping past the exact ratio makes the last output position of a batch
// fall short of its end, so a batch never yields an extra sample.
int32_t ratio_rounded_up_Q16(int32_t num, int32_t den) {
  return static_cast<int32_t>(((static_cast<int64_t>(num) << 16) + den - 1) / den);
}

void set_up_pre_post_stages(resampler_state *s, int32_t &fs_in, int32_t &fs_out) {
  s->nPre = octaves_above_48k(fs_in);
  s->nPost = octaves_above_48k(fs_out);
  if (s->nPre + s->nPost == 0) return;
  s->ratio_Q16 = ratio_rounded_up_Q16(fs_out, fs_in);
  s->batch_pp = fs_in / 100;
  fs_in >>= s->nPre;
  fs_out >>= s->nPost;
}

// 10 ms of input; rates that are not a multiple of 100 Hz take whole
// cycles of the rate pattern that fit into the largest batch.
int32_t batch_size(int32_t fs_in, int32_t fs_out) {
  int32_t batch = fs_in / 100;
  if (batch * 100 == fs_in) return batch;
  int32_t cycle = fs_in / gcd(fs_in, fs_out);
  int32_t cycles = resampler_max_batch / cycle;
  return cycles > 0 ? cycles * cycle : resampler_max_batch;
}

void choose_up2_first_stage(resampler_state *s, int32_t fs_in) {
  s->structure = resampler_structure::iir_fir;
  s->first_stage = fs_in > 24000 ? resampler_first_stage::up2_lq : resampler_first_stage::up2_hq;
}

struct down_ratio {
  int32_t out_mul, in_mul;  // selected when out_mul * fs_out == in_mul * fs_in
  resampler_structure structure;
  resampler_table table;
  int32_t phases;
  int32_t down2;
};

constexpr down_ratio down_ratios[] = {
    {4, 3, resampler_structure::down_fir, resampler_table::down_3_4, 3, 0},
    {3, 2, resampler_structure::down_fir, resampler_table::down_2_3, 2, 0},
    {2, 1, resampler_structure::down_fir, resampler_table::down_1_2, 1, 0},
    {8, 3, resampler_structure::down_fir, resampler_table::down_3_8, 3, 0},
    {3, 1, resampler_structure::down_fir, resampler_table::down_1_3, 1, 0},
    {4, 1, resampler_structure::down_fir, resampler_table::down_1_2, 1, 1},
    {6, 1, resampler_structure::down_fir, resampler_table::down_1_3, 1, 1},
    {441, 80, resampler_structure::iir_fir, resampler_table::arma4_80_441, 0, 0},
    {441, 120, resampler_structure::iir_fir, resampler_table::arma4_120_441, 0, 0},
    {441, 160, resampler_structure::iir_fir, resampler_table::arma4_160_441, 0, 0},
    {441, 240, resampler_structure::iir_fir, resampler_table::arma4_240_441, 0, 0},
    {441, 320, resampler_structure::iir_fir, resampler_table::arma4_320_441, 0, 0},
};

void choose_down_structure(resampler_state *s, int32_t fs_in, int32_t fs_out) {
  for (const down_ratio &r : down_ratios) {
    if (r.out_mul * fs_out != r.in_mul * fs_in) continue;
    s->structure = r.structure;
    s->table = r.table;
    s->phases = r.phases;
    s->down2 = r.down2;
    s->first_stage = r.structure == resampler_structure::iir_fir ? resampler_first_stage::arma4
                                                                  : resampler_first_stage::none;
    return;
  }
  choose_up2_first_stage(s, fs_in);
}

void choose_structure(resampler_state *s, int32_t fs_in, int32_t fs_out) {
  if (fs_out > fs_in) {
    if (fs_out == 2 * fs_in) {
      s->structure = resampler_structure::up2;
      s->first_stage = resampler_first_stage::up2_hq;
    } else {
      choose_up2_first_stage(s, fs_in);
    }
  } else if (fs_out < fs_in) {
    choose_down_structure(s, fs_in, fs_out);
  } else {
    s->structure = resampler_structure::copy;
  }
}

int32_t run_structure(resampler_state *s, int16_t *out, const int16_t *in, int32_t in_len) {
  switch (s->structure) {
  case resampler_structure::copy:
    std::memcpy(out, in, static_cast<size_t>(in_len) * sizeof *in);
    return in_len;
  case resampler_structure::up2:
    resampler_up2_hq(s->sIIR, out, in, in_len);
    return 2 * in_len;
  case resampler_structure::iir_fir:
    return resampler_run_iir_fir(s, out, in, in_len);
  case resampler_structure::down_fir:
    return resampler_run_down_fir(s, out, in, in_len);
  }
  return 0;
}

// Rates above 48 kHz: 10 ms chunks are brought into the structure's range,
// converted, and brought up again. Each chunk yields ratio_Q16 * chunk
// samples; the structure's output goes through a cleared buffer so that a
// count differing from that can neither leave stale values nor write past
// the caller's buffer.
void run_with_pre_post_stages(resampler_state *s, int16_t *out, const int16_t *in, int32_t in_len) {
  int16_t reduced[resampler_max_batch];
  int16_t converted[max_structure_output];
  while (in_len > 0) {
    int32_t n_in = min32(in_len, s->batch_pp);
    int32_t n_out = smulwb(s->ratio_Q16, n_in);
    const int16_t *structure_in = in;
    int32_t structure_len = n_in;
    if (s->nPre > 0) {
      (s->nPre == 1 ? resampler_down2 : resampler_down4)(s->sPre, reduced, in, n_in);
      structure_in = reduced;
      structure_len = n_in >> s->nPre;
    }
    std::memset(converted, 0, sizeof converted);
    int32_t produced = run_structure(s, converted, structure_in, structure_len);
    if (s->nPost > 0) {
      (s->nPost == 1 ? resampler_up2_lq : resampler_up4)(s->sPost, out, converted, n_out >> s->nPost);
    } else {
      std::memcpy(out, converted, static_cast<size_t>(min32(produced, n_out)) * sizeof *out);
    }
    out += n_out;
    in += n_in;
    in_len -= n_in;
  }
}

} // namespace

const int16_t *resampler_coefs(const resampler_state *s) {
  switch (s->table) {
  case resampler_table::down_3_4: return resampler_3_4_coefs;
  case resampler_table::down_2_3: return resampler_2_3_coefs;
  case resampler_table::down_1_2: return resampler_1_2_coefs;
  case resampler_table::down_3_8: return resampler_3_8_coefs;
  case resampler_table::down_1_3: return resampler_1_3_coefs;
  case resampler_table::arma4_80_441: return resampler_80_441_arma4_coefs;
  case resampler_table::arma4_120_441: return resampler_120_441_arma4_coefs;
  case resampler_table::arma4_160_441: return resampler_160_441_arma4_coefs;
  case resampler_table::arma4_240_441: return resampler_240_441_arma4_coefs;
  case resampler_table::arma4_320_441: return resampler_320_441_arma4_coefs;
  case resampler_table::none: break;
  }
  return nullptr;
}

int resampler_init(resampler_state *s, int32_t fs_in_hz, int32_t fs_out_hz) {
  std::memset(s, 0, sizeof *s);
  if (fs_in_hz < min_rate_hz || fs_in_hz > max_rate_hz || fs_out_hz < min_rate_hz || fs_out_hz > max_rate_hz)
    return -1;
  set_up_pre_post_stages(s, fs_in_hz, fs_out_hz);
  s->batch = batch_size(fs_in_hz, fs_out_hz);
  choose_structure(s, fs_in_hz, fs_out_hz);
  int32_t up2 = s->structure == resampler_structure::iir_fir && s->first_stage != resampler_first_stage::arma4;
  s->input2x = up2 | s->down2;
  s->inc_Q16 = ratio_rounded_up_Q16(fs_in_hz << up2, fs_out_hz << s->down2);
  s->initialised = 1;
  return 0;
}

int resampler_process(resampler_state *s, int16_t *out, const int16_t *in, int32_t in_len) {
  // A negative count would walk the histories backwards out of their buffers.
  if (!s->initialised || in_len < 0) return -1;
  if (s->nPre + s->nPost == 0)
    run_structure(s, out, in, in_len);
  else
    run_with_pre_post_stages(s, out, in, in_len);
  return 0;
}

} // namespace silk
