"""Lesson data at start-up: the loading screen's last step sets up the
lesson-one screen, which reads the texture pack Images36 of the options
dialog. A generated data folder starts cleanly and holds every lesson
folder the loader's naming rule asks for; without Images36 the start ends
in the pack reader's stop."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rig  # noqa: E402


def lesson_folder(lesson):
    if lesson == 1:
        return "Introduction"
    if lesson <= 7:
        return "Lesson%d" % (lesson - 1)
    if lesson <= 26:
        return "lesson%d" % (lesson - 1)
    return "lesson%d" % (lesson - 3)


class LessonData(unittest.TestCase):
    def test_generated_folders_and_a_clean_start(self):
        t = rig.start_tarnova(data="full")
        self.addCleanup(t.kill)
        t.wait_window()
        folders = {lesson_folder(L).lower() for L in range(1, 557)}
        on_disk = {name.lower() for name in os.listdir(t.data_dir)
                   if os.path.isfile(os.path.join(t.data_dir, name, "ExerciseParts.txt"))}
        self.assertEqual(on_disk, folders)
        self.assertEqual(len(on_disk), 554)
        with open(os.path.join(t.data_dir, "lesson24", "ExerciseParts.txt"), "rb") as f:
            self.assertTrue(f.read().startswith(b"TarnovaExercise\r\n1.0\r\n0;"))
        # The 360 loading steps take about 17 s; the last one loads Images36.
        # The program must still run after it, with nothing in the log.
        self.assertFalse(rig.wait_for(lambda: not t.alive(), 25))
        self.assertEqual(t.debug_log(), "")
        t.close_window()
        self.assertEqual(t.wait_exit(30), 0)
        self.assertEqual(t.debug_log(), "")

    def test_missing_images36_stops_the_start(self):
        def spoil(data_dir):
            os.remove(os.path.join(data_dir, "images.prod", "Images36"))

        t = rig.start_tarnova(data="full", prepare=spoil)
        self.addCleanup(t.kill)
        self.assertEqual(t.wait_exit(60), 4253 % 250)
        self.assertIn("stopNumber=4253 ", t.debug_log())


if __name__ == "__main__":
    rig.ensure_rig()
    unittest.main()
