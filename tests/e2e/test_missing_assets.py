"""A start-up with nothing to load: the Shader and External folders missing. Every loader
reports, in start-up order, and the game still runs on the bare clear colour until Escape."""

import re
import shutil
import unittest

import numpy as np

from harness import Game, copy_build_without

PROGRAMS = 8  # stage-file pairs under Shader/, one with a geometry stage
FONTS = 4
# In load order; the stone model comes last, once or once per stone.
MODELS = ["Zelto/zelto_final1.obj", "Zelto/ball.obj", "Torus/torus.obj", "Skybox/skybox.obj",
          "Planet/planet.obj", "Rocket/rocket.obj", "Stone/stone.obj"]
CLEAR = np.array([0, 0, 102])  # (0, 0, 0.4) in 8 bits

SOURCES = "API|Window System|Shader Compiler|Third Party|Application|Other|Unknown"
TYPES = "Error|Deprecated Behavior|Undefined Behavior|Portability|Performance|Other|Unknown"
SEVERITIES = "High|Medium|Low|Unknown"
# The text of a driver message may span lines (compiler logs do), so the line format is
# matched from each "OpenGL Error: " to the closing bracket of its fields.
DEBUG_LINE = re.compile(rf"OpenGL Error: (.*?) \[Source = ({SOURCES}), Type = ({TYPES}), "
                        rf"Severity = ({SEVERITIES}), ID = (\d+)\]$", re.MULTILINE | re.DOTALL)


def first(lines, prefix):
    return next(i for i, line in enumerate(lines) if line.startswith(prefix))


def last(lines, prefix):
    return max(i for i, line in enumerate(lines) if line.startswith(prefix))


class MissingAssets(unittest.TestCase):
    def test_every_loader_reports_in_start_up_order_and_the_game_runs_on(self):
        root, build = copy_build_without("Shader", "External")
        self.addCleanup(shutil.rmtree, root)
        with Game(cwd=build) as game:
            game.wait_for_window()
            game.wait_for_output(r"Stone/stone\.obj")
            # Nothing can be drawn, text included: the window keeps the clear colour.
            game.wait_for_screen(lambda image: (np.abs(np.asarray(image, dtype=int) - CLEAR)
                                                .max(axis=2) <= 2).mean() > 0.99,
                                 what="the clear colour")
            game.hold("Return")
            game.wait_for_output(r"^START$", timeout=30)
            game.tap("Escape")
            self.assertEqual(game.wait_exit(), 0)
            self.assertEqual(game.err.text(), "")
            out = game.stdout()

        lines = out.splitlines()
        # Missing stage files are empty sources: each stage fails to compile, each program to
        # link; a file that does not exist is not a read error.
        self.assertEqual(out.count("ERROR::SHADER::VERTEX::COMPILATION_FAILED"), PROGRAMS)
        self.assertEqual(out.count("ERROR::SHADER::FRAGMENT::COMPILATION_FAILED"), PROGRAMS)
        self.assertEqual(out.count("ERROR::SHADER::GEOMETRY::COMPILATION_FAILED"), 1)
        self.assertEqual(out.count("ERROR::SHADER::PROGRAM::LINKING_FAILED"), PROGRAMS)
        self.assertNotIn("FILE_NOT_SUCCESFULLY_READ", out)
        # Start-up order: programs, then fonts, then models in their load order.
        fonts = [line for line in lines if line.startswith("ERROR::FREETYPE:")]
        self.assertEqual(fonts, ["ERROR::FREETYPE: Failed to load font"] * FONTS)
        self.assertLess(last(lines, "ERROR::SHADER::"), first(lines, "ERROR::FREETYPE:"))
        self.assertLess(last(lines, "ERROR::FREETYPE:"), first(lines, "ERROR::ASSIMP:: "))
        models = [line for line in lines if line.startswith("ERROR::ASSIMP:: ")]
        named = [next((m for m in MODELS if m in line), line) for line in models]
        self.assertEqual(named[:len(MODELS)], MODELS)
        self.assertEqual(set(named[len(MODELS):]) - {MODELS[-1]}, set(), "only stones follow")

        # Every driver message is printed in the one line format; with no linked program the
        # uses of the programs are API errors.
        messages = DEBUG_LINE.findall(out)
        self.assertEqual(len(messages), out.count("OpenGL Error: "))
        self.assertTrue(any(kind == "Error" and "glUseProgram" in text
                            for text, _, kind, _, _ in messages))


if __name__ == "__main__":
    unittest.main()
