#include "indices.h"

#include <algorithm>

#include "arithmetic.h"

namespace silk {

namespace {

constexpr int shell_block_length = 16;
constexpr int escape_symbol = 19;
constexpr int escape_row = 9;
// A valid stream needs a few extra LSB levels at most; far more means the frame is garbage, and
// the cap keeps a damaged stream from looping without end.
constexpr int max_lsb_levels = 64;

struct pitch_lag_coding {
  const uint16_t *cdf;
  int k0;
};

pitch_lag_coding lag_coding(int fs_khz) {
  switch (fs_khz) {
    case 8: return {pitch_lag_nb_cdf, pitch_lag_nb_cdf_offset};
    case 12: return {pitch_lag_mb_cdf, pitch_lag_mb_cdf_offset};
    case 16: return {pitch_lag_wb_cdf, pitch_lag_wb_cdf_offset};
    default: return {pitch_lag_swb_cdf, pitch_lag_swb_cdf_offset};
  }
}

void decode_type_and_gains(decoder_state &st, frame_indices &ix, bool first) {
  range_decoder &rd = st.rd;
  ix.type_offset = first ? range_decode(rd, type_offset_cdf, type_offset_cdf_offset)
                         : range_decode(rd, type_offset_joint_cdf[st.type_offset_prev],
                                        type_offset_cdf_offset);
  st.type_offset_prev = ix.type_offset;
  ix.sigtype = ix.type_offset >> 1;
  ix.quant_offset_type = ix.type_offset & 1;
  ix.gain[0] = first ? range_decode(rd, gain_cdf[ix.sigtype], gain_cdf_offset)
                     : range_decode(rd, delta_gain_cdf, delta_gain_cdf_offset);
  for (int k = 1; k < subframes_per_frame; ++k)
    ix.gain[k] = range_decode(rd, delta_gain_cdf, delta_gain_cdf_offset);
}

void decode_nlsf(decoder_state &st, frame_indices &ix) {
  const nlsf_codebook &cb = nlsf_codebook_for(st.lpc_order, ix.sigtype);
  for (int s = 0; s < cb.n_stages; ++s)
    ix.nlsf[s] = range_decode(st.rd, cb.cdf_start_ptr[s], cb.cdf_middle_idx[s]);
  ix.nlsf_interp_coef_q2 =
      range_decode(st.rd, nlsf_interpolation_factor_cdf, nlsf_interpolation_factor_offset);
}

void decode_pitch_and_ltp(decoder_state &st, frame_indices &ix) {
  range_decoder &rd = st.rd;
  pitch_lag_coding lag = lag_coding(st.fs_khz);
  ix.lag_index = range_decode(rd, lag.cdf, lag.k0);
  ix.contour_index = st.fs_khz == 8
                         ? range_decode(rd, pitch_contour_nb_cdf, pitch_contour_nb_cdf_offset)
                         : range_decode(rd, pitch_contour_cdf, pitch_contour_cdf_offset);
  ix.per_index = range_decode(rd, ltp_per_index_cdf, ltp_per_index_cdf_offset);
  for (int k = 0; k < subframes_per_frame; ++k)
    ix.ltp_index[k] =
        range_decode(rd, ltp_gain_cdf_ptrs[ix.per_index], ltp_gain_cdf_offsets[ix.per_index]);
  ix.ltp_scale_index = range_decode(rd, ltpscale_cdf, ltpscale_offset);
}

// One split of a pulse total over two halves, with the split table of that level.
struct shell_level {
  const uint16_t *table;
  int max_total;
};
constexpr shell_level shell_levels[] = {
    {shell_code_table0, 6}, {shell_code_table1, 8}, {shell_code_table2, 12}, {shell_code_table3, 18}};

void shell_split(range_decoder &rd, int level, int32_t total, int32_t &left, int32_t &right) {
  left = right = 0;
  if (total == 0) return;
  const shell_level &sl = shell_levels[level];
  if (total > sl.max_total) {
    // Only a damaged stream gets here: after a decoding error every left half reads as 0, so a
    // whole total can land on a level whose table has no row for it. The frame is corrupt.
    if (rd.err == 0) rd.err = range_error_cdf;
    right = total;
    return;
  }
  left = range_decode(rd, sl.table + shell_code_table_offsets[total], total >> 1);
  right = total - left;
}

// Splits a total over 2 << level samples, depth first, left half before right half.
void shell_decode(range_decoder &rd, int level, int32_t total, int32_t *out) {
  int32_t left, right;
  shell_split(rd, level, total, left, right);
  if (level == 0) {
    out[0] = left;
    out[1] = right;
    return;
  }
  shell_decode(rd, level - 1, left, out);
  shell_decode(rd, level - 1, right, out + (1 << level));
}

void decode_pulses(decoder_state &st, frame_indices &ix, int32_t *q) {
  range_decoder &rd = st.rd;
  const int blocks = st.frame_length / shell_block_length;
  ix.rate_level = range_decode(rd, rate_levels_cdf[ix.sigtype], rate_levels_cdf_offset);
  int32_t counts[max_frame_length / shell_block_length];
  int lsb_levels[max_frame_length / shell_block_length];
  for (int b = 0; b < blocks; ++b) {
    lsb_levels[b] = 0;
    counts[b] = range_decode(rd, pulses_per_block_cdf[ix.rate_level], pulses_per_block_cdf_offset);
    while (counts[b] == escape_symbol) {
      if (++lsb_levels[b] > max_lsb_levels) {
        rd.err = range_error_cdf;
        counts[b] = 0;
        break;
      }
      counts[b] = range_decode(rd, pulses_per_block_cdf[escape_row], pulses_per_block_cdf_offset);
    }
  }
  for (int b = 0; b < blocks; ++b) {
    int32_t *block = q + b * shell_block_length;
    if (counts[b] > 0)
      shell_decode(rd, 3, counts[b], block);
    else
      std::fill(block, block + shell_block_length, 0);
  }
  for (int b = 0; b < blocks; ++b) {
    int32_t *block = q + b * shell_block_length;
    for (int k = 0; k < shell_block_length && lsb_levels[b] > 0; ++k) {
      int32_t m = block[k];
      for (int j = 0; j < lsb_levels[b]; ++j) m = add32(lshift(m, 1), range_decode(rd, lsb_cdf, 1));
      block[k] = m;
    }
  }
  const uint16_t sign_split =
      sign_cdf[9 * (2 * ix.sigtype + ix.quant_offset_type) + ix.rate_level];
  const uint16_t sign_table[3] = {0, sign_split, 65535};
  for (int i = 0; i < st.frame_length; ++i) {
    if (q[i] > 0 && range_decode(rd, sign_table, 1) == 0) q[i] = -q[i];
  }
}

}  // namespace

const nlsf_codebook &nlsf_codebook_for(int lpc_order, int sigtype) {
  if (lpc_order == min_lpc_order) return sigtype == 0 ? nlsf_cb0_10_struct : nlsf_cb1_10_struct;
  return sigtype == 0 ? nlsf_cb0_16_struct : nlsf_cb1_16_struct;
}

void decode_indices(decoder_state &st, frame_indices &ix, int32_t pulses[max_frame_length]) {
  ix = frame_indices{};
  const bool first = st.n_frames_decoded == 0;
  if (first) {
    int rate_index = range_decode(st.rd, samplingrates_cdf, samplingrates_offset);
    decoder_set_fs(st, samplingrates_table[rate_index]);
  }
  ix.fs_khz = st.fs_khz;
  decode_type_and_gains(st, ix, first);
  decode_nlsf(st, ix);
  if (ix.sigtype == 0) decode_pitch_and_ltp(st, ix);
  ix.seed = range_decode(st.rd, seed_cdf, seed_offset);
  decode_pulses(st, ix, pulses);
  ix.vad_flag = range_decode(st.rd, vadflag_cdf, vadflag_offset);
  ix.frame_termination = range_decode(st.rd, frametermination_cdf, frametermination_offset);
  st.vad_flag = ix.vad_flag;
  st.frame_termination = ix.frame_termination;
  st.n_bytes_left = range_decoder_check_end(st.rd);
}

}  // namespace silk
