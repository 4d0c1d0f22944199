"""The whole introduction paged through with Next in the rig, entered
directly (build/tarnova-introdemo switches to screen 8 where the lesson
loader would): topics 1 to 4 are skipped at once, topic 5 plays its sample
exercise and moves on by itself, topics 6 to 9 are skipped, and the last Next
returns to the lesson menu (screen 6). In topic 5 the reference note is heard
on "speakers" at F4 and the teacher's sung answer (clip 89) at the +44 cents
its plot shows."""

import math
import os
import shutil
import statistics
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rig  # noqa: E402
from test_intro_lesson import start_introdemo  # noqa: E402

H = 765
NEXT = (995, H - 59)
F4 = 349.228
BLOCK = 2048 / 44100.0


def pitch_track(wav):
    """(seconds, Hz) of every block of the WAV in which the detector found a pitch."""
    scan = os.path.join(rig.build_dir(), "tarnova-pitchscan")
    out = subprocess.run([scan, wav], capture_output=True, text=True, check=True).stdout
    track = []
    for line in out.splitlines():
        parts = line.split()
        if len(parts) >= 2 and float(parts[1]) >= 55.0:
            track.append((int(parts[0]) * BLOCK, float(parts[1])))
    return track


def cents_in(track, begin, end, low, high):
    """Cents from F4 of the pitches between begin and end s within low..high cents."""
    out = []
    for t, f in track:
        c = rig.cents(f, F4)
        if begin <= t <= end and low <= c <= high:
            out.append(c)
    return out


class IntroSampleExercise(unittest.TestCase):
    def test_nine_topics_with_the_sample_exercise_heard(self):
        t, shim = start_introdemo()
        self.addCleanup(t.kill)
        self.addCleanup(shutil.rmtree, shim, True)
        t.wait_window()
        t.wait_output("intro topic 1")  # after 81 loading frames and the wait for the timer
        wav = os.path.join(t.home, "speakers.wav")
        rec = rig.record_speakers(wav, self)
        start = time.time()
        for topic in (2, 3, 4, 5):
            t.click(*NEXT)
            t.wait_output("intro topic %d" % topic)
        at5 = time.time() - start
        # Topic 5: the note at tick 11 (0.5 s after the entry), the teacher's
        # Fa from tick 54, the noise cue, the sung answer from tick 176 (8.3 s)
        # to 259 (12.2 s), then topic 6 by itself.
        t.wait_output("intro topic 6")
        for topic in (7, 8, 9):
            t.click(*NEXT)
            t.wait_output("intro topic %d" % topic)
        t.click(*NEXT)
        t.wait_output("screen 6")
        rec.stop()

        track = pitch_track(wav)
        note = cents_in(track, at5 + 0.9, at5 + 2.3, -100, 100)
        self.assertGreater(len(note), 15, "the reference note not heard: %s" % track[:80])
        self.assertLess(abs(statistics.median(note)), 5, note)
        answer = cents_in(track, at5 + 8.9, at5 + 11.8, -150, 150)
        self.assertGreater(len(answer), 40, "the sung answer not heard: %s" % answer)
        self.assertLess(abs(statistics.median(answer) - 44), 5, answer)
        self.assertEqual(t.debug_log(), "")


if __name__ == "__main__":
    unittest.main()
