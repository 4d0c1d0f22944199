"""End-to-end rig for Tarnova: a private X server and a private sound server,
and helpers to drive build/tarnova inside them. Standard library only.

The rig
    tools/rig-start            starts Xvfb (24-bit, free display, -noreset) and PulseAudio
                               (null sinks "speakers" = default output and
                               "mic", whose monitor is the default input;
                               its socket made by the rig, where clients
                               wait while the server is busy);
                               prints `export NAME=value` lines for the shell.
    tools/rig-stop [DIR]       stops both and removes the rig folder
                               (DIR defaults to $TARNOVA_RIG).
    tools/run-tests            starts the rig around ctest; every test_*.py
                               inherits DISPLAY, PULSE_SERVER, TARNOVA_RIG, ...
    A test run on its own (python3 tests/e2e/test_x.py) starts a private rig
    when none is in the environment and stops it at exit (ensure_rig()).

Writing a test (each file is a standalone unittest script):

    import os, sys, unittest
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    import rig

    class WindowTest(unittest.TestCase):
        def test_opens(self):
            t = rig.start_tarnova(data="full")   # or "resources", "none"
            self.addCleanup(t.kill)
            t.wait_window()                      # window id; fails after 20 s
            t.click(150, 488)                    # window pixels, y from the top
            t.type_text("anna"); t.key("Return")
            shot = t.screenshot()                # shot.pixel(x, y) -> (r, g, b)
            t.close_window()                     # what the close button does
            self.assertEqual(t.wait_exit(10), 0)
            self.assertEqual(t.debug_log(), "")

Functions
    ensure_rig()                   rig environment (starts one if missing)
    use_private_rig()              a rig of this test process's own (timing tests)
    start_tarnova(data, prepare=None, env=None, audio=True) -> Tarnova
        data:    "full"      a generated data folder (build/tarnova-make-data,
                             generated once per rig and copied)
                 "resources" only the empty ResourceFiles folder
                 "none"      no data folder at all
        prepare: callable(data_dir) run before the start (add or spoil files)
        audio:   False starts it with no sound server reachable
    Tarnova: .proc .home .data_dir .window
        wait_window(timeout) wait_exit(timeout) -> exit code (None on timeout)
        alive() kill() debug_log() -> text ('' when empty, None when missing)
        output() -> what the program wrote to stdout/stderr so far
        wait_output(line, timeout=PATIENCE, count=1)
                                     until `line` is a whole line of the output
                                     (count times: "screen 6" again); the demo
                                     tools print "screen N" and "intro topic N"
        wait_shot(predicate, what, timeout=PATIENCE) -> the first screenshot
                                     for which predicate(shot) holds
        click(x, y, button=1) press(x,y) release(x,y) move(x, y)
        type_text(s) key(name)       (xdotool key names: Return, Escape, Tab)
        screenshot(path=None) -> Shot (.width .height .pixel(x, y); y from top;
                                       .count(predicate, box) counts matching pixels)
        geometry() -> (x, y, width, height) of the window on the root
        close_window()               sends WM_DELETE_WINDOW (the close button)
    wait_for(predicate, timeout, step=0.05) -> True once predicate() holds,
                                   False when it still fails after timeout s
    wait_until(predicate, what, timeout=PATIENCE, step=0.1)
                                   waits until predicate() holds; after timeout s
                                   fails the test, naming `what`. A test waits
                                   for what it expects to see (a pixel, a line
                                   of output, a file) and never sleeps a fixed
                                   time where a state can be polled: a slow or
                                   loaded machine makes it slower, not red.
                                   PATIENCE (120 s) is the default time-out.
    find_window(title) -> id of the visible window titled exactly `title`, or None
    window_geometry(window), window_screenshot(window, path=None) -> Shot
                                   (for windows of the other tools too)
    record_speakers(path, test=None) -> Recording; .stop() ends it and returns
                                   path. Given a TestCase, the recording is
                                   stopped in its cleanup; every recording
                                   still running is stopped when the test
                                   process exits (a failed test never leaves
                                   one holding ctest's output pipe open).
    play_into_mic(wav_path, wait=True) -> Popen
    Singer(test=None): a voice into "mic" (stopped in the test's cleanup)
        .sing(hz, cents=0.0)         sings hz shifted by cents; hz None: silence
        .answer(references, cents_of, in_order=False, hold=None)
                                     listens to "speakers": each reference (Hz)
                                     heard is sung cents_of(index) off (for
                                     hold s, or until the next); .heard holds
                                     the indexes (see the class)
        .stop()
    detected_pitches(wav) -> Hz of every block in which the program's own
                             detector (build/tarnova-pitchscan) found a pitch
    cents(f, ref) -> the distance of f from ref in cents
    build_dir(), source_dir()
"""

