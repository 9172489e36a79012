// The decoder's public contract on lost, damaged and oversized packets, the redundant-copy
// search and the table of contents.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "SKP_Silk_SDK_API.h"
#include "decoder_harness.h"

namespace {

using silk_test::decoder;
using silk_test::packet;
using silk_test::read_stream;
using silk_test::vectors_dir;

#define REQUIRE_STREAM(packets, name)                                                         \
  const std::vector<packet> packets = read_stream(name);                                      \
  if (packets.empty()) GTEST_SKIP() << "reference vectors not found under " << vectors_dir()

TEST(DecoderState, IsSmallAndFixed) {
  SKP_int32 size = 0;
  EXPECT_EQ(SKP_Silk_SDK_Get_Decoder_Size(&size), 0);
  EXPECT_GT(size, 0);
  EXPECT_LT(size, 24 * 1024);
}

// Silence leaves the high-pass filter as the constant 1.
TEST(Loss, AsTheFirstCallGivesTheFilterOffsetAt24kHz) {
  decoder dec(24000);
  EXPECT_EQ(dec.conceal(), 0);
  ASSERT_EQ(dec.produced, 480);
  for (int i = 0; i < 480; ++i) ASSERT_EQ(dec.samples[i], 1) << i;
  EXPECT_EQ(dec.control.framesPerPacket, 0);
  EXPECT_EQ(dec.control.frameSize, 480);
}

struct payload_case {
  const char *what;
  SKP_int32 api_rate;
  size_t size;
  SKP_int expected;
};

// Oversized payloads are concealed; the error stays visible also on a call that sets up the
// output converter (the reference reported 0 there).
class DamagedFirstPacket : public testing::TestWithParam<payload_case> {};

TEST_P(DamagedFirstPacket, IsConcealedAndReported) {
  decoder dec(GetParam().api_rate);
  const packet p(std::max<size_t>(GetParam().size, 4), 0xff);
  EXPECT_EQ(dec.call(0, p.data(), static_cast<SKP_int>(GetParam().size)), GetParam().expected);
  EXPECT_EQ(dec.produced, GetParam().api_rate / 50);
  EXPECT_EQ(dec.control.moreInternalDecoderFrames, 0);
  EXPECT_EQ(dec.control.framesPerPacket, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Payloads, DamagedFirstPacket,
    testing::Values(payload_case{"oversized_at_internal_rate", 24000, 1025, SKP_SILK_DEC_PAYLOAD_TOO_LARGE},
                    payload_case{"oversized_with_converter_setup", 16000, 1025, SKP_SILK_DEC_PAYLOAD_TOO_LARGE},
                    payload_case{"largest_accepted_is_parsed", 24000, 1024, SKP_SILK_DEC_PAYLOAD_ERROR},
                    payload_case{"empty", 24000, 0, SKP_SILK_DEC_PAYLOAD_ERROR},
                    payload_case{"all_ones", 44100, 40, SKP_SILK_DEC_PAYLOAD_ERROR}),
    [](const auto &info) { return std::string(info.param.what); });

TEST(ApiRate, OutOfRangeConsumesTheFrameButLeavesTheControlRecord) {
  for (SKP_int32 rate : {7999, 48001}) {
    decoder dec(rate);
    dec.control.frameSize = -7;
    EXPECT_EQ(dec.conceal(), SKP_SILK_DEC_INVALID_SAMPLING_FREQUENCY) << rate;
    EXPECT_EQ(dec.produced, 480) << rate;
    EXPECT_EQ(dec.control.frameSize, -7) << rate;
  }
}

// A call with a refused API rate still decodes its packet and may change the internal rate; the
// next call must not run the converter that is set up for the old rates, which would write
// twice the frame into the caller's buffer.
TEST(ApiRate, ARefusedCallThatChangesTheInternalRateDoesNotOverrunTheNextOutput) {
  REQUIRE_STREAM(narrow, "payload_8_kHz_60_ms_8_kbps.bit");
  REQUIRE_STREAM(wide, "payload_24_kHz_20_ms_40_kbps_10_loss_FEC.bit");
  decoder dec(16000);
  ASSERT_EQ(dec.decode(narrow[3]), 0);
  while (dec.control.moreInternalDecoderFrames) ASSERT_EQ(dec.call(0, nullptr, 0), 0);
  dec.control.API_sampleRate = 7999;
  ASSERT_EQ(dec.decode(wide[3]), SKP_SILK_DEC_INVALID_SAMPLING_FREQUENCY);
  dec.control.API_sampleRate = 16000;
  std::fill(std::begin(dec.samples), std::end(dec.samples), SKP_int16{0x7777});
  EXPECT_EQ(dec.decode(wide[4]), 0);
  EXPECT_EQ(dec.produced, 320);
  for (int i = 480; i < 960; ++i) ASSERT_EQ(dec.samples[i], 0x7777) << i;
}

TEST(Packets, ALossInsideAMultiFramePacketResumesWhereItStopped) {
  REQUIRE_STREAM(packets, "payload_16_kHz_40_ms_20_kbps.bit");
  decoder straight(16000), interrupted(16000);
  ASSERT_EQ(straight.decode(packets[0]), 0);
  ASSERT_EQ(interrupted.decode(packets[0]), 0);
  ASSERT_EQ(interrupted.control.moreInternalDecoderFrames, 1);
  EXPECT_EQ(interrupted.conceal(), 0);
  EXPECT_EQ(interrupted.control.moreInternalDecoderFrames, 1);
  // The second frame is parsed from the kept packet, whatever the call passes.
  EXPECT_EQ(interrupted.call(0, nullptr, 0), 0);
  EXPECT_EQ(straight.call(0, nullptr, 0), 0);
  EXPECT_EQ(interrupted.control.moreInternalDecoderFrames, 0);
  EXPECT_EQ(interrupted.control.framesPerPacket, 2);
  EXPECT_NE(std::vector<SKP_int16>(straight.samples, straight.samples + 320),
            std::vector<SKP_int16>(interrupted.samples, interrupted.samples + 320));
}

TEST(Packets, ATruncatedPacketIsCorruptAndEndsThePacket) {
  REQUIRE_STREAM(packets, "payload_16_kHz_60_ms_12_kbps.bit");
  decoder dec(16000);
  const packet cut(packets[1].begin(), packets[1].begin() + packets[1].size() / 2);
  ASSERT_EQ(dec.decode(packets[0]), 0);
  while (dec.control.moreInternalDecoderFrames) ASSERT_EQ(dec.call(0, nullptr, 0), 0);
  EXPECT_EQ(dec.control.framesPerPacket, 3);
  SKP_int ret = dec.decode(cut);
  int calls = 1;
  while (ret == 0 && dec.control.moreInternalDecoderFrames) ret = dec.call(0, nullptr, 0), ++calls;
  EXPECT_EQ(ret, SKP_SILK_DEC_PAYLOAD_ERROR);
  EXPECT_EQ(dec.control.moreInternalDecoderFrames, 0);
  EXPECT_EQ(dec.control.framesPerPacket, calls - 1);
}

TEST(Toc, DescribesWholePacketsAndRejectsDamagedOnes) {
  REQUIRE_STREAM(packets, "payload_12_kHz_60_ms_10_kbps.bit");
  SKP_Silk_TOC_struct toc;
  SKP_Silk_SDK_get_TOC(packets[5].data(), static_cast<SKP_int>(packets[5].size()), &toc);
  EXPECT_EQ(toc.corrupt, 0);
  EXPECT_EQ(toc.framesInPacket, 3);
  EXPECT_EQ(toc.fs_kHz, 12);
  EXPECT_EQ(toc.inbandLBRR, 0);

  const packet cut(packets[5].begin(), packets[5].begin() + packets[5].size() / 2);
  SKP_Silk_SDK_get_TOC(cut.data(), static_cast<SKP_int>(cut.size()), &toc);
  EXPECT_EQ(toc.corrupt, 1);
  EXPECT_EQ(toc.framesInPacket, 0);
}

// Random bytes that parse as six frames: the flags of a sixth frame have no place in the
// record, so the packet is reported corrupt and nothing past the record is written.
TEST(Toc, APacketOfMoreThanFiveFramesIsCorrupt) {
  const char hex[] =
      "36544249b99d5b7d09fb649d9ff09013914847da35279909d67f5658ce48f1d18896d99d675072f1"
      "bc945044f36f0597c51cf6fe88d9323ce8b88cb725607a0f10c8f88b6af69b36c2ecaccd82f2112d"
      "255880c6e2d08c8180b76a6541d2e1b6";
  packet p;
  for (size_t i = 0; i + 1 < sizeof hex; i += 2)
    p.push_back(static_cast<uint8_t>(std::stoi(std::string(hex + i, 2), nullptr, 16)));
  struct {
    SKP_Silk_TOC_struct toc;
    int guard[2];
  } record;
  record.guard[0] = record.guard[1] = 0x5a5a5a5a;
  SKP_Silk_SDK_get_TOC(p.data(), static_cast<SKP_int>(p.size()), &record.toc);
  EXPECT_EQ(record.toc.corrupt, 1);
  EXPECT_EQ(record.toc.framesInPacket, 0);
  EXPECT_EQ(record.guard[0], 0x5a5a5a5a);
  EXPECT_EQ(record.guard[1], 0x5a5a5a5a);
}

TEST(Lbrr, OnlyDistancesOneAndTwoAreSearched) {
  REQUIRE_STREAM(packets, "payload_16_kHz_20_ms_32_kbps_10_loss_FEC.bit");
  uint8_t copy[1024];
  for (SKP_int offset : {0, 3, -1}) {
    SKP_int16 n = -1;
    SKP_Silk_SDK_search_for_LBRR(packets[10].data(), static_cast<SKP_int>(packets[10].size()),
                                 offset, copy, &n);
    EXPECT_EQ(n, 0) << offset;
  }
}

// Every copy found is a packet of its own that the decoder takes in place of the lost one, and
// a packet announces its copy through the table of contents at the same distance.
TEST(Lbrr, CopiesFoundInTheFecStreamAreWholePackets) {
  REQUIRE_STREAM(packets, "payload_16_kHz_20_ms_32_kbps_10_loss_FEC.bit");
  int found[3] = {0, 0, 0};
  uint8_t copy[1024];
  for (const packet &p : packets) {
    SKP_Silk_TOC_struct toc;
    SKP_Silk_SDK_get_TOC(p.data(), static_cast<SKP_int>(p.size()), &toc);
    for (SKP_int offset : {1, 2}) {
      SKP_int16 n = 0;
      SKP_Silk_SDK_search_for_LBRR(p.data(), static_cast<SKP_int>(p.size()), offset, copy, &n);
      if (n == 0) continue;
      ++found[offset];
      EXPECT_EQ(toc.inbandLBRR, offset);
      decoder dec(16000);
      EXPECT_EQ(dec.decode(packet(copy, copy + n)), 0);
    }
  }
  EXPECT_GT(found[1] + found[2], 0);
}

}  // namespace
