// The public C interface of the decoder.
#include <algorithm>

#include "SKP_Silk_SDK_API.h"
#include "frame.h"
#include "state.h"

namespace {

using silk::decoder_state;

constexpr SKP_int32 min_api_rate_hz = 8000;
constexpr SKP_int32 max_api_rate_hz = 48000;

// Ends a packet, or keeps it open while it announces more frames and has bytes for them.
void finish_frame_bookkeeping(decoder_state &st) {
  if (st.n_bytes_left > 0 && st.frame_termination == 1 &&
      st.n_frames_decoded < silk::max_frames_per_packet) {
    st.more_internal_frames = 1;
    return;
  }
  st.more_internal_frames = 0;
  st.n_frames_in_packet = st.n_frames_decoded;
  if (st.vad_flag != 1) return;
  switch (st.frame_termination) {
    case 0:
      if (++st.no_fec_counter > 10) st.inband_fec_offset = 0;
      break;
    case 2:
    case 3:
      st.inband_fec_offset = st.frame_termination - 1;
      st.no_fec_counter = 0;
      break;
    default:
      break;
  }
}

// Brings the frame to the API rate into samplesOut; returns the converter's status.
int deliver(decoder_state &st, SKP_int32 api_hz, SKP_int32 prev_fs_khz, const SKP_int16 *frame,
            SKP_int32 length, SKP_int16 *samplesOut, SKP_int16 *nSamplesOut) {
  const SKP_int32 internal_hz = 1000 * st.fs_khz;
  if (internal_hz == api_hz) {
    if (frame != samplesOut) std::copy(frame, frame + length, samplesOut);
    *nSamplesOut = static_cast<SKP_int16>(length);
    return 0;
  }
  SKP_int16 copy[2 * silk::max_frame_length];
  std::copy(frame, frame + length, copy);
  int status = 0;
  // The reference only looks at the previous call's rates, so after a call with a refused API
  // rate that changed the internal rate it ran a converter set up for other rates, which wrote
  // past the caller's buffer; such a converter is set up again here.
  const bool other_rates = st.resampler_in_hz != internal_hz || st.resampler_out_hz != api_hz;
  if (prev_fs_khz != st.fs_khz || st.prev_api_fs_hz != api_hz || other_rates) {
    status = silk::resampler_init(&st.resampler, internal_hz, api_hz);
    st.resampler_in_hz = internal_hz;
    st.resampler_out_hz = api_hz;
  }
  status += silk::resampler_process(&st.resampler, samplesOut, copy, length);
  *nSamplesOut = static_cast<SKP_int16>(static_cast<int64_t>(length) * api_hz / internal_hz);
  return status;
}

}  // namespace

extern "C" {

SKP_int SKP_Silk_SDK_Get_Decoder_Size(SKP_int32 *decSizeBytes) {
  *decSizeBytes = static_cast<SKP_int32>(sizeof(decoder_state));
  return SKP_SILK_NO_ERROR;
}

SKP_int SKP_Silk_SDK_InitDecoder(void *decState) {
  silk::decoder_init(*static_cast<decoder_state *>(decState));
  return SKP_SILK_NO_ERROR;
}

SKP_int SKP_Silk_SDK_Decode(void *decState, SKP_SILK_SDK_DecControlStruct *decControl,
                            SKP_int lostFlag, const SKP_uint8 *inData, const SKP_int nBytesIn,
                            SKP_int16 *samplesOut, SKP_int16 *nSamplesOut) {
  decoder_state &st = *static_cast<decoder_state *>(decState);
  const SKP_int32 api_hz = decControl->API_sampleRate;
  const SKP_int32 prev_fs_khz = st.fs_khz;
  // A frame at a higher internal rate than the output is built aside and converted down.
  SKP_int16 scratch[2 * silk::max_frame_length];
  SKP_int16 *frame = 1000 * prev_fs_khz > api_hz ? scratch : samplesOut;

  if (st.more_internal_frames == 0) st.n_frames_decoded = 0;
  int ret = SKP_SILK_NO_ERROR;
  bool lost = lostFlag != 0;
  if (st.more_internal_frames == 0 && !lost && nBytesIn > silk::max_payload_bytes) {
    lost = true;
    ret = SKP_SILK_DEC_PAYLOAD_TOO_LARGE;
  }
  const silk::frame_result result = silk::decode_frame(st, lost, inData, nBytesIn, frame);
  ret += result.status;
  if (result.used != 0) finish_frame_bookkeeping(st);

  if (api_hz > max_api_rate_hz || api_hz < min_api_rate_hz) {
    *nSamplesOut = static_cast<SKP_int16>(result.length);
    return SKP_SILK_DEC_INVALID_SAMPLING_FREQUENCY;
  }
  const int conversion = deliver(st, api_hz, prev_fs_khz, frame, result.length, samplesOut, nSamplesOut);
  // A payload error stays visible even on a call that also sets up the converter again.
  if (ret == SKP_SILK_NO_ERROR) ret = conversion;

  st.prev_api_fs_hz = api_hz;
  decControl->frameSize = api_hz / 50;
  decControl->framesPerPacket = st.n_frames_in_packet;
  decControl->inBandFECOffset = st.inband_fec_offset;
  decControl->moreInternalDecoderFrames = st.more_internal_frames;
  return ret;
}

const char *SKP_Silk_SDK_get_version(void) { return "1.0.9"; }

}  // extern "C"
