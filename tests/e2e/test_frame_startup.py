"""Start-up and the ways the program ends: the window, closing it, a data
folder without ResourceFiles, and no sound server."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rig  # noqa: E402


def files_under(folder):
    found = []
    for root, dirs, files in os.walk(folder):
        found += [os.path.join(root, n) for n in dirs + files]
    return sorted(found)


class StartUp(unittest.TestCase):
    def start(self, **kw):
        t = rig.start_tarnova(**kw)
        self.addCleanup(t.kill)
        return t

    def test_window_opens_and_closing_it_ends_normally(self):
        t = self.start(data="full")
        window = t.wait_window()
        name = rig._x(["getwindowname", window]).strip()
        self.assertEqual(name, "Tarnova")
        self.assertEqual(t.geometry(), (25, 25, 1124, 765))
        time.sleep(1.0)
        self.assertTrue(t.alive(), t.output())
        t.close_window()
        self.assertEqual(t.wait_exit(10), 0, t.output())
        self.assertEqual(t.debug_log(), "")

    def test_window_destroyed_behind_its_back_ends_normally(self):
        t = self.start(data="resources", audio=False)  # screen 1: no data needed
        window = t.wait_window()
        time.sleep(0.5)
        rig._x(["windowclose", window])  # destroys it; no close callback runs
        self.assertEqual(t.wait_exit(10), 0, t.output())
        self.assertEqual(t.debug_log(), "")

    def test_data_folder_missing_or_without_resource_files_ends_with_8_saying_how_to_make_it(self):
        def without_resources(data_dir):
            os.makedirs(os.path.join(data_dir, "sounds"))
        for label, prepare in (("no data folder", None), ("no ResourceFiles", without_resources)):
            with self.subTest(label):
                t = self.start(data="none", prepare=prepare)
                before = files_under(t.data_dir)
                self.assertEqual(t.wait_exit(rig.PATIENCE), 8, t.output())
                self.assertEqual(files_under(t.data_dir), before)
                self.assertIn("the data folder %s/ is missing" % t.data_dir, t.output())
                self.assertIn('build/tarnova-make-data "%s/"' % t.data_dir, t.output())
                self.assertIn("tools/run", t.output())

    def test_no_usable_sound_device_shows_the_unsupported_device_screen(self):
        cases = {
            "no sound server": dict(audio=False),
            "output but no capture device": dict(env={"ALSOFT_DRIVERS": "null"}),
        }
        for label, kw in cases.items():
            with self.subTest(label):
                t = self.start(data="full", **kw)
                t.wait_window()
                time.sleep(1.5)
                self.assertTrue(t.alive(), "ended instead of showing screen 1:\n" + t.output())
                self.assertEqual(t.debug_log(), "")
                # Screen 1 offers only its Close button (x 130..179, y 268..286 from the bottom).
                t.click(150, 765 - 277)
                self.assertEqual(t.wait_exit(10), 0, t.output())
                self.assertEqual(t.debug_log(), "")


if __name__ == "__main__":
    unittest.main()
