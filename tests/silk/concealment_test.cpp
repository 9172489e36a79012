// Concealment state kept from good frames, and the fade-in of the first good frame after a loss.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "state.h"

namespace {

silk::decoder_state fresh_state(int fs_khz) {
  static silk::decoder_state st;
  silk::decoder_init(st);
  silk::decoder_set_fs(st, fs_khz);
  return st;
}

struct voiced_case {
  const char *what;
  std::array<int16_t, 5> strongest_taps;
  int16_t expected_centre;
};

// A subframe more than one pitch period before the frame end must not be chosen even when it
// is the strongest; the chosen gain is pulled into the range concealment can sustain.
class VoicedUpdate : public testing::TestWithParam<voiced_case> {};

TEST_P(VoicedUpdate, KeepsTheStrongestRecentSubframeAsOneCentreTap) {
  silk::decoder_state st = fresh_state(16);  // 80-sample subframes
  silk::decoder_control ctrl{};
  ctrl.sigtype = 0;
  const int32_t lags[4] = {90, 95, 99, 100};  // one period reaches back into subframe 2 only
  std::copy(lags, lags + 4, ctrl.pitch_l);
  const int16_t far_and_strong[5] = {3000, 3000, 9000, 3000, 3000};
  const int16_t last[5] = {0, 0, 2000, 0, 0};
  std::copy(far_and_strong, far_and_strong + 5, ctrl.ltp_coef_q14 + 1 * 5);
  std::copy(GetParam().strongest_taps.begin(), GetParam().strongest_taps.end(),
            ctrl.ltp_coef_q14 + 2 * 5);
  std::copy(last, last + 5, ctrl.ltp_coef_q14 + 3 * 5);

  silk::plc_update(st, ctrl);

  EXPECT_EQ(st.plc.pitch_l_q8, 99 * 256);
  EXPECT_EQ(st.plc.ltp_coef_q14[2], GetParam().expected_centre);
  for (int j : {0, 1, 3, 4}) EXPECT_EQ(st.plc.ltp_coef_q14[j], 0);
}

INSTANTIATE_TEST_SUITE_P(
    Gains, VoicedUpdate,
    testing::Values(voiced_case{"within_range", {1000, 2000, 9000, 1000, 0}, 13000},
                    voiced_case{"weak_raised", {0, 1000, 6000, 1000, 0}, 11468},
                    voiced_case{"strong_lowered", {2000, 4000, 10000, 4000, 0}, 15563}),
    [](const auto &info) { return std::string(info.param.what); });

TEST(UnvoicedUpdate, UsesTheLongestLagAndNoLongTermFilter) {
  silk::decoder_state st = fresh_state(12);
  silk::decoder_control ctrl{};
  ctrl.sigtype = 1;
  st.plc.ltp_coef_q14[2] = 12000;
  silk::plc_update(st, ctrl);
  EXPECT_EQ(st.plc.pitch_l_q8, 18 * 12 * 256);
  EXPECT_EQ(st.plc.ltp_coef_q14[2], 0);
}

TEST(Glue, MeasuresConcealedFramesWithoutChangingThem) {
  silk::decoder_state st = fresh_state(8);
  st.loss_cnt = 1;
  std::vector<int16_t> frame(160, 0);
  frame[0] = 100;
  frame[1] = -200;
  silk::plc_glue_frames(st, frame.data(), 160);
  EXPECT_EQ(st.plc.conc_energy, 50000);
  EXPECT_EQ(st.plc.conc_energy_shift, 0);
  EXPECT_EQ(st.plc.last_frame_lost, 1);
  EXPECT_EQ(frame[0], 100);
}

TEST(Glue, LeavesAGoodFrameAloneWhenItIsNotLouder) {
  silk::decoder_state st = fresh_state(8);
  st.plc.last_frame_lost = 1;
  st.plc.conc_energy = 1000;
  std::vector<int16_t> frame(160, 0);
  frame[5] = 30;  // 900 < 1000
  silk::plc_glue_frames(st, frame.data(), 160);
  EXPECT_EQ(frame[5], 30);
  EXPECT_EQ(st.plc.last_frame_lost, 0);
}

TEST(Glue, FadesInLinearlyFromTheAmplitudeOfAQuieterLoss) {
  silk::decoder_state st = fresh_state(8);
  st.plc.last_frame_lost = 1;
  std::vector<int16_t> frame(160, 1000);
  frame[0] = 0;
  st.plc.conc_energy = 159 * 1000 * 1000 / 4;  // half the amplitude of the new frame
  silk::plc_glue_frames(st, frame.data(), 160);
  EXPECT_NEAR(frame[1], 500, 10);
  for (int m = 2; m < 160; ++m) EXPECT_GE(frame[m], frame[m - 1]);
  EXPECT_NEAR(frame[159], 965, 10);  // the gain rises by (1 - 1/2) / 160 per sample
  EXPECT_EQ(st.plc.last_frame_lost, 0);
}

// For a nearly silent concealed frame the quotient is not a true Q24 ratio: the gain starts
// above one, is clamped to one once, and then keeps falling during the frame.
TEST(Glue, NearlySilentLossStartsAboveOneAndFallsBelowIt) {
  silk::decoder_state st = fresh_state(8);
  st.plc.last_frame_lost = 1;
  st.plc.conc_energy = 50;
  std::vector<int16_t> frame(160, 0);
  frame[0] = 7;  // 49 + 1 + 1 + 9 = 60
  frame[1] = 1;
  frame[2] = 1;
  frame[159] = 3;
  silk::plc_glue_frames(st, frame.data(), 160);
  EXPECT_EQ(frame[0], 8);    // 7 * 5227 / 4096
  EXPECT_EQ(frame[1], 1);    // 4096
  EXPECT_EQ(frame[2], 0);    // 4089
  EXPECT_EQ(frame[159], 2);  // 3 * 2990 / 4096
}

}  // namespace
