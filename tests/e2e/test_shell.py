"""The program shell end to end: the command line and the window, Enter, the close button, and
start-ups on broken assets in scratch copies of the game's tree."""

import pathlib
import random
import re
import shutil
import subprocess
import tempfile
import time
import unittest
from collections import Counter

from PIL import Image
from Xlib import X, protocol

import screens as S
from harness import (NO_DISPLAY, ROOT, START_TIMEOUT, WINE, Game, server, wait_until,
                     xdotool)

FONT, MODEL = "ERROR::FREETYPE: Failed to load font", "ERROR::ASSIMP:: "
VERTEX, FRAGMENT, GEOMETRY = (f"ERROR::SHADER::{stage}::COMPILATION_FAILED" for stage in
                              ("VERTEX", "FRAGMENT", "GEOMETRY"))
LINK = "ERROR::SHADER::PROGRAM::LINKING_FAILED"
# Model files in load order; the stone comes last, once or once per stone.
MODELS = ["Zelto/zelto_final1.obj", "Zelto/ball.obj", "Torus/torus.obj", "Skybox/skybox.obj",
          "Planet/planet.obj", "Rocket/rocket.obj", "Stone/stone.obj"]
TEXTURE = "ERROR::TEXTURE:: Failed to load ../External/Models/"
SOUND = "ERROR::SOUND:: Failed to load ../External/Sounds/"
# Sound files in load order, after everything else.
SOUNDS = "start jump hit game_over speed_up pause resume music whoosh".split()
FLOOD_SECONDS = 5  # of play with a broken program


def garbage(data):
    return random.Random(len(data)).randbytes(len(data))  # seeded: a failure can be replayed


def cut(share):
    return lambda data: data[:int(len(data) * share)]


# (file, damage, the error lines it brings, why); in start-up order: programs, fonts, models,
# sounds. The track keeps its program and images, so that it must show in play.
DAMAGES = [
    ("Shader/BlurShader.fragment", cut(0), [FRAGMENT, LINK], "an empty stage: no glow"),
    ("External/Fonts/AmaticSC-Bold.TTF", garbage, [FONT], "no font at all"),
    ("External/Fonts/AGENCYR.TTF", cut(0.3), [FONT, FONT], "no outlines; at 30 and 20 pixels"),
    ("External/Models/Zelto/zelto_final1.obj", garbage, [MODEL], "no model at all"),
    ("External/Models/Zelto/ball.mtl", cut(0.5), [MODEL], "a material cut short"),
    ("External/Models/Torus/torus.obj",
     lambda data: data + b"v inf 0 0\nf -1/1/1 1/1/1 2/1/1\nf 1/99999/1 2/1/1 3/1/1\n",
     ["ERROR::MODEL:: ../External/Models/Torus/torus.obj: left out 2 faces"],
     "an infinite vertex; a uv index past the end"),
    ("External/Models/Skybox/skybox.mtl", garbage, [], "unreadable lines are skipped"),
    ("External/Models/Planet/planet.mtl",
     lambda data: data.replace(b"map_Kd planet_bands.png", b"map_Kd ."), [TEXTURE + "Planet/.: "],
     "an image that is a folder: a placeholder"),
    ("External/Models/Rocket/rocket.png", cut(0), [TEXTURE + "Rocket/rocket.png: "],
     "an empty image: a placeholder"),
    ("External/Models/Stone/stone.obj", cut(0.4), [MODEL], "cut short: no meshes"),
    ("External/Sounds/jump.wav", garbage, [SOUND + "jump.wav: "], "no sound file at all"),
    ("External/Sounds/music.wav", cut(0), [SOUND + "music.wav: "], "an empty file: no music"),
]


def top_corner(game):
    """The screen's top left 800 by 600 pixels, whatever window lies there."""
    raw = game.x.screen().root.get_image(0, 0, 800, 600, X.ZPixmap, 0xFFFFFFFF)
    return Image.frombytes("RGB", (800, 600), raw.data, "raw", "BGRX")


