// Dequantisation and the state a received frame leaves, and packets of the test encoder going
// through the public decoding call.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <random>
#include <vector>

#include "decoder_harness.h"
#include "parameters.h"
#include "range_encoder.h"
#include "state.h"
#include "tables.h"

namespace {

bool satisfies_min_distances(const int32_t *nlsf, const int32_t *dm, int d) {
  if (nlsf[0] < dm[0] || nlsf[d - 1] > 32768 - dm[d]) return false;
  for (int i = 1; i < d; ++i)
    if (nlsf[i] - nlsf[i - 1] < dm[i]) return false;
  return true;
}

}  // namespace

TEST(Gains, IndexPathsIncludingOnesBeyondTheCodedRange) {
  struct {
    int32_t index, gain_q16;
  } const cases[] = {
      {0, 131072},          // 2.0 at the lowest level
      {-4, 72192},          // delta coding below 0 falls under 2.0
      {67, 2130706432},     // the log clamp holds from 67 on
      {1000, 2130706432},
  };
  for (const auto &c : cases) EXPECT_EQ(silk::gain_from_index(c.index), c.gain_q16) << c.index;
  EXPECT_LT(silk::gain_from_index(66), silk::gain_from_index(67));
}

TEST(NlsfStabilize, MovesTheWorstPairApartAroundItsCentre) {
  int32_t nlsf[2] = {5, 8};
  const int32_t dm[3] = {10, 10, 10};
  silk::nlsf_stabilize(nlsf, dm, 2);
  EXPECT_EQ(nlsf[0], 10);
  EXPECT_EQ(nlsf[1], 20);
}

TEST(NlsfStabilize, AnyInputEndsWithinTheCodebookDistances) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int32_t> anywhere(-20000, 50000), crowded(0, 600);
  const int32_t *const deltas[] = {silk::nlsf_msvq_cb0_10_ndelta_min_q15,
                                   silk::nlsf_msvq_cb1_16_ndelta_min_q15};
  for (int trial = 0; trial < 2000; ++trial) {
    const int d = trial % 2 ? 16 : 10;
    int32_t nlsf[16];
    // Half of the vectors crowd at one end, which the iterative part cannot resolve in time.
    for (int i = 0; i < d; ++i) nlsf[i] = trial % 4 < 2 ? anywhere(rng) : crowded(rng);
    silk::nlsf_stabilize(nlsf, deltas[trial % 2], d);
    ASSERT_TRUE(satisfies_min_distances(nlsf, deltas[trial % 2], d)) << "trial " << trial;
  }
}

TEST(PredictionGain, StabilityLimitIsJustBelowOne) {
  int16_t a[10] = {4095};
  silk::prediction_gain g = silk::lpc_inverse_pred_gain(a, 10);
  EXPECT_TRUE(g.stable);
  EXPECT_LT(g.inv_gain_q30, 1 << 30);
  a[0] = 4096;
  g = silk::lpc_inverse_pred_gain(a, 10);
  EXPECT_FALSE(g.stable);
  // Failing at the last step keeps the product of the steps before it.
  EXPECT_LT(g.inv_gain_q30, 1 << 30);
  int16_t last[10] = {};
  last[9] = -4096;
  g = silk::lpc_inverse_pred_gain(last, 10);
  EXPECT_FALSE(g.stable);
  EXPECT_EQ(g.inv_gain_q30, 1 << 30);
  const int16_t silent[16] = {};
  g = silk::lpc_inverse_pred_gain(silent, 16);
  EXPECT_TRUE(g.stable);
  EXPECT_GT(g.inv_gain_q30, (1 << 30) - 100);
}

