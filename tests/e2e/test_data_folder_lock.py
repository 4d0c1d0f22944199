"""Two programs on one data folder: the second stops at once with its message
and exit code 250, and the first's folder stays byte for byte as it was."""

import hashlib
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rig  # noqa: E402


def folder_digest(folder):
    files = {}
    for root, _dirs, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            with open(path, "rb") as f:
                files[os.path.relpath(path, folder)] = hashlib.sha256(f.read()).hexdigest()
    return files


class DataFolderLockTest(unittest.TestCase):
    def test_second_program_on_the_folder_stops(self):
        first = rig.start_tarnova(data="full")
        self.addCleanup(first.kill)
        first.wait_window()
        rig.wait_for(lambda: first.debug_log() is not None, 10)
        before = folder_digest(first.data_dir)

        env = dict(os.environ, HOME=first.home, XDG_DATA_HOME=os.path.join(first.home, ".local", "share"),
                   XDG_CONFIG_HOME=os.path.join(first.home, ".config"))
        second = subprocess.run([os.path.join(rig.build_dir(), "tarnova")], cwd=first.home, env=env,
                                capture_output=True, text=True, timeout=30)
        self.assertEqual(second.returncode, 250)
        self.assertIn("another program is using the data folder", second.stderr)
        self.assertIn(first.data_dir, second.stderr.replace("//", "/"))
        self.assertEqual(second.stderr.count("\n"), 1)
        self.assertEqual(folder_digest(first.data_dir), before)
        self.assertTrue(first.alive())

        first.close_window()
        self.assertEqual(first.wait_exit(10), 0)


if __name__ == "__main__":
    unittest.main()
