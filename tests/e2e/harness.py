"""Drives the real game as a player would: key events through XTEST, the window's pixels read
back, console output from scratch files. Every wait polls for something observable (a frame, a
line, a picture) with a generous time-out: a frame takes 50 ms to seconds on a loaded machine.

A cross build's game runs through the command in ZELTO_LAUNCHER (Wine); what differs under Wine
is kept in the Wine class below, so the tests read the same on both systems."""

import atexit
import functools
import os
import pathlib
import shutil
import signal
import subprocess
import tempfile
import threading
import time

from PIL import Image
from Xlib import XK, X, display, error
from Xlib.ext import damage, xtest

ROOT = os.environ.get("ZELTO_ROOT", os.path.abspath(__file__ + "/../../.."))
BINARY = os.environ.get("ZELTO_BINARY", os.path.join(ROOT, "build", "repair_zelto"))
LAUNCHER = os.environ.get("ZELTO_LAUNCHER", "").split()  # put before the binary; may be empty
WINE = any("wine" in os.path.basename(part) for part in LAUNCHER)
# Start-up compiles eight programs and imports the models on llvmpipe; under Wine the first
# game of a run also waits for the scratch prefix's services to come up.
START_TIMEOUT = 240.0 if WINE else 120.0
LAST_PICTURE = "/tmp/zelto-last.png"  # what the screen showed when a wait for it timed out
# GLFW's reason when no display can be opened, as a pattern: X11's own; Wine's X11 driver fails
# every window then, and GLFW's Win32 code reports its first, a helper window, in Wine's words.
NO_DISPLAY = (r"GLFW error 65544: Win32: Failed to create helper window: [^\n]+" if WINE else
              r"GLFW error 65544: X11: Failed to open display {display}")
# OpenAL Soft's device that mixes and discards, unless the environment names another: the same
# on every machine, sound card or not.
SILENT = {"ALSOFT_DRIVERS": "null"}


def wait_until(predicate, timeout, what, interval=0.2):
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)
    return value


@functools.lru_cache(maxsize=None)
def server():
    """A connection held for the life of the process: the X server resets itself when its last
    client leaves (as the previous test process did), and drops connections meanwhile."""
    def connect():
        try:
            return display.Display()
        except (error.ConnectionClosedError, error.DisplayConnectionError):
            return None
    return wait_until(connect, 30, "the X server to take connections", interval=0.1)


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=30).stdout


class Wine:
    """What differs when the game is a Windows binary run by Wine:
    - one scratch prefix per test process, made once (10 to 15 s) and removed at exit, with a
      wineserver kept running meanwhile, so no game waits for a cold one or for the prefix's
      first-start set-up, and none sees a best score from outside the run;
    - the best score lives in the prefix user's AppData (Wine sets APPDATA from its own
      profile, whatever the environment says), one folder for every game of the run: each game
      starts with it cleared unless its environment names it as XDG_DATA_HOME, as a game
      following another on the same data does;
    - the game is the Wine process itself (the window's _NET_WM_PID is its pid); it runs in a
      session of its own, so a kill takes its whole process group, whatever it started too;
    - its streams end lines in CR LF, read back as LF; WINEDEBUG=-all keeps Wine's own fixme and
      err lines out of them."""

    @staticmethod
    @functools.lru_cache(maxsize=None)
    def prefix():
        folder = tempfile.mkdtemp(prefix="zelto-wine-")
        env = {**os.environ, **Wine.environment(folder)}
        server = os.path.join(os.path.dirname(shutil.which(LAUNCHER[0]) or ""), "wineserver")
        server = [server if os.access(server, os.X_OK) else "wineserver"]
        subprocess.run([*server, "--persistent"], env=env, check=True, timeout=60)

        def remove():
            subprocess.run([*server, "--kill"], env=env, timeout=60)
            shutil.rmtree(folder, ignore_errors=True)
        atexit.register(remove)
        # Its messages (the prefix created, a missing 32-bit loader) are Wine's, not the game's;
        # into a file, as the services it starts keep a pipe open for as long as they run.
        with tempfile.TemporaryFile() as log:
            if subprocess.run([*LAUNCHER, "wineboot", "--init"], env=env, timeout=300,
                              stdin=subprocess.DEVNULL, stdout=log, stderr=log).returncode:
                log.seek(0)
                raise AssertionError(f"wineboot failed:\n{log.read().decode(errors='replace')}")
        users = [user for user in pathlib.Path(folder, "drive_c", "users").iterdir()
                 if user.name != "Public"]
        assert len(users) == 1, users  # the profile of the one user running Wine
        return folder, str(users[0] / "AppData" / "Roaming")

    @staticmethod
    def environment(folder):
        return {"WINEPREFIX": folder, "WINEDEBUG": "-all"}

    @staticmethod
    def start(env, named):
        """The environment and data folder of a game; named is the XDG_DATA_HOME it was given."""
        folder, roaming = Wine.prefix()
        if named != roaming:
            shutil.rmtree(pathlib.Path(roaming, "repair-zelto"), ignore_errors=True)
        return {**env, **Wine.environment(folder)}, roaming

    @staticmethod
    def text(text):
        return text.replace("\r\n", "\n")


class Output:
    """A stream of the game in a scratch file: a pipe could fill up and block the game."""

    def __init__(self):
        self.file = tempfile.NamedTemporaryFile(prefix="zelto-")

    def text(self):
        with open(self.file.name, "rb") as file:  # a handle of its own: the game's offset stays
            text = file.read().decode("utf-8", "replace")
        return Wine.text(text) if WINE else text

    def lines(self, start=0):
        text = self.text()  # whole lines only: a line still being written waits for its end
        return text[:text.rfind("\n") + 1].splitlines(keepends=True)[start:]


