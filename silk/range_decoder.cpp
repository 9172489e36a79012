#include "range_decoder.h"

#include <algorithm>

#include "arithmetic.h"

namespace silk {

namespace {

int32_t bits_used(const range_decoder &rd) { return 8 * rd.pos + clz32(static_cast<int32_t>(rd.rng - 1)) - 14; }

// The decoder looks up to four bytes past the payload before it shifts in zeros. A payload of
// 1021 bytes or more would make the reference read past its buffer; those bytes are taken as 0.
uint32_t next_byte(range_decoder &rd) {
  if (rd.pos >= rd.len) return 0;
  int32_t index = 4 + rd.pos++;
  return index < max_payload_bytes ? rd.buf[index] : 0;
}

}  // namespace

void range_decoder_init(range_decoder &rd, const uint8_t *data, int32_t n) {
  if (n > max_payload_bytes || n < 0) {
    rd.err = range_error_too_long;
    return;
  }
  std::copy(data, data + n, rd.buf);
  rd.len = n;
  rd.pos = 0;
  // The reference reads four bytes even from a shorter payload, beyond the caller's data; missing
  // bytes are taken as 0 here rather than read from memory the caller did not hand over.
  uint32_t val = 0;
  for (int i = 0; i < 4; ++i) val = (val << 8) | (i < n ? data[i] : 0u);
  rd.val = val;
  rd.rng = 65535;
  rd.err = 0;
}

int range_decode(range_decoder &rd, const uint16_t *cdf, int k0) {
  if (rd.err != 0) return 0;
  const uint32_t val = rd.val;
  const uint32_t rng = rd.rng;
  int s = k0;
  if (rng * cdf[k0] > val) {
    do {
      --s;
    } while (rng * cdf[s] > val);
  } else {
    for (;;) {
      uint32_t upper = cdf[s + 1];
      if (rng * upper > val) break;
      if (upper == 65535) {
        rd.err = range_error_cdf;
        return 0;
      }
      ++s;
    }
  }
  rd.val = val - rng * cdf[s];
  uint32_t w = rng * (static_cast<uint32_t>(cdf[s + 1]) - cdf[s]);
  if (w >= (1u << 24)) {
    rd.rng = w >> 16;
  } else if (w >= (1u << 16)) {
    rd.rng = w >> 8;
    rd.val = (rd.val << 8) | next_byte(rd);
  } else {
    rd.rng = w;
    rd.val = (rd.val << 8) | next_byte(rd);
    rd.val = (rd.val << 8) | next_byte(rd);
  }
  return s;
}

int32_t range_decoder_bytes_used(const range_decoder &rd) { return (bits_used(rd) + 7) >> 3; }

int32_t range_decoder_check_end(range_decoder &rd) {
  const int32_t nbits = bits_used(rd);
  const int32_t nbytes = (nbits + 7) >> 3;
  const int32_t left = rd.len - nbytes;
  if (left < 0) {
    rd.err = range_error_overread;
  } else if (left == 0 && (nbits & 7) != 0) {
    const int mask = 0xFF >> (nbits & 7);
    if ((rd.buf[nbytes - 1] & mask) != mask) rd.err = range_error_padding;
  }
  return left;
}

}  // namespace silk
