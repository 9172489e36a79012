// Packets written by the test range encoder from chosen indices must parse back to the same
// indices and pulses; plus the range decoder's behaviour at the edges of a payload.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "indices.h"
#include "range_decoder.h"
#include "range_encoder.h"
#include "state.h"
#include "tables.h"

using silk_test::frame_content;

namespace {

std::unique_ptr<silk::decoder_state> fresh_decoder() {
  auto st = std::make_unique<silk::decoder_state>();
  silk::decoder_init(*st);
  return st;
}

frame_content voiced_frame(int fs_khz, uint32_t seed) {
  frame_content f;
  silk::frame_indices &ix = f.ix;
  ix.fs_khz = fs_khz;
  ix.type_offset = 1;
  ix.sigtype = 0;
  ix.quant_offset_type = 1;
  ix.gain[0] = 40;
  ix.gain[1] = 3;
  ix.gain[2] = 44;
  ix.gain[3] = 0;
  const int stages = fs_khz == 8 ? 6 : 10;
  for (int s = 0; s < stages; ++s) ix.nlsf[s] = s == 0 ? 17 : s % 5;
  ix.nlsf_interp_coef_q2 = 2;
  ix.lag_index = 5 * fs_khz;
  ix.contour_index = fs_khz == 8 ? 7 : 20;
  ix.per_index = 2;
  ix.ltp_index[0] = 0;
  ix.ltp_index[1] = 39;
  ix.ltp_index[2] = 11;
  ix.ltp_index[3] = 25;
  ix.ltp_scale_index = 1;
  ix.seed = 3;
  ix.rate_level = 6;
  ix.vad_flag = 1;
  ix.frame_termination = 1;
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> small(-2, 2);
  f.pulses.resize(20 * fs_khz);
  for (auto &p : f.pulses) p = small(rng);
  // Block 1 needs escapes; block 2 is escaped although every magnitude fits in its LSBs, so its
  // count after the escape is 0.
  for (int k = 0; k < 16; ++k) f.pulses[16 + k] = (k % 2 ? -1 : 1) * (20 + 7 * k);
  for (int k = 0; k < 16; ++k) f.pulses[32 + k] = k % 3 == 0 ? -1 : 0;
  f.min_lsb_levels = {0, 0, 1};
  return f;
}

frame_content unvoiced_frame(int fs_khz) {
  frame_content f;
  silk::frame_indices &ix = f.ix;
  ix.fs_khz = fs_khz;
  ix.type_offset = 2;
  ix.sigtype = 1;
  ix.gain[0] = 7;
  ix.gain[1] = 4;
  ix.gain[2] = 1;
  ix.gain[3] = 9;
  ix.nlsf[0] = 30;
  ix.nlsf_interp_coef_q2 = 4;
  ix.seed = 1;
  ix.rate_level = 2;
  ix.frame_termination = 0;
  f.pulses.assign(20 * fs_khz, 0);
  f.pulses[3] = 4;
  f.pulses[100] = -1;
  return f;
}

void expect_same_indices(const silk::frame_indices &want, const silk::frame_indices &got) {
  EXPECT_EQ(got.fs_khz, want.fs_khz);
  EXPECT_EQ(got.type_offset, want.type_offset);
  EXPECT_EQ(got.sigtype, want.sigtype);
  EXPECT_EQ(got.quant_offset_type, want.quant_offset_type);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(got.gain[k], want.gain[k]) << "gain " << k;
    EXPECT_EQ(got.ltp_index[k], want.ltp_index[k]) << "ltp " << k;
  }
  for (int s = 0; s < silk::max_nlsf_stages; ++s) EXPECT_EQ(got.nlsf[s], want.nlsf[s]) << "stage " << s;
  EXPECT_EQ(got.nlsf_interp_coef_q2, want.nlsf_interp_coef_q2);
  EXPECT_EQ(got.lag_index, want.lag_index);
  EXPECT_EQ(got.contour_index, want.contour_index);
  EXPECT_EQ(got.per_index, want.per_index);
  EXPECT_EQ(got.ltp_scale_index, want.ltp_scale_index);
  EXPECT_EQ(got.seed, want.seed);
  EXPECT_EQ(got.rate_level, want.rate_level);
  EXPECT_EQ(got.vad_flag, want.vad_flag);
  EXPECT_EQ(got.frame_termination, want.frame_termination);
}

// Parses every frame of the packet the way the decoder walks it.
void expect_round_trip(int fs_khz, const std::vector<frame_content> &frames) {
  const std::vector<uint8_t> packet = silk_test::write_packet(fs_khz, frames);
  auto st = fresh_decoder();
  silk::range_decoder_init(st->rd, packet.data(), static_cast<int32_t>(packet.size()));
  for (size_t n = 0; n < frames.size(); ++n) {
    SCOPED_TRACE(testing::Message() << fs_khz << " kHz, frame " << n);
    silk::frame_indices ix;
    int32_t pulses[silk::max_frame_length];
    silk::decode_indices(*st, ix, pulses);
    ASSERT_EQ(st->rd.err, 0);
    EXPECT_EQ(st->fs_khz, fs_khz);
    expect_same_indices(frames[n].ix, ix);
    EXPECT_EQ(std::vector<int32_t>(pulses, pulses + 20 * fs_khz), frames[n].pulses);
    EXPECT_GT(st->n_bytes_left, 0);
    st->n_frames_decoded += 1;
  }
}

}  // namespace

TEST(Bitstream, MultiFramePacketsParseBackAtEveryRate) {
  for (int fs : {8, 12, 16, 24}) {
    frame_content last = voiced_frame(fs, 2);
    last.ix.frame_termination = 0;
    // Frames 2 and 3 use the conditional type coding and a delta-coded first gain.
    expect_round_trip(fs, {voiced_frame(fs, 1), unvoiced_frame(fs), last});
  }
}

