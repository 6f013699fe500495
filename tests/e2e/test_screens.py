"""One game on an 800 by 600 window as a player meets it: the title, help, play, the pause, the
render keys on the paused picture, help from play, and the end after three hits."""

import time
import unittest

import numpy as np

import screens as S
from harness import wait_until

# While paused only the ball circling the robot's head moves, away from these regions.
SKY = (0, 0, 300, 300)          # empty sky at the bottom left: skybox only
PLANET = (100, 330, 210, 200)   # the planet, drawn by the same program in every mode
TRACK = (330, 110, 470, 150)    # the ring in front of the robot, where the stones travel
PAUSED = (330, 430, 220, 100)   # around "Pause"
# A pixel changed when a channel moved by over LEVELS: llvmpipe's frames differ by a level or
# two, lighting, filtering or shape by far more. SAME changed pixels allow for the ball's glow.
LEVELS, SAME = 40, 20
STRAY = 20  # text white that no text accounts for: a few pixels of a star or the robot's glow
# The third hit comes within half a minute standing still; if not, the robot is steered round.
STAND_STILL, GIVE_UP = 90.0, 300.0


def changed(before, after, box, darker=False):
    """Pixels of a region that moved by more than LEVELS (that lost light, if darker)."""
    delta = S.pixels(before, box) - S.pixels(after, box)
    return int(((delta if darker else np.abs(delta)).max(axis=2) > LEVELS).sum())


def clear_share(image, box):  # the share of a region showing the clear colour (0, 0, 0.4)
    return (np.abs(S.pixels(image, box) - (0, 0, 102)).max(axis=2) <= 3).mean()


def sharpness(image, box):
    """Mean absolute Laplacian of the brightness: aliasing of unfiltered textures raises it."""
    g = S.pixels(image, box).mean(axis=2)
    return np.abs(4 * g[1:-1, 1:-1] - g[:-2, 1:-1] - g[2:, 1:-1] - g[1:-1, :-2] - g[1:-1, 2:])\
        .mean()


# (render key, the label it takes away, its picture next to the paused one, why)
RENDER_KEYS = [
    ("F7", S.NORMAL_MAP, lambda image, base: S.shows(image, S.SHADOW_MAP)
     and changed(base, image, TRACK, darker=True) > 300
     and changed(base, image, SKY) + changed(base, image, PLANET) <= SAME,
     "the stones and the robot shade the track (1500 pixels lose light on llvmpipe, 300 asks "
     "for shadows, not their size); the sky and the planet are unlit in both modes"),
    ("F6", S.BLOOM, lambda image, base: S.pixels(image, SKY)[..., 2].mean()
     < S.pixels(base, SKY)[..., 2].mean() / 2
     and changed(base, image, TRACK) > 5000 and changed(base, image, PLANET) > 2000,
     "no composite: the sky's blue from the blurred bright image at least halves (35 to 8 "
     "levels on llvmpipe); the lit track and the planet change"),
    ("F9", S.BLENDING, lambda image, base: S.stray_white(image, PAUSED, [S.PAUSE]) > 200
     and S.stray_white(image, (640, 0, 160, 30)) <= 10 and changed(base, image, TRACK) <= SAME,
     "the text quads are opaque (450 stray pixels around Pause on llvmpipe), the label goes at "
     "the release, the opaque scene stays"),
    ("F5", S.MIPMAP, lambda image, base: sharpness(image, TRACK) > 1.2 * sharpness(base, TRACK),
     "the minified far track aliases into pixel noise (+50 % on llvmpipe, +20 % is clear of "
     "redraw noise)"),
]


