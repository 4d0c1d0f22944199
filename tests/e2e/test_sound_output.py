"""Sound reaches the speakers at the right pitch: a synthesised tone and a
sound-bank sample played through the sound layer (tarnova-soundplay), and a
bank sample played by the program itself as its start tune, are recorded from
the "speakers" sink and measured with the program's own pitch detector
(tarnova-pitchscan)."""

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

FLUTE_A4 = 34  # SoundId of fluteA4.ogg
E4_HZ = 329.628
A4_HZ = 440.0
TUNES = ["MyBonnieTrumpet.ogg", "MyBonnieGuitar.ogg", "MyBonniePiano.ogg",
         "MyBonnieOrgan.ogg", "MyBonnieViolin.ogg"]


def near(freqs, ref):
    return [f for f in freqs if abs(rig.cents(f, ref)) < 50.0]


class SoundOutputTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="tarnova-sound.")
        self.addCleanup(shutil.rmtree, self.work, True)

    def soundplay(self, *args):
        tool = os.path.join(rig.build_dir(), "tarnova-soundplay")
        r = subprocess.run([tool] + [str(a) for a in args], capture_output=True, text=True,
                           env=os.environ, timeout=30)
        self.assertEqual(r.returncode, 0, r.stderr)
        return r.stdout

    def assertPitch(self, freqs, ref, min_blocks):
        hits = near(freqs, ref)
        self.assertGreaterEqual(len(hits), min_blocks, "%.3f Hz: %r" % (ref, freqs))
        self.assertLess(abs(rig.cents(statistics.median(hits), ref)), 3.0)

    def test_tone_and_bank_sample_through_the_sound_layer(self):
        data = rig._generated_data()
        wav = os.path.join(self.work, "layer.wav")
        rec = rig.record_speakers(wav)
        time.sleep(0.5)
        self.soundplay("tone", E4_HZ, 1500)          # 1.5 s = 32 blocks
        time.sleep(0.3)
        self.soundplay("sample", data, FLUTE_A4)     # 1.95 s = 42 blocks
        time.sleep(0.5)
        rec.stop()
        freqs = rig.detected_pitches(wav)
        self.assertPitch(freqs, E4_HZ, 20)
        self.assertPitch(freqs, A4_HZ, 25)

    def test_program_plays_a_bank_sample_as_start_tune(self):
        def every_tune_is_flute_a4(data_dir):
            sounds = os.path.join(data_dir, "sounds")
            for name in TUNES:
                shutil.copyfile(os.path.join(sounds, "fluteA4.ogg"), os.path.join(sounds, name))

        wav = os.path.join(self.work, "program.wav")
        rec = rig.record_speakers(wav)
        time.sleep(0.5)
        t = rig.start_tarnova(data="full", prepare=every_tune_is_flute_a4)
        self.addCleanup(t.kill)
        t.wait_window()
        time.sleep(3.0)
        rec.stop()
        self.assertTrue(t.alive(), t.output())
        # The tune plays from loading step 1 until the last step stops it.
        self.assertPitch(rig.detected_pitches(wav), A4_HZ, 20)
        self.assertEqual(t.debug_log(), "")


if __name__ == "__main__":
    unittest.main()
