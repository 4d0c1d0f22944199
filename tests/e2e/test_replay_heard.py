"""The replay of a sung lesson is heard on the speakers with its clicks, and
its scores box shows the tallies the unit tests predict for that recording.

The lesson and the recording are the small ones of tests/replay/replay_fakes.h
(A4 for a second, a rest, C5 for a second; beats every 500 ms), prepared
inside build/test_replay (ReplayHeard.*), which replays them on this rig's
default output with the real heartbeat and capture, the beat click being a
30 ms blip of 2000 Hz. The tallies it prints are the ones the scores box
draws; tests/replay/replay_run_test.cpp predicts them for the same recording."""

import math
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import unittest
import wave

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rig

PREDICTED_TALLIES = (53, 53, 3, 0)  # pitch, loudness, note ok, on beat
CLICK_HZ = 2000.0


def samples_of(path):
    with wave.open(path) as w:
        raw = w.readframes(w.getnframes())
        rate = w.getframerate()
    count = len(raw) // 2
    values = [int.from_bytes(raw[2 * i:2 * i + 2], "little", signed=True) for i in range(count)]
    return values, rate


def click_times(values, rate, window=441):
    """Start times (ms) of the bursts of CLICK_HZ in the recording."""
    coeff = 2 * math.cos(2 * math.pi * CLICK_HZ / rate)
    powers = []
    for start in range(0, len(values) - window, window):
        s1 = s2 = 0.0
        for x in values[start:start + window]:
            s1, s2 = x + coeff * s1 - s2, s1
        powers.append(s1 * s1 + s2 * s2 - coeff * s1 * s2)
    if not powers:
        return []
    threshold = max(powers) / 200  # soft clicks sound at a quarter of the gain
    times, last = [], -1e9
    for i, p in enumerate(powers):
        t = 1000.0 * i * window / rate
        if p > threshold and t - last > 200:
            times.append(t)
        if p > threshold:
            last = t
    return times


class ReplayHeardTest(unittest.TestCase):
    def setUp(self):
        # The clicks are timed to 60 ms: on a sound server of its own.
        self.env = rig.use_private_rig()
        self.work = tempfile.mkdtemp(prefix="tarnova-replay-heard.")
        self.addCleanup(shutil.rmtree, self.work, True)

    def test_replay_with_clicks_and_predicted_tallies(self):
        # The replay's ticks follow the capture: silence into "mic" keeps it
        # delivering in real time (an idle null sink's monitor delivers nothing).
        quiet = subprocess.Popen(
            ["pacat", "--playback", "--device=mic", "--latency-msec=20", "--raw", "--format=s16le",
             "--rate=44100", "--channels=1", "/dev/zero"], env=os.environ, stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(quiet.wait, 5)
        self.addCleanup(quiet.kill)
        heard = os.path.join(self.work, "speakers.wav")
        rec = rig.record_speakers(heard, self)
        test = os.path.join(rig.build_dir(), "test_replay")
        env = dict(os.environ, TARNOVA_REPLAY_HEARD="1")
        r = subprocess.run([test, "--gtest_filter=ReplayHeard.*"], env=env,
                           capture_output=True, text=True, timeout=120)
        rec.stop()
        self.assertEqual(r.returncode, 0, r.stdout[-2000:] + r.stderr[-2000:])
        self.assertNotIn("SKIPPED", r.stdout)
        lines = [l for l in r.stdout.splitlines() if l.startswith("tallies ")]
        self.assertEqual(len(lines), 1, r.stdout[-2000:])
        self.assertEqual(tuple(int(v) for v in lines[0].split()[1:]), PREDICTED_TALLIES)

        # The recorded voice: both notes as sung.
        freqs = rig.detected_pitches(heard)
        a4 = [f for f in freqs if abs(rig.cents(f, 440.0)) < 30]
        c5 = [f for f in freqs if abs(rig.cents(f, 523.2511)) < 30]
        self.assertGreater(len(a4), 10, freqs)
        self.assertGreater(len(c5), 10, freqs)

        # The six beat clicks, 500 ms apart. A stall of a loaded machine can
        # make one click late, which lengthens one gap and shortens the next
        # by as much: the beat is judged by the middle gap and the whole span,
        # and no single gap may stray by more than such a stall.
        values, rate = samples_of(heard)
        times = click_times(values, rate)
        self.assertEqual(len(times), 6, times)
        gaps = [b - a for a, b in zip(times, times[1:])]
        self.assertAlmostEqual(statistics.median(gaps), 500, delta=30, msg=times)
        self.assertAlmostEqual(times[-1] - times[0], 2500, delta=60, msg=times)
        for gap in gaps:
            self.assertAlmostEqual(gap, 500, delta=150, msg=times)


if __name__ == "__main__":
    unittest.main()
