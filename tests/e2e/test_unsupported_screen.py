"""Screen 1 in the rig: with no microphone the program tells so, hovering
Close highlights it (this screen's panel uses the alert layout, which has no
hint slot), and clicking Close ends the program normally."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rig  # noqa: E402

HEIGHT = 765


def dark(rgb):
    return max(rgb) < 110


def top(y_up):
    """Window row (from the top) of a y measured from the bottom."""
    return HEIGHT - y_up


class UnsupportedScreen(unittest.TestCase):
    def test_texts_hint_and_close(self):
        t = rig.start_tarnova(data="resources", audio=False)
        self.addCleanup(t.kill)
        t.wait_window()
        t.move(600, 300)  # over no control

        # Text rows: base line at y, glyphs reach about 11 pixels above it.
        def ink(shot, x0, x1, y_up):
            return shot.count(dark, (x0, top(y_up) - 12, x1, top(y_up) + 3))

        # The hint slot of the panel: 12 + 48 above the bottom, from x 12 + 129.
        hint_box = (141, 300)
        # The pointer's move away from a control reaches the program a few
        # frames after the window shows: wait for the screen without a hint.
        before = t.wait_shot(lambda s: ink(s, 130, 180, 620) > 20 and ink(s, *hint_box, 12 + 48) == 0,
                             "screen 1 (its \"Sorry\") without a hint")
        self.assertGreater(ink(before, 130, 180, 620), 20, "no \"Sorry\"")
        self.assertGreater(ink(before, 130, 500, 420), 100, "no device line")
        self.assertGreater(ink(before, 130, 880, 400), 200, "no advice line")
        self.assertGreater(ink(before, 130, 170, 290), 10, "no \"Exit\"")
        self.assertGreater(ink(before, 134, 179, 272), 10, "no Close caption")
        self.assertGreater(ink(before, 141, 440, 12 + 23), 50, "no dismissal prompt")
        self.assertEqual(ink(before, *hint_box, 12 + 48), 0, "a hint without hovering")

        t.move(150, top(277))  # over Close
        # Icon 0 selects the alert layout: no hint slot, but the button
        # turns to its hover colour (0.6, 0.8, 0.9).
        t.wait_shot(lambda s: s.pixel(170, top(283))[2] > 200, "Close highlighted under the pointer")
        path = os.path.join(t.home, "screen1.png")
        after = t.screenshot(path)
        if os.environ.get("TARNOVA_SHOTS"):
            import shutil
            shutil.copy(path, os.path.join(os.environ["TARNOVA_SHOTS"], "screen1.png"))
        r, g, b = after.pixel(170, top(283))
        self.assertGreater(b, 200, "Close not highlighted: %s" % ((r, g, b),))

        t.click(150, top(277))
        self.assertEqual(t.wait_exit(rig.PATIENCE), 0, t.output())
        self.assertEqual(t.debug_log(), "")


if __name__ == "__main__":
    unittest.main()