class Screens(unittest.TestCase):
    def score_above(self, game, value):
        wait_until(lambda: (S.score(game.screenshot()) or 0) > value, 30, f"score > {value}")

    def as_paused(self, image):
        """The paused picture: the same scene, the default labels, "Pause" drawn blended."""
        return (all(changed(self.base, image, box) <= SAME for box in (SKY, PLANET, TRACK))
                and all(S.shows(image, text) for text in S.DEFAULT_LABELS + [S.PAUSE])
                and S.hides(image, S.WIREFRAME)
                and S.stray_white(image, PAUSED, [S.PAUSE]) <= STRAY)

    def wireframe(self, game):
        """F3: the label at the press, the lines at the release. With bloom on the scene
        reaches the window through one full-screen quad, whose edges alone are drawn: the
        window shows its clear colour. Without bloom the models' own edges are drawn."""
        image = game.hold("F3", lambda image: S.shows(image, S.WIREFRAME), "the label")
        self.assertLess(clear_share(image, TRACK), 0.5)
        game.wait_for_screen(lambda image: min(clear_share(image, box) for box in
                                               (SKY, PLANET, TRACK)) > 0.9, "the quad's lines")
        game.toggle("F6", lambda image: 0.1 < clear_share(image, TRACK) < 0.8
                    and 0.1 < clear_share(image, PLANET) < 0.9, "the models' lines")
        game.toggle("F6", lambda image: clear_share(image, TRACK) > 0.9, "bloom back")

    def play_until_over(self, game):
        """The (hearts, score) read on the way to "Game Over", and its picture."""
        seen, start, image = [], time.monotonic(), game.screenshot()
        try:
            while not S.shows(image, S.GAME_OVER):
                self.assertLess(time.monotonic() - start, GIVE_UP, f"no game over: {seen[-3:]}")
                if time.monotonic() - start > STAND_STILL:
                    game.key_down("a")
                seen.append((S.hearts(image), S.score(image)))
                image = game.screenshot()
        finally:
            game.key_up("a")
        # The frame after the last hit re-places a second stone that touched the robot with the
        # first, and a move still held shows in the frames after the release: the final picture
        # comes once those frames are out.
        game.frames.wait(3)
        return seen, game.screenshot()

    def game_over(self, game, image, earlier=0):
        """The final score over the best: the earlier game's, or this one's marked new when it
        beats that, and saved; no other text. Returns the score."""
        final = S.final_score(image)
        texts = [S.GAME_OVER, (S.MENU, f"Score: {final}", 350, 375),
                 S.best(max(earlier, final), final > earlier)]
        self.assertTrue(all(S.shows(image, text) for text in texts), (earlier, final))
        self.assertLessEqual(S.stray_white(image, (280, 320, 520, 280), texts), STRAY)
        self.assertEqual(game.best_score(), f"{max(earlier, final)}\n")
        return final

    def test_one_game_from_the_title_to_its_end(self):
        with S.on_title() as game:
            # The title's lines at their places, nothing else around them, nothing of play.
            image = game.screenshot()
            self.assertLessEqual(S.stray_white(image, (240, 360, 560, 240), S.TITLE_TEXTS), STRAY)
            self.assertLessEqual(S.stray_white(image, (600, 0, 200, 100)), STRAY, "no labels")
            self.assertEqual((S.hearts(image), S.score(image)), (0, None))

            # Help over the title shows at the press; the second F1 closes it into play without
            # START: three hearts, the default labels, a score counting frames of play from 10.
            game.hold("F1", lambda image: S.shows(image, S.HELP_TEXTS[0]), "help at the press")
            image = game.screenshot()
            self.assertTrue(all(S.shows(image, text) for text in S.HELP_TEXTS + [S.NORMAL_MAP]))
            self.assertEqual((S.title_up(image), S.hearts(image), S.score(image)), (0, 0, None))
            image = game.toggle("F1", S.playing, "play after the second F1")
            self.assertFalse(any(S.shows(image, text) for text in S.HELP_TEXTS + S.TITLE_TEXTS))
            self.assertTrue(all(S.shows(image, label) for label in S.DEFAULT_LABELS))
            self.assertTrue(S.hides(image, S.SHADOW_MAP) and S.hearts(image) == 3)
            self.assertGreater(S.score(image), 10)
            self.score_above(game, S.score(image))

            # P pauses at the press and stays paused at the release: the world and the score
            # stand still over two turns of the ball (1.2 s each).
            image = game.hold("p", lambda image: S.shows(image, S.PAUSE), "Pause at the press")
            self.base = game.screenshot()
            time.sleep(2.4)
            game.frames.wait(3)
            later = game.screenshot()
            self.assertTrue(self.as_paused(later) and S.hearts(later) > 0)
            self.assertEqual(S.score(later), S.score(image))

            # Each render key changes its part of the paused picture; a second press undoes it.
            for key, label, effect, why in RENDER_KEYS:
                with self.subTest(key):
                    image = game.toggle(key, lambda image: S.hides(image, label) and
                                        effect(image, self.base), f"{key}: {why}")
                    self.assertTrue(all(S.shows(image, other) for other in S.DEFAULT_LABELS
                                        if other != label))
                    game.toggle(key, self.as_paused, f"the paused picture after {key} again")
            with self.subTest("F3"):
                self.wireframe(game)
                game.toggle("F3", self.as_paused, "the paused picture after F3 again")
            self.assertEqual(S.score(game.screenshot()), S.score(later))

            # The second release of P resumes; help from play hides hearts and score.
            game.toggle("p", lambda image: S.hides(image, S.PAUSE), "the pause to end")
            self.score_above(game, S.score(later))
            image = game.toggle("F1", lambda image: S.shows(image, S.HELP_TEXTS[0]), "help")
            self.assertEqual((S.hearts(image), S.score(image)), (0, None))
            game.toggle("F1", S.playing, "play after help")

            # Lives only go down from the three at the start; the third hit shows the final
            # score, and the first game's best, marked new and saved.
            seen, image = self.play_until_over(game)
            hearts = [3, S.hearts(later)] + [h for h, _ in seen if h]
            self.assertEqual(hearts, sorted(hearts, reverse=True))
            final = self.game_over(game, image)
            self.assertGreaterEqual(final, max(s for _, s in seen if s is not None))
            self.assertEqual((S.hearts(image), S.score(image)), (0, None))
            self.assertTrue(all(S.hides(image, label) for label in S.DEFAULT_LABELS))
            self.assertNotIn("GAME OVER", game.out.text(), "that line is for the clock limit")

            # Game over is final: Enter, F1 and P change nothing, the stones stand still.
            for key in ("Return", "F1", "p"):
                game.hold(key)
            after = game.screenshot()
            self.assertEqual(self.game_over(game, after), final, "no help, no title")
            self.assertEqual(changed(image, after, TRACK), 0, "the stones stand still")
            self.assertEqual((game.quit(), game.started()), (0, 0))
            self.next_game_keeps_the_best(game.data, final)

    def next_game_keeps_the_best(self, data, first):
        """A second game on the same data folder shows the first one's best at its end, or its
        own score marked new when that beats it."""
        with S.on_title(env={"XDG_DATA_HOME": data}) as game:
            game.toggle("Return", S.playing, "play after Enter")
            self.game_over(game, self.play_until_over(game)[1], first)
            self.assertEqual((game.quit(), game.err.text()), (0, ""))


if __name__ == "__main__":
    unittest.main()
