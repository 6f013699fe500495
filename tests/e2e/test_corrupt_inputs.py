"""Damaged files in a copy of the game's tree: truncated and garbage models, material files,
images and fonts, and an empty shader stage. A loader that can tell reports the damage on the
console; either way the game reaches its title, starts on Enter and ends with status 0."""

import os
import random
import re
import shutil
import unittest

import screens as S
from harness import Game, copy_build_without

MODELS = os.path.join("External", "Models")
FONTS = os.path.join("External", "Fonts")


def truncate(share):
    def damage(path):
        with open(path, "rb") as file:
            data = file.read()
        with open(path, "wb") as file:
            file.write(data[:int(len(data) * share)])
    return damage


def garbage(path):
    """The same number of bytes, random (seeded, so a failure can be replayed)."""
    size = os.path.getsize(path)
    with open(path, "wb") as file:
        file.write(random.Random(size).randbytes(size))


def empty(path):
    open(path, "wb").close()


class CorruptInputs(unittest.TestCase):
    def run_damaged(self, relative, damage, title_text=S.TITLE_TEXTS[1]):
        """Starts the game on a tree with one damaged file, plays it from the title to START
        and quits; returns the console output. title_text is a title line whose font is
        intact, to know the title is up."""
        root, build = copy_build_without()
        self.addCleanup(shutil.rmtree, root)
        damage(os.path.join(root, relative))
        with Game(cwd=build) as game:
            game.wait_for_window()
            game.wait_for_screen(lambda image: S.shows(image, title_text), 120, what="the title")
            game.toggle("Return", lambda image: not S.shows(image, title_text), "play")
            self.assertEqual(len(re.findall(r"^START$", game.stdout(), re.MULTILINE)), 1)
            game.tap("Escape")
            self.assertEqual(game.wait_exit(), 0)
            # Sanitizer reports and fatal messages go to standard error.
            self.assertEqual(game.err.text(), "")
            return game.stdout()

    def errors(self, out):
        return [line for line in out.splitlines() if line.startswith("ERROR")]

    def test_damaged_models_are_reported_by_the_importer(self):
        cases = [
            ("truncated", os.path.join(MODELS, "Stone", "stone.obj"), truncate(0.4)),
            ("garbage", os.path.join(MODELS, "Zelto", "zelto_final1.obj"), garbage),
            ("truncated material", os.path.join(MODELS, "Zelto", "zelto_final1.mtl"),
             truncate(0.5)),
        ]
        for name, relative, damage in cases:
            with self.subTest(name):
                out = self.run_damaged(relative, damage)
                self.assertTrue(any(line.startswith("ERROR::ASSIMP:: ")
                                    for line in out.splitlines()), out[-2000:])

    def test_garbage_material_file_is_skipped_without_a_message(self):
        # The importer skips lines it cannot read: nothing to report, nothing to break.
        out = self.run_damaged(os.path.join(MODELS, "Torus", "torus.mtl"), garbage)
        self.assertEqual(self.errors(out), [])

    def test_unreadable_images_become_placeholders_silently(self):
        for name, relative, damage in [
                ("truncated", os.path.join(MODELS, "Torus", "track_diffuse.png"), truncate(0.5)),
                ("garbage", os.path.join(MODELS, "Skybox", "sky_stars.png"), garbage)]:
            with self.subTest(name):
                out = self.run_damaged(relative, damage)
                self.assertEqual(self.errors(out), [])

    def test_unreadable_font_is_reported_and_the_other_fonts_draw(self):
        out = self.run_damaged(os.path.join(FONTS, "AmaticSC-Bold.TTF"), garbage)
        self.assertIn("ERROR::FREETYPE: Failed to load font", out.splitlines())

    def test_font_with_its_outlines_cut_off_is_reported(self):
        # The table directory and metrics survive, the glyph outlines do not: FreeType opens
        # the face and hands out empty glyphs. Blank menu text with a silent console leaves a
        # player nothing to go on, so the loader must say that the font is damaged.
        out = self.run_damaged(os.path.join(FONTS, "AGENCYR.TTF"), truncate(0.3),
                               title_text=S.TITLE_TEXTS[0])
        self.assertTrue(any(line.startswith(("ERROR::FREETYPE", "ERROR::FREETYTPE"))
                            for line in out.splitlines()), self.errors(out))

    def test_empty_shader_stage_fails_to_compile_and_link(self):
        out = self.run_damaged(os.path.join("Shader", "NormalMapping.vertex"), empty)
        lines = self.errors(out)
        self.assertIn("ERROR::SHADER::VERTEX::COMPILATION_FAILED", lines)
        self.assertIn("ERROR::SHADER::PROGRAM::LINKING_FAILED", lines)
        self.assertEqual(len(lines), 2, lines)


if __name__ == "__main__":
    unittest.main()
