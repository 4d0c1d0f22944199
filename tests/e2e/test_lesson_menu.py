"""The lesson menu as a user reaches it: a store made on the setup screen,
prepared so that the administrator stands at a given lesson with lesson 2
(the note choice) done; user management starts the user into the menu.

The whole road: user management, the menu, Start Lesson, the loader, the
options screen's entry and the exercise of lesson 3, answered into the "mic"
sink at known offsets by a singer (rig.Singer) that listens for each
reference note on the "speakers" sink; the score overview, back to the menu at lesson 4, and
the statistics screens with lesson 3's results. Screenshots are saved in
build/shots (the menu at lessons 3 and 250, the statistics screens)."""

import atexit
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
            cls.folder = tempfile.mkdtemp(prefix="tarnova-menu-store.")
            atexit.register(shutil.rmtree, cls.folder, True)
            for name in ("UsersFile", "TimeLine", "ScoreFile"):
                shutil.copyfile(os.path.join(t.data_dir, "ResourceFiles", name), os.path.join(cls.folder, name))
        finally:
            t.kill()
        return cls.folder


def wait_until(predicate, timeout, what):
    rig.wait_until(predicate, what, max(timeout, rig.PATIENCE), 0.2)


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


def open_menu(test, current_lesson, blocks):
    """The program on a prepared store (see prepared_store), the first user
    clicked, and its lesson menu shown and waiting for input."""
    t = rig.start_tarnova(data="full", prepare=prepared_store(current_lesson, blocks))
    test.addCleanup(t.kill)
    t.wait_window()
    wait_until(lambda: t.alive() and t.screenshot().pixel(*ABOUT_BUTTON) == IDLE_BUTTON, 90,
               "user management\n" + t.output())
    t.click(*USER_ROW_1)
    wait_until(lambda: t.alive() and t.screenshot().pixel(*START_LESSON) == IDLE_BUTTON, 30,
               "the lesson menu\n" + t.output())
    t.wait_still("the lesson menu")
    return t


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
        return open_menu(self, lesson, blocks)

    def test_menu_at_lesson_3_and_250(self):
        lesson2 = block_bytes(CHOSEN, ERRORS, True)
        t = self.start_at(3, {0: lesson2})
        shot = t.screenshot(os.path.join(shots_dir(), "lesson_menu_3.png"))
        # The dial: a 9-degree pie at lesson 3, a full disc from one turn on.
        self.assertNotEqual(shot.pixel(*DIAL_LEFT), PIE)
        self.assertEqual(shot.pixel(532 + 3, H - 238 - 38), PIE)
        t.close_window()
        self.assertEqual(t.wait_exit(20), 0, t.output())
        self.assertEqual(t.debug_log(), "")

        t = self.start_at(250, {0: lesson2, 1: block_bytes(CHOSEN, ERRORS, True)})
        shot = t.screenshot(os.path.join(shots_dir(), "lesson_menu_250.png"))
        self.assertEqual(shot.pixel(*DIAL_LEFT), PIE)
        self.assertEqual(read_current_lesson(t), 250)
        t.close_window()
        self.assertEqual(t.wait_exit(20), 0, t.output())

    def test_road_from_user_management_through_lesson_3_to_the_statistics(self):
        t = self.start_at(3, {0: block_bytes(CHOSEN, ERRORS, True)})
        shots = shots_dir()
        lesson3 = t.screenshot()
        self.click_and_wait(t, NEXT, START_LESSON, "the menu at lesson 4")
        lesson4 = t.screenshot()
        self.assertNotEqual(crop(lesson3, TITLE), crop(lesson4, TITLE))
        self.click_and_wait(t, PREV, START_LESSON, "the menu at lesson 3 again")
        self.assertEqual(crop(t.screenshot(), TITLE), crop(lesson3, TITLE))
        self.click_and_wait(t, STATISTICS, STATISTICS_QUIT, "the note statistics")
        statistics_before = t.screenshot()
        self.click_and_wait(t, STATISTICS_QUIT, START_LESSON, "the menu after the statistics")

        # Lesson 3 asks the notes in the order lesson 2's errors give them.
        asked = [38, 31, 34, 27, 39, 36, 29, 32]
        offsets = [SING_OFFSETS[e % 3] for e in range(8)]
        singer = rig.Singer(self)
        singer.answer([note_hz(n) for n in asked], lambda e: offsets[e], in_order=True, hold=VOICE_SECONDS)
        t.click(*START_LESSON)
        wait_until(lambda: len(singer.heard) == 8 or not t.alive(), 240,
                   "the eighth reference (heard %s)\n%s" % (singer.heard, t.output()))
        wait_until(lambda: t.alive() and t.screenshot().pixel(*OVERVIEW_CHANGE_LESSON) == IDLE_BUTTON, 60,
                   "the score overview\n" + t.output())
        singer.sing(None)
        sung = len(singer.heard)
        self.assertEqual(sung, 8, "answers sung\n" + t.output())
        t.screenshot(os.path.join(shots, "road_score_overview.png"))

        # The stored result of lesson 3 holds the offsets sung, in asking order.
        notes, means, done = read_block(t, 1)
        self.assertEqual(notes, asked)
        for e in range(8):
            self.assertLess(abs(means[e] - offsets[e]), 3.0, "answer %d: %s" % (e + 1, means))
        self.assertEqual(done, 1)
        self.assertEqual(read_current_lesson(t), 4)

        # Back to the menu: it shows lesson 4.
        self.click_and_wait(t, OVERVIEW_CHANGE_LESSON, START_LESSON, "the menu after the lesson")
        t.wait_shot(lambda s: crop(s, TITLE) == crop(lesson4, TITLE), "the menu showing lesson 4")
        t.screenshot(os.path.join(shots, "road_menu_after.png"))

        # The statistics of lesson 3 now hold its results.
        self.click_and_wait(t, PREV, START_LESSON, "the menu at lesson 3")
        self.click_and_wait(t, STATISTICS, STATISTICS_QUIT, "the note statistics after the lesson")
        after = t.screenshot(os.path.join(shots, "road_note_statistics.png"))
        self.assertNotEqual(crop(after, STATISTICS_TABLE), crop(statistics_before, STATISTICS_TABLE))
        self.click_and_wait(t, STATISTICS_QUIT, START_LESSON, "the menu after the statistics")
        t.click(*TIME_LINE_NUMBERS)
        t.wait_shot(lambda s: s.pixel(*START_LESSON) != IDLE_BUTTON, "the time-line numbers")
        t.screenshot(os.path.join(shots, "road_time_line_numbers.png"))
        t.close_window()
        self.assertEqual(t.wait_exit(20), 0, t.output())
        self.assertEqual(t.debug_log(), "")

    def click_and_wait(self, t, where, button, what):
        t.click(*where)
        time.sleep(0.3)
        wait_until(lambda: t.alive() and t.screenshot().pixel(*button) == IDLE_BUTTON, 30, what + "\n" + t.output())


