"""Drives velmora.exe under Wine in a test session: starts it from a folder of its
own, looks at its window through window_probe.exe and types with xdotool.

Used by the window tests of this folder and of tests/conversion.
"""
import os
import shutil
import subprocess
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SESSION = os.path.join(HERE, "..", "wine", "session")


def windows_path(path):
    """The path under Wine's drive Z:, which is the Unix root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Session:
    """A Wine prefix and an X display for one test script; start=False joins one
    that runs already."""

    def __init__(self, folder, start=True):
        self.folder = folder
        if start:
            display = os.environ.get("VELMORA_DISPLAY")  # a display of one's own instead of a new Xvfb
            subprocess.run([SESSION, "start", folder] + (["--display", display] if display else []), check=True,
                           stdout=subprocess.DEVNULL)
        env_line = subprocess.run([SESSION, "env", folder], check=True, capture_output=True, text=True).stdout
        self.env = dict(os.environ)
        for assignment in env_line.replace("export ", "").split():
            name, _, value = assignment.partition("=")
            self.env[name] = value.strip("'\"")
        self.wine = os.environ.get("VELMORA_WINE64", "/usr/lib/wine/wine64")

    def stop(self):
        subprocess.run([SESSION, "stop", self.folder], stdout=subprocess.DEVNULL)

    def run(self, *arguments, timeout=60):
        return subprocess.run([self.wine, *arguments], env=self.env, capture_output=True, timeout=timeout)

    def xdotool(self, *arguments):
        return subprocess.run(["xdotool", *arguments], env=self.env, capture_output=True, text=True, timeout=30)

    def screenshot(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        subprocess.run(["import", "-window", "root", path], env=self.env, capture_output=True, timeout=30)


class SessionTest(unittest.TestCase):
    """Tests that share one session: the test run's own ($VELMORA_WINE_SESSION), or
    else one of their own in the folder `work` names."""

    work = None

    @classmethod
    def setUpClass(cls):
        shared = os.environ.get("VELMORA_WINE_SESSION")
        cls.session = Session(shared, start=False) if shared else Session(os.path.join(cls.work, "session"))
        cls.owns_session = not shared

    @classmethod
    def tearDownClass(cls):
        if cls.owns_session:
            cls.session.stop()


class Velmora:
    """One running copy of the program, in a folder of its own (it puts its tools there);
    launcher is a command to start it with, such as taskset."""

    def __init__(self, session, program, probe, folder, launcher=()):
        self.session = session
        self.probe = probe
        os.makedirs(folder, exist_ok=True)
        self.program = os.path.join(folder, "velmora.exe")
        shutil.copy(program, self.program)
        self.process = subprocess.Popen([*launcher, session.wine, self.program], env=session.env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if self.probe_run("caption").returncode != 0:
            raise RuntimeError("the window of velmora.exe did not appear")

    def probe_run(self, *arguments):
        return self.session.run(self.probe, *arguments)

    def text(self, *arguments):
        """What the probe prints, decoded from the program's code page."""
        result = self.probe_run(*arguments)
        if result.returncode != 0:
            raise AssertionError("window_probe %s failed (%d)" % (" ".join(arguments), result.returncode))
        return result.stdout.decode("gbk")

    def edit_text(self):
        return self.text("edit-text")

    def click(self, caption):
        self.text("click", caption)

    def type_into_edit_box(self, text):
        self.focus_window("Velmora")
        self.text("focus-edit")
        self.key("End", "shift+Home")
        self.type_keys(text)
        self.wait_until(lambda: self.edit_text() == text, what="the typed text %r" % text)

    def wait_for_message_box(self, seconds):
        self.wait_until(lambda: self.probe_run("message-text", "--no-wait").returncode == 0, seconds=seconds,
                        what="the message box")

    def focus_window(self, name):
        """Gives the X keyboard focus to the top-level window of that title."""
        found = ""
        for _ in range(100):
            found = self.session.xdotool("search", "--onlyvisible", "--name", "^%s$" % name).stdout.split()
            if found:
                break
            time.sleep(0.1)
        if not found:
            raise AssertionError("no window named %s" % name)
        self.session.xdotool("windowfocus", "--sync", found[-1])
        return found[-1]

    def type_keys(self, text):
        self.session.xdotool("type", "--delay", "15", text)

    def key(self, *keys):
        self.session.xdotool("key", "--delay", "50", *keys)

    def wait_until(self, condition, seconds=20, what="condition"):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if condition():
                return
            time.sleep(0.2)
        raise AssertionError("timed out waiting for %s (the edit box holds %r)" % (what, self.edit_text()))

    def close(self):
        if self.process.poll() is None:
            self.probe_run("close")
            try:
                self.process.wait(timeout=15)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        return self.process.returncode
