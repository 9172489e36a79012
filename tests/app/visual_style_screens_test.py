#!/usr/bin/env python3
"""Screenshots of the skinned program under Wine and Xvfb, and pixel checks on them:
the main window, the open-file dialog of "选择" and the completion message box.

usage: visual_style_screens_test.py <velmora.exe> <window_probe.exe> <work folder>
                                    <screenshot folder> [unittest arguments]
The completion message box needs a voice file from $SILK_VECTORS; that check skips
without it.
"""
import os
import shutil
import subprocess
import sys
import time
import unittest

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from velmora_gui import SessionTest, Velmora, windows_path  # noqa: E402

PROGRAM, PROBE, WORK, SCREENSHOTS = (os.path.abspath(a) for a in sys.argv[1:5])
STREAM = os.path.join(os.environ.get("SILK_VECTORS", ""), "vectors", "extra", "bitstream", "wechat_24k_20ms.silk")

FIELD_FRAME = (164, 185, 127)
BUTTON_OUTLINE = (55, 98, 6)


class Picture:
    """The pixels of a screenshot, or of a window's part of it."""

    def __init__(self, path, crop=None):
        arguments = ["convert", path]
        if crop:
            arguments += ["-crop", "%dx%d+%d+%d" % crop, "+repage"]
        data = subprocess.run(arguments + ["-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
        fields = data.split(maxsplit=4)  # P6, width, height, maximum, pixels
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = fields[4]

    def rgb(self, x, y):
        at = 3 * (y * self.width + x)
        return tuple(self.pixels[at:at + 3])

    def runs(self, colour, length):
        """(x, y) of every horizontal run of at least `length` pixels of that colour."""
        found = []
        for y in range(self.height):
            run = 0
            for x in range(self.width + 1):
                if x < self.width and self.rgb(x, y) == colour:
                    run += 1
                    continue
                if run >= length:
                    found.append((x - run, y))
                run = 0
        return found


class skinned_program(SessionTest):
    work = WORK

    def setUp(self):
        os.makedirs(SCREENSHOTS, exist_ok=True)
        self.app = Velmora(self.session, PROGRAM, PROBE, os.path.join(WORK, "program folder"))
        self.addCleanup(self.app.close)

    def window_geometry(self, title_pattern):
        """(width, height, left, top) of the visible X window whose title matches."""
        ids = []
        for _ in range(50):
            ids = self.session.xdotool("search", "--onlyvisible", "--name", title_pattern).stdout.split()
            if ids:
                break
            time.sleep(0.2)
        self.assertTrue(ids, "no window titled %s" % title_pattern)
        shape = {}
        for line in self.session.xdotool("getwindowgeometry", "--shell", ids[-1]).stdout.split():
            name, _, value = line.partition("=")
            shape[name] = int(value) if value.isdigit() else value
        return shape["WIDTH"], shape["HEIGHT"], shape["X"], shape["Y"]

    def shot(self, name, title_pattern):
        time.sleep(0.5)  # let the last paint reach the display
        path = os.path.join(SCREENSHOTS, name)
        self.session.screenshot(path)
        return Picture(path, self.window_geometry(title_pattern))

    def assert_two_button_outlines(self, picture):
        # 71-pixel buttons: a 1-pixel frame, then the outline with rounded corners.
        starts = sorted({x for x, _ in picture.runs(BUTTON_OUTLINE, 65)})
        self.assertTrue(any(b - a == 330 - 254 for a in starts for b in starts), starts)

    def test_main_window_buttons_and_path_field_wear_scheme_two(self):
        picture = self.shot("main_window.png", "^Velmora$")
        self.assert_two_button_outlines(picture)
        frame_runs = picture.runs(FIELD_FRAME, 200)  # the 204-pixel path field
        self.assertGreaterEqual(len(frame_runs), 2, "top and bottom edge of the path field")
        self.assertEqual(len({x for x, _ in frame_runs}), 1)

    def test_open_file_dialog_buttons_wear_the_skin(self):
        self.app.click("选择")
        self.app.text("dialog-file-name")  # waits for the dialog
        picture = self.shot("open_file_dialog.png", "^打开$")
        self.assertTrue(picture.runs(BUTTON_OUTLINE, 40), "no push button outline in the dialog")
        self.assertTrue(picture.runs(FIELD_FRAME, 100), "no field frame in the dialog")
        self.app.text("close-dialog")

    @unittest.skipUnless(os.path.exists(STREAM), "no SILK reference vectors (set SILK_VECTORS)")
    def test_completion_message_box_button_wears_the_skin(self):
        folder = os.path.join(WORK, "voice folder")
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        voice = os.path.join(folder, "msg.silk")
        shutil.copy(STREAM, voice)
        self.app.type_into_edit_box(windows_path(voice))
        self.app.click("转换")
        self.app.wait_for_message_box(120)
        picture = self.shot("completion_message_box.png", "^系统提示")
        self.assertTrue(picture.runs(BUTTON_OUTLINE, 40), "no push button outline in the message box")
        self.app.text("close-dialog")


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]] + sys.argv[5:])
