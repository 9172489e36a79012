// Output sample-rate converter: set-up constants, sample counts, block
// continuity, signal sanity, clipping and bit-exactness against reference
// streams decoded at two rates.
#include "resampler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

using silk::resampler_first_stage;
using silk::resampler_state;
using silk::resampler_structure;

constexpr int16_t untouched = 0x5A5A;
constexpr int32_t internal_rates[] = {8000, 12000, 16000, 24000};
constexpr int32_t api_rates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000,
                                 8001, 9000, 18000, 44000, 47999};

resampler_state initialised(int32_t fs_in, int32_t fs_out) {
  resampler_state s{};
  EXPECT_EQ(silk::resampler_init(&s, fs_in, fs_out), 0) << fs_in << " -> " << fs_out;
  return s;
}

// Frequency sweep from 50 Hz to 0.45 of the rate, full scale minus 6 dB.
std::vector<int16_t> chirp(int32_t fs_hz, int32_t samples) {
  std::vector<int16_t> x(samples);
  double phase = 0;
  for (int32_t i = 0; i < samples; i++) {
    double f = 50.0 + (0.45 * fs_hz - 50.0) * i / samples;
    phase += 2 * std::numbers::pi * f / fs_hz;
    x[i] = static_cast<int16_t>(std::lround(16000 * std::sin(phase)));
  }
  return x;
}

std::vector<int16_t> tone(int32_t fs_hz, double f_hz, double amplitude, int32_t samples) {
  std::vector<int16_t> x(samples);
  for (int32_t i = 0; i < samples; i++)
    x[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * std::numbers::pi * f_hz * i / fs_hz)));
  return x;
}

// Runs the converter call by call on consecutive blocks of block_len input
// samples; each call's output is appended with the count that the decoder
// reports, fs_out * block_len / fs_in.
std::vector<int16_t> convert_in_blocks(resampler_state &s, const std::vector<int16_t> &in, int32_t block_len,
                                       int32_t fs_in, int32_t fs_out) {
  int32_t reported = static_cast<int32_t>(static_cast<int64_t>(block_len) * fs_out / fs_in);
  std::vector<int16_t> out;
  std::vector<int16_t> buf(reported + 16);
  for (size_t pos = 0; pos + block_len <= in.size(); pos += block_len) {
    EXPECT_EQ(silk::resampler_process(&s, buf.data(), in.data() + pos, block_len), 0);
    out.insert(out.end(), buf.begin(), buf.begin() + reported);
  }
  return out;
}

int32_t written_count(const std::vector<int16_t> &buf) {
  int32_t n = static_cast<int32_t>(buf.size());
  while (n > 0 && buf[n - 1] == untouched) n--;
  return n;
}

double rms(const int16_t *x, size_t n) {
  double sum = 0;
  for (size_t i = 0; i < n; i++) sum += static_cast<double>(x[i]) * x[i];
  return std::sqrt(sum / n);
}

// Every decoder pair plus one of each path only other callers reach
// (ARMA4, 2x pre-decimation, UP2LQ, the >48 kHz stages). Rates that are not
// a multiple of 100 Hz are left out unless asked for.
std::vector<std::pair<int32_t, int32_t>> pairs_to_cover(bool with_fractional_rates) {
  const int32_t other_paths[][2] = {{44100, 8000}, {48000, 8000}, {48000, 12000}, {32000, 44100},
                                    {96000, 16000}, {192000, 8000}, {8000, 96000}, {16000, 192000}};
  std::vector<std::pair<int32_t, int32_t>> pairs;
  for (int32_t fs_in : internal_rates)
    for (int32_t fs_out : api_rates)
      if (fs_out != fs_in && (with_fractional_rates || fs_out % 100 == 0)) pairs.emplace_back(fs_in, fs_out);
  for (const auto &p : other_paths) pairs.emplace_back(p[0], p[1]);
  return pairs;
}

