#!/usr/bin/python3
"""Soak run: the real game under random player input for a while, watched from outside.

    tools/soak.py [DURATION_SECONDS] [--binary PATH] [--seed N] [--shot PNG]

Starts the game (by default the AddressSanitizer + UBSan build, build-asan/repair_zelto) on
the display in DISPLAY, waits for its first frames (the title), then holds and releases every
key of the key table at random (Enter, P, F1, F2, F3, F5, F6, F7, F9, L, C, A, D, Space and
the arrows, so the debug camera is flown too) and moves the mouse, never pressing Escape
until the end. Reports:

- frames: the frames the game presented, counted through the X server's DAMAGE extension
  (every buffer swap damages the window), so the count does not depend on the game's state;
- errors: every sanitizer report on standard error (any standard error output at all is
  listed), every console line starting with "ERROR" and every driver debug line of
  Type = Error (Performance and other notes are counted, not failed);
- memory: the resident set (VmRSS) at the title, at the end of the first minute, and at the
  end, with the peak of the first minute and the median of the last third.

Exits 1 on a sanitizer report, an error line, a crash, a hang (no frame for STALL_SECONDS),
a non-zero exit status, or when the resident set over the last third of the run exceeds the
first minute's peak by more than GROWTH_SHARE plus GROWTH_SLACK_MIB (see there). Runs shorter
than three minutes take their first third as the "first minute".
"""

import argparse
import os
import random
import re
import subprocess
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import screens as S  # noqa: E402
from harness import START_TIMEOUT, Game, wait_until, xdotool  # noqa: E402

KEYS = ["Return", "p", "F1", "F2", "F3", "F5", "F6", "F7", "F9", "l", "c", "a", "d", "space",
        "Up", "Down", "Left", "Right"]
HOLD_SECONDS = (0.05, 2.5)     # how long one random press lasts
PAUSE_SECONDS = (0.05, 0.4)    # between two random actions
MOUSE_STEP = 200               # pixels, largest relative move per axis
SAMPLE_SECONDS = 5.0           # resident set sampling period

# Memory allowed to grow after the first minute: the median resident set of the run's last
# third may exceed the first minute's peak by GROWTH_SHARE of it plus GROWTH_SLACK_MIB. By
# then every program, model and texture is loaded and llvmpipe has compiled the shader
# variants of the states the first minute visited; what may still come is a variant for a
# rarely hit combination of toggles (a few MiB each) and allocator fragmentation. Over five
# minutes at 10 to 20 frames a second, a leak of a few KiB per frame passes the bound.
GROWTH_SHARE = 0.05
GROWTH_SLACK_MIB = 24

# A game that presents no frame for this long has hung (frames take well under a second,
# even under the sanitizers on llvmpipe).
STALL_SECONDS = 15.0

SANITIZER = re.compile(r"ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:|"
                       r"SUMMARY: (Address|Undefined|Leak)Sanitizer")
DEBUG_TYPE = re.compile(r"\[Source = [^,]*, Type = ([^,]*), Severity")


def rss_mib(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1]) / 1024.0
    except OSError:
        pass
    return None


def sanitized(binary):
    with open(binary, "rb") as file:
        return b"libasan.so" in file.read()


def sanitizer_environment(binary):
    """Sanitizer settings, added to any the caller set. The small quarantine (default
    256 MiB) makes ASan's hold on freed memory level off within the first minute instead of
    looking like growth later; leaks are checked at exit with the repository's suppressions
    for the system's GL, X11 and font libraries.

    Mesa's software driver keeps two small blocks to the end and is unloaded when the window
    system is terminated, before the leak check runs; its frames then have no module name and
    no suppression can match them. Preloading the driver keeps it loaded to the end, so its
    blocks stay reachable (ASan must then be told not to insist on coming first)."""
    env = {}
    if not sanitized(binary):
        return env
    options = os.environ.get("ASAN_OPTIONS", "detect_leaks=1")
    if "quarantine_size_mb" not in options:
        options += ":quarantine_size_mb=16"
    driver = "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"
    if os.path.exists(driver) and "LD_PRELOAD" not in os.environ:
        env["LD_PRELOAD"] = driver
        options += ":verify_asan_link_order=0"
    env["ASAN_OPTIONS"] = options
    if "LSAN_OPTIONS" not in os.environ:
        env["LSAN_OPTIONS"] = f"suppressions={ROOT}/tools/lsan.supp:print_suppressions=0"
    if "UBSAN_OPTIONS" not in os.environ:
        env["UBSAN_OPTIONS"] = "print_stacktrace=1:halt_on_error=1"
    return env


