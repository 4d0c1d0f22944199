"""First use and user management as a person does it: the administrator's name
and password on the setup screen create the three store files; a user added on
the user-management screen is still there after a restart, and is deleted
behind the administrator password (a double click on Del deleting one)."""

import os
import shutil
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rig  # noqa: E402

USER_RECORD = 150728
USERS_FILE = 20 * USER_RECORD
TIME_LINE_FILE = 293056000
SCORE_FILE = 557 * 136
PASSWORD_KEY = b"KRWTLMZ 58203714 "

EDITED_FIELD = (153, 153, 230)  # a text field being edited
IDLE_BUTTON = (153, 204, 128)   # a push button at rest

H = 765


def store_path(t, name):
    return os.path.join(t.data_dir, "ResourceFiles", name)


def size_of(path):
    try:
        return os.path.getsize(path)
    except OSError:
        return -1


def read_slot(t, slot):
    with open(store_path(t, "UsersFile"), "rb") as f:
        f.seek(slot * USER_RECORD)
        record = f.read(USER_RECORD)
    name = record[1:1 + record[0]]
    key = int.from_bytes(record[44:48], "little")
    tessitura = int.from_bytes(record[48:52], "little")
    lesson = int.from_bytes(record[112:116], "little")
    return name, key, tessitura, lesson


def wait_until(predicate, timeout, what):
    rig.wait_until(predicate, what, max(timeout, rig.PATIENCE), 0.2)


def saved(t):
    """No action is being saved: the store's journal exists only meanwhile."""
    return not os.path.exists(store_path(t, "StoreJournal"))


class UsersEndToEnd(unittest.TestCase):
    def start(self, **kw):
        t = rig.start_tarnova(**kw)
        self.addCleanup(t.kill)
        t.wait_window()
        return t

    def wait_pixel(self, t, x, y, rgb, what, timeout=60):
        wait_until(lambda: t.alive() and t.screenshot().pixel(x, y) == rgb, timeout,
                   what + "\n" + t.output())

    def settle(self):
        time.sleep(0.4)  # a few frames: the screen takes the last input over

    def test_setup_add_restart_delete(self):
        # First start: the setup screen opens with the name field being edited.
        t = self.start(data="full")
        self.wait_pixel(t, 260, H - 398, EDITED_FIELD, "the setup screen")
        self.assertEqual(size_of(store_path(t, "UsersFile")), -1)
        t.type_text("Ada")
        t.key("Return")
        self.settle()
        t.type_text("secret1")
        t.key("Return")
        self.settle()
        t.key("Return")  # the focus is on "Go"
        # The users file is written last: once it is there, all three are.
        wait_until(lambda: size_of(store_path(t, "UsersFile")) == USERS_FILE, 60, "the users file")
        self.assertEqual(size_of(store_path(t, "ScoreFile")), SCORE_FILE)
        self.assertEqual(size_of(store_path(t, "TimeLine")), TIME_LINE_FILE)
        self.assertEqual(read_slot(t, 0), (b"Ada", 1, 3, 1))
        scrambled = read_slot(t, 10)[0]
        self.assertEqual(bytes(c ^ PASSWORD_KEY[i % 17] for i, c in enumerate(scrambled)), b"secret1")

        # User management: About (620..683, 680..698) shows an idle button.
        self.wait_pixel(t, 650, H - 689, IDLE_BUTTON, "the user-management screen")
        t.click(260, H - 397)  # the New User field
        self.settle()
        t.type_text("Bea")
        t.key("Return")
        self.settle()
        t.key("Return")  # the focus is on "Add"
        wait_until(lambda: read_slot(t, 1)[:2] == (b"Bea", 2), 60, "the new user in the users file")
        t.click(385, H - 397)  # the New User field, after its text
        self.settle()
        for _ in range(3):
            t.key("BackSpace")
        t.type_text("Cy")
        t.key("Return")
        self.settle()
        t.key("Return")
        # The time-line file is written in the same action.
        wait_until(lambda: read_slot(t, 2)[:2] == (b"Cy", 3) and saved(t), 60, "the third user saved")
        t.close_window()
        self.assertEqual(t.wait_exit(20), 0, t.output())
        self.assertEqual(t.debug_log(), "")

        # Second start with these files: user management comes up directly.
        first = t

        def with_store(data_dir):
            for name in ("UsersFile", "TimeLine", "ScoreFile"):
                shutil.copyfile(store_path(first, name), os.path.join(data_dir, "ResourceFiles", name))

        t = self.start(data="full", prepare=with_store)
        self.wait_pixel(t, 650, H - 689, IDLE_BUTTON, "the user-management screen after the restart")
        delete_row_2 = (638, H - 555)
        t.click(*delete_row_2)
        self.settle()
        t.key("Return")  # dismisses "Please set AdminPassword ..." and opens the password field
        self.settle()
        t.type_text("secret1")
        t.key("Return")
        self.settle()
        t.key("Return")  # "Authorize" has the focus
        self.settle()
        t.key("Return")  # dismisses "User deletion allowed"
        self.settle()
        self.assertEqual(read_slot(t, 1)[:2], (b"Bea", 2))
        # A double click deletes one user: Cy moves up under the pointer and
        # the second click must not delete him.
        t.move(*delete_row_2)
        rig._x(["click", "--repeat", 2, "--delay", 150, 1])
        wait_until(lambda: read_slot(t, 1)[:2] != (b"Bea", 2) and saved(t), 60, "the deletion")
        time.sleep(1.0)  # time enough for a second deletion, which must not come
        self.assertEqual([read_slot(t, i)[:2] for i in range(3)], [(b"Ada", 1), (b"Cy", 3), (b"", 0)])
        self.assertEqual(read_slot(t, 0), (b"Ada", 1, 3, 1))
        t.close_window()
        self.assertEqual(t.wait_exit(20), 0, t.output())
        self.assertEqual(t.debug_log(), "")


if __name__ == "__main__":
    unittest.main()
