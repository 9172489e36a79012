#!/usr/bin/env python3
"""Batch conversion under Wine and Xvfb: a folder tree of voice files converted with
one press of "转换", a second run that finds nothing new, and closing the window in
the middle of a batch.

usage: batch_wine_test.py <velmora.exe> <window_probe.exe> <work folder> [unittest arguments]
Skips without the SILK reference material ($SILK_VECTORS).
"""
import glob
import os
import re
import shutil
import subprocess
import sys
import time
import unittest

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app"))
from velmora_gui import SessionTest, Velmora, windows_path  # noqa: E402

PROGRAM, PROBE, WORK = (os.path.abspath(a) for a in sys.argv[1:4])
VECTORS = os.environ.get("SILK_VECTORS", "")
STREAMS = os.path.join(VECTORS, "vectors", "extra", "bitstream")
SCREENSHOTS = os.path.join(WORK, "screenshots")
FAILURE_LIST = "Velmora-失败.txt"

# Where each voice file of the tree comes from; names and folders as phones keep them.
TREE = {
    "a.silk": "wechat_24k_20ms.silk",
    "b.amr": "wechat_16k_60ms_dtx.silk",  # SILK under an AMR name
    "c 语音.silk": "wechat_24k_swb_40k.silk",
    "sub/d.silk": "wechat_24k_20ms.silk",
    "sub/e.amr": "truncated.silk",
    "sub/deeper/f.silk": "corrupt_bitflips.silk",
    "sub/deeper/g": "empty_and_oversized_packets.silk",
    "sub 2/j.silk": "wechat_16k_60ms_dtx.silk",
    "sub 2/k.silk": "wechat_24k_20ms.silk",
    "sub 2/l.silk": "wechat_24k_swb_40k.silk",
    "h.silk": "wechat_24k_20ms.silk",  # its MP3 is there already
    "locked/i.silk": "header_only.silk",  # no MP3 can be made in its folder: this one fails
}
CONVERTED = [n for n in TREE if n not in ("h.silk", "locked/i.silk")]
OLD_MP3 = b"ID3 made by hand"


def mp3_of(name):
    base, extension = os.path.splitext(name)
    return (base if extension else name) + ".mp3"


