#!/usr/bin/env python3
"""One voice file the whole way under Wine and Xvfb: typed into the path field,
converted with "转换", and the MP3 beside it checked; a file that is no voice file
is refused without leaving files behind.

usage: end_to_end_test.py <velmora.exe> <window_probe.exe> <work folder> [unittest arguments]
The SILK reference material is found through $SILK_VECTORS; skips without it.
Screenshots go to <work folder>/screenshots.
"""
import glob
import os
import shutil
import sys
import time
import unittest

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from velmora_gui import SessionTest, Velmora, windows_path  # noqa: E402

PROGRAM, PROBE, WORK = (os.path.abspath(a) for a in sys.argv[1:4])
VECTORS = os.environ.get("SILK_VECTORS", "")
STREAMS = os.path.join(VECTORS, "vectors", "extra", "bitstream")
STREAM = os.path.join(STREAMS, "wechat_24k_20ms.silk")
SCREENSHOTS = os.path.join(WORK, "screenshots")

MPEG2_LAYER3_RATES = {0: 22050, 1: 24000, 2: 16000}
MONO = 3


MPEG2_LAYER3_KBPS = [0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160]


def mp3_format(path):
    """Sample rate, channel mode and length in seconds of an MPEG-2 Layer III file,
    walking its frames (576 samples each)."""
    with open(path, "rb") as mp3:
        data = mp3.read()
    position = data.find(b"\xff\xf3")  # MPEG-2, Layer III, no CRC
    if position < 0:
        raise AssertionError("no MPEG-2 Layer III frame in %s" % path)
    rate = MPEG2_LAYER3_RATES[(data[position + 2] >> 2) & 3]
    mode = data[position + 3] >> 6
    frames = 0
    while position + 4 <= len(data) and data[position] == 0xFF and data[position + 1] & 0xFE == 0xF2:
        kbps = MPEG2_LAYER3_KBPS[data[position + 2] >> 4]
        padding = (data[position + 2] >> 1) & 1
        position += 72000 * kbps // rate + padding
        frames += 1
    return rate, mode, frames * 576 / rate


def repeated_stream(packet_count):
    """The vector's packets over and over, for a conversion that lasts a while."""
    with open(STREAM, "rb") as f:
        data = f.read()
    packets, position = [], len(b"\x02#!SILK_V3")
    while position + 2 <= len(data):
        length = int.from_bytes(data[position:position + 2], "little", signed=True)
        if length <= 0:
            break
        packets.append(data[position:position + 2 + length])
        position += 2 + length
    return b"\x02#!SILK_V3" + b"".join(packets[i % len(packets)] for i in range(packet_count))


def tool_running():
    for entry in os.listdir("/proc"):
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                if b"z3oro.exe" in f.read():
                    return True
        except OSError:
            continue
    return False


def temporary_leftovers(session):
    prefix = session.env["WINEPREFIX"]
    return set(glob.glob(os.path.join(prefix, "drive_c", "users", "*", "**", "vel*.tmp"), recursive=True))


@unittest.skipUnless(os.path.exists(STREAM), "no SILK reference vectors (set SILK_VECTORS)")
class end_to_end(SessionTest):
    work = WORK

    def setUp(self):
        self.folder = os.path.join(WORK, "voice folder")
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        self.app = Velmora(self.session, PROGRAM, PROBE, os.path.join(WORK, "program folder"))
        self.addCleanup(self.app.close)
        self.leftovers_before = temporary_leftovers(self.session)

    def put(self, name, content):
        path = os.path.join(self.folder, name)
        with open(path, "wb") as f:
            f.write(content)
        return path

    def convert(self, path, screenshot=None):
        self.app.type_into_edit_box(windows_path(path))
        self.app.click("转换")
        if screenshot:
            time.sleep(0.3)
            self.session.screenshot(os.path.join(SCREENSHOTS, screenshot))
        self.app.wait_for_message_box(120)
        text = self.app.text("message-text")
        return text

    def close_message_box(self, screenshot=None):
        if screenshot:
            self.session.screenshot(os.path.join(SCREENSHOTS, screenshot))
        self.app.text("close-dialog")

    def assert_no_intermediate_files(self):
        self.assertEqual(temporary_leftovers(self.session), self.leftovers_before)

    def test_a_voice_file_becomes_a_mono_24000_hz_mp3_as_long_as_its_samples(self):
        with open(STREAM, "rb") as stream:
            voice = self.put("msg.silk", stream.read())
        text = self.convert(voice, screenshot="end_to_end_running.png")
        self.close_message_box(screenshot="end_to_end_done.png")
        self.assertTrue(text.startswith("转换完成"), text)
        self.assertEqual(sorted(os.listdir(self.folder)), ["msg.mp3", "msg.silk"])
        pcm = os.path.join(WORK, "reference.pcm")
        decoder = os.path.join(WORK, "program folder", "z3oro.exe")
        self.session.run(decoder, windows_path(voice), windows_path(pcm))
        pcm_seconds = os.path.getsize(pcm) / 2 / 24000
        rate, mode, seconds = mp3_format(os.path.join(self.folder, "msg.mp3"))
        self.assertEqual(rate, 24000)
        self.assertEqual(mode, MONO)
        self.assertAlmostEqual(seconds, pcm_seconds, delta=pcm_seconds * 0.02)
        self.assert_no_intermediate_files()

    def test_a_file_that_is_no_voice_file_is_refused_up_front(self):
        other = self.put("talk.silk", b"#!AMR\n" + bytes(200))
        text = self.convert(other)
        self.close_message_box()
        self.assertTrue(text.startswith("请检查是否有微信silk语音文件"), text)
        self.assertEqual(os.listdir(self.folder), ["talk.silk"])
        self.assert_no_intermediate_files()

    def test_closing_the_window_during_a_conversion_ends_it_cleanly(self):
        voice = self.put("long.silk", repeated_stream(30000))
        self.app.type_into_edit_box(windows_path(voice))
        self.app.click("转换")
        deadline = time.time() + 30
        while not tool_running() and time.time() < deadline:
            time.sleep(0.02)
        self.assertTrue(tool_running(), "the decoder tool did not start")
        self.assertEqual(self.app.close(), 0)
        time.sleep(0.5)
        self.assertFalse(tool_running())
        self.assertEqual(os.listdir(self.folder), ["long.silk"])
        self.assert_no_intermediate_files()

    def test_closing_the_window_ends_the_program_with_exit_code_0(self):
        self.assertEqual(self.app.close(), 0)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]] + sys.argv[4:])