TEST(NlsfToLpc, CrowdedVectorsGiveStableOrSilentFilters) {
  // NLSFs packed near 0 or near pi drive the polynomials into 32-bit wrap-around and the
  // magnitude limiter; whatever comes out must pass the stability test or be all zero.
  for (int d : {10, 16}) {
    for (int spacing : {3, 20, 60}) {
      for (bool at_top : {false, true}) {
        int32_t nlsf[16];
        for (int i = 0; i < d; ++i) nlsf[i] = at_top ? 32767 - (d - i) * spacing : 1 + i * spacing;
        int16_t a[16];
        silk::nlsf2a_stable(a, nlsf, d);
        bool silent = std::all_of(a, a + d, [](int16_t v) { return v == 0; });
        EXPECT_TRUE(silent || silk::lpc_inverse_pred_gain(a, d).stable)
            << d << " " << spacing << " " << at_top;
      }
    }
  }
}

TEST(RateChange, ResetsTheRateHistoriesAndKeepsTheFilterAndLongTermState) {
  auto st = std::make_unique<silk::decoder_state>();
  silk::decoder_init(*st);
  st->hp_state[0] = 77;
  st->sltp_q16[5] = 99;
  st->prev_inv_gain_q16 = 1234;
  st->slpc_q14[3] = 5;
  st->out_buf[479] = 5;
  st->out_buf[480] = 6;
  st->prev_nlsf_q15[15] = 5;
  st->lag_prev = 0;
  st->last_gain_index = 40;
  st->prev_sigtype = 1;
  st->first_frame_after_reset = 0;
  silk::decoder_set_fs(*st, 8);
  EXPECT_EQ(st->frame_length, 160);
  EXPECT_EQ(st->subfr_length, 40);
  EXPECT_EQ(st->lpc_order, 10);
  EXPECT_EQ(st->hp_a_q13[0], silk::dec_a_hp_8[0]);
  EXPECT_EQ(st->slpc_q14[3], 0);
  EXPECT_EQ(st->out_buf[479], 0);
  EXPECT_EQ(st->out_buf[480], 6);
  EXPECT_EQ(st->prev_nlsf_q15[15], 0);
  EXPECT_EQ(st->lag_prev, 100);
  EXPECT_EQ(st->last_gain_index, 1);
  EXPECT_EQ(st->prev_sigtype, 0);
  EXPECT_EQ(st->first_frame_after_reset, 1);
  EXPECT_EQ(st->hp_state[0], 77);
  EXPECT_EQ(st->sltp_q16[5], 99);
  EXPECT_EQ(st->prev_inv_gain_q16, 1234);
  // The same rate again changes nothing.
  st->lag_prev = 3;
  silk::decoder_set_fs(*st, 8);
  EXPECT_EQ(st->lag_prev, 3);
}

namespace {

silk_test::frame_content frame_at(int fs_khz, int termination, int gain) {
  silk_test::frame_content f;
  silk::frame_indices &ix = f.ix;
  ix.type_offset = 2;
  ix.sigtype = 1;
  ix.gain[0] = gain;
  ix.gain[1] = ix.gain[2] = ix.gain[3] = 4;
  ix.nlsf[0] = 12;
  ix.nlsf_interp_coef_q2 = 4;
  ix.rate_level = 3;
  ix.vad_flag = 1;
  ix.frame_termination = termination;
  f.pulses.assign(20 * fs_khz, 0);
  for (int i = 0; i < 20 * fs_khz; i += 7) f.pulses[i] = i % 2 ? 3 : -2;
  return f;
}

}  // namespace

TEST(Packets, FramesOfAPacketAreDeliveredOneCallEach) {
  silk_test::decoder dec(16000);
  const auto packet = silk_test::write_packet(16, {frame_at(16, 1, 30), frame_at(16, 1, 5),
                                                   frame_at(16, 0, 6)});
  const int expected_more[] = {1, 1, 0};
  for (int call = 0; call < 3; ++call) {
    ASSERT_EQ(dec.decode(packet), 0) << call;
    EXPECT_EQ(dec.produced, 320);
    EXPECT_EQ(dec.control.moreInternalDecoderFrames, expected_more[call]) << call;
    EXPECT_EQ(dec.control.framesPerPacket, call == 2 ? 3 : 0) << call;
  }
  EXPECT_EQ(dec.control.inBandFECOffset, 0);
}