TEST(ResamplerInit, StructureAndStepForDecoderPairs) {
  struct row {
    int32_t fs_in, fs_out;
    resampler_structure structure;
    int32_t inc_Q16, phases;
  };
  const auto iir = resampler_structure::iir_fir, down = resampler_structure::down_fir,
             up2 = resampler_structure::up2;
  const row rows[] = {
      {8000, 12000, iir, 87382, 0},     {8000, 16000, up2, 0, 0},         {8000, 24000, iir, 43691, 0},
      {8000, 32000, iir, 32768, 0},     {8000, 44100, iir, 23778, 0},     {8000, 48000, iir, 21846, 0},
      {12000, 8000, down, 98304, 2},    {12000, 16000, iir, 98304, 0},    {12000, 24000, up2, 0, 0},
      {12000, 32000, iir, 49152, 0},    {12000, 44100, iir, 35666, 0},    {12000, 48000, iir, 32768, 0},
      {16000, 8000, down, 131072, 1},   {16000, 12000, down, 87382, 3},   {16000, 24000, iir, 87382, 0},
      {16000, 32000, up2, 0, 0},        {16000, 44100, iir, 47555, 0},    {16000, 48000, iir, 43691, 0},
      {24000, 8000, down, 196608, 1},   {24000, 12000, down, 131072, 1},  {24000, 16000, down, 98304, 2},
      {24000, 32000, iir, 98304, 0},    {24000, 44100, iir, 71332, 0},    {24000, 48000, up2, 0, 0},
      {24000, 9000, down, 174763, 3},   {12000, 9000, down, 87382, 3},    {24000, 18000, down, 87382, 3},
      {16000, 9000, iir, 0, 0},         {24000, 22050, iir, 0, 0},
  };
  for (const row &r : rows) {
    resampler_state s = initialised(r.fs_in, r.fs_out);
    SCOPED_TRACE(std::to_string(r.fs_in) + " -> " + std::to_string(r.fs_out));
    EXPECT_EQ(s.structure, r.structure);
    EXPECT_EQ(s.batch, r.fs_in / 100);
    if (r.inc_Q16) {
      EXPECT_EQ(s.inc_Q16, r.inc_Q16);
    }
    if (r.structure == down) {
      EXPECT_EQ(s.phases, r.phases);
    }
    if (r.structure == iir) {
      EXPECT_EQ(s.first_stage, resampler_first_stage::up2_hq);
    }
  }
}

TEST(ResamplerInit, PathsOutsideTheDecoder) {
  struct row {
    int32_t fs_in, fs_out;
    resampler_structure structure;
    resampler_first_stage first_stage;
    int32_t batch, down2, nPre, nPost;
  };
  const auto iir = resampler_structure::iir_fir, down = resampler_structure::down_fir;
  const auto none = resampler_first_stage::none, hq = resampler_first_stage::up2_hq,
             lq = resampler_first_stage::up2_lq, arma4 = resampler_first_stage::arma4;
  const row rows[] = {
      {44100, 8000, iir, arma4, 441, 0, 0, 0},  {11025, 8000, iir, arma4, 441, 0, 0, 0},
      {8000, 11025, iir, hq, 80, 0, 0, 0},      {32000, 8000, down, none, 320, 1, 0, 0},
      {48000, 8000, down, none, 480, 1, 0, 0},  {32000, 44100, iir, lq, 320, 0, 0, 0},
      {16000, 16000, resampler_structure::copy, none, 160, 0, 0, 0},
      {96000, 16000, down, none, 480, 0, 1, 0}, {192000, 8000, down, none, 480, 1, 2, 0},
      {8000, 96000, iir, hq, 80, 0, 0, 1},      {8000, 192000, iir, hq, 80, 0, 0, 2},
  };
  for (const row &r : rows) {
    resampler_state s = initialised(r.fs_in, r.fs_out);
    SCOPED_TRACE(std::to_string(r.fs_in) + " -> " + std::to_string(r.fs_out));
    EXPECT_EQ(s.structure, r.structure);
    EXPECT_EQ(s.first_stage, r.first_stage);
    EXPECT_EQ(s.batch, r.batch);
    EXPECT_EQ(s.down2, r.down2);
    EXPECT_EQ(s.nPre, r.nPre);
    EXPECT_EQ(s.nPost, r.nPost);
  }
}