class FrameCounter:
    """Counts the frames the game presents by the X server's DAMAGE reports on its window, each
    acknowledged at once: swaps faster than that merge into one, so the count never runs ahead."""

    def __init__(self, window):
        self.count, self.x = 0, display.Display()
        self.x.damage_query_version()
        self.damage = self.x.create_resource_object("window", window.id).damage_create(
            damage.DamageReportNonEmpty)
        self.x.sync()
        threading.Thread(target=self._pump, daemon=True).start()

    def _pump(self):
        try:
            while True:
                if self.x.next_event().type == self.x.extension_event.DamageNotify:
                    self.count += 1
                    self.x.damage_subtract(self.damage)
                    self.x.flush()
        except Exception:  # the connection closed, or the window went with the game
            return

    def wait(self, frames, timeout=60):
        target = self.count + frames
        wait_until(lambda: self.count >= target, timeout, f"{frames} frames", interval=0.02)


class Game:
    """The game process, started in a build folder; leaving the context kills what is left."""

    def __init__(self, *args, cwd=None, stdin=subprocess.DEVNULL, env=None, binary=BINARY):
        self.out, self.err, self.x, self.frames = Output(), Output(), server(), None
        # A data folder of its own, unless env names one: no game reads or writes the real
        # home's best score, or sees one an earlier game saved.
        self.scratch = tempfile.TemporaryDirectory(prefix="zelto-data-")
        named = (env or {}).get("XDG_DATA_HOME")
        env = {**SILENT, **os.environ, "XDG_DATA_HOME": self.scratch.name, **(env or {})}
        self.data = env["XDG_DATA_HOME"]
        if WINE:
            env, self.data = Wine.start(env, named)
        self.process = subprocess.Popen([*LAUNCHER, binary, *args], stdin=stdin,
                                        stdout=self.out.file, stderr=self.err.file,
                                        cwd=cwd or os.path.dirname(binary), env=env,
                                        start_new_session=WINE)

    def best_score(self):
        """The text of the game's best-score file, None when there is none."""
        path = pathlib.Path(self.data, "repair-zelto", "best-score")
        return path.read_text() if path.exists() else None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        if WINE:  # the group outlives its leader until waited for: no other group has its id
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        self.process.kill()  # a no-op once the game has exited
        self.process.wait(timeout=60)
        for resource in (self.process.stdin, self.frames and self.frames.x, self.out.file,
                         self.err.file):
            if resource:
                resource.close()
        self.scratch.cleanup()

    def wait_exit(self, timeout=60):
        return self.process.wait(timeout=timeout)

    def started(self):  # how often "START" stood alone on a line of standard output
        return self.out.lines().count("START\n")

    def wait_for_window(self, timeout=START_TIMEOUT):
        def find():
            if self.process.poll() is not None:
                raise AssertionError(f"the game exited with {self.process.returncode}:\n"
                                     f"{self.out.text()[-3000:]}\n{self.err.text()}")
            # Only a mapped window takes the focus and can be read back; --all, or xdotool
            # takes any window of that name, another game's included.
            return xdotool("search", "--all", "--onlyvisible", "--pid", str(self.process.pid),
                           "--name", "^Repair Zelto$").split()
        found = wait_until(find, timeout, "the game window")
        self.window = self.x.create_resource_object("window", int(found[0]))
        self.frames = FrameCounter(self.window)

    def key_down(self, key, event=X.KeyPress):
        if event == X.KeyPress:
            self.window.set_input_focus(X.RevertToParent, X.CurrentTime)
        xtest.fake_input(self.x, event, self.x.keysym_to_keycode(XK.string_to_keysym(key)))
        self.x.sync()  # the server has handled the event when this returns

    def key_up(self, key):
        self.key_down(key, X.KeyRelease)

    def hold(self, key, until=None, what="", frames=3):
        """Holds a key for three frames presented (and until the picture shows until, if
        given), then releases it for three; returns that picture. The first report may be of a
        swap handled before the key event, the second of a frame that polled its events just
        before the event came; the third frame began after that swap, so it saw the event."""
        self.key_down(key)
        try:
            self.frames.wait(frames)
            image = self.wait_for_screen(until, what, 30) if until else None
        finally:
            self.key_up(key)
        self.frames.wait(frames)
        return image

    def toggle(self, key, predicate, what, timeout=30):
        self.hold(key)
        return self.wait_for_screen(predicate, what, timeout)

    def quit(self):
        self.key_down("Escape")  # the window goes in the first frame that sees it
        try:
            return self.wait_exit()
        finally:
            self.key_up("Escape")

    def screenshot(self):
        """The window's pixels: without a compositor, the last frame presented."""
        shape = self.window.get_geometry()
        raw = self.window.get_image(0, 0, shape.width, shape.height, X.ZPixmap, 0xFFFFFFFF)
        return Image.frombytes("RGB", (shape.width, shape.height), raw.data, "raw", "BGRX")

    def wait_for_screen(self, predicate, what, timeout=60):
        def check():
            self.last = self.screenshot()
            return self.last if predicate(self.last) else None
        try:
            return wait_until(check, timeout, what, interval=0.3)
        except AssertionError:
            self.last.save(LAST_PICTURE)
            raise
