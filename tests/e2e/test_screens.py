"""The text screens as the player sees them on an 800 by 600 window: the title, play with its
hearts, score and status labels, the pause and the help screen."""

import re
import time
import unittest

import screens as S
from glyphs import stray_white
from harness import START_TIMEOUT, Game, wait_until


def started(game):
    return len(re.findall(r"^START$", game.stdout(), re.MULTILINE))


def score_above(game, value, timeout=30):
    """Waits until the score on the screen exceeds value and returns it."""
    def read():
        shown = S.score(game.screenshot())
        return shown if shown is not None and shown > value else None
    return wait_until(read, timeout, what=f"a score above {value}")


def score_after(game, seconds):
    """The score read off the screen some seconds from now."""
    time.sleep(seconds)
    return S.score(game.screenshot())


class TitleScreen(unittest.TestCase):
    def test_title_texts_stand_at_their_places_with_nothing_else_around(self):
        with Game() as game:
            game.wait_for_window()
            image = game.wait_for_screen(S.title_up, START_TIMEOUT, what="the title screen")
            for text in S.TITLE_TEXTS:
                self.assertTrue(S.shows(image, text), text[1])
            # The block of the three lines and a margin around it holds no other text white:
            # no line drawn twice, at another place, or in another face.
            self.assertLessEqual(stray_white(image, (240, 360, 560, 240), S.TITLE_TEXTS), 20)
            # The title has no hearts, no score and no status labels.
            self.assertEqual(S.hearts(image), 0)
            self.assertIsNone(S.score(image))
            for label in S.DEFAULT_LABELS:
                self.assertTrue(S.hides(image, label), label[1])
            self.assertLessEqual(stray_white(image, (600, 0, 200, 100), []), 20)
            self.assertEqual(started(game), 0)


class Play(unittest.TestCase):
    def test_play_shows_three_hearts_a_growing_score_and_the_default_labels(self):
        with Game() as game:
            S.start_play(game)
            image = game.screenshot()
            self.assertFalse(any(S.shows(image, text) for text in S.TITLE_TEXTS))
            self.assertEqual(S.hearts(image), 3)
            for label in S.DEFAULT_LABELS:
                self.assertTrue(S.shows(image, label), label[1])
            self.assertTrue(S.hides(image, S.SHADOW_MAP))
            # The score counts frames of play from 10 upwards.
            first = S.score(image)
            self.assertGreater(first, 10)
            score_above(game, first)
            self.assertEqual(started(game), 1)

    def test_p_pauses_at_the_press_and_resumes_at_the_second_release(self):
        with Game() as game:
            S.start_play(game)
            # The pause shows while P is still held.
            game.press_until("p", lambda: S.shows(game.screenshot(), S.PAUSE),
                             what="Pause while P is held")
            image = game.wait_for_screen(lambda image: S.shows(image, S.PAUSE), 10,
                                         what="Pause after the release")
            frozen = S.score(image)
            self.assertEqual(score_after(game, 3), frozen, "the score stands still in the pause")
            shot = game.screenshot()
            self.assertEqual(S.hearts(shot), 3, "hearts and labels stay up in the pause")
            self.assertTrue(S.shows(shot, S.BLOOM))

            game.toggle("p", lambda image: S.hides(image, S.PAUSE), "the pause to end")
            score_above(game, frozen)

    def test_help_over_the_title_closes_into_play_without_start(self):
        with Game() as game:
            game.wait_for_window()
            game.wait_for_screen(S.title_up, START_TIMEOUT, what="the title screen")
            game.press_until("F1", lambda: all(S.shows(game.screenshot(), text)
                                               for text in S.HELP_TEXTS[:1] + S.HELP_TEXTS[7:8]),
                             what="the help screen while F1 is held")
            image = game.wait_for_screen(lambda image: not S.title_up(image), 10,
                                         what="the title to give way to help")
            # Every line whole: the second column's lines end before the first column begins.
            for text in S.HELP_TEXTS:
                self.assertTrue(S.shows(image, text), text[1])
            # Help shows the status labels but no hearts and no score.
            self.assertEqual(S.hearts(image), 0)
            self.assertIsNone(S.score(image))
            self.assertTrue(S.shows(image, S.NORMAL_MAP))

            image = game.toggle("F1", S.playing, "play after the second F1")
            self.assertFalse(any(S.shows(image, text) for text in S.HELP_TEXTS))
            self.assertFalse(S.title_up(image), "the title does not come back")
            first = S.score(image)
            score_above(game, first)
            self.assertEqual(started(game), 0, "help closed into play without START")

            # Help from play hides hearts and score and holds the game; closing it resumes.
            before = S.score(game.screenshot())
            image = game.toggle("F1", lambda image: S.shows(image, S.HELP_TEXTS[0]), "help")
            self.assertEqual(S.hearts(image), 0)
            self.assertIsNone(S.score(image))
            image = game.toggle("F1", S.playing, "play after help")
            self.assertGreaterEqual(S.score(image), before)
            score_above(game, S.score(image))
            self.assertEqual(started(game), 0)


if __name__ == "__main__":
    unittest.main()