TEST(ResamplerInit, RejectedRatesLeaveItUnusable) {
  const int32_t pairs[][2] = {{7999, 24000}, {24000, 7999}, {192001, 48000}, {48000, 192001},
                              {0, 16000},    {-8000, 8000}, {8000, INT32_MAX}};
  const std::vector<int16_t> in(480, 1000);
  for (const auto &p : pairs) {
    SCOPED_TRACE(std::to_string(p[0]) + " -> " + std::to_string(p[1]));
    resampler_state s = initialised(16000, 24000);
    EXPECT_EQ(silk::resampler_init(&s, p[0], p[1]), -1);
    std::vector<int16_t> out(1000, untouched);
    EXPECT_EQ(silk::resampler_process(&s, out.data(), in.data(), 320), -1);
    EXPECT_EQ(written_count(out), 0);
  }
}

TEST(ResamplerProcess, RefusesToRunBeforeInitOrOnNegativeLength) {
  const std::vector<int16_t> in(480, 1000);
  resampler_state never{};
  std::vector<int16_t> out(1000, untouched);
  EXPECT_EQ(silk::resampler_process(&never, out.data(), in.data(), 480), -1);
  EXPECT_EQ(written_count(out), 0);
  for (int32_t fs_out : {12000, 16000, 8000, 96000}) {
    resampler_state s = initialised(16000, fs_out);
    EXPECT_EQ(silk::resampler_process(&s, out.data(), in.data() + 240, -240), -1) << fs_out;
    EXPECT_EQ(written_count(out), 0);
  }
}

// A 10 ms batch gives exactly fs_out / 100 samples when that is whole;
// otherwise every batch rounds up, so a frame carries a sample or two more
// than the decoder reports.
TEST(ResamplerProcess, SamplesWrittenPerFrame) {
  struct row {
    int32_t fs_out, written;
  };
  const row extra[] = {{8001, 162}, {11025, 222}, {22050, 442}, {47999, 960}};
  for (int32_t fs_in : internal_rates) {
    for (int32_t fs_out : api_rates) {
      if (fs_out == fs_in) continue;
      int32_t expected = fs_out / 50;
      for (const row &e : extra)
        if (e.fs_out == fs_out) expected = e.written;
      SCOPED_TRACE(std::to_string(fs_in) + " -> " + std::to_string(fs_out));
      resampler_state s = initialised(fs_in, fs_out);
      std::vector<int16_t> in = chirp(fs_in, fs_in / 50 * 3);
      for (int frame = 0; frame < 3; frame++) {
        std::vector<int16_t> out(1100, untouched);
        ASSERT_EQ(silk::resampler_process(&s, out.data(), in.data() + frame * fs_in / 50, fs_in / 50), 0);
        EXPECT_EQ(written_count(out), expected);
      }
    }
  }
}

// The memories carry from call to call, so cutting the input at batch
// boundaries must not change a single sample. (The position inside the FIR
// restarts at every batch, so only batch-aligned cuts are equivalent.)
TEST(ResamplerProcess, FramesJoinWithoutSeams) {
  for (const auto &[fs_in, fs_out] : pairs_to_cover(false)) {
    SCOPED_TRACE(std::to_string(fs_in) + " -> " + std::to_string(fs_out));
    const int32_t ten_ms = fs_in / 100;
    const std::vector<int16_t> in = chirp(fs_in, 50 * ten_ms);
    resampler_state whole = initialised(fs_in, fs_out);
    std::vector<int16_t> one_call = convert_in_blocks(whole, in, static_cast<int32_t>(in.size()), fs_in, fs_out);
    for (int32_t block : {2 * ten_ms, ten_ms}) {
      resampler_state s = initialised(fs_in, fs_out);
      EXPECT_EQ(convert_in_blocks(s, in, block, fs_in, fs_out), one_call) << "blocks of " << block;
    }
  }
}

TEST(ResamplerProcess, InitStartsAgainFromSilence) {
  for (int32_t fs_out : {12000, 16000, 44100, 8000}) {
    SCOPED_TRACE(fs_out);
    const std::vector<int16_t> loud = chirp(16000, 1600), quiet = tone(16000, 440, 3000, 640);
    resampler_state fresh = initialised(16000, fs_out);
    resampler_state reused = initialised(16000, fs_out);
    convert_in_blocks(reused, loud, 320, 16000, fs_out);
    ASSERT_EQ(silk::resampler_init(&reused, 16000, fs_out), 0);
    EXPECT_EQ(convert_in_blocks(reused, quiet, 320, 16000, fs_out),
              convert_in_blocks(fresh, quiet, 320, 16000, fs_out));
  }
}

