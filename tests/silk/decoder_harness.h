// Shared by the SILK tests: the packets of a reference stream and a decoder behind the public
// calls.
#ifndef SILK_TEST_DECODER_HARNESS_H
#define SILK_TEST_DECODER_HARNESS_H

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "SKP_Silk_SDK_API.h"

namespace silk_test {

using packet = std::vector<uint8_t>;

inline std::filesystem::path vectors_dir() {
  const char *env = std::getenv("SILK_VECTORS");
  return std::filesystem::path(env ? env : SILK_VECTORS_DEFAULT) / "vectors";
}

// The packets of an official voice file; empty when the reference vectors are absent.
inline std::vector<packet> read_stream(const char *name) {
  std::ifstream in(vectors_dir() / "official" / "bitstream" / name, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<packet> packets;
  size_t pos = 9;
  while (pos + 2 <= bytes.size()) {
    const int16_t n = static_cast<int16_t>(bytes[pos] | bytes[pos + 1] << 8);
    pos += 2;
    if (n < 0 || pos + n > bytes.size()) break;
    packets.emplace_back(bytes.begin() + pos, bytes.begin() + pos + n);
    pos += n;
  }
  return packets;
}

class decoder {
public:
  explicit decoder(SKP_int32 api_rate) {
    SKP_int32 size = 0;
    SKP_Silk_SDK_Get_Decoder_Size(&size);
    state.resize(static_cast<size_t>(size));
    SKP_Silk_SDK_InitDecoder(state.data());
    control.API_sampleRate = api_rate;
    control.framesPerPacket = 1;
  }

  SKP_int decode(const packet &p) { return call(0, p.data(), static_cast<SKP_int>(p.size())); }
  SKP_int conceal() { return call(1, nullptr, 0); }
  SKP_int call(SKP_int lost, const uint8_t *data, SKP_int n) {
    produced = -1;
    return SKP_Silk_SDK_Decode(state.data(), &control, lost, data, n, samples, &produced);
  }

  std::vector<uint8_t> state;
  SKP_SILK_SDK_DecControlStruct control{};
  SKP_int16 samples[960]{};
  SKP_int16 produced = 0;
};

}  // namespace silk_test

#endif
