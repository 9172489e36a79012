// Range decoder of the SILK bitstream. Its byte buffer lives in the decoder state and is only
// ever partly overwritten, so the bytes a truncated packet reads past its end are those earlier
// payloads left there, as in the reference.
#ifndef SILK_RANGE_DECODER_H
#define SILK_RANGE_DECODER_H

#include <cstdint>

namespace silk {

inline constexpr int32_t max_payload_bytes = 1024;

// Error codes of the range decoder.
inline constexpr int32_t range_error_cdf = -2;
inline constexpr int32_t range_error_padding = -5;
inline constexpr int32_t range_error_overread = -6;
inline constexpr int32_t range_error_too_long = -8;

struct range_decoder {
  int32_t len;   // payload bytes
  int32_t pos;   // bytes consumed after the four of the start-up
  uint32_t val;  // code value relative to the bottom of the interval
  uint32_t rng;  // interval width scale, 256..65535
  int32_t err;   // 0 or a negative error code; once set, every symbol decodes as 0
  uint8_t buf[max_payload_bytes];
};

void range_decoder_init(range_decoder &rd, const uint8_t *data, int32_t n);

// Decodes one symbol of the CDF; k0 is where the search starts.
int range_decode(range_decoder &rd, const uint16_t *cdf, int k0);

// Bytes the symbols decoded so far occupy.
int32_t range_decoder_bytes_used(const range_decoder &rd);

// End-of-frame check: returns the bytes left after the frame and flags an overrun or a bad padding.
int32_t range_decoder_check_end(range_decoder &rd);

}  // namespace silk

#endif
