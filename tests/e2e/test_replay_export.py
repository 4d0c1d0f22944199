"""After a lesson sung as a melody, the recording's WAV export holds it as sung.

The recording is a tone the test makes with sox, 30 cents above A4. The road
to the export is prepared inside the replay window test (build/test_replay,
in this rig's X server): it converts the WAV to the raw recording file as the
tune of a lesson of type Pitch, enters the score overview with a prepared
store, takes its Replay button (offered only for such a recording) through
the replay (a stand-in that returns at once) back to the replay options, and
presses Export with a scripted file chooser. This test then checks the
exported file with sox and the program's pitch scan.

No lesson of the curriculum records a sung tune (each records one answer, and
the overview draws no Replay after it), so there is no road to this export
through build/tarnova's lesson menu."""

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

SUNG_HZ = 440.0 * 2 ** (30 / 1200.0)
HEAD = 2048  # the cleared head the recording starts with


class ReplayExportTest(unittest.TestCase):
    def setUp(self):
        self.env = rig.ensure_rig()
        self.work = tempfile.mkdtemp(prefix="tarnova-replay.")
        self.addCleanup(shutil.rmtree, self.work, True)

    def test_export_holds_the_answer_as_sung(self):
        sung = os.path.join(self.work, "sung.wav")
        subprocess.run(["sox", "-n", "-r", "44100", "-b", "16", "-c", "1", sung,
                        "synth", "2", "sine", "%.3f" % SUNG_HZ, "vol", "0.4"], check=True)
        exported = os.path.join(self.work, "exported answer.wav")
        env = dict(os.environ, TARNOVA_REPLAY_SUNG_WAV=sung, TARNOVA_REPLAY_EXPORT=exported)
        test = os.path.join(rig.build_dir(), "test_replay")
        r = subprocess.run([test, "--gtest_filter=ReplayWindow.*"], env=env,
                           capture_output=True, text=True, timeout=120)
        self.assertEqual(r.returncode, 0, r.stdout[-2000:] + r.stderr[-2000:])
        self.assertNotIn("SKIPPED", r.stdout)

        info = subprocess.run(["soxi", exported], capture_output=True, text=True, check=True).stdout
        self.assertRegex(info, r"Channels\s*: 1")
        self.assertRegex(info, r"Sample Rate\s*: 44100")
        self.assertRegex(info, r"Precision\s*: 16-bit")
        samples = int(subprocess.run(["soxi", "-s", exported], capture_output=True, text=True,
                                     check=True).stdout)
        self.assertEqual(samples, HEAD + 2 * 44100)

        # Sample for sample the answer after the silent head.
        with wave.open(sung) as a, wave.open(exported) as b:
            want = a.readframes(a.getnframes())
            got = b.readframes(b.getnframes())
        self.assertEqual(got[:2 * HEAD], bytes(2 * HEAD))
        self.assertEqual(got[2 * HEAD:], want)

        # Our pitch scan hears the offset the test sang.
        freqs = rig.detected_pitches(exported)
        self.assertGreater(len(freqs), 30)
        self.assertAlmostEqual(rig.cents(statistics.median(freqs), 440.0), 30.0, delta=5.0)


if __name__ == "__main__":
    unittest.main()
