"""The lesson menu as a user reaches it: a store made on the setup screen,
prepared so that the administrator stands at a given lesson with lesson 2
(the note choice) done; user management starts the user into the menu.
Screenshots of the menu at lessons 3 and 250 are saved in build/shots."""

import os
import shutil
import struct
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rig  # noqa: E402

USER_RECORD = 150728
USERS_FILE = 20 * USER_RECORD
CURRENT_LESSON_AT = 112
BLOCKS_AT = 4200
BLOCK = 264
H = 765

IDLE_BUTTON = (153, 204, 128)  # a push button at rest
ABOUT_BUTTON = (650, H - 689)  # user management's About button
START_LESSON = (1000, H - 181)
USER_ROW_1 = (260, H - 577)

# The administrator's note choice (lesson 2): C4 D4 E4 F4 G4 A4 B4 C5 with
# results whose |mean| + deviation orders them for lesson 3.
CHOSEN = [27, 29, 31, 32, 34, 36, 38, 39]
ERRORS = [(5.0, 3.0), (-20.0, 4.0), (1.0, 1.0), (30.0, 2.0), (-2.0, 2.0), (12.0, 9.0), (0.5, 0.5), (8.0, 1.0)]


def block_bytes(notes, errors, done):
    out = bytearray(BLOCK)
    for j in range(8):
        mean, dev = errors[j] if j < len(errors) else (100.0, 100.0)
        note = notes[j] if j < len(notes) else 74
        struct.pack_into("<i4xdd", out, j * 32, note, mean, dev)
        out[j * 32 + 24] = 1 if done and j < len(notes) else 0
    out[256] = 1 if done else 0
    return bytes(out)


class StoreMaker:
    """One store made through the setup screen, copied into every start."""

    folder = None

    @classmethod
    def make(cls):
        if cls.folder:
            return cls.folder
        t = rig.start_tarnova(data="full")
        try:
            t.wait_window()
            wait_until(lambda: t.screenshot().pixel(260, H - 398) == (153, 153, 230), 60, "the setup screen")
            t.type_text("Ada")
            t.key("Return")
            time.sleep(0.4)
            t.type_text("secret1")
            t.key("Return")
            time.sleep(0.4)
            t.key("Return")
            users = os.path.join(t.data_dir, "ResourceFiles", "UsersFile")
            wait_until(lambda: os.path.exists(users) and os.path.getsize(users) == USERS_FILE, 60, "the users file")
            wait_until(lambda: t.screenshot().pixel(*ABOUT_BUTTON) == IDLE_BUTTON, 60, "user management")
            t.close_window()
            if t.wait_exit(20) != 0:
                raise AssertionError("setup run did not end cleanly: " + t.output())
            cls.folder = tempfile.mkdtemp(prefix="menu-store-")
            for name in ("UsersFile", "TimeLine", "ScoreFile"):
                shutil.copyfile(os.path.join(t.data_dir, "ResourceFiles", name), os.path.join(cls.folder, name))
        finally:
            t.kill()
        return cls.folder


def wait_until(predicate, timeout, what):
    if not rig.wait_for(predicate, timeout, 0.2):
        raise AssertionError("timed out waiting for " + what)


def prepared_store(current_lesson, blocks):
    """prepare(data_dir): the made store, slot 0 at current_lesson with the given {block: bytes}."""
    folder = StoreMaker.make()

    def prepare(data_dir):
        res = os.path.join(data_dir, "ResourceFiles")
        for name in ("UsersFile", "TimeLine", "ScoreFile"):
            shutil.copyfile(os.path.join(folder, name), os.path.join(res, name))
        with open(os.path.join(res, "UsersFile"), "r+b") as f:
            f.seek(CURRENT_LESSON_AT)
            f.write(struct.pack("<i", current_lesson))
            for index, data in blocks.items():
                f.seek(BLOCKS_AT + index * BLOCK)
                f.write(data)
    return prepare


def read_current_lesson(t):
    with open(os.path.join(t.data_dir, "ResourceFiles", "UsersFile"), "rb") as f:
        f.seek(CURRENT_LESSON_AT)
        return struct.unpack("<i", f.read(4))[0]


def shots_dir():
    d = os.path.join(rig.build_dir(), "shots")
    os.makedirs(d, exist_ok=True)
    return d


class LessonMenuEndToEnd(unittest.TestCase):
    def start_at(self, lesson, blocks):
        t = rig.start_tarnova(data="full", prepare=prepared_store(lesson, blocks))
        self.addCleanup(t.kill)
        t.wait_window()
        wait_until(lambda: t.alive() and t.screenshot().pixel(*ABOUT_BUTTON) == IDLE_BUTTON, 90,
                   "user management\n" + t.output())
        t.click(*USER_ROW_1)
        wait_until(lambda: t.alive() and t.screenshot().pixel(*START_LESSON) == IDLE_BUTTON, 30,
                   "the lesson menu\n" + t.output())
        time.sleep(0.5)
        return t

    def test_menu_at_lesson_3_and_250(self):
        lesson2 = block_bytes(CHOSEN, ERRORS, True)
        t = self.start_at(3, {0: lesson2})
        shot = t.screenshot(os.path.join(shots_dir(), "lesson_menu_3.png"))
        t.close_window()
        self.assertEqual(t.wait_exit(20), 0, t.output())
        self.assertEqual(t.debug_log(), "")

        t = self.start_at(250, {0: lesson2, 1: block_bytes(CHOSEN, ERRORS, True)})
        shot = t.screenshot(os.path.join(shots_dir(), "lesson_menu_250.png"))
        t.close_window()
        self.assertEqual(t.wait_exit(20), 0, t.output())


if __name__ == "__main__":
    unittest.main()