class Shell(unittest.TestCase):
    def start_in_copy(self, folders, damages=()):
        """The game in a scratch tree with the folders named beside its build folder."""
        root = pathlib.Path(self.enterContext(tempfile.TemporaryDirectory(prefix="zelto-")))
        (root / "build").mkdir()
        for folder in folders:
            shutil.copytree(pathlib.Path(ROOT, folder), root / folder)
        for relative, damage, _, _ in damages:
            (root / relative).write_bytes(damage((root / relative).read_bytes()))
        game = self.enterContext(Game(cwd=root / "build"))
        game.wait_for_window()
        return game

    def errors_after_quit(self, game):
        self.assertEqual((game.quit(), game.err.text()), (0, ""))  # no sanitizer report
        return [line for line in game.out.text().splitlines() if line.startswith("ERROR")]

    def test_a_fatal_start_up_failure_exits_with_status_1_and_never_waits_for_a_key(self):
        unparsable, nowhere = re.escape("Error: could not parse first two arguments!\n"), ":4095"
        # (arguments, environment, standard error as a pattern)
        for args, env, err in [(("wide", "768"), {}, unparsable),
                               (("1024", "tall"), {}, unparsable),
                               (("99999999999", "600"), {}, unparsable),
                               ((), {"DISPLAY": nowhere}, NO_DISPLAY.format(display=nowhere)
                                + r"\nERROR: Could not init glfw\n")]:
            # Standard input closed, or an open pipe that never delivers a line.
            for stdin in (subprocess.DEVNULL, subprocess.PIPE):
                with self.subTest(args=args, stdin=stdin), \
                        Game(*args, stdin=stdin, env=env) as game:
                    self.assertEqual(game.wait_exit(timeout=30), 1)
                    self.assertRegex(game.err.text(), rf"\A{err}\Z")
                    self.assertEqual(game.out.text(), "")

    def test_the_window_size_comes_from_the_first_two_arguments_or_is_refused(self):
        # (arguments, window size or why the window is refused, why); llvmpipe holds 16384
        # pixels a side in viewports, textures and renderbuffers, and 1 GB in one texture.
        for args, size, why in [
                ((), (800, 600), "the defaults"),
                (("1024", "768"), (1024, 768), "both read"),
                (("1024px", "768", "extra"), (1024, 768), "the rest ignored"),
                ((" +640", "480"), (640, 480), "a blank and a plus sign"),
                (("wide",), (800, 600), "one argument alone is not read"),
                (("4000", "3000"), (4000, 3000), "larger than the screen"),
                (("8000", "8000"), (8000, 8000), "bloom targets of 0.5 GB each"),
                (("-5", "600"), "is not positive", "GLFW asserts on a negative size"),
                (("-2147483648", "600"), "is not positive", "the smallest int"),
                (("2147483647", "600"), "exceeds the X11 limit", "it crashed the driver"),
                (("2147483647", "2147483647"), "exceeds the X11 limit", "it crashed GLFW"),
                (("100000", "100000"), "exceeds the X11 limit", "an X error ended the game"),
                (("40000", "40000"), "exceeds the X11 limit", "past a signed 16 bits"),
                (("65536", "600"), "exceeds the X11 limit", "wraps to 0 in 16 bits"),
                (("20000", "600"), "exceeds GL_MAX_VIEWPORT_DIMS", "a window, past the GL limits"),
                (("16384", "16384"), "is more than the driver can allocate", "2 GB a target")]:
            screen = server().screen()
            if WINE and not isinstance(size, str) and (
                    size[0] > screen.width_in_pixels or size[1] > screen.height_in_pixels):
                with self.subTest(why):
                    self.skipTest("Windows makes a new window no larger than the desktop")
                continue
            with self.subTest(why), Game(*args) as game:
                if isinstance(size, str):
                    self.assertEqual((game.wait_exit(), game.out.text()), (1, ""))
                    self.assertRegex(game.err.text(), rf"\AERROR: Could not open window\nWindow "
                                     rf"size {args[0]} x {args[1]} {size}[^\n]*\n\Z")
                    continue
                game.wait_for_window()
                shape = game.window.get_geometry()
                self.assertEqual((shape.width, shape.height), size)
                # The title is placed in command-line pixels: its middle top on the screen's
                # 800 by 600 corner shows it where an 800 by 600 window has it.
                game.window.configure(x=400 - size[0] // 2, y=0)
                wait_until(lambda: S.title_up(top_corner(game)), START_TIMEOUT,
                           "the title at its places", interval=0.3)
                self.assertEqual((game.err.text(), game.out.text()), ("", ""))

    def test_enter_starts_once_at_its_release_and_the_close_button_quits_with_status_0(self):
        with S.on_title() as game:
            game.key_down("Return")
            game.frames.wait(3)
            self.assertEqual((S.title_up(game.screenshot()), game.started()), (True, 0),
                             "the title stays while Enter is held")
            game.key_up("Return")
            game.wait_for_screen(S.playing, "play after the release")
            wait_until(game.started, 30, "START on standard output")
            game.hold("Return")  # means nothing in play
            # A picture whose score can be read: a bright stone may pass behind the digits.
            shown = S.score(game.wait_for_screen(S.playing, "the score in play"))
            # What a window manager's close button sends (Escape quits the other games here).
            game.window.send_event(protocol.event.ClientMessage(
                window=game.window, client_type=game.x.intern_atom("WM_PROTOCOLS"),
                data=(32, [game.x.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])))
            game.x.flush()
            self.assertEqual((game.wait_exit(), game.started(), game.err.text()), (0, 1, ""))
            self.assertRegex(game.best_score() or "", r"\A\d+\n\Z", "a game left in play is kept")
            self.assertGreaterEqual(int(game.best_score()), shown)

    def test_a_tap_quicker_than_a_frame_starts_the_game_once(self):
        with S.on_title() as game:
            game.window.set_input_focus(X.RevertToParent, X.CurrentTime)
            game.x.sync()
            xdotool("key", "Return")  # press and release back to back: both in one poll
            wait_until(game.started, 30, "START after the tap")
            game.frames.wait(3)
            self.assertEqual((game.started(), S.playing(game.screenshot())), (1, True))

    def test_without_shaders_and_assets_every_loader_reports_in_start_up_order(self):
        game = self.start_in_copy([])
        # Nothing can be drawn, text included: the window keeps the clear colour.
        game.wait_for_screen(lambda image: image.getcolors() == [(800 * 600, (0, 0, 102))],
                             "the clear colour (0, 0, 0.4)", START_TIMEOUT)
        game.hold("Return")
        wait_until(game.started, 30, "START")
        lines = self.errors_after_quit(game)
        # A missing stage file reads as an empty source: each of the eight programs fails to
        # compile its stages (one has a geometry stage) and to link.
        shaders = [line for line in lines if line.startswith("ERROR::SHADER::")]
        self.assertEqual(Counter(shaders), {VERTEX: 8, FRAGMENT: 8, GEOMETRY: 1, LINK: 8})
        # Programs, then the four fonts, then the models in their load order.
        self.assertEqual(lines[:len(shaders) + 4], shaders + [FONT] * 4)
        models = [next((m for m in MODELS if m in line), line) for line in
                  lines[len(shaders) + 4:-len(SOUNDS)]]
        self.assertEqual(models[:len(MODELS)], MODELS)
        self.assertLessEqual(set(models[len(MODELS):]), {MODELS[-1]}, "only stones follow")
        for line, name in zip(lines[-len(SOUNDS):], SOUNDS):
            self.assertTrue(line.startswith(f"{SOUND}{name}.wav: "), (line, name))
        # Driver messages are in the one line format (a compiler log may span lines); with no
        # program linked, using one is an API error.
        out = game.out.text()
        fields = re.findall(r"OpenGL Error: (.*?) \[Source = ([A-Za-z ]+), Type = ([A-Za-z ]+), "
                            r"Severity = (High|Medium|Low|Unknown), ID = \d+\]$", out, re.M | re.S)
        self.assertEqual(len(fields), out.count("OpenGL Error: "))
        self.assertIn(("API", "Error"), [f[1:3] for f in fields if "glUseProgram" in f[0]])

    def test_damaged_files_are_reported_where_the_loader_can_tell_and_the_game_plays(self):
        game = self.start_in_copy(["Shader", "External"], DAMAGES)
        game.frames.wait(3, START_TIMEOUT)
        # Only the heart font is whole: the title is blank, play shows three hearts, and the
        # track (no robot stands on it) where it belongs.
        game.toggle("Return", lambda image: S.hearts(image) == 3 and S.track_shows(image),
                    "three hearts and the track in play")
        # The empty stage leaves a program unlinked that every frame uses, and each use is a
        # driver message: each kind prints once in full, then as a count once a second at most;
        # the counts still held print when the game ends, so every frame's copies are counted.
        start, frames, begun = len(game.out.lines()), game.frames.count, time.monotonic()
        time.sleep(FLOOD_SECONDS)
        frames = game.frames.count - frames
        lines, expected = self.errors_after_quit(game), [line for row in DAMAGES for line in row[2]]
        seconds, printed = time.monotonic() - begun, game.out.lines()[start:]
        repeats = Counter(), Counter()
        for line in printed:
            if match := re.fullmatch(r"OpenGL message repeated (\d+) more times?: (.*)\n", line):
                repeats[0][match[2]] += int(match[1])  # copies
                repeats[1][match[2]] += 1  # lines
        self.assertGreaterEqual(sum(repeats[0].values()), frames, "each frame's copies counted")
        self.assertEqual(len(printed), sum(repeats[1].values()), printed)
        self.assertLessEqual(max(repeats[1].values()), seconds + 2, printed)  # and at the end
        out = game.out.text()
        for kind in repeats[0]:  # the first copy in full, or an empty line for a noisy id
            first = "" if re.search(r"ID = (2|131185)\]$", kind) else "OpenGL Error: " + kind
            self.assertLess(out.index(f"\n{first}\n"), out.index(kind))
        self.assertEqual(len(lines), len(expected), lines)
        for line, start in zip(lines, expected):
            self.assertTrue(line.startswith(start), (line, start))


if __name__ == "__main__":
    unittest.main()