class Console:
    """Reads the game's standard output as it comes and sorts out the lines that matter. A
    driver message may span lines (compiler logs do); its fields close its last line."""

    def __init__(self, stream):
        self.stream = stream
        self.read = 0
        self.errors = []
        self.debug_types = {}
        self._message = []  # lines of a driver message whose fields have not come yet

    def scan(self):
        lines = self.stream.lines(self.read)
        self.read += len(lines)
        for line in lines:
            line = line.rstrip("\n")
            if line.startswith("ERROR"):
                self.errors.append(line)
            if line.startswith("OpenGL Error: "):
                self._message = []
            if line.startswith("OpenGL Error: ") or self._message:
                self._message.append(line)
                kind = DEBUG_TYPE.search(line)
                if kind:
                    self.debug_types[kind.group(1)] = self.debug_types.get(kind.group(1), 0) + 1
                    if kind.group(1) == "Error":
                        self.errors.append(" / ".join(self._message))
                    self._message = []


class Memory:
    """Resident set samples of the game, the first minute's peak and the level at the end."""

    def __init__(self, pid, first_minute):
        self.pid = pid
        self.first_minute = first_minute
        self.samples = [(0.0, rss_mib(pid))]
        self.first_peak = self.samples[0][1]
        self.first_end = self.first_peak

    def sample(self, elapsed):
        rss = rss_mib(self.pid)
        if rss is None:
            return
        self.samples.append((elapsed, rss))
        if elapsed <= self.first_minute + SAMPLE_SECONDS / 2:
            self.first_peak = max(self.first_peak, rss)
            self.first_end = rss

    def limit(self):
        return self.first_peak * (1 + GROWTH_SHARE) + GROWTH_SLACK_MIB

    def late(self, seconds):
        """The median of the last third's samples: the resident set swings by 20 MiB and more
        from one sample to the next (llvmpipe's scratch memory, the sanitizer's quarantine),
        while a leak lifts every later sample."""
        late = sorted(m for t, m in self.samples if t >= seconds * 2 / 3)
        return late[len(late) // 2] if late else self.samples[-1][1]


class Player:
    """Random presses and mouse moves; keeps track of held keys so each is released."""

    def __init__(self, game, rng):
        self.game = game
        self.rng = rng
        self.held = {}  # key -> release time
        self.presses = {}
        self.moves = 0

    def step(self, now):
        for key, release in list(self.held.items()):
            if now >= release:
                self.game.key_up(key)
                del self.held[key]
        roll = self.rng.random()
        if roll < 0.6:
            key = self.rng.choice(KEYS)
            if key not in self.held:
                self.game.key_down(key)
                self.held[key] = now + self.rng.uniform(*HOLD_SECONDS)
                self.presses[key] = self.presses.get(key, 0) + 1
        elif roll < 0.8:
            dx = self.rng.randint(-MOUSE_STEP, MOUSE_STEP)
            dy = self.rng.randint(-MOUSE_STEP, MOUSE_STEP)
            xdotool("mousemove_relative", "--", str(dx), str(dy))
            self.moves += 1

    def release_all(self):
        for key in list(self.held):
            self.game.key_up(key)
        self.held.clear()


class Run:
    """One soak run: the game, the random player and what is watched."""

    def __init__(self, game, rng, duration):
        self.game = game
        self.rng = rng
        self.duration = duration
        self.console = Console(game.out)
        self.player = Player(game, rng)
        self.memory = Memory(game.process.pid, min(60.0, duration / 3.0))
        self.frames = 0
        self.seconds = 0.0
        self.longest_stall = 0.0  # seconds between samples without a presented frame
        self.ended_by_itself = False

    def play(self):
        frames_start = self.game.frames.count
        started = time.monotonic()
        next_sample = started + SAMPLE_SECONDS
        frames_at_sample, stall = frames_start, 0.0
        while time.monotonic() - started < self.duration:
            if self.game.process.poll() is not None:
                self.ended_by_itself = True
                break
            now = time.monotonic()
            self.player.step(now)
            self.console.scan()
            if now >= next_sample:
                next_sample += SAMPLE_SECONDS
                self.memory.sample(now - started)
                count = self.game.frames.count
                stall = stall + SAMPLE_SECONDS if count == frames_at_sample else 0.0
                self.longest_stall = max(self.longest_stall, stall)
                frames_at_sample = count
            time.sleep(self.rng.uniform(*PAUSE_SECONDS))
        self.frames = self.game.frames.count - frames_start
        self.seconds = time.monotonic() - started
        self.rss_end = rss_mib(self.game.process.pid)

    def look(self, shot):
        """What the screen shows at the end: the game-over screen with the final score (the
        score counts frames of play from 10), or the score of a game still going."""
        try:
            image = self.game.screenshot()
        except Exception as error:  # a game that has gone has no screen
            return f"no screenshot ({error})"
        if shot:
            image.save(shot)
        if S.shows(image, S.GAME_OVER):
            return f"game over, final score {S.final_score(image)}"
        score = S.score(image)
        return "no game over; score " + (str(score) if score is not None else "not readable")

    def quit(self):
        self.player.release_all()
        self.game.key_down("Escape")
        try:
            status = self.game.wait_exit(timeout=300)  # the leak check at exit takes a while
        except subprocess.TimeoutExpired:
            status = "none: the game did not end on Escape"
        self.game.key_up("Escape")
        self.console.scan()
        return status


def report(run, status, screen, stderr):
    """Prints the figures and returns the list of failures."""
    memory, console = run.memory, run.console
    late = memory.late(run.seconds)
    sanitizer = [line for line in stderr.splitlines() if SANITIZER.search(line)]
    failures = []
    if run.ended_by_itself:
        failures.append(f"the game ended by itself after {run.seconds:.0f} s")
    if status != 0:
        failures.append(f"exit status {status}")
    if run.longest_stall >= STALL_SECONDS:
        failures.append(f"no frame for {run.longest_stall:.0f} s")
    if sanitizer:
        failures.append(f"{len(sanitizer)} sanitizer report lines")
    if console.errors:
        failures.append(f"{len(console.errors)} error lines on the console")
    if late > memory.limit():
        failures.append(f"resident set at {late:.1f} MiB over the last third, over the limit "
                        f"{memory.limit():.1f} MiB set by the first minute")

    mib = lambda value: "gone" if value is None else f"{value:.1f} MiB"  # noqa: E731
    presses = run.player.presses
    print(f"Frames presented: {run.frames} in {run.seconds:.0f} s "
          f"({run.frames / max(run.seconds, 1):.1f} per second; counted from window damage); "
          f"longest stretch without a frame under {run.longest_stall + SAMPLE_SECONDS:.0f} s")
    print(f"Screen at the end: {screen}")
    print(f"Input: {sum(presses.values())} key presses "
          f"({', '.join(f'{k} {n}' for k, n in sorted(presses.items()))}), "
          f"{run.player.moves} mouse moves")
    print(f"Resident set: start {mib(memory.samples[0][1])}, after {memory.first_minute:.0f} s "
          f"{mib(memory.first_end)} (peak {mib(memory.first_peak)}), end {mib(run.rss_end)}, "
          f"median of the last third {mib(late)}; limit {mib(memory.limit())}")
    print("Resident set samples (s: MiB): " +
          ", ".join(f"{t:.0f}: {m:.0f}" for t, m in memory.samples))
    print("Driver messages by type: " +
          (", ".join(f"{k} {n}" for k, n in sorted(console.debug_types.items())) or "none"))
    print(f"Console error lines: {len(console.errors)}")
    for line in console.errors[:20]:
        print(f"  {line}")
    print(f"Standard error: {len(stderr.splitlines())} lines, "
          f"{len(sanitizer)} sanitizer report lines")
    for line in stderr.splitlines()[:40]:
        print(f"  {line}")
    print(f"Exit status: {status}")
    return failures


def soak(duration, binary, seed, shot):
    print(f"Soak: {duration:.0f} s of random input on {binary} (seed {seed}), "
          f"display {os.environ.get('DISPLAY')}", flush=True)
    env = sanitizer_environment(binary)
    with Game(cwd=os.path.dirname(binary), binary=binary, env=env) as game:
        game.wait_for_window(START_TIMEOUT * 3)  # the sanitizer build starts slower
        wait_until(lambda: game.process.poll() is not None or game.frames.count >= 3,
                   START_TIMEOUT, what="the first frames")
        run = Run(game, random.Random(seed), duration)
        run.play()
        if run.ended_by_itself:
            screen, status = "none: the game had ended", game.wait_exit()
        else:
            screen = run.look(shot)
            status = run.quit()
        stderr = game.err.text()
    failures = report(run, status, screen, stderr)
    print("Result: " + ("PASS" if not failures else "FAIL: " + "; ".join(failures)), flush=True)
    return 0 if not failures else 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("duration", nargs="?", type=float, default=300.0,
                        help="seconds of random input (default 300)")
    parser.add_argument("--binary", default=os.environ.get(
        "ZELTO_BINARY", os.path.join(ROOT, "build-asan", "repair_zelto")),
        help="the game binary, in a build folder directly under the repository")
    parser.add_argument("--seed", type=int, default=1, help="random seed of the input")
    parser.add_argument("--shot", help="save a screenshot of the last frame here")
    args = parser.parse_args()
    if not os.environ.get("DISPLAY"):
        sys.exit("soak.py needs a display: set DISPLAY (tools/xvfb.sh starts one)")
    sys.exit(soak(args.duration, os.path.abspath(args.binary), args.seed, args.shot))


if __name__ == "__main__":
    main()
