// Table of contents and redundant-copy search: walks of a packet's frames on a private decoder
// that is never used for audio.
#include <cstring>

#include "SKP_Silk_SDK_API.h"
#include "indices.h"
#include "state.h"

namespace {

constexpr int32_t more_frames = 1;
constexpr int32_t redundancy_of_previous = 2;

// A scratch decoder that walks a packet frame by frame. It starts from zeros, not from whatever
// memory it lands in, so that what a damaged packet reads past its end is always the same.
class packet_walk {
public:
  packet_walk(const SKP_uint8 *data, SKP_int size) {
    std::memset(static_cast<void *>(&st_), 0, sizeof st_);
    silk::range_decoder_init(st_.rd, data, size);
  }

  // Parses the next frame; false when it is corrupt.
  bool next_frame() {
    silk::decode_indices(st_, ix_, pulses_);
    ++st_.n_frames_decoded;
    return st_.rd.err == 0;
  }

  bool more_frames_follow() const {
    return st_.n_bytes_left > 0 && st_.frame_termination == more_frames;
  }

  const silk::decoder_state &state() const { return st_; }
  const silk::frame_indices &indices() const { return ix_; }

private:
  silk::decoder_state st_;
  silk::frame_indices ix_{};
  int32_t pulses_[silk::max_frame_length];
};

}  // namespace

void SKP_Silk_SDK_search_for_LBRR(const SKP_uint8 *inData, const SKP_int nBytesIn,
                                  SKP_int lost_offset, SKP_uint8 *LBRRData,
                                  SKP_int16 *nLBRRBytes) {
  *nLBRRBytes = 0;
  if (lost_offset < 1 || lost_offset > 2) return;
  packet_walk walk(inData, nBytesIn);
  while (walk.next_frame()) {
    const silk::decoder_state &st = walk.state();
    // Termination 2 carries the copy of the previous packet, 3 that of the one before.
    if (st.frame_termination == redundancy_of_previous + lost_offset - 1) {
      const int32_t left = st.n_bytes_left;
      if (left > 0) std::memcpy(LBRRData, inData + nBytesIn - left, static_cast<size_t>(left));
      *nLBRRBytes = static_cast<SKP_int16>(left);
      return;
    }
    if (!walk.more_frames_follow()) return;
  }
}

// A packet of more than five frames is reported corrupt: its flags would not fit the record.
void SKP_Silk_SDK_get_TOC(const SKP_uint8 *inData, const SKP_int nBytesIn,
                          SKP_Silk_TOC_struct *Silk_TOC) {
  packet_walk walk(inData, nBytesIn);
  bool corrupt = false;
  int k = 0;
  for (;; ++k) {
    if (k == SILK_MAX_FRAMES_PER_PACKET) {
      corrupt = true;
      break;
    }
    const bool good = walk.next_frame();
    Silk_TOC->vadFlags[k] = walk.state().vad_flag;
    Silk_TOC->sigtypeFlags[k] = walk.indices().sigtype;
    if (!good) {
      corrupt = true;
      break;
    }
    if (!walk.more_frames_follow()) break;
  }
  const int32_t termination = walk.state().frame_termination;
  if (corrupt || termination == more_frames) {
    std::memset(Silk_TOC, 0, sizeof *Silk_TOC);
    Silk_TOC->corrupt = 1;
    return;
  }
  Silk_TOC->corrupt = 0;
  Silk_TOC->framesInPacket = k + 1;
  Silk_TOC->fs_kHz = walk.state().fs_khz;
  Silk_TOC->inbandLBRR = termination == 0 ? 0 : termination - 1;
}
