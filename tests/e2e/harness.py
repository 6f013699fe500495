"""Drives the real game binary as a player would: a real window on the test display, real key
events through XTEST (xdotool), console output read from its pipes, screenshots read back as
pixels. Every wait polls with a timeout: the software renderer is slow and its speed varies."""

import os
import re
import shutil
import subprocess
import tempfile
import threading
import time

import numpy as np
from PIL import Image

ROOT = os.environ.get("ZELTO_ROOT", os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
BINARY = os.environ.get("ZELTO_BINARY", os.path.join(ROOT, "build", "repair_zelto"))
BUILD_DIR = os.path.dirname(BINARY)
TITLE = "Repair Zelto"

# Generous: start-up compiles eight programs and imports 36 models on llvmpipe.
START_TIMEOUT = 120.0


def wait_until(predicate, timeout, interval=0.2, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=30).stdout


class ScreenshotFailed(RuntimeError):
    """Not an assertion: a wait for an effect must not take it for a missing effect."""


class Stream:
    """Collects one pipe of the game in the background so the game never blocks on it."""

    def __init__(self, pipe):
        self._chunks = []
        self._lock = threading.Lock()
        self._thread = threading.Thread(target=self._pump, args=(pipe,), daemon=True)
        self._thread.start()

    def _pump(self, pipe):
        for line in iter(pipe.readline, b""):
            with self._lock:
                self._chunks.append(line.decode("utf-8", "replace"))
        pipe.close()

    def text(self):
        with self._lock:
            return "".join(self._chunks)

    def lines(self, start=0):
        """The lines collected so far from line number start on, for reading a long run's
        output piece by piece."""
        with self._lock:
            return self._chunks[start:]

    def join(self, timeout=10):
        self._thread.join(timeout)


class FrameCounter:
    """Counts the frames the game presents in its window, from outside: every buffer swap
    damages the window, and the X server's DAMAGE extension reports each damage once until
    it is acknowledged. Acknowledging at once after each report gives one report per swap as
    long as swaps are slower than one round trip to the server (frames here take 50 ms and
    more). Runs on its own connection and thread."""

    def __init__(self, window_id):
        from Xlib import display
        from Xlib.ext import damage
        self.count = 0
        self._connection = display.Display()
        self._connection.damage_query_version()
        window = self._connection.create_resource_object("window", int(window_id))
        self._damage = window.damage_create(damage.DamageReportNonEmpty)
        self._connection.sync()
        self._thread = threading.Thread(target=self._pump, daemon=True)
        self._thread.start()

    def _pump(self):
        try:
            while True:
                event = self._connection.next_event()
                if type(event).__name__ == "DamageNotify":
                    self.count += 1
                    self._connection.damage_subtract(self._damage)
                    self._connection.flush()
        except Exception:  # the connection closed, or the window went with the game
            return

    def wait(self, frames, timeout=60):
        """Waits until the given number of further frames has been presented."""
        target = self.count + frames
        wait_until(lambda: self.count >= target, timeout, interval=0.02,
                   what=f"{frames} frames")

    def close(self):
        try:
            self._connection.close()
        except Exception:
            pass


class Game:
    """The game process, started from a build folder with the given arguments."""

    def __init__(self, *args, cwd=None, stdin=subprocess.DEVNULL, env=None, binary=BINARY):
        self.args = [str(a) for a in args]
        self.cwd = cwd or BUILD_DIR
        self.stdin = stdin
        self.environment = dict(os.environ)
        self.environment.update(env or {})
        self.binary = binary
        self.window = None
        self._launch()

    def _launch(self):
        self.process = subprocess.Popen([self.binary, *self.args], cwd=self.cwd, stdin=self.stdin,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        env=self.environment)
        self.out = Stream(self.process.stdout)
        self.err = Stream(self.process.stderr)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        if getattr(self, "_frames", None) is not None:
            self._frames.close()
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=30)
        self.out.join()
        self.err.join()

    # --- process and console ---------------------------------------------------------------
    def wait_exit(self, timeout=60):
        code = self.process.wait(timeout=timeout)
        self.out.join()
        self.err.join()
        return code

    def stdout(self):
        return self.out.text()

    def wait_for_output(self, pattern, timeout=60, count=1):
        regex = re.compile(pattern, re.MULTILINE)
        return wait_until(lambda: len(regex.findall(self.stdout())) >= count, timeout,
                          what=f"{pattern!r} on standard output")

    # --- window -------------------------------------------------------------------------------
    def wait_for_window(self, timeout=START_TIMEOUT):
        relaunches = 2

        def find():
            nonlocal relaunches
            if self.process.poll() is not None:
                # Under load the shared Xvfb now and then refuses a new connection outright
                # ("X11: Failed to open display"); the game then rightly reports that it could
                # not start. That is the test display's failure, not the game's: start again.
                if (relaunches > 0 and self.process.returncode == 1
                        and "ERROR: Could not init glfw" in self.err.text()):
                    relaunches -= 1
                    self.out.join()
                    self.err.join()
                    self._launch()
                    return None
                raise AssertionError(f"the game exited with {self.process.returncode}:\n"
                                     f"{self.stdout()}\n{self.err.text()}")
            # Only a mapped window can take the focus and be read back.
            ids = xdotool("search", "--onlyvisible", "--pid", str(self.process.pid), "--name",
                          f"^{TITLE}$").split()
            return ids[0] if ids else None
        self.window = wait_until(find, timeout, what="the game window")
        return self.window

    def geometry(self):
        text = xdotool("getwindowgeometry", self.window)
        match = re.search(r"Geometry: (\d+)x(\d+)", text)
        return int(match.group(1)), int(match.group(2))

    def focus(self):
        xdotool("windowfocus", "--sync", self.window)

    def key_down(self, key):
        self.focus()
        xdotool("keydown", key)

    def key_up(self, key):
        self.focus()
        xdotool("keyup", key)

    @property
    def frames(self):
        """The frame counter of the game's window, started at first use."""
        if getattr(self, "_frames", None) is None:
            self._frames = FrameCounter(self.window)
        return self._frames

    def hold(self, key, frames=2):
        """Holds a key down until the game has presented the given number of frames, then
        releases it. The second frame presented after the press began after the first one had
        been swapped, so its event poll saw the key down: two frames make a press that the
        game certainly saw, however slow its frames are."""
        self.key_down(key)
        try:
            self.frames.wait(frames)
        finally:
            self.key_up(key)

    def tap(self, key, hold=0.3):
        """Press and release, holding long enough for the game to see a frame with it down."""
        self.key_down(key)
        time.sleep(hold)
        self.key_up(key)

    def toggle(self, key, effect, what, timeout=15):
        """Presses and releases a toggle key and waits for its effect on the screen, which
        shows within a frame or two of the release, far inside the timeout."""
        self.hold(key)
        return self.wait_for_screen(effect, timeout, what=what)

    def press_until(self, key, predicate, timeout=30, what="the key's effect"):
        """Holds a key until the game shows its effect, then releases it."""
        self.key_down(key)
        try:
            return wait_until(predicate, timeout, what=what)
        finally:
            self.key_up(key)

    def screenshot(self, attempts=3):
        """The window's pixels as an RGB image, top row first. On a loaded machine the X
        server now and then fails to read a window back; a read that fails while the game is
        still running is tried again, a little later."""
        for attempt in range(attempts):
            with tempfile.NamedTemporaryFile(suffix=".png") as shot:
                try:
                    done = subprocess.run(["import", "-window", self.window, shot.name],
                                          capture_output=True, text=True, timeout=30)
                    if done.returncode == 0:
                        return Image.open(shot.name).convert("RGB")
                    reason = done.stderr.strip()
                except subprocess.TimeoutExpired:
                    reason = "import timed out"
            if self.process.poll() is not None:
                raise ScreenshotFailed(f"the game exited with {self.process.returncode}:\n"
                                       f"{self.err.text()[-3000:]}")
            time.sleep(2.0)
        raise ScreenshotFailed(f"no screenshot after {attempts} attempts: {reason}")

    def wait_for_screen(self, predicate, timeout=60, what="a screen"):
        return wait_until(lambda: (lambda image: image if predicate(image) else None)(self.screenshot()),
                          timeout, interval=0.3, what=what)


