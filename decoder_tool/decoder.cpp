// z3oro: decodes a SILK v3 voice file into raw 16-bit mono PCM with the SILK decoder library.
// It only frames packets, feeds them to the library and writes what comes back; it never looks
// inside a packet.
#include "container.h"
#include "high_resolution_time.h"

#include "SKP_Silk_SDK_API.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr SKP_int32 default_sample_rate = 24000;
constexpr SKP_int32 lowest_sample_rate = 8000;
constexpr SKP_int32 highest_sample_rate = 48000;
// At rates that are not a multiple of 100 Hz the library writes more samples per frame than it
// reports, so the output would jump at every frame.
constexpr SKP_int32 sample_rate_step = 100;

constexpr int look_ahead_slots = 3;
constexpr int packet_buffer_bytes = look_ahead_slots * max_payload_bytes;
// More than one step can deliver: five frames of at most 960 samples (20 ms at 48000 Hz).
constexpr int sample_buffer_samples = 9600;
constexpr int max_frames_per_step = 5;
// A lost packet's redundant copy is carried by one of the next two packets at most.
constexpr int max_redundancy_distance = 2;
constexpr int closing_steps = 2;

constexpr char main_loop_progress[] = "\rPackets decoded:             %d";
constexpr char closing_progress[] = "\rPackets decoded:              %d";

struct Settings {
    const char *input_path = nullptr;
    const char *output_path = nullptr;
    SKP_int32 sample_rate = 0;
    float loss_percent = 0;
    bool quiet = false;
};

// Everything one run needs, set up once before the first packet.
struct DecoderRun {
    void *decoder_state = nullptr;
    SKP_SILK_SDK_DecControlStruct control{};
    unsigned char packet_buffer[packet_buffer_bytes];
    // Slot 0 is decoded next; 0 marks a lost or empty packet, which holds no bytes.
    SKP_int16 packet_sizes[look_ahead_slots]{};
    int write_position = 0;
    unsigned char lbrr_buffer[max_payload_bytes];
    SKP_int16 lbrr_size = 0;
    SKP_int16 sample_buffer[sample_buffer_samples];
    // The loss pattern must repeat from run to run, so the generator always starts at 1.
    SKP_int32 rand_seed = 1;
    SKP_int32 packets_decoded = 0;
    SKP_uint32 decode_time_us = 0;
    float loss_percent = 0;
    bool quiet = false;
    std::FILE *output = nullptr;
};

DecoderRun run;

// Only the low 32 bits are kept: differences modulo 2^32 stay right across a wrap.
SKP_uint32 clock_us()
{
    return static_cast<SKP_uint32>(GetHighResolutionTime());
}

void print_usage(const char *invocation_name)
{
    std::printf("\nz3oro: SILK v3 voice file decoder of Velmora");
    std::printf("\nWrites raw signed 16-bit little-endian mono PCM");
    std::printf("\nDecoder library interface version %s\n", SKP_Silk_SDK_get_version());
    std::printf("\nusage: %s in.bit out.pcm [settings]\n", invocation_name);
    std::printf("\nin.bit       : Bitstream input to decoder");
    std::printf("\nout.pcm      : Speech output from decoder");
    std::printf("\n   settings:");
    std::printf("\n-Fs_API <Hz> : Sampling rate of output signal in Hz; default: 24000");
    std::printf("\n-loss <perc> : Simulated packet loss percentage (0-100); default: 0");
    std::printf("\n-quiet       : Print out just some basic values");
    std::printf("\n");
}

bool same_setting_name(const char *argument, const char *name)
{
    for (; *argument && *name; ++argument, ++name) {
        if (std::tolower(static_cast<unsigned char>(*argument))
            != std::tolower(static_cast<unsigned char>(*name)))
            return false;
    }
    return *argument == *name;
}

bool supported_sample_rate(SKP_int32 rate)
{
    return rate >= lowest_sample_rate && rate <= highest_sample_rate
           && rate % sample_rate_step == 0;
}

// Reads the settings from the third argument on; false after an error has been reported.
bool read_settings(int argc, char **argv, Settings &settings)
{
    for (int i = 3; i < argc; ++i) {
        const char *name = argv[i];
        const bool takes_value = same_setting_name(name, "-loss") || same_setting_name(name, "-Fs_API");
        if (takes_value && i + 1 >= argc) {
            std::printf("Error: missing value for setting: %s\n\n", name);
            return false;
        }
        // A value without a leading number leaves the setting as it was.
        if (same_setting_name(name, "-loss"))
            std::sscanf(argv[++i], "%f", &settings.loss_percent);
        else if (same_setting_name(name, "-Fs_API"))
            std::sscanf(argv[++i], "%d", &settings.sample_rate);
        else if (same_setting_name(name, "-quiet"))
            settings.quiet = true;
        else {
            std::printf("Error: unrecognized setting: %s\n\n", name);
            return false;
        }
    }
    return true;
}