// A 1 kHz tone keeps its level and frequency on every path; a tone above
// the new Nyquist frequency is removed by the decimators.
TEST(ResamplerProcess, PassesSpeechBandAndRejectsAliases) {
  for (const auto &[fs_in, fs_out] : pairs_to_cover(true)) {
    SCOPED_TRACE(std::to_string(fs_in) + " -> " + std::to_string(fs_out));
    resampler_state s = initialised(fs_in, fs_out);
    std::vector<int16_t> out = convert_in_blocks(s, tone(fs_in, 1000, 10000, fs_in / 2), fs_in / 50, fs_in, fs_out);
    const size_t settle = fs_out / 50;
    double level = rms(out.data() + settle, out.size() - settle);
    EXPECT_NEAR(20 * std::log10(level / (10000 / std::sqrt(2.0))), 0.0, 0.5);
    int crossings = 0;
    for (size_t i = settle + 1; i < out.size(); i++) crossings += (out[i - 1] < 0) != (out[i] < 0);
    double seconds = static_cast<double>(out.size() - settle - 1) / fs_out;
    EXPECT_NEAR(crossings / (2 * seconds), 1000.0, 15.0);

    if (s.structure == resampler_structure::down_fir) {
      resampler_state d = initialised(fs_in, fs_out);
      double alias_hz = 0.5 * fs_out + 0.25 * (std::min(fs_in, 48000) - fs_out);
      std::vector<int16_t> alias = convert_in_blocks(d, tone(fs_in, alias_hz, 10000, fs_in / 2), fs_in / 50, fs_in, fs_out);
      double rejected = rms(alias.data() + settle, alias.size() - settle);
      EXPECT_LT(20 * std::log10(rejected / (10000 / std::sqrt(2.0))), -30.0) << alias_hz << " Hz";
    }
  }
}

// Full-scale bursts overshoot inside every path; the output must clip at
// the int16 limits, never wrap to the opposite sign.
TEST(ResamplerProcess, ClipsFullScaleBursts) {
  for (int32_t fs_in : internal_rates) {
    for (int32_t fs_out : api_rates) {
      if (fs_out == fs_in || fs_out % 100 != 0) continue;
      SCOPED_TRACE(std::to_string(fs_in) + " -> " + std::to_string(fs_out));
      const int32_t burst = fs_in / 100;
      std::vector<int16_t> in(8 * burst);
      for (size_t i = 0; i < in.size(); i++) in[i] = (i / burst) % 2 ? -32768 : 32767;
      resampler_state s = initialised(fs_in, fs_out);
      std::vector<int16_t> out = convert_in_blocks(s, in, fs_in / 50, fs_in, fs_out);
      int16_t hi = *std::max_element(out.begin(), out.end()), lo = *std::min_element(out.begin(), out.end());
      EXPECT_EQ(hi, 32767);
      EXPECT_EQ(lo, -32768);
      // The middle half of each output burst is far from both edges.
      const size_t out_burst = fs_out / 100;
      for (size_t b = 1; b < 8; b++)
        for (size_t i = b * out_burst + out_burst / 4; i < b * out_burst + 3 * out_burst / 4; i++)
          ASSERT_EQ(out[i] > 0, b % 2 == 0) << "burst " << b << " sample " << i;
    }
  }
}

// No reference stream reaches these decimators, so their rounding is pinned
// by values worked out separately from the filter definitions: twelve
// outputs from the middle of a 200 ms chirp, converted frame by frame.
TEST(ResamplerProcess, DecimatorsWithoutReferenceStreams) {
  struct row {
    int32_t fs_in, fs_out;
    int16_t expected[12];
  };
  const row rows[] = {
      {16000, 8000, {3495, -8081, 11838, -14442, 15696, -15535, 14026, -11348, 7768, -3616, -756, 4997}},
      {16000, 12000, {-1876, -14519, 11064, 7461, -15840, 2707, 14074, -11836, -6367, 15984, -4141, -13245}},
      {24000, 8000, {-458, 482, 26, -491, 392, 148, -502, 268, 269, -475, 116, 369}},
      {24000, 12000, {3347, -8002, 11845, -14532, 15840, -15680, 14104, -11286, 7505, -3114, -1498, 5935}},
  };
  for (const row &r : rows) {
    SCOPED_TRACE(std::to_string(r.fs_in) + " -> " + std::to_string(r.fs_out));
    resampler_state s = initialised(r.fs_in, r.fs_out);
    const std::vector<int16_t> out = convert_in_blocks(s, chirp(r.fs_in, r.fs_in / 5), r.fs_in / 50, r.fs_in, r.fs_out);
    const std::vector<int16_t> middle(out.begin() + out.size() / 2, out.begin() + out.size() / 2 + 12);
    EXPECT_EQ(middle, std::vector<int16_t>(std::begin(r.expected), std::end(r.expected)));
  }
}

