"""A brand-new user's first day: the setup screen makes the administrator,
user management starts her into the lesson menu, lesson 2 ("Lesson1") opens
the note choice, eight notes are chosen by mouse and each is sung into the
"mic" sink for its check (one sung 80 cents sharp fails and is sung again),
Go stores the choice and the ladder opens at lesson 3, and lesson 3 runs to
its end with every answer sung: its stored result must hold what was sung.

The singer (rig.Singer) is one stream into "mic" for the whole test (silence
between notes; it also keeps the idle sink feeding the capture). During
lesson 3 it listens to the "speakers" sink and sings the note it last heard
played."""

import os
import struct
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rig  # noqa: E402

H = 765
USER_RECORD = 150728
USERS_FILE = 20 * USER_RECORD
CURRENT_LESSON_AT = 112
BLOCKS_AT = 4200
BLOCK = 264

IDLE_BUTTON = (153, 204, 128)  # a push button at rest
ABOUT_BUTTON = (650, H - 689)  # user management's About button
USER_ROW_1 = (260, H - 577)
START_LESSON = (1000, H - 181)
NEXT_LESSON = (900, H - 181)
OPTIONS_EXIT = (912, H - 125)  # the options dialog's Exit button
OPTIONS_GO = (761, H - 149)
# The dialog's backdrop picture (generated Images36) where the check draws
# its staff: shown only while the dialog waits for a key (its pale ground,
# left of the backdrop's staff).
BACKDROP_SPOT = (660, 250)
BACKDROP = (237, 242, 255)

# Whole tones apart, no octaves among them, away from the teacher's bell
# (C5 and E5): D4 E4 F#4 G#4 A#4 C#5 D#5 F5.
CHOSEN = [29, 31, 33, 35, 37, 40, 42, 44]
FAILING = 33  # sung 80 cents sharp first
LESSON_OFFSET = 12.0  # cents sharp in lesson 3


def note_hz(note):
    return 55.0 * 2.0 ** (note / 12.0)


def key_centre(note):
    """The window pixel (y from the top) of the note's key on the dialog."""
    r, j = divmod(note - 3, 12)
    return 30 + 45 * j + 18, H - (300 + 90 * r + 40)


def users_file(t):
    return os.path.join(t.data_dir, "ResourceFiles", "UsersFile")


def read_block(t, index):
    """(notes, means, done) of the administrator's lesson block index."""
    with open(users_file(t), "rb") as f:
        f.seek(BLOCKS_AT + index * BLOCK)
        b = f.read(BLOCK)
    notes = [struct.unpack_from("<i", b, j * 32)[0] for j in range(8)]
    means = [struct.unpack_from("<d", b, j * 32 + 8)[0] for j in range(8)]
    return notes, means, b[256]


def read_current_lesson(t):
    with open(users_file(t), "rb") as f:
        f.seek(CURRENT_LESSON_AT)
        return struct.unpack("<i", f.read(4))[0]


def wait_until(predicate, timeout, what):
    rig.wait_until(predicate, what, max(timeout, rig.PATIENCE))


class FirstDay(unittest.TestCase):
    def test_setup_note_choice_go_and_lesson_three(self):
        singer = rig.Singer(self)
        t = rig.start_tarnova(data="full")
        self.addCleanup(t.kill)
        t.wait_window()

        # Setup: the administrator's name and password, then user management.
        wait_until(lambda: t.screenshot().pixel(260, H - 398) == (153, 153, 230), 60, "the setup screen")
        t.type_text("Ada")
        t.key("Return")
        time.sleep(0.4)
        t.type_text("secret1")
        t.key("Return")
        time.sleep(0.4)
        t.key("Return")
        wait_until(lambda: os.path.exists(users_file(t)) and os.path.getsize(users_file(t)) == USERS_FILE, 60,
                   "the users file")
        wait_until(lambda: t.screenshot().pixel(*ABOUT_BUTTON) == IDLE_BUTTON, 60, "user management")

        # Start the user: the lesson menu at lesson 1; Next shows lesson 2.
        t.click(*USER_ROW_1)
        wait_until(lambda: t.alive() and t.screenshot().pixel(*START_LESSON) == IDLE_BUTTON, 30,
                   "the lesson menu\n" + t.output())
        self.assertEqual(read_current_lesson(t), 1)
        time.sleep(0.5)
        t.click(*NEXT_LESSON)
        time.sleep(0.8)
        t.click(*START_LESSON)
        wait_until(lambda: t.alive() and t.screenshot().pixel(*OPTIONS_EXIT) == IDLE_BUTTON, 30,
                   "the note choice of lesson 2\n" + t.output())
        self.assertEqual(read_current_lesson(t), 2)
        time.sleep(0.5)

        def backdrop_shown():
            return t.screenshot().pixel(*BACKDROP_SPOT) == BACKDROP

        def check(note, cents):
            """Clicks the note's key, sings it for its check and returns the
            stored choice once the dialog is back (the backdrop shows)."""
            singer.sing(note_hz(note), cents)
            t.click(*key_centre(note))
            wait_until(lambda: not backdrop_shown(), 5, "the check of note %d\n%s" % (note, t.output()))
            wait_until(backdrop_shown, 20, "the verdict on note %d\n%s" % (note, t.output()))
            singer.sing(None)
            time.sleep(0.3)
            return read_block(t, 0)[0]

        chosen = []
        for i, note in enumerate(CHOSEN):
            if note == FAILING:
                notes = check(note, 80.0)
                self.assertNotIn(note, notes, "a note sung 80 cents sharp fails its check")
                self.assertEqual([n for n in notes if n != 74], chosen)
            notes = check(note, [10.0, -15.0, 20.0][i % 3])
            chosen.append(note)
            self.assertEqual([n for n in notes if n != 74], chosen)
        self.assertEqual(read_block(t, 0)[2], 0, "not done before Go")

        t.click(*OPTIONS_GO)
        wait_until(lambda: read_current_lesson(t) == 3, 20, "Go\n" + t.output())
        notes, _, done = read_block(t, 0)
        self.assertEqual(notes, CHOSEN)
        self.assertEqual(done, 1)
        seeded, means, _ = read_block(t, 1)
        self.assertEqual(seeded, CHOSEN, "lesson 3 is seeded with the choice")
        self.assertEqual(means, [100.0] * 8)

        # The ladder opens at lesson 3: the menu shows it, Start Lesson runs it.
        wait_until(lambda: t.alive() and t.screenshot().pixel(*START_LESSON) == IDLE_BUTTON, 30,
                   "the lesson menu after Go\n" + t.output())
        time.sleep(0.5)
        singer.answer([note_hz(n) for n in CHOSEN], lambda index: LESSON_OFFSET)
        t.click(*START_LESSON)
        wait_until(lambda: read_block(t, 1)[1] != [100.0] * 8, 240,
                   "the end of lesson 3 (heard %s)\n%s" % (singer.heard, t.output()))
        singer.sing(None)
        notes, means, done = read_block(t, 1)
        self.assertEqual(sorted(notes), sorted(CHOSEN))
        for note, mean in zip(notes, means):
            self.assertLess(abs(mean - LESSON_OFFSET), 8.0, "note %d: mean %.2f (heard %s)"
                            % (note, mean, singer.heard))
        self.assertEqual(done, 1)
        self.assertEqual(read_current_lesson(t), 4, "lesson 3 passed")

        t.close_window()
        self.assertEqual(t.wait_exit(20), 0, t.output())
        self.assertEqual(t.debug_log(), "")


if __name__ == "__main__":
    unittest.main()
