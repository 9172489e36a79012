#include "range_encoder.h"

#include <cstdlib>

#include "tables.h"

namespace silk_test {

using namespace silk;

void range_encoder::propagate_carry() {
  for (auto it = bytes_.rbegin(); it != bytes_.rend(); ++it)
    if (++*it != 0) return;
}

void range_encoder::output_byte(uint32_t byte) { bytes_.push_back(static_cast<uint8_t>(byte)); }

void range_encoder::encode(const uint16_t *cdf, int symbol) {
  const uint32_t low = cdf[symbol];
  const uint32_t high = cdf[symbol + 1];
  const uint32_t before = base_;
  base_ += range_ * low;
  if (base_ < before) propagate_carry();
  const uint32_t width = range_ * (high - low);
  if (width >= (1u << 24)) {
    range_ = width >> 16;
    return;
  }
  range_ = width >= (1u << 16) ? width >> 8 : width;
  const int shifts = width >= (1u << 16) ? 1 : 2;
  for (int i = 0; i < shifts; ++i) {
    output_byte(base_ >> 24);
    base_ <<= 8;
  }
}

std::vector<uint8_t> range_encoder::finish() {
  for (int i = 0; i < 4; ++i) {
    output_byte(base_ >> 24);
    base_ <<= 8;
  }
  return bytes_;
}

namespace {

constexpr int block_length = 16;

const uint16_t *const shell_tables[] = {shell_code_table0, shell_code_table1, shell_code_table2,
                                        shell_code_table3};

int32_t sum(const int32_t *m, int n) {
  int32_t s = 0;
  for (int i = 0; i < n; ++i) s += m[i];
  return s;
}

constexpr int32_t shell_max_total[] = {6, 8, 12, 18};

// Whether every split of the block has a row in its table and a symbol of non-zero width.
bool shell_codable(int level, const int32_t *m) {
  const int half = 1 << level;
  const int32_t total = sum(m, 2 * half);
  if (total > shell_max_total[level]) return false;
  if (total > 0) {
    const uint16_t *row = shell_tables[level] + shell_code_table_offsets[total];
    const int32_t left = sum(m, half);
    if (row[left + 1] == row[left]) return false;
  }
  return level == 0 || (shell_codable(level - 1, m) && shell_codable(level - 1, m + half));
}

// Mirrors the decoder's depth-first split order.
void shell_encode(range_encoder &enc, int level, const int32_t *m) {
  const int half = 1 << level;
  const int32_t total = sum(m, 2 * half);
  if (total > 0) enc.encode(shell_tables[level] + shell_code_table_offsets[total], sum(m, half));
  if (level == 0) return;
  shell_encode(enc, level - 1, m);
  shell_encode(enc, level - 1, m + half);
}

void write_pulses(range_encoder &enc, const frame_content &f, int frame_length) {
  const silk::frame_indices &ix = f.ix;
  const int blocks = frame_length / block_length;
  enc.encode(rate_levels_cdf[ix.sigtype], ix.rate_level);
  std::vector<int32_t> magnitude(frame_length);
  for (int i = 0; i < frame_length; ++i) magnitude[i] = std::abs(f.pulses[i]);
  std::vector<int> levels(blocks, 0);
  std::vector<int32_t> shifted(frame_length);
  for (int b = 0; b < blocks; ++b) {
    int &n = levels[b];
    if (b < static_cast<int>(f.min_lsb_levels.size())) n = f.min_lsb_levels[b];
    int32_t *block = &shifted[b * block_length];
    auto shift_block = [&] {
      for (int k = 0; k < block_length; ++k) block[k] = magnitude[b * block_length + k] >> n;
    };
    for (shift_block(); !shell_codable(3, block); shift_block()) ++n;
    for (int e = 0; e < n; ++e) enc.encode(pulses_per_block_cdf[e == 0 ? ix.rate_level : 9], 19);
    enc.encode(pulses_per_block_cdf[n == 0 ? ix.rate_level : 9], sum(block, block_length));
  }
  for (int b = 0; b < blocks; ++b) shell_encode(enc, 3, &shifted[b * block_length]);
  for (int b = 0; b < blocks; ++b)
    for (int k = 0; k < block_length; ++k)
      for (int j = levels[b] - 1; j >= 0; --j)
        enc.encode(lsb_cdf, (magnitude[b * block_length + k] >> j) & 1);
  const uint16_t split = sign_cdf[9 * (2 * ix.sigtype + ix.quant_offset_type) + ix.rate_level];
  const uint16_t sign_table[3] = {0, split, 65535};
  for (int i = 0; i < frame_length; ++i)
    if (f.pulses[i] != 0) enc.encode(sign_table, f.pulses[i] > 0 ? 1 : 0);
}

const uint16_t *lag_cdf(int fs_khz) {
  switch (fs_khz) {
    case 8: return pitch_lag_nb_cdf;
    case 12: return pitch_lag_mb_cdf;
    case 16: return pitch_lag_wb_cdf;
    default: return pitch_lag_swb_cdf;
  }
}

int rate_index(int fs_khz) {
  for (int i = 0; i < 4; ++i)
    if (samplingrates_table[i] == fs_khz) return i;
  return 0;
}

}  // namespace

std::vector<uint8_t> write_packet(int fs_khz, const std::vector<frame_content> &frames) {
  range_encoder enc;
  const int lpc_order = fs_khz == 8 ? 10 : 16;
  int previous_type = 0;
  for (size_t n = 0; n < frames.size(); ++n) {
    const silk::frame_indices &ix = frames[n].ix;
    const bool first = n == 0;
    if (first) enc.encode(samplingrates_cdf, rate_index(fs_khz));
    enc.encode(first ? type_offset_cdf : type_offset_joint_cdf[previous_type], ix.type_offset);
    previous_type = ix.type_offset;
    enc.encode(first ? gain_cdf[ix.sigtype] : delta_gain_cdf, ix.gain[0]);
    for (int k = 1; k < 4; ++k) enc.encode(delta_gain_cdf, ix.gain[k]);
    const nlsf_codebook &cb = nlsf_codebook_for(lpc_order, ix.sigtype);
    for (int s = 0; s < cb.n_stages; ++s) enc.encode(cb.cdf_start_ptr[s], ix.nlsf[s]);
    enc.encode(nlsf_interpolation_factor_cdf, ix.nlsf_interp_coef_q2);
    if (ix.sigtype == 0) {
      enc.encode(lag_cdf(fs_khz), ix.lag_index);
      enc.encode(fs_khz == 8 ? pitch_contour_nb_cdf : pitch_contour_cdf, ix.contour_index);
      enc.encode(ltp_per_index_cdf, ix.per_index);
      for (int k = 0; k < 4; ++k) enc.encode(ltp_gain_cdf_ptrs[ix.per_index], ix.ltp_index[k]);
      enc.encode(ltpscale_cdf, ix.ltp_scale_index);
    }
    enc.encode(seed_cdf, ix.seed);
    write_pulses(enc, frames[n], 20 * fs_khz);
    enc.encode(vadflag_cdf, ix.vad_flag);
    enc.encode(frametermination_cdf, ix.frame_termination);
  }
  return enc.finish();
}

}  // namespace silk_test
