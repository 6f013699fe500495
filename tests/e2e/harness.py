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

    def join(self, timeout=10):
        self._thread.join(timeout)


class Game:
    """The game process, started from a build folder with the given arguments."""

    def __init__(self, *args, cwd=None, stdin=subprocess.DEVNULL, env=None, binary=BINARY):
        self.args = [str(a) for a in args]
        self.cwd = cwd or BUILD_DIR
        environment = dict(os.environ)
        environment.update(env or {})
        self.process = subprocess.Popen([binary, *self.args], cwd=self.cwd, stdin=stdin,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        env=environment)
        self.out = Stream(self.process.stdout)
        self.err = Stream(self.process.stderr)
        self.window = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
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
        def find():
            if self.process.poll() is not None:
                raise AssertionError(f"the game exited with {self.process.returncode}:\n"
                                     f"{self.stdout()}\n{self.err.text()}")
            ids = xdotool("search", "--pid", str(self.process.pid), "--name", f"^{TITLE}$").split()
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

    def tap(self, key, hold=0.3):
        """Press and release, holding long enough for the game to see a frame with it down."""
        self.key_down(key)
        time.sleep(hold)
        self.key_up(key)

    def press_until(self, key, predicate, timeout=30, what="the key's effect"):
        """Holds a key until the game shows its effect, then releases it."""
        self.key_down(key)
        try:
            return wait_until(predicate, timeout, what=what)
        finally:
            self.key_up(key)

    def screenshot(self):
        """The window's pixels as an RGB image, top row first."""
        with tempfile.NamedTemporaryFile(suffix=".png") as shot:
            subprocess.run(["import", "-window", self.window, shot.name], check=True,
                           capture_output=True, timeout=60)
            return Image.open(shot.name).convert("RGB")

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