import atexit
import ctypes
import ctypes.util
import fcntl
import math
import os
import select
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time

_HERE = os.path.dirname(os.path.abspath(__file__))


def source_dir():
    return os.environ.get("TARNOVA_SOURCE") or os.path.dirname(os.path.dirname(_HERE))


def build_dir():
    return os.environ.get("TARNOVA_BUILD") or os.path.join(source_dir(), "build")


# ---------------------------------------------------------------- the rig

_children = {}  # rig folder -> the servers (Popen) started by this process

RIG_VARS = ("DISPLAY", "PULSE_SERVER", "PULSE_CLIENTCONFIG", "TARNOVA_RIG")


# How long a wait allows by default: far more than anything takes on a quiet
# machine, so that a loaded one only makes the tests slower.
PATIENCE = 120.0


def wait_for(predicate, timeout, step=0.05):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if predicate():
            return True
        time.sleep(step)
    return predicate()


def wait_until(predicate, what, timeout=PATIENCE, step=0.1):
    """Waits until predicate() holds; fails the test (AssertionError naming
    `what`, which may be a callable giving the text) after timeout s."""
    if not wait_for(predicate, timeout, step):
        raise AssertionError("timed out after %g s waiting for %s" % (timeout, what() if callable(what) else what))


def _display_accepts(display):
    """True when X display `display` (":N" or N) accepts a client connection
    (through Xlib, as the program and xdotool connect)."""
    if isinstance(display, int):
        display = ":%d" % display
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    dpy = x11.XOpenDisplay(display.encode())
    if not dpy:
        return False
    x11.XCloseDisplay(dpy)
    return True


def _start_xvfb(state):
    """Starts Xvfb on a display it picks itself; returns (process, number) once
    the display accepts clients, or (None, None).

    Xvfb -displayfd takes a display no running server holds, atomically (no
    check-then-use gap as in "find a free number, then start on it").
    -noreset: by default an X server resets when its last client leaves and
    refuses clients that connect during the reset; one test's program ending
    and the next one's starting is exactly that moment, and on a loaded
    machine the reset lasts long enough for the new program to fail with
    "failed to open display" (about 1 in 30 back-to-back connections here).
    The number is trusted only once a client can connect: a server that dies
    or stalls right after reporting is replaced by a fresh one."""
    r, w = os.pipe()
    with open(os.path.join(state, "xvfb.log"), "a") as log:
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-noreset", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            stdout=log, stderr=subprocess.STDOUT, pass_fds=(w,), start_new_session=True)
    os.close(w)
    number = b""
    end = time.monotonic() + 15
    while not number.endswith(b"\n") and time.monotonic() < end:
        ready, _, _ = select.select([r], [], [], 0.2)
        if ready:
            chunk = os.read(r, 16)
            if not chunk:
                break
            number += chunk
    os.close(r)
    if number.strip().isdigit():
        n = int(number)
        if wait_for(lambda: xvfb.poll() is None and _display_accepts(n), 10, 0.1):
            return xvfb, n
    if xvfb.poll() is None:
        xvfb.kill()
    xvfb.wait()
    return None, None


