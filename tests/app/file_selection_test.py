#!/usr/bin/env python3
"""File selection under Wine and Xvfb: the open-file dialog behind "选择" and files
dropped on the window; once the whole way, from the dialog to "转换完成" and the MP3.

usage: file_selection_test.py <velmora.exe> <window_probe.exe> <work folder> [unittest arguments]
The SILK reference material is found through $SILK_VECTORS; the full conversion
skips without it. Screenshots go to <work folder>/screenshots.
"""
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
STREAM = os.path.join(VECTORS, "vectors", "extra", "bitstream", "wechat_24k_20ms.silk")
SCREENSHOTS = os.path.join(WORK, "screenshots")
DIALOG_TITLE = "打开"
DONE_TEXT = "转换完成"


class file_selection(SessionTest):
    work = WORK

    def setUp(self):
        self.folder = os.path.join(WORK, "voice files")
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        self.voice = self.make_file("msg one.silk", b"\x02#!SILK_V3")
        self.other = self.make_file("other.amr", b"#!AMR\n")
        self.app = Velmora(self.session, PROGRAM, PROBE, os.path.join(WORK, "program"))
        self.addCleanup(self.app.close)

    def make_file(self, name, content):
        path = os.path.join(self.folder, name)
        with open(path, "wb") as f:
            f.write(content)
        return windows_path(path)

    def open_dialog(self, screenshot=None):
        self.app.click("选择")
        self.app.focus_window(DIALOG_TITLE)
        if screenshot:
            time.sleep(1)  # the dialog's first painting
            self.session.screenshot(os.path.join(SCREENSHOTS, screenshot))

    def choose_in_dialog(self, path):
        self.open_dialog()
        self.app.key("ctrl+a")
        self.app.type_keys(path)
        self.app.key("Return")
        self.app.wait_until(lambda: self.app.edit_text() == path, what="the chosen path in the edit box")

    def cancel_dialog(self):
        self.app.text("close-dialog")

    def test_cancelling_the_first_opening_leaves_the_edit_box_as_it_was(self):
        self.app.type_into_edit_box("typed by hand")
        self.open_dialog("file-dialog-first-opening.png")
        self.assertEqual(self.app.text("dialog-file-name"), "")
        self.cancel_dialog()
        self.app.wait_until(lambda: self.app.probe_run("dialog-file-name").returncode != 0, what="the dialog to go")
        self.assertEqual(self.app.edit_text(), "typed by hand")

    def test_a_choice_is_shown_again_and_comes_back_after_a_cancel(self):
        self.choose_in_dialog(self.voice)
        self.app.type_into_edit_box(self.other)
        self.open_dialog("file-dialog-second-opening.png")
        # The dialog opens in the chosen file's folder, with its name in the field.
        self.assertEqual(self.app.text("dialog-file-name"), "msg one.silk")
        self.cancel_dialog()
        self.app.wait_until(lambda: self.app.edit_text() == self.voice, what="the chosen path back in the edit box")

    def test_several_files_chosen_at_once_are_joined_for_a_batch(self):
        self.choose_in_dialog(self.voice)
        self.open_dialog()
        self.app.key("ctrl+a")
        self.app.type_keys('"msg one.silk" "other.amr"')
        self.app.key("Return")
        both = self.voice + ";" + self.other
        self.app.wait_until(lambda: self.app.edit_text() == both, what="both chosen paths")

    def test_dropped_files_put_their_paths_in_the_edit_box(self):
        self.app.type_into_edit_box("typed by hand")
        self.assertEqual(self.app.probe_run("drop", self.voice).returncode, 0)
        self.app.wait_until(lambda: self.app.edit_text() == self.voice, what="the dropped path")
        # Several at once: all of them, for a batch.
        self.assertEqual(self.app.probe_run("drop", self.other, self.voice).returncode, 0)
        self.app.wait_until(lambda: self.app.edit_text() == self.other + ";" + self.voice, what="both paths")

    @unittest.skipUnless(os.path.isfile(STREAM), "SILK reference vectors not found at %s" % VECTORS)
    def test_a_file_chosen_in_the_dialog_converts(self):
        voice = os.path.join(self.folder, "wechat voice.silk")
        shutil.copy(STREAM, voice)
        self.choose_in_dialog(windows_path(voice))
        self.app.click("转换")
        self.app.wait_for_message_box(seconds=120)
        self.session.screenshot(os.path.join(SCREENSHOTS, "file-dialog-conversion-done.png"))
        self.assertTrue(self.app.text("message-text").startswith(DONE_TEXT))
        self.app.text("close-dialog")
        mp3 = os.path.join(self.folder, "wechat voice.mp3")
        self.assertGreater(os.path.getsize(mp3), 1000)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]] + sys.argv[4:])
