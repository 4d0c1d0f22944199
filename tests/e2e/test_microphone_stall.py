"""A microphone that stops delivering sound ends the lesson; nothing is stored.

Lesson 3 starts (the store of test_lesson_menu: lesson 2 done), the singer
answers the first reference note, and while the first answer is recorded the
capture's source is suspended (pactl suspend-sink on the sink whose monitor
it is), so the program's
capture receives nothing more. Within the tolerance (500 ms behind real
time) the lesson must end: the lesson menu comes back (with the alert), the
store files are byte for byte as before the lesson, and after the source
resumes the program ends normally."""

import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rig  # noqa: E402
import test_lesson_menu as menu  # noqa: E402

SINK = "mic"  # the rig's default input is its monitor
STORE_FILES = ("UsersFile", "TimeLine", "ScoreFile")


def pactl(*args):
    subprocess.run(["pactl"] + list(args), env=os.environ, check=True, capture_output=True)


def store_bytes(t):
    out = {}
    for name in STORE_FILES:
        with open(os.path.join(t.data_dir, "ResourceFiles", name), "rb") as f:
            out[name] = f.read()
    return out


class MicrophoneStall(unittest.TestCase):
    def test_a_stalled_microphone_ends_the_lesson_and_stores_nothing(self):
        rig.ensure_rig()
        t = menu.open_menu(self, 3, {0: menu.block_bytes(menu.CHOSEN, menu.ERRORS, True)})
        before = store_bytes(t)

        singer = rig.Singer(self)
        # Cleanups run last first: the sink resumes before the singer, whose
        # stream into it blocks while it is suspended, is stopped.
        self.addCleanup(pactl, "suspend-sink", SINK, "0")
        singer.answer([menu.note_hz(n) for n in menu.CHOSEN], lambda index: 0.0)
        t.click(*menu.START_LESSON)
        menu.wait_until(lambda: not t.alive() or singer.heard, 60,
                        "the first reference note\n" + t.output())
        # The reference sounds for 2 s, and the answer's recording starts
        # right after it: the microphone goes silent inside that recording,
        # half a second after the reference has ended.
        menu.wait_until(lambda: not t.alive() or singer.quiet_for(0.5), 30,
                        "the end of the first reference note\n" + t.output())
        pactl("suspend-sink", SINK, "1")
        stalled = time.monotonic()
        # Back at the menu well before the silent answer would have ended
        # (the bounded waits of a judged silence take a second per block).
        menu.wait_until(lambda: t.alive() and t.screenshot().pixel(*menu.START_LESSON) == menu.IDLE_BUTTON, 15,
                        "the lesson menu after the microphone stopped\n" + t.output())
        took = time.monotonic() - stalled
        singer.sing(None)
        self.assertLess(took, 15)
        self.assertEqual(store_bytes(t), before, "nothing of the lesson is stored")
        self.assertEqual(menu.read_current_lesson(t), 3)

        pactl("suspend-sink", SINK, "0")
        t.close_window()
        self.assertEqual(t.wait_exit(20), 0, t.output())
        self.assertEqual(t.debug_log(), "")


if __name__ == "__main__":
    unittest.main()
