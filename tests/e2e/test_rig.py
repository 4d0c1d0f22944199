"""The rig itself: a test that fails while recording must not leave its
recorder running (it would hold ctest's output pipe open until the test's
600 s timeout), and its display takes every client, also one that connects
just after the last one left (an X server that resets then refuses it:
"failed to open display"), and its sound server lets clients wait while it
is busy rather than refuse them."""

import ctypes
import ctypes.util
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import textwrap
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rig  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))


def _connections_refused(display, count):
    """How many of `count` Xlib connections, each closed before the next
    opens, the display refuses."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    refused = 0
    for _ in range(count):
        dpy = x11.XOpenDisplay(display.encode())
        if dpy:
            x11.XCloseDisplay(dpy)
        else:
            refused += 1
    return refused


def _waiting_connections(socket_path):
    """Connections queued on the listening Unix socket at socket_path (ss's
    Recv-Q of a listening socket); 0 when it is not listed."""
    out = subprocess.run(["ss", "-xlH"], capture_output=True, text=True).stdout
    for line in out.splitlines():
        fields = line.split()
        if socket_path in fields:
            return int(fields[2])
    return 0


def _running(pid, names):
    """True while pid is alive and is one of the named programs."""
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            argv0 = f.read().split(b"\0")[0]
    except OSError:
        return False
    return os.path.basename(argv0).decode(errors="replace") in names


class Rig(unittest.TestCase):
    def test_a_test_failing_while_recording_ends_promptly_and_leaves_no_recorder(self):
        rig.ensure_rig()
        work = tempfile.mkdtemp(prefix="tarnova-rigtest.")
        self.addCleanup(shutil.rmtree, work, True)
        pids_file = os.path.join(work, "pids")
        script = os.path.join(work, "failing_test.py")
        with open(script, "w") as f:
            f.write(textwrap.dedent("""\
                import sys, unittest
                sys.path.insert(0, %r)
                import rig

                class Failing(unittest.TestCase):
                    def test_fails_before_stop(self):
                        rec = rig.record_speakers(%r)
                        with open(%r, "w") as f:
                            f.write("%%d %%d" %% (rec.proc.pid, rec.keeper.pid))
                        self.fail("failed before stop")

                unittest.main()
                """ % (HERE, os.path.join(work, "out.wav"), pids_file)))

        names = ("parecord", "pacat")
        pids = []

        def kill_leftovers():
            for pid in pids:
                if _running(pid, names):
                    os.kill(pid, 9)
        self.addCleanup(kill_leftovers)

        # Output through a pipe, as ctest runs the tests.
        try:
            r = subprocess.run([sys.executable, script], stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, timeout=30)
            output, timed_out = r.stdout.decode(errors="replace"), False
        except subprocess.TimeoutExpired as e:
            output, timed_out = (e.output or b"").decode(errors="replace"), True
        with open(pids_file) as f:
            pids += [int(p) for p in f.read().split()]
        self.assertFalse(timed_out, "the pipe stayed open after the test ended:\n" + output)
        self.assertIn("failed before stop", output)
        self.assertNotEqual(r.returncode, 0)
        self.assertTrue(rig.wait_for(lambda: not any(_running(p, names) for p in pids), 5),
                        "a recorder outlived its test")

    def test_the_display_takes_clients_one_after_another(self):
        display = rig.ensure_rig()["DISPLAY"]
        refused = _connections_refused(display, 300)
        self.assertEqual(refused, 0, "%d of 300 connections to %s refused" % (refused, display))

    def test_the_sound_server_lets_a_burst_of_clients_wait_while_it_is_busy(self):
        # A rig of its own: the burst stops its sound server for a moment.
        env = rig.start_rig()
        self.addCleanup(rig.stop_rig, env["TARNOVA_RIG"])
        with open(os.path.join(env["TARNOVA_RIG"], "runtime", "pulse", "pid")) as f:
            server = int(f.read())
        cenv = dict(os.environ, **env)
        socket_path = os.path.join(env["TARNOVA_RIG"], "runtime", "pulse", "native")
        os.kill(server, signal.SIGSTOP)
        try:
            clients = [subprocess.Popen(["pactl", "info"], env=cenv, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.PIPE) for _ in range(20)]
            # Every client has either been refused (ended) or waits in the
            # socket's queue before the server runs again.
            settled = rig.wait_for(lambda: sum(c.poll() is not None for c in clients)
                                   + _waiting_connections(socket_path) >= 20, 30)
        finally:
            os.kill(server, signal.SIGCONT)
        self.assertTrue(settled, "the clients neither ended nor queued within 30 s")
        errors = [c.communicate(timeout=30)[1].decode(errors="replace").strip() for c in clients]
        failed = [e for c, e in zip(clients, errors) if c.returncode != 0]
        self.assertEqual(failed, [], "%d of 20 clients failed" % len(failed))


if __name__ == "__main__":
    unittest.main()
