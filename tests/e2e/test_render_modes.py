"""The render keys as the player sees them: each changes the picture as its feature says, and
pressing it a second time gives the first picture back. Every comparison is made while the
game is paused, so the track, the stones and the sky stand still; only the small ball that
circles above the robot moves, and the pixels it sweeps are left out."""

import time
import unittest

import numpy as np

import glyphs
import screens as S
from glyphs import stray_white
from harness import Game, box_slices

# Regions of the 800 by 600 picture in text coordinates (x, y, w, h; origin bottom left).
SKY = (0, 0, 300, 300)          # empty sky at the bottom left: skybox only
PLANET = (100, 330, 210, 200)   # the planet, drawn by the same program in every mode
TRACK = (330, 110, 470, 150)    # the ring in front of the robot with its stones
SCENE = [SKY, PLANET, TRACK]
CLEAR = np.array([0, 0, 102])   # the window's clear colour (0, 0, 0.4) in 8 bits

# A pixel has changed when a channel moved by more than this: far above the one or two levels
# by which llvmpipe's output of one frame may differ from the next, far below any change of
# lighting, filtering or shape worth the name.
LEVELS = 40
# Pixels of a region allowed to differ from the baseline once a key has been pressed twice:
# a few for antialiased edges of the ball's sweep that the mask may miss.
RESTORED = 20


def pixels(image, box):
    rows, columns = box_slices(image, box)
    return np.asarray(image, dtype=np.int16)[rows, columns]


def clear_share(image, box):
    """Share of a region showing the bare clear colour (within 3 levels)."""
    return float((np.abs(pixels(image, box) - CLEAR).max(axis=2) <= 3).mean())


def sharpness(image, box):
    """Mean absolute Laplacian of the brightness: the energy of detail at the pixel scale.
    Minified textures sampled without mip-maps alias into pixel-sized noise and raise it."""
    g = pixels(image, box).mean(axis=2)
    return float(np.abs(4 * g[1:-1, 1:-1] - g[:-2, 1:-1] - g[2:, 1:-1]
                        - g[1:-1, :-2] - g[1:-1, 2:]).mean())


def glyph_boxes(text):
    """The quads of a text's glyphs in window pixels (left, top, right, bottom; top row 0):
    the extent of each glyph's bitmap, found by drawing it alone at its pen position."""
    typeface, string, x, y = text
    font = glyphs.face(typeface)
    pen, boxes = int(x), []
    for char in string:
        rows, columns = np.nonzero(glyphs.coverage(typeface, char, pen, y, S.W, S.H))
        if len(rows):
            boxes.append((columns.min(), rows.min(), columns.max() + 1, rows.max() + 1))
        pen += int(font.getlength(char))
    return boxes


def quad_fill(image, text):
    """Share of the text's glyph quads that is text white: about the glyphs' ink share while
    blending makes the quads' empty parts transparent, all of it once they are opaque."""
    white = glyphs.whiteness(image)
    inside = [white[top:bottom, left:right].mean() for left, top, right, bottom in
              glyph_boxes(text)]
    return float(np.mean(inside))