TEST(Packets, TheFifthFrameEndsAPacketThatAnnouncesMore) {
  silk_test::decoder dec(8000);
  std::vector<silk_test::frame_content> frames;
  for (int n = 0; n < 6; ++n) frames.push_back(frame_at(8, 1, n == 0 ? 20 : 4));
  const auto packet = silk_test::write_packet(8, frames);
  for (int call = 0; call < 5; ++call) ASSERT_EQ(dec.decode(packet), 0) << call;
  EXPECT_EQ(dec.control.moreInternalDecoderFrames, 0);
  EXPECT_EQ(dec.control.framesPerPacket, 5);
}

TEST(Packets, ARateChangeBetweenPacketsReconfiguresTheFrame) {
  silk_test::decoder dec(24000);
  ASSERT_EQ(dec.decode(silk_test::write_packet(12, {frame_at(12, 0, 30)})), 0);
  EXPECT_EQ(dec.produced, 480);  // resampled from 240 samples at 12 kHz
  ASSERT_EQ(dec.decode(silk_test::write_packet(24, {frame_at(24, 0, 30)})), 0);
  EXPECT_EQ(dec.produced, 480);
  const auto *st = reinterpret_cast<const silk::decoder_state *>(dec.state.data());
  EXPECT_EQ(st->fs_khz, 24);
  EXPECT_EQ(st->first_frame_after_reset, 0);
}

TEST(DecoderState, CanBeMovedToOtherMemoryMidStream) {
  const auto packets = silk_test::read_stream("payload_16_kHz_40_ms_20_kbps.bit");
  if (packets.empty()) GTEST_SKIP() << "reference vectors not found";
  silk_test::decoder a(16000), b(16000);
  for (size_t p = 0; p < packets.size(); ++p) {
    if (p == packets.size() / 2) {
      // A copy into fresh memory must carry on exactly like the original.
      std::vector<uint8_t> moved(a.state);
      b.state.swap(moved);
      b.control = a.control;
    }
    do {
      a.decode(packets[p]);
      if (p >= packets.size() / 2) {
        b.decode(packets[p]);
        ASSERT_EQ(a.produced, b.produced);
        ASSERT_EQ(std::memcmp(a.samples, b.samples, a.produced * sizeof a.samples[0]), 0)
            << "packet " << p;
      }
    } while (a.control.moreInternalDecoderFrames);
  }
}

TEST(LongTermHistory, LagBeyondTheEncodersRangeAt12kHzReadsNothingBeforeTheOutput) {
  // Lag 24 + 192 + 8 = 224 needs two samples before the previous frame; they count as silence,
  // so whatever memory precedes the output history cannot change the result.
  silk_test::frame_content f = frame_at(12, 0, 40);
  silk::frame_indices &ix = f.ix;
  ix.type_offset = 0;
  ix.sigtype = 0;
  ix.lag_index = 192;
  ix.contour_index = 33;
  ix.per_index = 1;
  ix.ltp_index[0] = ix.ltp_index[1] = ix.ltp_index[2] = ix.ltp_index[3] = 7;
  const auto packet = silk_test::write_packet(12, {f});
  silk_test::decoder clean(12000), dirty(12000);
  auto *st = reinterpret_cast<silk::decoder_state *>(dirty.state.data());
  std::fill(std::end(st->slpc_q14) - 2, std::end(st->slpc_q14), 0x7FFF7FFF);
  ASSERT_EQ(clean.decode(packet), 0);
  ASSERT_EQ(dirty.decode(packet), 0);
  ASSERT_EQ(clean.produced, 240);
  EXPECT_EQ(std::memcmp(clean.samples, dirty.samples, 240 * sizeof clean.samples[0]), 0);
}
