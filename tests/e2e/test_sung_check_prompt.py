"""The sung-note check takes a voice that starts at "Hum or Sing Now!".

Each check of the note choice (lesson 2) plays the note, then prompts; the
voice here is a new playback stream into "mic" (paplay, its default latency),
started 0.4 s before the prompt, as a user starts singing a little early, and
sounding the note 3 s from the prompt. The check judges blocks 39..58 of its
capture (1.8 s to 2.7 s after the prompt), so the capture must start at the
prompt: a capture that is reopened at the prompt can wait up to 2 s for its
first samples when a new stream started into the source while the capture
was stopped (the window freezes, the judged blocks slide past the end of the
voice and the note is refused).

The prompt is found by ear: the check's note starts two frames into the
listen state, and the prompt comes 69 frames into it, on the 46.44 ms grid.
Eight checks; every note must be accepted (stored in the choice)."""

import os
import subprocess
import sys
import tempfile
import shutil
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rig  # noqa: E402
import test_first_day as day  # noqa: E402
import test_lesson_menu as menu  # noqa: E402

H = menu.H
# Eight (the stored choice holds eight): whole tones D4 .. F5.
NOTES = [29, 31, 33, 35, 37, 40, 42, 44]
FRAME = 2048 / 44.1 / 1000.0
PROMPT_AFTER_ONSET = 67 * FRAME  # the note sounds from frame 2, the prompt at 69
VOICE_LEAD = 0.4                 # the voice starts this long before the prompt
VOICE_SECONDS = VOICE_LEAD + 3.0 # and sounds 3 s from the prompt
BLOCK_BYTES = 4096               # 2048 samples of s16le mono
# The dialog's backdrop, the keys and the notes' pitches as the first-day
# test finds them.
BACKDROP_SPOT, BACKDROP = day.BACKDROP_SPOT, day.BACKDROP
note_hz, key_centre = day.note_hz, day.key_centre


class Ear:
    """The "speakers" sink as heard: onset time of a given note."""

    def __init__(self, test):
        quiet = dict(env=os.environ, stdin=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.keeper = subprocess.Popen(
            ["pacat", "--playback", "--device=speakers", "--latency-msec=20", "--raw", "--format=s16le",
             "--rate=44100", "--channels=1", "/dev/zero"], stdout=subprocess.DEVNULL, **quiet)
        self.rec = subprocess.Popen(
            ["parecord", "--device=speakers.monitor", "--raw", "--format=s16le", "--rate=44100", "--channels=1",
             "--latency-msec=20"], stdout=subprocess.PIPE, **quiet)
        test.addCleanup(self.stop)

    def onset(self, hz, timeout):
        """time.monotonic() at the start of the block in which hz began to
        dominate (two blocks in a row), or None after timeout seconds."""
        import math
        import struct
        coeff = [2 * math.cos(2 * math.pi * hz / 44100.0)]
        window, run, end = [], 0, time.monotonic() + timeout
        while time.monotonic() < end:
            data = self.rec.stdout.read(BLOCK_BYTES)
            now = time.monotonic()
            if len(data) < BLOCK_BYTES:
                return None
            window = (window + list(struct.unpack("<2048h", data)))[-4096:]
            if len(window) < 4096:
                continue
            run = run + 1 if rig.Singer._dominant(window, coeff) == 0 else 0
            if run == 2:
                return now - 2 * FRAME
        return None

    def stop(self):
        for p in (self.rec, self.keeper):
            if p.poll() is None:
                p.terminate()
                p.wait(5)
        if self.rec.stdout:
            self.rec.stdout.close()


class SungCheckPrompt(unittest.TestCase):
    def test_checks_sung_from_the_prompt_pass(self):
        work = tempfile.mkdtemp(prefix="tarnova-check.")
        self.addCleanup(shutil.rmtree, work, True)
        # An idle "mic" until the voices: the capture's source must not need
        # a stream of ours to run.
        t = menu.open_menu(self, 2, {})
        t.click(*menu.START_LESSON)
        menu.wait_until(lambda: t.alive() and t.screenshot().pixel(912, H - 125) == menu.IDLE_BUTTON, 30,
                        "the note choice\n" + t.output())
        # The backdrop shows once the dialog waits for a key.
        menu.wait_until(lambda: t.alive() and t.screenshot().pixel(*BACKDROP_SPOT) == BACKDROP, 30,
                        "the note choice waiting for a key\n" + t.output())
        ear = Ear(self)

        refused = []
        for note in NOTES:
            voice = os.path.join(work, "voice%d.wav" % note)
            subprocess.run(["sox", "-n", "-r", "44100", "-b", "16", "-c", "1", voice, "synth",
                            "%.2f" % VOICE_SECONDS, "sine", "%.4f" % note_hz(note), "vol", "0.4"], check=True)
            t.click(*key_centre(note))
            onset = ear.onset(note_hz(note), 10)
            self.assertIsNotNone(onset, "the note %d of the check was not heard\n%s" % (note, t.output()))
            time.sleep(max(0.0, onset + PROMPT_AFTER_ONSET - VOICE_LEAD - time.monotonic()))
            sung = rig.play_into_mic(voice, wait=False)
            sung.wait(15)
            # The verdict (stored at its first frame) shows for 41 frames, then the dialog.
            menu.wait_until(lambda: not t.alive() or t.screenshot().pixel(*BACKDROP_SPOT) == BACKDROP, 20,
                            "the dialog after the check of note %d\n%s" % (note, t.output()))
            time.sleep(0.3)
            notes = menu.read_block(t, 0)[0]
            if note not in notes:
                refused.append(note)
        self.assertEqual(refused, [], "notes refused though sung from the prompt for 3 s\n%s"
                         % t.output())

        t.close_window()
        self.assertEqual(t.wait_exit(20), 0, t.output())
        self.assertEqual(t.debug_log(), "")


if __name__ == "__main__":
    unittest.main()
