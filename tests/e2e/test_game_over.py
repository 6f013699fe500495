"""The end of a game reached as a player reaches it: stones hit the robot until no heart is
left, and the frozen game-over screen ignores every key but Escape."""

import re
import time
import unittest

import screens as S
from glyphs import stray_white
from harness import Game, changed_pixels

# Standing still, the stones' random tube angles bring three hits within about half a minute
# on llvmpipe; if they do not, the robot is steered round the tube, across every stone's path.
STAND_STILL = 90.0
GIVE_UP = 300.0
# The ring of the track in front of the robot, where the stones travel (text coordinates).
TRACK = (330, 110, 470, 150)


class GameOver(unittest.TestCase):
    def play_until_over(self, game):
        """Plays until the game-over screen; returns the hearts seen on the way, the last
        score read in play and the game-over screenshot."""
        hearts_seen, last_score = [], None
        start = time.monotonic()
        steering = False
        try:
            while time.monotonic() - start < GIVE_UP:
                image = game.screenshot()
                if S.shows(image, S.GAME_OVER):
                    return hearts_seen, last_score, image
                hearts, score = S.hearts(image), S.score(image)
                if hearts:
                    hearts_seen.append(hearts)
                if score is not None:
                    last_score = score
                if not steering and time.monotonic() - start > STAND_STILL:
                    game.key_down("a")
                    steering = True
                time.sleep(0.5)
        finally:
            if steering:
                game.key_up("a")
        self.fail(f"no game over within {GIVE_UP:.0f} s; hearts seen {hearts_seen[-5:]}")

    def test_third_hit_shows_game_over_with_the_score_and_freezes_the_game(self):
        with Game() as game:
            S.start_play(game)
            hearts_seen, last_score, image = self.play_until_over(game)

            # Lives only go down, one heart per hit, from three.
            self.assertEqual(hearts_seen[0], 3)
            self.assertEqual(hearts_seen, sorted(hearts_seen, reverse=True))

            final = S.final_score(image)
            self.assertIsNotNone(final, "the game-over screen shows the score")
            self.assertGreaterEqual(final, last_score)
            self.assertTrue(S.shows(image, S.SCORE_LABEL))
            # Nothing else: no hearts, no score at the top right, no labels, no pause.
            self.assertEqual(S.hearts(image), 0)
            self.assertIsNone(S.score(image))
            for label in S.DEFAULT_LABELS + [S.PAUSE]:
                self.assertTrue(S.hides(image, label), label[1])
            texts = [S.GAME_OVER, (S.SCORE_LABEL[0], f"Score: {final}", *S.SCORE_LABEL[2:])]
            self.assertLessEqual(stray_white(image, (280, 340, 520, 260), texts), 20)
            # GAME OVER goes to the console only at the clock limit, never for hits.
            self.assertNotIn("GAME OVER", game.stdout())

            # Game over is final: Enter, F1 and P change nothing, the world stays frozen.
            for key in ("Return", "F1", "p"):
                game.hold(key)
            time.sleep(2.0)
            after = game.screenshot()
            self.assertTrue(S.shows(after, S.GAME_OVER))
            self.assertEqual(S.final_score(after), final)
            self.assertTrue(S.hides(after, S.HELP_TEXTS[0]))
            self.assertTrue(S.hides(after, S.PAUSE))
            self.assertFalse(S.title_up(after))
            self.assertEqual(changed_pixels(image, after, TRACK), 0, "the stones stand still")
            self.assertEqual(len(re.findall(r"^START$", game.stdout(), re.MULTILINE)), 1)

            game.tap("Escape")
            self.assertEqual(game.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