void print_run_header(const Settings &settings)
{
    std::printf("********** Silk Decoder (Fixed Point) v %s ********************\n",
                SKP_Silk_SDK_get_version());
    std::printf("********** Compiled for %d bit cpu *******************************\n",
                static_cast<int>(sizeof(void *) * 8));
    std::printf("Input:                       %s\n", settings.input_path);
    std::printf("Output:                      %s\n", settings.output_path);
}

// Adds one decoded frame to the samples of the current step. A sixth frame cannot come from a
// valid packet: the whole step is dropped rather than let a broken stream overrun the buffer.
void gather_frame(int &frames, int &sample_count, SKP_int16 frame_samples)
{
    sample_count += frame_samples;
    if (++frames > max_frames_per_step) {
        frames = 0;
        sample_count = 0;
    }
}

int decode_payload(const unsigned char *payload, int size)
{
    int frames = 0;
    int sample_count = 0;
    do {
        SKP_int16 frame_samples = 0;
        const SKP_int16 status = SKP_Silk_SDK_Decode(run.decoder_state, &run.control, 0, payload, size,
                                                     run.sample_buffer + sample_count, &frame_samples);
        if (status != 0)
            std::printf("\nSKP_Silk_SDK_Decode returned %d", status);
        gather_frame(frames, sample_count, frame_samples);
    } while (run.control.moreInternalDecoderFrames);
    return sample_count;
}

// Conceals as many frames as the last decoded packet had.
int conceal_packet()
{
    int frames = 0;
    int sample_count = 0;
    const int frames_to_conceal = run.control.framesPerPacket;
    for (int i = 0; i < frames_to_conceal; ++i) {
        SKP_int16 frame_samples = 0;
        const SKP_int16 status = SKP_Silk_SDK_Decode(run.decoder_state, &run.control, 1, run.packet_buffer, 0,
                                                     run.sample_buffer + sample_count, &frame_samples);
        if (status != 0)
            std::printf("\nSKP_Silk_Decode returned %d", status);
        gather_frame(frames, sample_count, frame_samples);
    }
    return sample_count;
}

// Looks for the redundant copy of the lost packet in slot 0, first in slot 1, then in slot 2.
bool find_redundant_copy()
{
    int offset = run.packet_sizes[0];
    for (int distance = 1; distance <= max_redundancy_distance; ++distance) {
        const int size = run.packet_sizes[distance];
        if (size > 0) {
            const SKP_uint32 start = clock_us();
            SKP_Silk_SDK_search_for_LBRR(run.packet_buffer + offset, size, distance, run.lbrr_buffer,
                                         &run.lbrr_size);
            run.decode_time_us += clock_us() - start;
            if (run.lbrr_size > 0)
                return true;
        }
        offset += size;
    }
    return false;
}

// Drops slot 0 and moves the later packets up, so that the next packet can be read behind them.
void compact_look_ahead()
{
    std::memmove(run.packet_buffer, run.packet_buffer + run.packet_sizes[0],
                 run.packet_sizes[1] + run.packet_sizes[2]);
    run.write_position -= run.packet_sizes[0];
    run.packet_sizes[0] = run.packet_sizes[1];
    run.packet_sizes[1] = run.packet_sizes[2];
}

// Decodes (or recovers, or conceals) the packet in slot 0 and writes its samples; yields their count.
SKP_int16 decode_step(const char *progress_format)
{
    const unsigned char *payload = run.packet_buffer;
    int size = run.packet_sizes[0];
    if (size == 0 && find_redundant_copy()) {
        payload = run.lbrr_buffer;
        size = run.lbrr_size;
    }
    const SKP_uint32 start = clock_us();
    const SKP_int16 sample_count = static_cast<SKP_int16>(size > 0 ? decode_payload(payload, size)
                                                                    : conceal_packet());
    run.decode_time_us += clock_us() - start;
    ++run.packets_decoded;
    std::fwrite(run.sample_buffer, sizeof(SKP_int16), sample_count, run.output);
    compact_look_ahead();
    if (!run.quiet)
        std::fprintf(stderr, progress_format, run.packets_decoded);
    return sample_count;
}

// Stores a packet just read at the write position in slot 2, unless the loss simulation drops it.
void keep_or_drop_packet(int size)
{
    run.rand_seed = static_cast<SKP_int32>(static_cast<SKP_uint32>(run.rand_seed) * 196314165u + 907633515u);
    const float r = static_cast<float>((run.rand_seed >> 16) + 32768) / 65535.0f;
    const float p = run.loss_percent / 100.0f;
    const bool survives = r >= p && size > 0;
    run.packet_sizes[2] = static_cast<SKP_int16>(survives ? size : 0);
    if (survives)
        run.write_position += size;
}