@unittest.skipUnless(os.path.isdir(STREAMS), "SILK reference vectors not found at %s" % VECTORS)
class batch_conversion(SessionTest):
    work = WORK

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.temp = os.path.join(cls.session.env["WINEPREFIX"], "drive_c", "users")

    def setUp(self):
        self.root = os.path.join(WORK, "voice batch")
        shutil.rmtree(self.root, ignore_errors=True)
        self.app = Velmora(self.session, PROGRAM, PROBE, os.path.join(WORK, "program"))
        self.addCleanup(self.app.close)

    def make_tree(self):
        for name, stream in TREE.items():
            path = os.path.join(self.root, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            shutil.copy(os.path.join(STREAMS, stream), path)
        with open(os.path.join(self.root, "h.mp3"), "wb") as f:
            f.write(OLD_MP3)
        with open(os.path.join(self.root, "notes.txt"), "w") as f:
            f.write("not a voice file")
        with open(os.path.join(self.root, "sub", "real.amr"), "wb") as f:
            f.write(b"#!AMR\n" + bytes(200))
        # Immutable: nothing can be created in it, not even by root.
        locked = os.path.join(self.root, "locked")
        if subprocess.run(["chattr", "+i", locked], capture_output=True).returncode != 0:
            self.skipTest("chattr +i is needed to make a folder where no MP3 can be written")
        self.addCleanup(subprocess.run, ["chattr", "-i", locked])

    def leftovers(self):
        """Files a conversion may leave behind: temporary PCMs and partial MP3s."""
        return [p for pattern in ("**/*.tmp", "**/*.pcm") for folder in (self.root, self.temp)
                for p in glob.glob(os.path.join(folder, pattern), recursive=True)]

    def start_batch(self, path):
        self.app.type_into_edit_box(path)
        self.app.click("转换")

    def finish_batch(self, screenshot):
        self.app.wait_for_message_box(seconds=300)
        self.session.screenshot(os.path.join(SCREENSHOTS, screenshot))
        summary = self.app.text("message-text")
        self.app.text("close-dialog")
        return summary

    def assert_counts(self, summary, converted, skipped, failed):
        self.assertIn("已转换：%d 个" % converted, summary)
        self.assertIn("已跳过：%d 个" % skipped, summary)
        self.assertIn("失败：%d 个" % failed, summary)

    def test_a_folder_tree_converts_once_and_a_second_run_finds_nothing_new(self):
        self.make_tree()
        before = set(self.leftovers())
        self.start_batch(windows_path(self.root))
        captions = set()
        while self.app.probe_run("message-text", "--no-wait").returncode != 0 and len(captions) < 3:
            captions.add(self.app.text("caption"))
            time.sleep(0.3)
        summary = self.finish_batch("batch-summary.png")

        self.assertTrue(any(re.fullmatch(r"Velmora — \d+/11", c) for c in captions), captions)
        self.assert_counts(summary, converted=10, skipped=3, failed=1)
        self.assertIn("不是silk语音 1 个，AMR语音无法转换 1 个，MP3已存在 1 个", summary)
        self.assertIn("\\locked\\i.silk：", summary)
        self.assertEqual(self.app.text("caption"), "Velmora")
        for name in CONVERTED:
            self.assertGreater(os.path.getsize(os.path.join(self.root, mp3_of(name))), 1000, name)
        with open(os.path.join(self.root, "h.mp3"), "rb") as f:
            self.assertEqual(f.read(), OLD_MP3)
        self.assertEqual(os.listdir(os.path.join(self.root, "locked")), ["i.silk"])
        with open(os.path.join(self.root, FAILURE_LIST), "rb") as f:
            failures = f.read().decode("gbk").splitlines()
        self.assertEqual(len(failures), 1)
        source, reason = failures[0].split("\t")
        self.assertEqual(source, windows_path(os.path.join(self.root, "locked", "i.silk")))
        self.assertIn(reason, summary)
        self.assertEqual(set(self.leftovers()), before)

        self.start_batch(windows_path(self.root))
        summary = self.finish_batch("batch-second-run.png")
        self.assert_counts(summary, converted=0, skipped=13, failed=1)

    def test_closing_the_window_mid_batch_ends_the_tools_and_leaves_no_partial_file(self):
        os.makedirs(self.root)
        for i in range(12):
            shutil.copy(os.path.join(STREAMS, "wechat_24k_20ms.silk"), os.path.join(self.root, "v%02d.silk" % i))
        before = set(self.leftovers())
        self.start_batch(windows_path(self.root))
        self.app.wait_until(lambda: re.fullmatch(r"Velmora — [3-9]/12", self.app.text("caption")), seconds=120,
                            what="the batch to be under way")
        self.session.screenshot(os.path.join(SCREENSHOTS, "batch-running.png"))
        # Input is refused while the batch runs, dropped files too.
        self.assertEqual(self.app.probe_run("drop", windows_path(os.path.join(self.root, "v00.silk"))).returncode, 0)
        time.sleep(0.5)
        self.assertEqual(self.app.edit_text(), windows_path(self.root))
        self.assertEqual(self.app.close(), 0)

        mp3s = glob.glob(os.path.join(self.root, "*.mp3"))
        self.assertGreater(len(mp3s), 0)
        self.assertLess(len(mp3s), 12)
        sizes = {os.path.getsize(p) for p in mp3s}
        self.assertEqual(len(sizes), 1, "every MP3 that stays is complete: %s" % sizes)
        self.assertEqual(set(self.leftovers()), before)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]] + sys.argv[4:])
