#!/usr/bin/env python3
"""Command-line behaviour of the decoder tool z3oro, driven as a separate process.

usage: cli_test.py [unittest arguments, e.g. a class name]
The environment names the tool (Z3ORO) and the folder of the SILK reference material
(SILK_VECTORS); tests that need real packets skip when that folder is absent.
"""
import os
import re
import struct
import subprocess
import tempfile
import unittest

TOOL = os.environ["Z3ORO"]
VECTORS = os.environ.get("SILK_VECTORS", "")
# One 20 ms frame per packet at 24 kHz, 1001 packets.
PACKET_SOURCE = os.path.join(VECTORS, "vectors", "extra", "bitstream", "wechat_24k_20ms.silk")
# Packet 290 of this stream carries in its last 42 bytes the redundant copy of the packet two before
# it; no other reference stream has such a packet.
DISTANCE_TWO_SOURCE = os.path.join(VECTORS, "vectors", "extra", "bitstream", "corrupt_bitflips.silk")
DISTANCE_TWO_PACKET, DISTANCE_TWO_COPY_BYTES = 289, 42

MARKED_HEADER = b"\x02#!SILK_V3"
USAGE_BODY = (
    "\nin.bit       : Bitstream input to decoder"
    "\nout.pcm      : Speech output from decoder"
    "\n   settings:"
    "\n-Fs_API <Hz> : Sampling rate of output signal in Hz; default: 24000"
    "\n-loss <perc> : Simulated packet loss percentage (0-100); default: 0"
    "\n-quiet       : Print out just some basic values"
    "\n")
POINTER_BITS = struct.calcsize("P") * 8
SAMPLES_PER_FRAME_24K = 480


def usage_pattern():
    # Three build lines of free wording, then the fixed text with the invocation name.
    return re.compile(r"\n[^\n]+\n[^\n]+\n[^\n]+\n"
                      + re.escape("\nusage: %s in.bit out.pcm [settings]\n" % TOOL + USAGE_BODY) + r"\Z")


def run_header(input_path, output_path):
    return ("********** Silk Decoder (Fixed Point) v 1.0.9 ********************\n"
            "********** Compiled for %d bit cpu *******************************\n"
            "Input:                       %s\n"
            "Output:                      %s\n" % (POINTER_BITS, input_path, output_path))


def container(packets, header=MARKED_HEADER, tail=b""):
    return header + b"".join(struct.pack("<h", len(p)) + p for p in packets) + tail


def stream_packets(test, path):
    """The packets of a reference stream; skips the test without the vectors."""
    if not os.path.isfile(path):
        test.skipTest("SILK reference vectors not found at %s" % path)
    data = open(path, "rb").read()
    assert data.startswith(MARKED_HEADER)
    packets, position = [], len(MARKED_HEADER)
    while position + 2 <= len(data):
        (length,) = struct.unpack_from("<h", data, position)
        packets.append(data[position + 2:position + 2 + length])
        position += 2 + length
    return packets


def real_packets(test, count):
    """The first count packets of the reference stream, one 20 ms frame each."""
    return stream_packets(test, PACKET_SOURCE)[:count]


class ToolTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory(prefix="z3oro-test-")
        self.addCleanup(self.folder.cleanup)

    def path(self, name):
        return os.path.join(self.folder.name, name)

    def write_input(self, data, name="in.silk"):
        path = self.path(name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def run_tool(self, *arguments):
        proc = subprocess.run([TOOL, *arguments], capture_output=True, timeout=120)
        # In a sanitizer build a report may come with the very status a case expects.
        self.assertNotRegex(proc.stderr, rb"Sanitizer|runtime error")
        return proc.returncode, proc.stdout, proc.stderr

    def decode(self, data, *settings, name="case"):
        """Decodes data quietly; returns the PCM bytes and the quiet summary's packet count."""
        input_path = self.write_input(data, name + ".silk")
        output_path = self.path(name + ".pcm")
        status, out, err = self.run_tool(input_path, output_path, "-quiet", *settings)
        self.assertEqual(status, 0, out)
        self.assertEqual(err, b"")
        summary = re.fullmatch(rb"(?:\nSKP_Silk_\w+ returned -?\d+)*\d+\.\d{3} \S+ (\d+)\n", out)
        self.assertIsNotNone(summary, out)
        with open(output_path, "rb") as f:
            return f.read(), int(summary.group(1))


class CommandLineTests(ToolTest):
    def test_too_few_arguments_print_only_the_usage(self):
        for arguments in ([], ["in.silk"]):
            with self.subTest(arguments=arguments):
                status, out, err = self.run_tool(*arguments)
                self.assertEqual(status, 1)
                self.assertRegex(out.decode(), usage_pattern())
                self.assertEqual(err, b"")

    def test_refused_settings_print_the_error_and_the_usage(self):
        input_path = self.write_input(container([]))
        cases = [
            (["-q"], "Error: unrecognized setting: -q\n\n"),
            (["-quiet", "quiet"], "Error: unrecognized setting: quiet\n\n"),
            (["-Fs_API"], "Error: missing value for setting: -Fs_API\n\n"),
            (["-quiet", "-LOSS"], "Error: missing value for setting: -LOSS\n\n"),
        ]
        for settings, error in cases:
            with self.subTest(settings=settings):
                status, out, _ = self.run_tool(input_path, self.path("out.pcm"), *settings)
                self.assertEqual(status, 1)
                self.assertTrue(out.decode().startswith(error), out)
                self.assertRegex(out.decode()[len(error):], usage_pattern())
                self.assertFalse(os.path.exists(self.path("out.pcm")))

    def test_unsupported_rates_are_refused_before_any_file_is_opened(self):
        for value, shown in [("16k", "16"), ("7999", "7999"), ("48001", "48001"), ("48100", "48100"),
                             ("11025", "11025"), ("22050", "22050"), ("-24000", "-24000")]:
            with self.subTest(rate=value):
                status, out, _ = self.run_tool(self.path("missing.silk"), self.path("out.pcm"),
                                               "-Fs_API", value)
                self.assertEqual(status, 1)
                self.assertEqual(out.decode(), "Error: unsupported output sample rate: %s\n" % shown)
                self.assertFalse(os.path.exists(self.path("out.pcm")))

    def test_accepted_settings_decode_like_their_plain_equivalent(self):
        data = container(real_packets(self, 30))
        cases = [
            (["-fs_api", "16000"], ["-Fs_API", "16000"]),
            (["-Fs_API", "8000", "-FS_API", "16000"], ["-Fs_API", "16000"]),
            (["-Fs_API", "abc"], []),
            (["-Fs_API", "0"], []),
            (["-Fs_API", "24000abc"], []),
            (["-loss", "0"], []),
            (["-LOSS", "abc"], []),
            (["-loss", "100", "-loss", "0"], []),
            (["-QUIET"], []),
        ]
        for settings, equivalent in cases:
            with self.subTest(settings=settings):
                self.assertEqual(self.decode(data, *settings, name="given"),
                                 self.decode(data, *equivalent, name="plain"))

    def test_output_rate_sets_the_samples_per_frame(self):
        packets = real_packets(self, 30)
        for rate, samples_per_frame in [("8000", 160), ("16000", 320), ("24000", 480), ("44100", 882),
                                        ("48000", 960)]:
            with self.subTest(rate=rate):
                pcm, count = self.decode(container(packets), "-Fs_API", rate)
                self.assertEqual(count, len(packets))
                self.assertEqual(len(pcm), 2 * samples_per_frame * len(packets))

    def test_missing_input_shows_the_run_header_then_the_error(self):
        input_path, output_path = self.path("missing.silk"), self.path("out.pcm")
        status, out, _ = self.run_tool(input_path, output_path)
        self.assertEqual(status, 1)
        self.assertEqual(out.decode(), run_header(input_path, output_path)
                         + "Error: could not open input file %s\n" % input_path)
        status, out, _ = self.run_tool(input_path, output_path, "-quiet")
        self.assertEqual((status, out.decode()), (1, "Error: could not open input file %s\n" % input_path))

    def test_output_that_cannot_be_created_is_an_error(self):
        input_path = self.write_input(container([]))
        output_path = self.path(os.path.join("no such folder", "out.pcm"))
        status, out, _ = self.run_tool(input_path, output_path, "-quiet")
        self.assertEqual((status, out.decode()), (1, "Error: could not open output file %s\n" % output_path))

    def test_paths_of_300_bytes(self):
        data = container(real_packets(self, 5))
        folder = self.folder.name
        while len(folder) < 200:
            folder = os.path.join(folder, "d" * 50)
        os.makedirs(folder)
        stem = os.path.join(folder, "f" * (300 - len(folder) - len("/.silk")))
        input_path, output_path = stem + ".silk", stem + ".pcm"
        self.assertEqual(len(input_path), 300)
        with open(input_path, "wb") as f:
            f.write(data)
        status, out, _ = self.run_tool(input_path, output_path)
        self.assertEqual(status, 0, out)
        self.assertTrue(out.decode().startswith(run_header(input_path, output_path)))
        with open(output_path, "rb") as f:
            self.assertEqual(f.read(), self.decode(data)[0])


class ContainerTests(ToolTest):
    def test_accepted_headers_decode_the_same_packets(self):
        packets = real_packets(self, 10)
        expected = self.decode(container(packets))
        for header in [b"#!SILK_V3", b"X!SILK_V3", b"\xff!SILK_V3", b"\x00!SILK_V3"]:
            with self.subTest(header=header):
                self.assertEqual(self.decode(container(packets, header)), expected)

    def test_refused_headers_show_the_bytes_read_and_leave_no_output(self):
        cases = [
            (b"\x02!SILK_V3", b"!SILK_V3"),
            (b"\x02!SILK_V3\x11\x00", b"!SILK_V3\x11"),
            (b"#!AMR\n\x3c\x48\xf5\x1f\x96\x66", b"!AMR\n\x3c\x48\xf5"),
            (b"#!AMR\n\x04\x00\x11\x22\x33\x44", b"!AMR\n\x04"),
            (b"#!silk_v3", b"!silk_v3"),
            (b"#!SILK_V", b"!SILK_V"),
            (b"\x02#!SILK_V", b"#!SILK_V"),
            (b"Q", b"Q"),
            (b"\x02", b"\x02"),
            (b"", b""),
        ]
        for data, shown in cases:
            with self.subTest(data=data):
                input_path, output_path = self.write_input(data), self.path("out.pcm")
                status, out, _ = self.run_tool(input_path, output_path, "-quiet")
                self.assertEqual((status, out), (1, b"Error: Wrong Header " + shown + b"\n"))
                self.assertFalse(os.path.exists(output_path))

    def test_refused_header_leaves_an_existing_output_untouched(self):
        input_path, output_path = self.write_input(b"#!AMR\n"), self.path("out.pcm")
        with open(output_path, "wb") as f:
            f.write(b"keep")
        status, _, _ = self.run_tool(input_path, output_path)
        self.assertEqual(status, 1)
        with open(output_path, "rb") as f:
            self.assertEqual(f.read(), b"keep")

    def test_what_ends_the_stream_is_ignored_with_everything_after_it(self):
        packets = real_packets(self, 12)
        kept, later = packets[:8], container(packets[8:], header=b"")
        expected = self.decode(container(kept))
        cases = [
            ("negative length", b"\xff\xff" + later),
            ("length 0x8000", b"\x00\x80" + later),
            ("half a length field", b"\x20"),
            ("cut payload", struct.pack("<h", 100) + packets[8][:50]),
            ("cut payload beyond a slot", struct.pack("<h", 6000) + bytes(5500)),
        ]
        for name, tail in cases:
            with self.subTest(name):
                self.assertEqual(self.decode(container(kept, tail=tail)), expected)

    def test_payload_beyond_a_slot_counts_as_a_lost_packet(self):
        packets = real_packets(self, 12)
        for position in (0, 1, 5, 11):
            expected = self.decode(container(packets[:position] + [b""] + packets[position:]), name="empty")
            for size in (5121, 32767):
                with self.subTest(position=position, size=size):
                    oversized = bytes((i * 37) & 0xFF for i in range(size))
                    data = container(packets[:position] + [oversized] + packets[position:])
                    self.assertEqual(self.decode(data, name="oversized"), expected)


class DecodeLoopTests(ToolTest):
    def test_every_packet_gives_one_step_and_short_streams_two(self):
        packets = real_packets(self, 7)
        # Without packets only the first closing step conceals a frame: the library then reports
        # that no packet has been decoded, so the second one conceals none.
        for count, steps, samples in [(0, 2, 480), (1, 2, 960), (2, 2, 960), (3, 3, 1440), (7, 7, 3360)]:
            with self.subTest(packets=count):
                pcm, decoded = self.decode(container(packets[:count]))
                self.assertEqual((decoded, len(pcm)), (steps, 2 * samples))

    def test_progress_and_statistics(self):
        packets = real_packets(self, 50)
        input_path, output_path = self.write_input(container(packets)), self.path("out.pcm")
        for rate in ("24000", "44100"):
            with self.subTest(rate=rate):
                status, out, err = self.run_tool(input_path, output_path, "-Fs_API", rate)
                self.assertEqual(status, 0)
                statistics = (r"\nDecoding Finished \n\nFile length:                 1\.000 s"
                              r"\nTime for decoding:           \d+\.\d{3} s \(\d+\.\d{3}% of realtime\)\n\n\Z")
                self.assertRegex(out.decode(), r"\A" + re.escape(run_header(input_path, output_path)) + statistics)
                progress = "".join("\rPackets decoded:             %d" % n for n in range(1, 49))
                progress += "\rPackets decoded:              49\rPackets decoded:              50"
                self.assertEqual(err.decode(), progress)

    def test_loss_simulation_limits(self):
        packets = real_packets(self, 40)
        emptied = packets[:2] + [b""] * (len(packets) - 2)
        for loss, survivors in [("101", emptied), ("1e9", emptied), ("-5", packets)]:
            with self.subTest(loss=loss):
                self.assertEqual(self.decode(container(packets), "-loss", loss, name="lossy"),
                                 self.decode(container(survivors), name="plain"))

    def test_lost_packet_is_recovered_from_the_copy_two_packets_later(self):
        packets = real_packets(self, 20)
        carrier = stream_packets(self, DISTANCE_TWO_SOURCE)[DISTANCE_TWO_PACKET]
        copy = carrier[-DISTANCE_TWO_COPY_BYTES:]
        # The packet between them (the stream's first) carries no copy, so the search must go on
        # to the packet after it, which lies behind that packet's bytes in the look-ahead.
        between = packets[0]
        lost = packets[:10] + [b"", between, carrier] + packets[10:]
        received = packets[:10] + [copy, between, carrier] + packets[10:]
        self.assertEqual(self.decode(container(lost), name="lost"), self.decode(container(received), name="received"))

    def test_loss_pattern_is_the_same_in_every_run(self):
        data = container(real_packets(self, 200))
        first = self.decode(data, "-loss", "30", name="first")
        self.assertEqual(self.decode(data, "-loss", "30", name="second"), first)
        self.assertNotEqual(first, self.decode(data, name="lossless"))


if __name__ == "__main__":
    unittest.main()