def start_rig():
    """Starts Xvfb and PulseAudio; returns the environment values of the rig."""
    state = tempfile.mkdtemp(prefix="tarnova-rig.")
    os.chmod(state, 0o700)
    runtime = os.path.join(state, "runtime")
    os.mkdir(runtime, 0o700)
    client_conf = os.path.join(state, "client.conf")
    with open(client_conf, "w") as f:
        f.write("autospawn = no\n")

    try:
        for _attempt in range(3):
            xvfb, n = _start_xvfb(state)
            if xvfb:
                break
    except BaseException:
        shutil.rmtree(state, ignore_errors=True)  # Xvfb missing, say
        raise
    if not xvfb:
        shutil.rmtree(state, ignore_errors=True)
        raise RuntimeError("rig: Xvfb did not start (no display that accepts clients; see xvfb.log)")
    with open(os.path.join(state, "xvfb.pid"), "w") as f:
        f.write(str(xvfb.pid))
    _children[state] = [xvfb]
    try:
        return _start_sound_server(state, runtime, client_conf, n)
    except BaseException:
        # A half-started rig must not outlive the failure.
        stop_rig(state)
        raise


def _start_sound_server(state, runtime, client_conf, n):
    """Sound server: user mode even as root, in its own runtime folder.

    The rig makes the server's socket itself and hands it over as an
    activation socket (LISTEN_FDS/LISTEN_PID), for its queue of waiting
    connections: PulseAudio listens with room for 5, and when the machine is
    loaded and the server has not run for a moment, the next client beyond
    those (a test's paplay, the program's own sound device) is refused at once
    ("Connection refused"). With a queue of 128 it waits its turn instead."""
    penv = dict(os.environ, XDG_RUNTIME_DIR=runtime, HOME=state,
                PULSE_CLIENTCONFIG=client_conf, LISTEN_FDS="1")
    penv.pop("PULSE_SERVER", None)
    socket_dir = os.path.join(runtime, "pulse")
    os.mkdir(socket_dir, 0o700)
    socket_path = os.path.join(socket_dir, "native")
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    listener.bind(socket_path)
    listener.listen(128)
    fd = listener.fileno()
    # The shell sets LISTEN_PID to its own pid, which exec hands on to the
    # server (the server only takes a socket meant for its pid), and moves
    # the socket to fd 3, where activation sockets start.
    move = "" if fd == 3 else " 3<&%d %d<&-" % (fd, fd)
    with open(os.path.join(state, "pulse.log"), "w") as log:
        server = subprocess.Popen(
            ["sh", "-c", 'LISTEN_PID=$$ exec "$@"' + move, "sh",
             "pulseaudio", "-n", "--exit-idle-time=-1", "--disallow-exit",
             "--use-pid-file=yes", "--log-target=stderr",
             "--load=module-native-protocol-unix auth-anonymous=1",
             "--load=module-null-sink sink_name=speakers",
             "--load=module-null-sink sink_name=mic"],
            env=penv, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
            pass_fds=(fd,), start_new_session=True)
    listener.close()
    _children.setdefault(state, []).append(server)
    env = {
        "DISPLAY": ":%d" % n,
        "PULSE_SERVER": "unix:" + socket_path,
        "PULSE_CLIENTCONFIG": client_conf,
        "TARNOVA_RIG": state,
    }
    cenv = dict(os.environ, **env)

    def answers():
        try:
            return subprocess.call(["pactl", "info"], env=cenv, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, timeout=10) == 0
        except subprocess.TimeoutExpired:
            return False

    # The socket accepted before the server ran; the server is up once a
    # client gets an answer (a server that died closes the socket).
    if not wait_for(lambda: server.poll() is None and answers(), 15, 0.1):
        raise RuntimeError("rig: PulseAudio did not start (exit %s; see pulse.log)" % server.poll())
    subprocess.check_call(["pactl", "set-default-sink", "speakers"], env=cenv)
    subprocess.check_call(["pactl", "set-default-source", "mic.monitor"], env=cenv)
    with open(os.path.join(state, "rig.env"), "w") as f:
        for k, v in env.items():
            f.write("export %s=%s\n" % (k, v))
    return env


def _kill_pidfile(path, sig=signal.SIGTERM):
    try:
        with open(path) as f:
            pid = int(f.read().strip())
    except (OSError, ValueError):
        return
    try:
        os.kill(pid, sig)
    except OSError:
        return
    for _ in range(100):
        try:
            os.kill(pid, 0)
        except OSError:
            return
        time.sleep(0.05)
    try:
        os.kill(pid, signal.SIGKILL)
    except OSError:
        pass