PIE = (204, 102, 153)                     # the dial's pie (0.8, 0.4, 0.6)
DIAL_LEFT = (532 - 35, H - 238)
NEXT = (900, H - 181)
PREV = (60, H - 181)
STATISTICS = (160, H - 119)
TIME_LINE_NUMBERS = (720, H - 119)
STATISTICS_QUIT = (684, H - 217)          # the note statistics' "quit"
OVERVIEW_CHANGE_LESSON = (710, H - 213)   # the score overview's "ChangeLesson"
TITLE = (940, H - 250, 1124, H - 195)     # the shown lesson's title and delay
STATISTICS_TABLE = (25, H - 540, 967, H - 300)
SING_OFFSETS = [15.0, -25.0, 40.0]
VOICE_SECONDS = 6.5  # how long each answer is sung


def crop(shot, box):
    x0, y0, x1, y1 = box
    return [shot.pixel(x, y) for y in range(y0, y1, 2) for x in range(x0, x1, 2)]


def note_hz(note):
    return 440.0 * 2 ** ((note - 36) / 12.0)


def read_block(t, index):
    with open(os.path.join(t.data_dir, "ResourceFiles", "UsersFile"), "rb") as f:
        f.seek(BLOCKS_AT + index * BLOCK)
        data = f.read(BLOCK)
    notes = [struct.unpack_from("<i", data, j * 32)[0] for j in range(8)]
    means = [struct.unpack_from("<d", data, j * 32 + 8)[0] for j in range(8)]
    return notes, means, data[256]


if __name__ == "__main__":
    unittest.main()
