"""A lesson sung after a replay keeps real time and is judged as sung.

The road a user takes: lesson 3 sung to its end, the score overview's
Replay, the replay back at its options, ChangeLesson, and lesson 4 started
from the lesson menu and sung at a known offset. The replay drives its
clicks, notes and chords from the capture clock; nothing of that schedule may
steer the ticks of the lesson after it, whose capture must deliver one block
per 46.44 ms: the lesson lasts what its frames last (about 15 s per note)
and its stored result holds what was sung.

The store is the one of test_lesson_menu (the administrator at lesson 3 with
lesson 2 done); the singer (rig.Singer) listens to the "speakers" sink and
sings each reference it hears."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rig  # noqa: E402
import test_lesson_menu as menu  # noqa: E402

H = menu.H
OVERVIEW_REPLAY = (845, H - 235)           # the score overview's "Replay"
OPTIONS_CHANGE_LESSON = (728, H - 143)     # the replay options' "ChangeLesson"
OFFSET = 10.0                              # cents sharp, both lessons
# Eight notes of 1.5 s delay take about 8 x 15 s; a capture starved to one
# block per 464 ms tick takes about 8 x 43 s.
LESSON_SECONDS = 200


def lesson_done(t, block):
    return menu.read_block(t, block)[1] != [100.0] * 8


class LessonAfterReplay(unittest.TestCase):
    def test_lesson_after_a_replay_keeps_real_time(self):
        t = rig.start_tarnova(data="full",
                              prepare=menu.prepared_store(3, {0: menu.block_bytes(menu.CHOSEN, menu.ERRORS, True)}))
        self.addCleanup(t.kill)
        t.wait_window()
        menu.wait_until(lambda: t.alive() and t.screenshot().pixel(*menu.ABOUT_BUTTON) == menu.IDLE_BUTTON, 90,
                        "user management\n" + t.output())
        t.click(*menu.USER_ROW_1)
        menu.wait_until(lambda: t.alive() and t.screenshot().pixel(*menu.START_LESSON) == menu.IDLE_BUTTON, 30,
                        "the lesson menu\n" + t.output())
        time.sleep(0.5)

        singer = rig.Singer(self)
        singer.answer([menu.note_hz(n) for n in menu.CHOSEN], lambda index: OFFSET)
        t.click(*menu.START_LESSON)
        menu.wait_until(lambda: not t.alive() or lesson_done(t, 1), LESSON_SECONDS,
                        "the end of lesson 3 (heard %s)\n%s" % (singer.heard, t.output()))
        menu.wait_until(lambda: t.alive() and t.screenshot().pixel(*OVERVIEW_REPLAY) == menu.IDLE_BUTTON, 30,
                        "the score overview\n" + t.output())
        self.assertEqual(menu.read_current_lesson(t), 4, "lesson 3 passed")

        # The replay plays the last answer and returns to its options.
        time.sleep(0.5)
        t.click(*OVERVIEW_REPLAY)
        menu.wait_until(lambda: t.screenshot().pixel(*OVERVIEW_REPLAY) != menu.IDLE_BUTTON, 10, "the replay")
        menu.wait_until(lambda: t.alive() and t.screenshot().pixel(*OPTIONS_CHANGE_LESSON) == menu.IDLE_BUTTON,
                        60, "the replay options after the replay\n" + t.output())
        time.sleep(0.5)
        t.click(*OPTIONS_CHANGE_LESSON)
        menu.wait_until(lambda: t.alive() and t.screenshot().pixel(*menu.START_LESSON) == menu.IDLE_BUTTON, 30,
                        "the lesson menu after the replay\n" + t.output())
        time.sleep(0.5)

        # Lesson 4 in real time, judged as sung.
        started = time.monotonic()
        t.click(*menu.START_LESSON)
        menu.wait_until(lambda: not t.alive() or lesson_done(t, 2), LESSON_SECONDS,
                        "the end of lesson 4 within %d s (heard %s)\n%s" % (LESSON_SECONDS, singer.heard, t.output()))
        took = time.monotonic() - started
        singer.sing(None)
        self.assertLess(took, 160, "lesson 4 took %.0f s" % took)
        notes, means, done = menu.read_block(t, 2)
        self.assertEqual(sorted(notes), sorted(menu.CHOSEN))
        for note, mean in zip(notes, means):
            self.assertLess(abs(mean - OFFSET), 8.0, "note %d: %s (heard %s)" % (note, means, singer.heard))
        self.assertEqual(done, 1)
        self.assertEqual(menu.read_current_lesson(t), 5, "lesson 4 passed")

        t.close_window()
        self.assertEqual(t.wait_exit(20), 0, t.output())
        self.assertEqual(t.debug_log(), "")


if __name__ == "__main__":
    unittest.main()