class RenderModes(unittest.TestCase):
    def setUp(self):
        self.game = Game()
        self.addCleanup(self.game.__exit__, None, None, None)
        S.start_play(self.game)
        self.game.toggle("p", lambda image: S.shows(image, S.PAUSE), "the pause")
        # The pixels that move while paused: the ball's sweep over a few frames, grown by a
        # margin for its glow.
        shots = []
        for _ in range(4):
            time.sleep(0.6)
            shots.append(self.game.screenshot())
        first = np.asarray(shots[0], dtype=np.int16)
        moving = np.zeros(first.shape[:2], dtype=bool)
        for shot in shots[1:]:
            moving |= np.abs(np.asarray(shot, dtype=np.int16) - first).max(axis=2) > 0
        grown = moving.copy()
        for d in range(-8, 9, 2):
            grown |= np.roll(moving, d, axis=0) | np.roll(moving, d, axis=1)
        self.moving = grown
        self.base = shots[0]

    def tearDown(self):
        self.game.tap("Escape")
        self.assertEqual(self.game.wait_exit(), 0)

    def changed(self, image, box, reference=None, direction=None):
        """Pixels of a region that differ from the baseline (or a given reference) by more
        than LEVELS, leaving out the ball's sweep; direction "darker" counts only those that
        lost light."""
        reference = self.base if reference is None else reference
        rows, columns = box_slices(image, box)
        before = pixels(reference, box)
        after = pixels(image, box)
        delta = (before - after) if direction == "darker" else np.abs(after - before)
        return int(((delta.max(axis=2) > LEVELS) & ~self.moving[rows, columns]).sum())

    def assert_restored(self, image):
        for box in SCENE:
            self.assertLessEqual(self.changed(image, box), RESTORED, f"region {box}")
        for label in S.DEFAULT_LABELS + [S.PAUSE]:
            self.assertTrue(S.shows(image, label), label[1])

    def wait_restored(self, key):
        self.game.toggle(key, lambda image: all(self.changed(image, box) <= RESTORED
                                                for box in SCENE), f"{key} pressed again")
        self.assert_restored(self.game.screenshot())

    def test_f7_switches_to_shadow_mapping_and_back_to_normal_mapping(self):
        image = self.game.toggle("F7", lambda image: S.shows(image, S.SHADOW_MAP), "shadows")
        time.sleep(1.0)
        image = self.game.screenshot()
        self.assertTrue(S.hides(image, S.NORMAL_MAP))
        # The stones and the robot cast shadows on the track: many track pixels lose light
        # (over 1500 on llvmpipe; 300 asks for shadows, not for their exact size).
        self.assertGreater(self.changed(image, TRACK, direction="darker"), 300)
        # The sky and the planet are drawn by the unlit program in both modes.
        self.assertLessEqual(self.changed(image, SKY), RESTORED)
        self.assertLessEqual(self.changed(image, PLANET), RESTORED)
        self.wait_restored("F7")

    def test_f6_turns_bloom_off_and_on(self):
        image = self.game.toggle("F6", lambda image: S.hides(image, S.BLOOM), "bloom off")
        time.sleep(1.0)
        image = self.game.screenshot()
        for label in (S.NORMAL_MAP, S.MIPMAP, S.BLENDING):
            self.assertTrue(S.shows(image, label), label[1])
        # Without the composite no blurred glow is added: the clear colour kept in the
        # bright image, blurred over the whole picture, gave the sky its blue. It at least
        # halves (about 35 to 8 levels of brightness on llvmpipe).
        blue = pixels(image, SKY)[..., 2].mean()
        self.assertLess(blue, pixels(self.base, SKY)[..., 2].mean() / 2)
        # The lit track and the planet change too: the whole picture skipped the composite.
        self.assertGreater(self.changed(image, TRACK), 5000)
        self.assertGreater(self.changed(image, PLANET), 2000)
        self.wait_restored("F6")

    def test_f3_draws_lines_and_back(self):
        # The label shows at the press, while the picture is still filled.
        self.game.press_until("F3", lambda: S.shows(self.game.screenshot(), S.WIREFRAME),
                              what="the wireframe label while F3 is held")
        # With bloom on the scene reaches the window through one full-screen quad; in line
        # mode only that quad's edges are drawn, so the window shows its clear colour.
        image = self.game.wait_for_screen(lambda image: clear_share(image, TRACK) > 0.9, 15,
                                          what="the lines")
        for box in SCENE:
            self.assertGreater(clear_share(image, box), 0.9, f"region {box}")
        # Without bloom the models themselves are drawn as lines: the clear colour shows
        # between the edges of the track's triangles, and the edges show as well.
        image = self.game.toggle("F6", lambda image: 0.1 < clear_share(image, TRACK) < 0.8,
                                 "the track's lines")
        self.assertGreater(clear_share(image, PLANET), 0.1)
        self.assertLess(clear_share(image, PLANET), 0.9)
        self.game.toggle("F6", lambda image: clear_share(image, TRACK) > 0.9, "bloom back")
        self.wait_restored("F3")
        self.assertTrue(S.hides(self.game.screenshot(), S.WIREFRAME))

    def test_f9_makes_the_text_quads_opaque_and_back(self):
        self.assertLess(quad_fill(self.base, S.PAUSE), 0.7)
        image = self.game.toggle("F9", lambda image: quad_fill(image, S.PAUSE) > 0.95,
                                 "opaque text quads")
        # The label goes with the release; with blending off it would show as white boxes.
        self.assertLessEqual(stray_white(image, (640, 0, 160, 30), []), 10)
        for label in (S.NORMAL_MAP, S.BLOOM, S.MIPMAP):
            self.assertGreater(quad_fill(image, label), 0.95, label[1])
        # The scene is drawn opaque anyway.
        for box in SCENE:
            self.assertLessEqual(self.changed(image, box), RESTORED, f"region {box}")
        # The label already shows while F9 is held; blending itself returns at the release.
        image = self.game.toggle(
            "F9", lambda image: S.shows(image, S.BLENDING) and quad_fill(image, S.PAUSE) < 0.7,
            "blending back")
        self.assert_restored(image)

    def test_f5_drops_mipmaps_and_back(self):
        image = self.game.toggle("F5", lambda image: S.hides(image, S.MIPMAP), "mipmaps off")
        time.sleep(1.0)
        image = self.game.screenshot()
        # The far track is minified: without mip-maps it aliases into pixel noise (about
        # +50% detail energy on llvmpipe; +20% separates it from any redraw noise).
        self.assertGreater(sharpness(image, TRACK), 1.2 * sharpness(self.base, TRACK))
        for label in (S.NORMAL_MAP, S.BLOOM, S.BLENDING):
            self.assertTrue(S.shows(image, label), label[1])
        self.wait_restored("F5")


if __name__ == "__main__":
    unittest.main()