def stop_rig(state):
    """Stops the servers of the rig folder `state` and removes it."""
    if not state or not os.path.isdir(state):
        return
    runtime = os.path.join(state, "runtime")
    penv = dict(os.environ, XDG_RUNTIME_DIR=runtime, HOME=state)
    penv.pop("PULSE_SERVER", None)
    subprocess.call(["pulseaudio", "--kill"], env=penv,
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _kill_pidfile(os.path.join(runtime, "pulse", "pid"))
    _kill_pidfile(os.path.join(state, "xvfb.pid"))
    for child in _children.pop(state, []):
        try:
            child.wait(5)
        except subprocess.TimeoutExpired:
            child.kill()
            child.wait()
    shutil.rmtree(state, ignore_errors=True)


_own_rig = None


def use_private_rig():
    """Makes this test process start (and at exit stop) a rig of its own, for
    tests that measure timing on a sound server no earlier test has used: the
    streams of earlier programs on a shared server leave its null sinks'
    latencies changed, which shows as capture and playback in bursts."""
    for k in RIG_VARS:
        os.environ.pop(k, None)
    return ensure_rig()


def ensure_rig():
    """The rig's environment values; starts a private rig (stopped at exit)
    when the environment carries none."""
    global _own_rig
    # A rig named by the environment is used only while its display takes
    # clients: a stale rig.env (its Xvfb gone, the number perhaps reused by
    # another server) would make every test fail to open its display.
    if (all(os.environ.get(k) for k in RIG_VARS) and os.path.isdir(os.environ["TARNOVA_RIG"])
            and _display_accepts(os.environ["DISPLAY"])):
        return {k: os.environ[k] for k in RIG_VARS}
    env = start_rig()
    _own_rig = env["TARNOVA_RIG"]

    def stop_own_rig():
        _stop_recordings()  # before their sound server goes
        stop_rig(_own_rig)
    atexit.register(stop_own_rig)
    os.environ.update(env)
    return env


# ------------------------------------------------------------ data folder

def _generated_data():
    """A data folder from build/tarnova-make-data, made once per rig."""
    rig_dir = ensure_rig()["TARNOVA_RIG"]
    target = os.path.join(rig_dir, "data-cache")
    with open(os.path.join(rig_dir, "data-cache.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not os.path.isdir(target):
            maker = os.path.join(build_dir(), "tarnova-make-data")
            tmp = target + ".tmp"
            shutil.rmtree(tmp, ignore_errors=True)
            os.makedirs(tmp)
            r = subprocess.run([maker, tmp], capture_output=True, text=True)
            if r.returncode != 0:
                raise RuntimeError("tarnova-make-data failed (%d): %s" % (r.returncode, r.stderr))
            os.rename(tmp, target)
    return target


# ------------------------------------------------------------- X helpers

def _x(args, check=True):
    r = subprocess.run(["xdotool"] + [str(a) for a in args], capture_output=True, text=True,
                       env=os.environ)
    if check and r.returncode != 0:
        raise RuntimeError("xdotool %s failed: %s" % (" ".join(map(str, args)), r.stderr.strip()))
    return r.stdout


class Shot:
    """A screenshot of the window: RGB pixels, (0, 0) at the top left."""

    def __init__(self, width, height, data, path=None):
        self.width, self.height, self.data, self.path = width, height, data, path

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def count(self, predicate, box=None):
        """How many pixels in box (x0, y0, x1, y1; exclusive) satisfy predicate(rgb)."""
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        return sum(1 for y in range(y0, y1) for x in range(x0, x1) if predicate(self.pixel(x, y)))


def _parse_ppm(blob):
    # P6 <w> <h> <max>\n<data>
    parts, pos = [], 0
    while len(parts) < 4:
        while blob[pos:pos + 1].isspace():
            pos += 1
        if blob[pos:pos + 1] == b"#":
            pos = blob.index(b"\n", pos) + 1
            continue
        end = pos
        while not blob[end:end + 1].isspace():
            end += 1
        parts.append(blob[pos:end])
        pos = end
    pos += 1
    if parts[0] != b"P6" or parts[3] != b"255":
        raise RuntimeError("unexpected screenshot format")
    return int(parts[1]), int(parts[2]), blob[pos:]


def _close_window_xlib(window_id):
    """Sends WM_PROTOCOLS / WM_DELETE_WINDOW, as a window manager's close
    button does (xdotool windowclose would destroy the window instead)."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.c_void_p]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                    ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                    ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

    class XEvent(ctypes.Union):
        _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

    dpy = x11.XOpenDisplay(os.environ["DISPLAY"].encode())
    if not dpy:
        raise RuntimeError("cannot open display " + os.environ["DISPLAY"])
    ev = XEvent()
    ev.xclient.type = 33  # ClientMessage
    ev.xclient.window = window_id
    ev.xclient.message_type = x11.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
    ev.xclient.format = 32
    ev.xclient.data[0] = x11.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
    ev.xclient.data[1] = 0  # CurrentTime
    x11.XSendEvent(dpy, window_id, 0, 0, ctypes.byref(ev))
    x11.XFlush(dpy)
    x11.XCloseDisplay(dpy)


def find_window(title):
    """The id of the visible window titled exactly `title`, or None."""
    out = _x(["search", "--onlyvisible", "--name", "^%s$" % title], check=False).split()
    return int(out[-1]) if out else None


def window_geometry(window):
    """(x, y, width, height) of a window on the root."""
    out = _x(["getwindowgeometry", "--shell", window])
    v = dict(line.split("=", 1) for line in out.split() if "=" in line)
    return int(v["X"]), int(v["Y"]), int(v["WIDTH"]), int(v["HEIGHT"])


def window_screenshot(window, path=None):
    """The window's pixels as a Shot (also saved as an image at path)."""
    x, y, w, h = window_geometry(window)
    blob = subprocess.run(
        ["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, x, y), "-depth", "8",
         "ppm:-"], capture_output=True, check=True, env=os.environ).stdout
    width, height, data = _parse_ppm(blob)
    if path:
        subprocess.run(["convert", "ppm:-", path], input=blob, check=True)
    return Shot(width, height, data, path)


# --------------------------------------------------------------- program

class Tarnova:
    """One run of build/tarnova with a private HOME."""

    def __init__(self, proc, home, data_dir, log_path):
        self.proc, self.home, self.data_dir, self.log_path = proc, home, data_dir, log_path
        self.window = None

    # process
    def alive(self):
        return self.proc.poll() is None

    def wait_exit(self, timeout=10):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        shutil.rmtree(self.home, ignore_errors=True)

    def output(self):
        """What the program wrote to standard output and error so far."""
        with open(self.log_path, errors="replace") as f:
            return f.read()

    def wait_output(self, line, timeout=PATIENCE, count=1):
        """Waits until `line` is a whole line of the program's output (count
        times); fails the test with the output after timeout s."""
        def seen():
            if self.output().splitlines().count(line) >= count:
                return True
            if not self.alive():
                raise AssertionError("the program ended (exit %s) before printing %r:\n%s"
                                     % (self.proc.returncode, line, self.output()))
            return False
        wait_until(seen, lambda: "%r in the output:\n%s" % (line, self.output()[-3000:]), timeout)

    def wait_shot(self, predicate, what, timeout=PATIENCE, step=0.3):
        """Screenshots until predicate(shot) holds and returns that shot; fails
        the test naming `what` after timeout s."""
        found = []

        def holds():
            if not self.alive():
                raise AssertionError("the program ended (exit %s) while waiting for %s:\n%s"
                                     % (self.proc.returncode, what, self.output()))
            shot = self.screenshot()
            if predicate(shot):
                found.append(shot)
                return True
            return False
        wait_until(holds, lambda: "%s\n%s" % (what, self.output()[-3000:]), timeout, step)
        return found[0]

    def wait_still(self, what, timeout=PATIENCE):
        """Screenshots until two in a row, 0.25 s apart, are the same: the
        screen has taken its last input over and waits for the next."""
        last = [None]

        def still():
            shot = self.screenshot().data
            was, last[0] = last[0], shot
            return was == shot
        wait_until(still, lambda: "%s to stand still\n%s" % (what, self.output()[-3000:]), timeout, 0.25)

    def debug_log(self):
        p = os.path.join(self.data_dir, "ResourceFiles", "debug.txt")
        try:
            with open(p, "rb") as f:
                return f.read().decode("latin-1")
        except OSError:
            return None

    # window
    def wait_window(self, timeout=20):
        def found():
            if not self.alive():
                raise AssertionError("tarnova ended (exit %s) before its window appeared:\n%s"
                                     % (self.proc.returncode, self.output()))
            self.window = find_window("Tarnova")
            return self.window is not None
        if not wait_for(found, timeout, 0.1):
            raise AssertionError("no window titled Tarnova after %s s" % timeout)
        return self.window

    def geometry(self):
        return window_geometry(self.window or self.wait_window())

    def _root(self, x, y):
        wx, wy, _, _ = self.geometry()
        return wx + x, wy + y

    def move(self, x, y):
        _x(["mousemove"] + list(self._root(x, y)))

    def click(self, x, y, button=1):
        _x(["mousemove"] + list(self._root(x, y)) + ["click", button])

    def press(self, x, y, button=1):
        _x(["mousemove"] + list(self._root(x, y)) + ["mousedown", button])

    def release(self, x, y, button=1):
        _x(["mousemove"] + list(self._root(x, y)) + ["mouseup", button])

    def type_text(self, text):
        _x(["type", "--window", self.window or self.wait_window(), "--delay", "30", text])

    def key(self, name):
        _x(["key", "--window", self.window or self.wait_window(), name])

    def screenshot(self, path=None):
        return window_screenshot(self.window or self.wait_window(), path)

    def close_window(self):
        _close_window_xlib(self.window or self.wait_window())


def start_tarnova(data="full", prepare=None, env=None, audio=True):
    """Starts build/tarnova with a fresh HOME and XDG_DATA_HOME."""
    ensure_rig()
    home = tempfile.mkdtemp(prefix="tarnova-home.")
    xdg_data = os.path.join(home, ".local", "share")
    data_dir = os.path.join(xdg_data, "Quellbrook", "Tarnova")
    if data == "full":
        shutil.copytree(_generated_data(), data_dir)
    elif data == "resources":
        os.makedirs(os.path.join(data_dir, "ResourceFiles"))
    elif data == "none":
        os.makedirs(xdg_data)
    else:
        raise ValueError("data must be 'full', 'resources' or 'none'")
    if prepare:
        prepare(data_dir)
    penv = dict(os.environ, HOME=home, XDG_DATA_HOME=xdg_data,
                XDG_CONFIG_HOME=os.path.join(home, ".config"))
    if not audio:
        # No sound server reachable: a socket path where none listens.
        penv["PULSE_SERVER"] = "unix:" + os.path.join(home, "no-pulse-here")
    if env:
        penv.update(env)
    log_path = os.path.join(home, "output.txt")
    with open(log_path, "w") as log:
        proc = subprocess.Popen([os.path.join(build_dir(), "tarnova")], cwd=home, env=penv,
                                stdout=log, stderr=subprocess.STDOUT)
    return Tarnova(proc, home, data_dir, log_path)


# ----------------------------------------------------------------- sound

_recordings = []  # every Recording started by this process and not yet stopped


class Recording:
    def __init__(self, proc, path, keeper):
        self.proc, self.path, self.keeper = proc, path, keeper

    def stop(self):
        """Ends the recording (safe to call again) and returns its path."""
        for p in (self.proc, self.keeper):
            if p.poll() is None:
                p.send_signal(signal.SIGINT)
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()
        if self in _recordings:
            _recordings.remove(self)
        return self.path


@atexit.register
def _stop_recordings():
    # A test that failed before its stop() must not leave a recorder behind:
    # it would hold the test's output pipe open and ctest would wait for it
    # until the test's timeout.
    for rec in list(_recordings):
        rec.stop()


def record_speakers(path, test=None):
    """Starts recording what the program plays (44100 Hz mono 16-bit WAV) and
    returns once the recording is live.

    An idle null sink delivers nothing to its monitor, so a recording would
    only begin when the program starts to play, and lose that sound's first
    moments while the sink wakes up. A stream of silence keeps "speakers"
    running for the whole recording (silence adds nothing to the mix)."""
    ensure_rig()
    # Their output goes nowhere: never into the pipe that ctest reads.
    quiet = dict(env=os.environ, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                 stderr=subprocess.DEVNULL)
    keeper = subprocess.Popen(
        ["pacat", "--playback", "--device=speakers", "--latency-msec=20", "--raw", "--format=s16le", "--rate=44100",
         "--channels=1", "/dev/zero"], **quiet)
    proc = subprocess.Popen(
        ["parecord", "--device=speakers.monitor", "--file-format=wav", "--rate=44100",
         "--channels=1", "--format=s16le", path], **quiet)
    rec = Recording(proc, path, keeper)
    _recordings.append(rec)
    if test is not None:
        test.addCleanup(rec.stop)
    # Live once samples beyond the 44-byte header arrive (at most 5 s).
    wait_for(lambda: os.path.exists(path) and os.path.getsize(path) > 44 + 4410, 5, 0.02)
    return rec


def play_into_mic(wav_path, wait=True):
    """Plays a WAV file into the "mic" sink: what the program captures."""
    ensure_rig()
    proc = subprocess.Popen(["paplay", "--device=mic", wav_path], env=os.environ)
    if wait:
        proc.wait()
    return proc


class Singer:
    """A voice into the "mic" sink that can answer what the program plays on
    the "speakers" sink.

    One stream into "mic" for the singer's whole life: silence while no note
    is set (it also keeps the idle sink feeding the program's capture), else
    three harmonics with a slight vibrato (8 cents at 5.5 Hz).
    answer(references, cents_of, in_order=False, hold=None) starts listening
    to the speakers (a stream of silence keeps that sink running): once one of
    the references (Hz) dominates the last 4096 samples for three blocks in a
    row, and it is not the one heard last, its index joins .heard and the
    voice sings that reference cents_of(index) cents off, for `hold` seconds
    or (None) until the next one is heard. in_order: the references come in
    the order given, only the next one counts, and the ear rests for hold + 1
    seconds after each answer (so a sound played between the references, the
    exercise's bell, never passes for one)."""

    RATE = 44100
    CHUNK = 441  # 10 ms

    def __init__(self, test=None):
        ensure_rig()
        self.hz = None
        self.phase = 0.0
        self.vibrato = 0.0
        self.heard = []
        self.quiet_since = None  # time.time() since which no reference sounds
        self.running = True
        self.ear = []  # the speakers' keeper and the recorder, while answering
        self.proc = subprocess.Popen(
            ["pacat", "--playback", "--device=mic", "--latency-msec=30", "--raw", "--format=s16le",
             "--rate=44100", "--channels=1"], env=os.environ, stdin=subprocess.PIPE,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.threads = [threading.Thread(target=self._sing, daemon=True)]
        self.threads[0].start()
        if test is not None:
            test.addCleanup(self.stop)

    def sing(self, hz, cents=0.0):
        """Sings hz (None: silence) shifted by cents from now on."""
        self.hz = None if hz is None else hz * 2.0 ** (cents / 1200.0)

    def _sing(self):
        two_pi = 2 * math.pi
        while self.running:
            hz = self.hz
            out = bytearray(2 * self.CHUNK)
            if hz is not None:
                for i in range(self.CHUNK):
                    self.vibrato += two_pi * 5.5 / self.RATE
                    f = hz * 2.0 ** (8.0 * math.sin(self.vibrato) / 1200.0)
                    self.phase = (self.phase + two_pi * f / self.RATE) % (two_pi * 1000)
                    p = self.phase
                    v = 9000 * math.sin(p) + 4000 * math.sin(2 * p) + 2000 * math.sin(3 * p)
                    struct.pack_into("<h", out, 2 * i, int(v))
            try:
                self.proc.stdin.write(out)
                self.proc.stdin.flush()
            except (BrokenPipeError, ValueError):
                return

    def answer(self, references, cents_of, in_order=False, hold=None):
        quiet = dict(env=os.environ, stdin=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.ear = [
            subprocess.Popen(["pacat", "--playback", "--device=speakers", "--latency-msec=20", "--raw",
                              "--format=s16le", "--rate=44100", "--channels=1", "/dev/zero"],
                             stdout=subprocess.DEVNULL, **quiet),
            subprocess.Popen(["parecord", "--device=speakers.monitor", "--raw", "--format=s16le", "--rate=44100",
                              "--channels=1", "--latency-msec=20"], stdout=subprocess.PIPE, **quiet)]
        coeffs = [2 * math.cos(2 * math.pi * hz / self.RATE) for hz in references]
        thread = threading.Thread(target=self._listen, args=(references, coeffs, cents_of, in_order, hold),
                                  daemon=True)
        self.threads.append(thread)
        thread.start()

    @staticmethod
    def _dominant(x, coeffs):
        """Index of the reference (Goertzel) holding more than 0.3 of x's
        energy, the largest share; None when x is quieter than an RMS of 400."""
        energy = sum(v * v for v in x)
        if energy < len(x) * 400.0 ** 2:
            return None
        best, best_ratio = None, 0.0
        for index, c in enumerate(coeffs):
            s1 = s2 = 0.0
            for v in x:
                s1, s2 = v + c * s1 - s2, s1
            power = s1 * s1 + s2 * s2 - c * s1 * s2
            ratio = power / (energy * len(x) / 2)
            if ratio > best_ratio:
                best, best_ratio = index, ratio
        return best if best_ratio > 0.3 else None

    def _listen(self, references, coeffs, cents_of, in_order, hold):
        recorder = self.ear[1]
        window = []
        last, run = None, 0
        silent_at = deaf_until = None
        while self.running:
            data = recorder.stdout.read(4096)
            if not data or len(data) < 4096:
                return
            now = time.time()
            if silent_at is not None and now >= silent_at:
                self.sing(None)
                silent_at = None
            if deaf_until is not None and now < deaf_until:
                window, last, run = [], None, 0
                continue
            window = (window + list(struct.unpack("<2048h", data)))[-4096:]
            if len(window) < 4096:
                continue
            index = self._dominant(window, coeffs)
            if index is None:
                self.quiet_since = self.quiet_since or now
            else:
                self.quiet_since = None
            run = run + 1 if index is not None and index == last else 1
            last = index
            if index is None or run != 3 or (self.heard and self.heard[-1] == index):
                continue
            if in_order and index != len(self.heard):
                continue
            self.heard.append(index)
            self.sing(references[index], cents_of(index))
            if hold is not None:
                silent_at = now + hold
            if in_order:
                deaf_until = now + (hold or 0.0) + 1.0

    def quiet_for(self, seconds):
        """True once a reference was heard and the speakers have held none
        for `seconds`."""
        since = self.quiet_since
        return bool(self.heard) and since is not None and time.time() - since >= seconds

    def stop(self):
        """Ends the voice and the listening (safe to call again)."""
        self.running = False
        for p in self.ear:
            if p.poll() is None:
                p.terminate()
                p.wait(5)
        for thread in self.threads:
            thread.join(5)
        for p in self.ear:
            if p.stdout:
                p.stdout.close()
        self.ear = []
        try:
            self.proc.stdin.close()
        except OSError:
            pass
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(5)


def cents(f, ref):
    return 1200.0 * math.log2(f / ref)


def detected_pitches(wav):
    """Frequencies (Hz) of every block of a WAV file in which the program's
    pitch detector found a pitch (tarnova-pitchscan; 55 Hz and above)."""
    scan = os.path.join(build_dir(), "tarnova-pitchscan")
    out = subprocess.run([scan, wav], capture_output=True, text=True, check=True).stdout
    freqs = []
    for line in out.splitlines():
        parts = line.split()
        if len(parts) >= 2:
            f = float(parts[1])
            if f >= 55.0:
                freqs.append(f)
    return freqs


# ------------------------------------------------------------------- CLI

def _main(argv):
    if len(argv) >= 2 and argv[1] == "start":
        env = start_rig()
        for k, v in env.items():
            print("export %s=%s" % (k, v))
        return 0
    if len(argv) >= 2 and argv[1] == "stop":
        state = argv[2] if len(argv) > 2 else os.environ.get("TARNOVA_RIG")
        if not state:
            print("rig stop: no rig folder given and TARNOVA_RIG unset", file=sys.stderr)
            return 2
        stop_rig(state)
        return 0
    print("usage: rig.py start | stop [RIG_DIR]", file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(_main(sys.argv))
