"""The introduction's page content in the rig: screenshots of the Welcome
page's accuracy graph (the drawn Images50 curve and the black line of the
cross), topic 3's comparison panels and topic 4's training-overview mock with
the red lesson marker and a speech bubble, each checked at a few pixels.
Entered through build/tarnova-introdemo and the NextPage button; with
TARNOVA_SHOTS=DIR the three screenshots are kept in DIR to be looked at."""

import os
import shutil
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rig  # noqa: E402
from test_intro_lesson import start_introdemo  # noqa: E402

H = 765
NEXT_PAGE = (995, H - 59)


def top(y):
    """Window y (up, as the pages draw) to screenshot y (from the top)."""
    return H - y


def bluish(p):
    return p[2] > 150 and p[0] < 110 and p[1] < 130


def dark(p):
    return max(p) < 70


def white(p):
    return min(p) > 245


def red(p):
    return p[0] > 150 and p[1] < 60 and p[2] < 60


class IntroPages(unittest.TestCase):
    def shot(self, t, name, predicate, what):
        """Waits for a screenshot that shows `what`; keeps it in $TARNOVA_SHOTS."""
        s = t.wait_shot(predicate, what)
        keep = os.environ.get("TARNOVA_SHOTS")
        if keep:
            os.makedirs(keep, exist_ok=True)
            t.screenshot(os.path.join(keep, name))
        return s

    def test_graph_panels_and_mock(self):
        t, shim = start_introdemo()
        self.addCleanup(t.kill)
        self.addCleanup(shutil.rmtree, shim, True)
        t.wait_window()
        t.wait_output("intro topic 1")  # the introduction's own loading is over

        # Welcome, steps 174-276: the graph with the cross at (735, 408): the
        # accuracy curve of slide 13 rising through x 400..700 and the black
        # line from (735, 160) to (735, 440), above the teacher.
        curve_box = (300, top(420), 700, top(240))
        cross_line = (731, top(440), 740, top(320))
        self.shot(t, "welcome_graph.png", lambda s: s.count(bluish, curve_box) > 150
                  and s.count(dark, cross_line) > 60, "the accuracy curve and the line at the cross")

        # Topic 3 (two presses of NextPage), steps 3960-4056: the two white panels.
        t.click(*NEXT_PAGE)
        t.wait_output("intro topic 2")
        t.click(*NEXT_PAGE)
        t.wait_output("intro topic 3")
        comparison_box = (320, top(520), 580, top(420))
        self.shot(t, "topic3_panels.png", lambda s: all(white(s.pixel(x, top(430))) for x in (360, 900 - 240))
                  and s.count(white, comparison_box) > 15000, "the comparison panels of topic 3")

        # Topic 4: the mock of lesson 1, its marker at x 140 (y 160..215), and
        # the bubble of clip 68 at (430, 235), 425 x 70.
        t.click(*NEXT_PAGE)
        t.wait_output("intro topic 4")
        self.shot(t, "topic4_mock.png", lambda s: s.count(red, (137, top(212), 144, top(163))) > 60
                  and white(s.pixel(845, top(240))) and s.count(bluish, (435, top(300), 855, top(240))) > 300,
                  "the lesson marker and the bubble of topic 4")
        self.assertEqual(t.debug_log(), "")


if __name__ == "__main__":
    unittest.main()