# --- pixel checks ---------------------------------------------------------------------------
# Text is drawn in white over a scene that is never white over a whole glyph stroke, so a
# count of near-white pixels inside a text's box tells whether that text is drawn.
WHITE = 235


def white_pixels(image, box):
    """Near-white pixels in box = (x, y, w, h) given in text coordinates: origin at the
    window's bottom left, y up, as the game places its text."""
    x, y, w, h = box
    height = image.height
    crop = image.crop((x, height - (y + h), x + w, height - y))
    return sum(1 for r, g, b in crop.getdata() if r >= WHITE and g >= WHITE and b >= WHITE)


def text_box(x, y, w, h, below=0):
    """The box of a text whose base line starts at (x, y): up to h pixels above the base line
    and `below` pixels under it for descenders."""
    return (int(x), int(y - below), int(w), int(h + below))


def box_slices(image, box):
    """Array slices (rows, columns) of box = (x, y, w, h) in text coordinates."""
    x, y, w, h = box
    return slice(image.height - (y + h), image.height - y), slice(x, x + w)


def changed_pixels(before, after, box, threshold=40):
    """Pixels inside box whose largest channel difference between two screenshots exceeds
    threshold. The default ignores the few levels of noise that llvmpipe's dithering-free
    output never has but a rounding change in a shader could bring."""
    rows, columns = box_slices(before, box)
    a = np.asarray(before, dtype=np.int16)[rows, columns]
    b = np.asarray(after, dtype=np.int16)[rows, columns]
    return int((np.abs(a - b).max(axis=2) > threshold).sum())


def copy_build_without(*folders):
    """A scratch tree with the binary's build folder but without some of its sibling folders,
    so the game starts with "../Shader/" or "../External/" missing."""
    root = tempfile.mkdtemp(prefix="zelto-")
    build = os.path.join(root, "build")
    os.makedirs(build)
    for name in ("Shader", "External"):
        if name not in folders:
            shutil.copytree(os.path.join(ROOT, name), os.path.join(root, name))
    return root, build
