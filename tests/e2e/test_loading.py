"""The loading screen on a generated data folder: what it shows, the start
tune, and the screen it hands over to (first-time setup or user management)."""

import array
import os
import struct
import sys
import time
import unittest
import wave

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rig  # noqa: E402

H = 765  # window height: window y from the top = H - y from the bottom


def is_red(p):
    return p[0] > 200 and p[1] < 60 and 40 < p[2] < 120


def is_dark(p):
    return sum(p) < 250


def is_green(p):
    return p[1] > 120 and p[0] < 100 and p[2] < 110


# Boxes (x0, y0, x1, y1) in window pixels from the top.
PROGRESS_BAR = (346, H - 119, 594, H - 101)
TITLE = (130, H - 700, 240, H - 676)
FIRST_LOADING_LINE = (130, H - 592, 350, H - 574)
# The message panel's icon (119 x 82 at (12, 12)): the setup icon has its
# green plus on the right, the user-management icon its green tick on the left.
ICON_RIGHT = (12 + 70, H - 94, 12 + 119, H - 12)
ICON_LEFT = (12, H - 94, 12 + 60, H - 12)


def screen_after_loading(shot):
    right = shot.count(is_green, ICON_RIGHT)
    left = shot.count(is_green, ICON_LEFT)
    if right > 30 and left < 5:
        return "setup"
    if left > 30 and right < 5:
        return "user management"
    return None


def store_files_present(data_dir):
    """Store files of their full sizes that the load accepts: the slot keys the
    format fixes, the administrator in slot 0, every time-line day undated."""
    folder = os.path.join(data_dir, "ResourceFiles")
    record, day = 150728, 146528
    with open(os.path.join(folder, "UsersFile"), "wb") as f:
        f.truncate(20 * record)
        for slot in range(20):
            key = 1 if slot == 0 else 20 if 6 <= slot <= 9 else slot + 1 if slot >= 10 else 0
            f.seek(slot * record + 44)
            f.write(struct.pack("<ii", key, 3 if slot == 0 else 0))
            if slot == 0:
                f.seek(112)
                f.write(struct.pack("<i", 1))
    with open(os.path.join(folder, "TimeLine"), "wb") as f:
        f.truncate(2000 * day)
        for d in range(2000):
            f.seek(d * day)
            f.write(struct.pack("<d", 36651.0))
    with open(os.path.join(folder, "ScoreFile"), "wb") as f:
        f.truncate(75752)


class Loading(unittest.TestCase):
    def start(self, **kw):
        t = rig.start_tarnova(data="full", **kw)
        self.addCleanup(t.kill)
        t.wait_window()
        return t

    def wait_for_loading_frame(self, t):
        """A screenshot of the loading screen with some progress shown."""
        deadline = time.time() + 15
        while time.time() < deadline:
            shot = t.screenshot()
            if shot.count(is_red, PROGRESS_BAR) > 50:
                return shot
            self.assertTrue(t.alive(), t.output())
        self.fail("no loading frame with a red progress bar:\n" + t.output())

    def wait_for_next_screen(self, t):
        deadline = time.time() + 30
        while time.time() < deadline:
            shot = t.screenshot()
            screen = screen_after_loading(shot)
            if screen and shot.count(is_red, PROGRESS_BAR) == 0:
                return screen
            self.assertTrue(t.alive(), t.output())
            time.sleep(0.2)
        self.fail("loading did not hand over:\n" + t.output())

    def test_fresh_folder_loads_with_tune_and_reaches_setup(self):
        recording = rig.record_speakers(os.path.join(rig.ensure_rig()["TARNOVA_RIG"], "tune.wav"))
        t = self.start()
        shot = self.wait_for_loading_frame(t)
        self.assertGreater(shot.count(is_dark, TITLE), 20, "title")
        self.assertGreater(shot.count(is_dark, FIRST_LOADING_LINE), 40, "loading line")
        self.assertEqual(self.wait_for_next_screen(t), "setup")
        path = recording.stop()
        with wave.open(path) as w:
            frames = w.readframes(w.getnframes())
        samples = array.array("h", frames)
        self.assertGreater(max((abs(v) for v in samples), default=0), 2000, "the start tune is heard")
        self.assertEqual(t.debug_log(), "")
        t.close_window()
        self.assertEqual(t.wait_exit(10), 0, t.output())
        self.assertEqual(t.debug_log(), "")

    def test_users_file_present_reaches_user_management(self):
        t = self.start(prepare=store_files_present)
        self.assertEqual(self.wait_for_next_screen(t), "user management")
        self.assertEqual(t.debug_log(), "")

    def test_exit_during_loading_ends_normally(self):
        t = self.start()
        self.wait_for_loading_frame(t)
        t.click(600, H - 167)  # the Exit button: 580..643 x 158..176
        self.assertEqual(t.wait_exit(10), 0, t.output())
        self.assertEqual(t.debug_log(), "")


if __name__ == "__main__":
    unittest.main()
