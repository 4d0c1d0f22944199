"""The introductory lesson (screen 8) in the rig, entered directly: until the
lesson menu leads there, build/tarnova-introdemo runs the program and switches
to screen 8 where the lesson loader would. The loading music and the first
voice clip are heard on "speakers", a screenshot shows the teacher and a
speech bubble, and Quit goes back to the lesson menu (screen 6)."""

import array
import os
import shutil
import sys
import tempfile
import time
import unittest
import wave

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rig  # noqa: E402

H = 765
QUIT = (834, H - 37)


def is_skin(p):
    return p[0] > 220 and 180 < p[1] < 225 and 140 < p[2] < 190


def is_bubble_text(p):
    return p[2] > 150 and p[0] < 100 and p[1] < 100


def start_introdemo():
    """rig.start_tarnova with build/tarnova-introdemo in place of build/tarnova."""
    rig._generated_data()
    real = rig.build_dir()
    shim = tempfile.mkdtemp(prefix="tarnova-introdemo.")
    os.symlink(os.path.join(real, "tarnova-introdemo"), os.path.join(shim, "tarnova"))
    os.environ["TARNOVA_BUILD"] = shim
    try:
        t = rig.start_tarnova(data="full")
    finally:
        if real == os.path.join(rig.source_dir(), "build"):
            del os.environ["TARNOVA_BUILD"]
        else:
            os.environ["TARNOVA_BUILD"] = real
    return t, shim


def sound_segments(path, start, threshold=300, window=0.05, gap=0.4):
    """(begin, end) seconds of the sounding stretches after `start` s (of a
    44100 Hz mono 16-bit WAV, also one still being recorded)."""
    rate = 44100
    with open(path, "rb") as f:
        data = f.read()[44:]
    samples = array.array("h", data[:len(data) // 2 * 2])
    n = int(rate * window)
    segments = []
    for i in range(int(start * rate), len(samples) - n, n):
        block = samples[i:i + n]
        loud = (sum(x * x for x in block) / n) ** 0.5 > threshold
        t = i / rate
        if loud:
            if segments and t - segments[-1][1] <= gap:
                segments[-1][1] = t + window
            else:
                segments.append([t, t + window])
    return [tuple(s) for s in segments]


def cut(path, begin, end, out):
    with wave.open(path) as w:
        rate = w.getframerate()
        w.setpos(int(begin * rate))
        frames = w.readframes(int((end - begin) * rate))
        params = w.getparams()
    with wave.open(out, "wb") as o:
        o.setparams(params)
        o.writeframes(frames)


class IntroLesson(unittest.TestCase):
    def test_music_first_clip_teacher_bubble_and_quit(self):
        t, shim = start_introdemo()
        self.addCleanup(t.kill)
        self.addCleanup(shutil.rmtree, shim, True)
        t.wait_window()
        wav = os.path.join(t.home, "speakers.wav")
        rec = rig.record_speakers(wav)
        recording_start = time.time()
        t.wait_output("screen 8")
        at8 = time.time() - recording_start

        # Welcome: the teacher speaks clip 4 (66-153) and clip 5 (174-276) with bubbles.
        page = (0, 80, 1124, 660)
        t.wait_shot(lambda s: s.count(is_skin, page) > 500 and s.count(is_bubble_text, page) > 100,
                    "the teacher and a speech bubble on the page")
        # The first clip has ended once a third sound begins (clip 5) or a
        # second one has been followed by a second of silence.
        def first_clip_over():
            segments = sound_segments(wav, at8 - 0.2)
            heard = (os.path.getsize(wav) - 44) / 2 / 44100.0
            return len(segments) >= 3 or (len(segments) == 2 and heard - segments[1][1] > 1.0)
        rig.wait_until(first_clip_over, "the first voice clip to end")

        t.click(*QUIT)
        self.assertTrue(rig.wait_for(lambda: "screen 6" in t.output(), 10), t.output())
        rec.stop()

        # The loading music from the switch on, a silence, then the first clip
        # (its teacher talks for 81 steps, 3.76 s).
        segments = sound_segments(wav, at8 - 0.2)
        self.assertGreaterEqual(len(segments), 2, segments)
        music, clip = segments[0], segments[1]
        self.assertLess(music[0] - at8, 1.5, segments)
        cut(wav, music[0], music[1], os.path.join(t.home, "music.wav"))
        notes = rig.detected_pitches(os.path.join(t.home, "music.wav"))
        # The tune opens G3, E4 (how much of it sounds depends on how fast the
        # introduction loads).
        opening = [f for f in notes if min(abs(rig.cents(f, 195.998)), abs(rig.cents(f, 329.628))) < 50]
        self.assertGreater(len(opening), 3, "the music's opening G3, E4 not heard: %s" % notes[:40])
        self.assertTrue(3.0 < clip[1] - clip[0] < 4.6, segments)
        self.assertEqual(t.debug_log(), "")


if __name__ == "__main__":
    unittest.main()
