"""A note shown on the grand staff and played through note voice 1 by the
voice sequencer (tarnova-voicedemo): the "speakers" sink carries the note at
its frequency for the sequencer's 32 frames, and a screenshot shows the staff
lines at their rows and the whole note's head at its staff value."""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rig

A4, A4_HZ = 36, 440.0
WINDOW_HEIGHT = 765


class VoiceDemo:
    def __init__(self, args):
        rig.ensure_rig()
        self.work = tempfile.mkdtemp(prefix="tarnova-voices.")
        self.log = open(os.path.join(self.work, "output.txt"), "w")
        tool = os.path.join(rig.build_dir(), "tarnova-voicedemo")
        self.proc = subprocess.Popen([tool, rig._generated_data()] + [str(a) for a in args],
                                     env=os.environ, stdout=self.log, stderr=subprocess.STDOUT)
        self.window = None

    def wait_window(self, timeout=20):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            if self.proc.poll() is not None:
                raise AssertionError("voicedemo ended early: %s" % self.output())
            self.window = rig.find_window("Tarnova voices")
            if self.window is not None:
                return self.window
            time.sleep(0.1)
        raise AssertionError("no voicedemo window")

    def screenshot(self):
        return rig.window_screenshot(self.window)

    def output(self):
        self.log.flush()
        with open(os.path.join(self.work, "output.txt")) as f:
            return f.read()

    def wait_exit(self, timeout):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def close(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.log.close()
        shutil.rmtree(self.work, ignore_errors=True)


def dark(rgb):
    # Black at alpha 0.4 over the 0.9 grey background: about 138.
    return max(rgb) < 180


def greenish(rgb):
    r, g, b = rgb
    return g > r + 40 and g > b + 40


class NoteVoicesTest(unittest.TestCase):
    def record(self, args, seconds_before=0.5):
        work = tempfile.mkdtemp(prefix="tarnova-voices-rec.")
        self.addCleanup(shutil.rmtree, work, True)
        wav = os.path.join(work, "speakers.wav")
        rec = rig.record_speakers(wav)
        time.sleep(seconds_before)
        demo = VoiceDemo(args)
        self.addCleanup(demo.close)
        demo.wait_window()
        code = demo.wait_exit(30)
        time.sleep(0.3)
        rec.stop()
        self.assertEqual(code, 0, demo.output())
        return rig.detected_pitches(wav)

    def test_flute_voice_sounds_at_the_note_frequency(self):
        freqs = self.record([A4, 1, "--hold", 200])
        hits = [f for f in freqs if abs(rig.cents(f, A4_HZ)) < 50]
        # 32 frames of sound, about 32 detector blocks; allow for the edges.
        self.assertGreaterEqual(len(hits), 24, freqs)
        self.assertLessEqual(len(hits), 40, freqs)
        self.assertLess(abs(rig.cents(statistics.median(hits), A4_HZ)), 3.0)

    def test_tone_voice_sounds_at_its_own_frequency(self):
        freqs = self.record([A4, 1, 196.0, 1000, "--hold", 200])
        hits = [f for f in freqs if abs(rig.cents(f, 196.0)) < 50]
        self.assertGreaterEqual(len(hits), 15, freqs)
        self.assertEqual([f for f in freqs if abs(rig.cents(f, A4_HZ)) < 50], [])

    def test_staff_lines_and_note_head_on_screen(self):
        demo = VoiceDemo([A4, 0, "--hold", 4000])
        self.addCleanup(demo.close)
        demo.wait_window()
        deadline = time.monotonic() + 15
        while "sequence ended" not in demo.output() and time.monotonic() < deadline:
            time.sleep(0.1)
        time.sleep(0.3)
        shot = demo.screenshot()
        # Staff lines: treble y 480..560, bass 360..440 (window y from the
        # bottom); a line at y lights the pixel row just below or above it.
        for y in (360, 380, 400, 420, 440, 480, 500, 520, 540, 560):
            row = WINDOW_HEIGHT - y
            self.assertTrue(any(dark(shot.pixel(275, r)) for r in (row - 1, row)), y)
            self.assertFalse(dark(shot.pixel(275, row - 8)), y)
        # No lines beyond the right end of the staff (x 280).
        self.assertFalse(any(dark(shot.pixel(290, WINDOW_HEIGHT - y)) for y in (480, 481)))
        # A4 (StaffValue 230): head centre at (220 + 18, 230 + 280).
        cx, cy = 238, WINDOW_HEIGHT - 510
        head = shot.count(greenish, (cx - 14, cy - 10, cx + 14, cy + 10))
        self.assertGreater(head, 40)
        # Nothing green a third higher or lower.
        for dy in (-30, 30):
            self.assertEqual(shot.count(greenish, (cx - 14, cy + dy - 10, cx + 14, cy + dy + 10)), 0)


if __name__ == "__main__":
    unittest.main()
