// Test-only range encoder, the inverse of the library's range decoder, and a packet writer that
// turns chosen frame indices and pulses into the bytes of one packet.
#ifndef SILK_TEST_RANGE_ENCODER_H
#define SILK_TEST_RANGE_ENCODER_H

#include <cstdint>
#include <vector>

#include "indices.h"

namespace silk_test {

class range_encoder {
public:
  void encode(const uint16_t *cdf, int symbol);
  // Ends the stream with the code value at the bottom of the final interval: every symbol
  // decodes back, and the decoder counts the closing bytes as bytes left over.
  std::vector<uint8_t> finish();

private:
  void output_byte(uint32_t byte);
  void propagate_carry();
  uint32_t base_ = 0;
  uint32_t range_ = 65535;
  std::vector<uint8_t> bytes_;
};

// What one frame carries, as chosen by a test.
struct frame_content {
  silk::frame_indices ix{};
  std::vector<int32_t> pulses;   // frame_length signed values
  std::vector<int> min_lsb_levels;  // per shell block; more escapes than the pulses need
};

// Writes the frames of one packet at fs_khz: the first frame carries the rate and absolute
// gain coding, later ones are coded relative to the previous frame.
std::vector<uint8_t> write_packet(int fs_khz, const std::vector<frame_content> &frames);

}  // namespace silk_test

#endif