// Reads the first two packets, never dropped; false when the stream ended already.
bool fill_look_ahead(std::FILE *input)
{
    for (int slot = 0; slot < look_ahead_slots - 1; ++slot) {
        const int size = read_packet(input, run.packet_buffer + run.write_position);
        if (size == end_of_stream)
            return false;
        run.packet_sizes[slot] = static_cast<SKP_int16>(size);
        run.write_position += size;
    }
    return true;
}

SKP_int16 decode_stream(std::FILE *input)
{
    SKP_int16 last_sample_count = 0;
    if (fill_look_ahead(input)) {
        int size;
        while ((size = read_packet(input, run.packet_buffer + run.write_position)) != end_of_stream) {
            keep_or_drop_packet(size);
            last_sample_count = decode_step(main_loop_progress);
        }
    }
    // The two packets still held are decoded (or concealed) after the stream has ended.
    for (int step = 0; step < closing_steps; ++step) {
        run.packet_sizes[2] = 0;
        last_sample_count = decode_step(closing_progress);
    }
    return last_sample_count;
}

bool set_up_decoder(SKP_int32 sample_rate)
{
    run.control.API_sampleRate = sample_rate;
    run.control.framesPerPacket = 1;
    SKP_int32 state_bytes = 0;
    const SKP_int16 size_status = SKP_Silk_SDK_Get_Decoder_Size(&state_bytes);
    if (size_status != 0)
        std::printf("\nSKP_Silk_SDK_Get_Decoder_Size returned %d", size_status);
    run.decoder_state = std::malloc(state_bytes);
    if (run.decoder_state == nullptr) {
        std::printf("Error: out of memory\n");
        return false;
    }
    const SKP_int16 init_status = SKP_Silk_SDK_InitDecoder(run.decoder_state);
    if (init_status != 0)
        std::printf("\nSKP_Silk_InitDecoder returned %d", init_status);
    return true;
}

void finish_run(std::FILE *input, SKP_int16 last_sample_count)
{
    const int packet_duration_ms = last_sample_count / (run.control.API_sampleRate / 1000);
    const double file_length_s = run.packets_decoded * 0.001 * packet_duration_ms;
    const double decoding_time_s = run.decode_time_us * 0.000001;
    const double realtime_percent = run.decode_time_us * 0.0001 / file_length_s;
    if (!run.quiet)
        std::printf("\nDecoding Finished \n");
    std::free(run.decoder_state);
    std::fclose(run.output);
    std::fclose(input);
    if (run.quiet) {
        std::printf("%.3f %.3f %d\n", decoding_time_s, realtime_percent, run.packets_decoded);
        return;
    }
    std::printf("\nFile length:                 %.3f s", file_length_s);
    std::printf("\nTime for decoding:           %.3f s (%.3f%% of realtime)", decoding_time_s, realtime_percent);
    std::printf("\n\n");
}

// The settings and paths have been read; everything from opening the files on.
int decode_file(const Settings &settings)
{
    std::FILE *input = std::fopen(settings.input_path, "rb");
    if (input == nullptr) {
        std::printf("Error: could not open input file %s\n", settings.input_path);
        return EXIT_FAILURE;
    }
    char header[header_area_bytes];
    if (!check_header(input, header)) {
        std::printf("Error: Wrong Header %s\n", header);
        return EXIT_FAILURE;
    }
    // Created only now, so that a file that is not a voice message leaves nothing behind.
    run.output = std::fopen(settings.output_path, "wb");
    if (run.output == nullptr) {
        std::printf("Error: could not open output file %s\n", settings.output_path);
        return EXIT_FAILURE;
    }
    run.loss_percent = settings.loss_percent;
    run.quiet = settings.quiet;
    if (!set_up_decoder(settings.sample_rate))
        return EXIT_FAILURE;
    finish_run(input, decode_stream(input));
    return EXIT_SUCCESS;
}

} // namespace

#ifdef _WIN32
// Lets the process start-up expand "*" and "?" in the arguments into file names.
extern "C" {
int _dowildcard = -1;
}
#endif

int main(int argc, char **argv)
{
    // An empty argument vector leaves no invocation name to show.
    const char *invocation_name = argc > 0 && argv[0] != nullptr ? argv[0] : "z3oro";
    if (argc < 3) {
        print_usage(invocation_name);
        return EXIT_FAILURE;
    }
    Settings settings;
    settings.input_path = argv[1];
    settings.output_path = argv[2];
    if (!read_settings(argc, argv, settings)) {
        print_usage(invocation_name);
        return EXIT_FAILURE;
    }
    if (settings.sample_rate == 0)
        settings.sample_rate = default_sample_rate;
    // Checked before any file is opened: the library would fail or garble every frame.
    if (!supported_sample_rate(settings.sample_rate)) {
        std::printf("Error: unsupported output sample rate: %d\n", settings.sample_rate);
        return EXIT_FAILURE;
    }
    if (!settings.quiet)
        print_run_header(settings);
    return decode_file(settings);
}