std::filesystem::path vectors_dir() {
  const char *env = std::getenv("SILK_VECTORS");
  return std::filesystem::path(env ? env : SILK_VECTORS_DEFAULT) / "vectors";
}

std::vector<int16_t> read_pcm(const std::filesystem::path &p) {
  std::ifstream f(p, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  std::vector<int16_t> pcm(bytes.size() / 2);
  for (size_t i = 0; i < pcm.size(); i++)
    pcm[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) | (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
  return pcm;
}

// Streams whose internal rate never changes were decoded both at their own
// rate and at another one; converting the first frame by frame must give the
// second exactly.
TEST(ResamplerVectors, ReproducesReferenceDecodesAtOtherRates) {
  const std::filesystem::path dir = vectors_dir();
  if (!std::filesystem::exists(dir)) GTEST_SKIP() << "reference vectors not found at " << dir;
  struct row {
    const char *internal_pcm;
    int32_t fs_in;
    const char *converted_pcm;
    int32_t fs_out;
  };
  const char *o8 = "official/output/testvector_output_8_kHz_60_ms_8_kbps_8_kHz_out.pcm";
  const char *o12 = "official/output/testvector_output_12_kHz_60_ms_10_kbps_12_kHz_out.pcm";
  const row rows[] = {
      {o8, 8000, "official/output/testvector_output_8_kHz_60_ms_8_kbps_12_kHz_out.pcm", 12000},
      {o8, 8000, "official/output/testvector_output_8_kHz_60_ms_8_kbps_16_kHz_out.pcm", 16000},
      {o8, 8000, "official/output/testvector_output_8_kHz_60_ms_8_kbps.pcm", 24000},
      {"extra/output/payload_44100_Hz_20_ms_7_kbps_Fs_API_8000.pcm", 8000,
       "official/output/testvector_output_44100_Hz_20_ms_7_kbps.pcm", 24000},
      {o12, 12000, "official/output/testvector_output_12_kHz_60_ms_10_kbps_16_kHz_out.pcm", 16000},
      {o12, 12000, "official/output/testvector_output_12_kHz_60_ms_10_kbps.pcm", 24000},
      {o12, 12000, "official/output/testvector_output_12_kHz_60_ms_10_kbps_32_kHz_out.pcm", 32000},
      {o12, 12000, "official/output/testvector_output_12_kHz_60_ms_10_kbps_44100_Hz_out.pcm", 44100},
      {o12, 12000, "official/output/testvector_output_12_kHz_60_ms_10_kbps_48_kHz_out.pcm", 48000},
      {"extra/output/payload_16_kHz_40_ms_20_kbps_Fs_API_16000.pcm", 16000,
       "official/output/testvector_output_16_kHz_40_ms_20_kbps.pcm", 24000},
  };
  for (const row &r : rows) {
    SCOPED_TRACE(r.converted_pcm);
    const std::vector<int16_t> in = read_pcm(dir / r.internal_pcm), expected = read_pcm(dir / r.converted_pcm);
    ASSERT_FALSE(in.empty());
    resampler_state s = initialised(r.fs_in, r.fs_out);
    const std::vector<int16_t> out = convert_in_blocks(s, in, r.fs_in / 50, r.fs_in, r.fs_out);
    ASSERT_EQ(out.size(), expected.size());
    for (size_t i = 0; i < out.size(); i++) ASSERT_EQ(out[i], expected[i]) << "first difference at sample " << i;
  }
}

} // namespace
