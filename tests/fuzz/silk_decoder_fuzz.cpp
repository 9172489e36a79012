// Feeds arbitrary bytes to the SILK decoder library as a stream of packets, with losses,
// redundant-copy searches and table-of-contents walks chosen by the input itself, and through
// the decoder tool's container reader. Buffers are sized exactly as the library's contract
// demands, so that the address sanitizer sees every access outside them.
#include "container.h"

#include "SKP_Silk_SDK_API.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr SKP_int32 api_rates[] = {8000, 12000, 16000, 24000, 32000, 44100, 48000,
                                   11025, 8001, 47999, 7999, 48001};
constexpr int max_frames_per_packet = 5;
constexpr int lbrr_capacity = 1024;
// The decoder reads four bytes at the start of a packet even when it is shorter.
constexpr int min_readable_bytes = 4;

struct byte_reader {
    const uint8_t *data;
    size_t size;
    size_t pos = 0;

    bool empty() const { return pos >= size; }
    uint8_t next() { return pos < size ? data[pos++] : 0; }
    size_t take(size_t wanted) {
        const size_t n = wanted < size - pos ? wanted : size - pos;
        pos += n;
        return n;
    }
};

class decoder_under_test {
public:
    explicit decoder_under_test(SKP_int32 api_rate) {
        SKP_int32 size = 0;
        SKP_Silk_SDK_Get_Decoder_Size(&size);
        state_ = std::malloc(static_cast<size_t>(size));
        SKP_Silk_SDK_InitDecoder(state_);
        control_.framesPerPacket = 1;
        set_api_rate(api_rate);
    }
    ~decoder_under_test() { std::free(state_); }
    decoder_under_test(const decoder_under_test &) = delete;
    decoder_under_test &operator=(const decoder_under_test &) = delete;

    // One packet with all the frames it holds; lost_frames_inside conceals frames between them.
    void decode_packet(const uint8_t *payload, int size, bool lost, bool lost_frames_inside) {
        frame(lost, payload, size);
        for (int i = 0; i < max_frames_per_packet && control_.moreInternalDecoderFrames; ++i) {
            if (lost_frames_inside) frame(true, nullptr, 0);
            frame(false, nullptr, 0);
        }
    }

    // The output room the contract asks for at this rate, and not a sample more.
    void set_api_rate(SKP_int32 api_rate) {
        control_.API_sampleRate = api_rate;
        const int frame = api_rate / 50;
        const int room = (frame > 480 ? frame : 480) + (api_rate % 100 ? 2 : 0);
        samples_.assign(static_cast<size_t>(room < 960 ? room : 960), 0);
    }

    void conceal_like_the_tool() {
        for (int i = 0; i < control_.framesPerPacket && i < max_frames_per_packet; ++i)
            frame(true, nullptr, 0);
    }

private:
    void frame(bool lost, const uint8_t *payload, int size) {
        SKP_int16 produced = 0;
        const SKP_int ret = SKP_Silk_SDK_Decode(state_, &control_, lost ? 1 : 0, payload, size,
                                                samples_.data(), &produced);
        if (ret > 0 || ret < -12 || produced < 0 || produced > 960) std::abort();
        // Every call the rate check lets through yields exactly one frame at the output rate.
        if (ret != SKP_SILK_DEC_INVALID_SAMPLING_FREQUENCY && produced != control_.API_sampleRate / 50)
            std::abort();
    }

    void *state_ = nullptr;
    SKP_SILK_SDK_DecControlStruct control_{};
    std::vector<SKP_int16> samples_;
};

// A heap copy of exactly max(size, 4) bytes.
std::vector<uint8_t> exact_copy(const uint8_t *data, size_t size) {
    std::vector<uint8_t> copy(size > min_readable_bytes ? size : min_readable_bytes);
    if (size) std::memcpy(copy.data(), data, size);
    return copy;
}

void walk_packet(decoder_under_test &dec, const uint8_t *data, int available, uint8_t mode) {
    std::vector<uint8_t> payload = exact_copy(data, static_cast<size_t>(available));
    // A negative length is refused by the range decoder before it reads anything.
    const int size = mode & 0x40 ? -1 - available : available;
    if (mode & 0x10) {
        SKP_Silk_TOC_struct toc;
        std::memset(&toc, 0x5a, sizeof toc);
        SKP_Silk_SDK_get_TOC(payload.data(), size, &toc);
        if (toc.framesInPacket < 0 || toc.framesInPacket > SILK_MAX_FRAMES_PER_PACKET) std::abort();
    }
    if (mode & 0x02) {
        std::vector<uint8_t> lbrr(lbrr_capacity);
        SKP_int16 lbrr_size = -1;
        SKP_Silk_SDK_search_for_LBRR(payload.data(), size, (mode >> 2) & 3, lbrr.data(), &lbrr_size);
        if (lbrr_size < 0 || lbrr_size > lbrr_capacity || (size < 0 && lbrr_size)) std::abort();
        if (lbrr_size > 0) {
            std::vector<uint8_t> copy = exact_copy(lbrr.data(), static_cast<size_t>(lbrr_size));
            dec.decode_packet(copy.data(), lbrr_size, false, false);
        }
    }
    if (mode & 0x01) {
        dec.conceal_like_the_tool();
        return;
    }
    dec.decode_packet(payload.data(), size, false, (mode & 0x20) != 0);
}

SKP_int32 api_rate(uint8_t choice) { return api_rates[choice % (sizeof api_rates / sizeof api_rates[0])]; }

// Packets framed by the input itself: a mode byte, a 16-bit length (up to 2047, so payloads
// beyond the 1024-byte limit occur), then the payload. A mode with the top bit set is followed
// by a byte that changes the output rate, so that the rate changes between calls, also to
// rates the decoder refuses.
void fuzz_packets(byte_reader in) {
    decoder_under_test dec(api_rate(in.next()));
    while (!in.empty()) {
        const uint8_t mode = in.next();
        if (mode & 0x80) dec.set_api_rate(api_rate(in.next()));
        const int wanted = (in.next() | in.next() << 8) & 0x7ff;
        const uint8_t *start = in.data + in.pos;
        const int size = static_cast<int>(in.take(static_cast<size_t>(wanted)));
        walk_packet(dec, start, size, mode);
    }
    dec.conceal_like_the_tool();
}

// The same bytes read as a voice file by the decoder tool's container reader.
void fuzz_container(const uint8_t *data, size_t size) {
    if (size == 0) return;
    std::FILE *file = fmemopen(const_cast<uint8_t *>(data), size, "rb");
    if (!file) return;
    char header[header_area_bytes];
    if (check_header(file, header)) {
        decoder_under_test dec(24000);
        std::vector<unsigned char> place(max_payload_bytes);
        for (int packets = 0; packets < 1000; ++packets) {
            const int length = read_packet(file, place.data());
            if (length == end_of_stream) break;
            if (length > max_payload_bytes) std::abort();
            if (length == 0) {
                dec.conceal_like_the_tool();
                continue;
            }
            std::vector<uint8_t> payload = exact_copy(place.data(), static_cast<size_t>(length));
            dec.decode_packet(payload.data(), length, false, false);
        }
    }
    std::fclose(file);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > 0 && (data[0] == '#' || data[0] == 0x02)) {
        fuzz_container(data, size);
    } else {
        fuzz_packets(byte_reader{data, size});
    }
    return 0;
}