TEST(Bitstream, SingleFramePacketParsesBack) {
  expect_round_trip(24, {unvoiced_frame(24)});
}

TEST(Bitstream, SymbolSequencesRoundTripThroughArbitraryTables) {
  std::mt19937 rng(7);
  const uint16_t *tables[] = {silk::pitch_lag_swb_cdf, silk::lsb_cdf, silk::gain_cdf[1],
                              silk::delta_gain_cdf, silk::seed_cdf};
  const int sizes[] = {384, 2, 64, 45, 4};
  for (int trial = 0; trial < 20; ++trial) {
    silk_test::range_encoder enc;
    std::vector<std::pair<int, int>> symbols;
    for (int i = 0; i < 300; ++i) {
      int t = std::uniform_int_distribution<int>(0, 4)(rng);
      int s = std::uniform_int_distribution<int>(0, sizes[t] - 1)(rng);
      if (tables[t][s] == tables[t][s + 1]) continue;
      enc.encode(tables[t], s);
      symbols.emplace_back(t, s);
    }
    const std::vector<uint8_t> bytes = enc.finish();
    ASSERT_LE(bytes.size(), 1024u);
    silk::range_decoder rd{};
    silk::range_decoder_init(rd, bytes.data(), static_cast<int32_t>(bytes.size()));
    for (auto [t, s] : symbols) ASSERT_EQ(silk::range_decode(rd, tables[t], sizes[t] / 2), s);
    EXPECT_EQ(rd.err, 0);
  }
}

TEST(RangeDecoder, AllOnesPayloadFailsOnTheFirstSymbolAndFreezes) {
  const std::vector<uint8_t> ones(16, 0xFF);
  silk::range_decoder rd{};
  silk::range_decoder_init(rd, ones.data(), 16);
  EXPECT_EQ(silk::range_decode(rd, silk::samplingrates_cdf, 2), 0);
  EXPECT_EQ(rd.err, silk::range_error_cdf);
  const silk::range_decoder frozen = rd;
  EXPECT_EQ(silk::range_decode(rd, silk::gain_cdf[0], 32), 0);
  EXPECT_EQ(std::memcmp(&rd, &frozen, sizeof rd), 0);
}

TEST(RangeDecoder, RefusesPayloadsBeyondItsBufferAndKeepsItsState) {
  std::vector<uint8_t> data(1025, 0x55);
  silk::range_decoder rd{};
  silk::range_decoder_init(rd, data.data(), 1024);
  EXPECT_EQ(rd.err, 0);
  const int32_t len = rd.len;
  silk::range_decoder_init(rd, data.data(), 1025);
  EXPECT_EQ(rd.err, silk::range_error_too_long);
  EXPECT_EQ(rd.len, len);
  silk::range_decoder_init(rd, data.data(), -1);
  EXPECT_EQ(rd.err, silk::range_error_too_long);
}

TEST(RangeDecoder, ShortPayloadsReadOnlyTheirOwnBytes) {
  // Bytes of the four-byte start-up that the payload lacks count as 0.
  const uint8_t bytes[4] = {0x12, 0x34, 0x56, 0x78};
  silk::range_decoder rd{};
  for (int n = 0; n <= 4; ++n) {
    silk::range_decoder_init(rd, bytes, n);
    uint32_t expected = 0;
    for (int i = 0; i < 4; ++i) expected = (expected << 8) | (i < n ? bytes[i] : 0u);
    EXPECT_EQ(rd.val, expected) << n;
  }
}

TEST(RangeDecoder, TruncatedPayloadReadsWhatAnEarlierPayloadLeftBehind) {
  // Two long payloads that differ only past the end of the short one that follows them.
  std::vector<uint8_t> first(64, 0x3C), second(64, 0x3C);
  for (int i = 6; i < 10; ++i) second[i] = 0xA5;
  const uint8_t short_payload[6] = {0x3C, 0x3C, 0x3C, 0x3C, 0x3C, 0x3C};
  auto symbols_after = [&](const std::vector<uint8_t> &earlier) {
    silk::range_decoder rd{};
    silk::range_decoder_init(rd, earlier.data(), static_cast<int32_t>(earlier.size()));
    silk::range_decoder_init(rd, short_payload, 6);
    std::vector<int> out;
    for (int i = 0; i < 40; ++i) out.push_back(silk::range_decode(rd, silk::seed_cdf, 2));
    return out;
  };
  EXPECT_NE(symbols_after(first), symbols_after(second));
}

TEST(RangeDecoder, EndCheckFlagsOverrunAndBadPadding) {
  silk::range_decoder rd{};
  const uint8_t one_byte[1] = {0x00};
  silk::range_decoder_init(rd, one_byte, 1);
  for (int i = 0; i < 12; ++i) silk::range_decode(rd, silk::seed_cdf, 2);
  EXPECT_LT(silk::range_decoder_check_end(rd), 0);
  EXPECT_EQ(rd.err, silk::range_error_overread);

  // Right after start-up two bits are in use: the other six bits of the only byte must be 1.
  const uint8_t padded[1] = {0x3F}, unpadded[1] = {0x3E};
  silk::range_decoder_init(rd, padded, 1);
  EXPECT_EQ(silk::range_decoder_check_end(rd), 0);
  EXPECT_EQ(rd.err, 0);
  silk::range_decoder_init(rd, unpadded, 1);
  EXPECT_EQ(silk::range_decoder_check_end(rd), 0);
  EXPECT_EQ(rd.err, silk::range_error_padding);
}
