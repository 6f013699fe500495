#!/usr/bin/python3
"""Makes the README screenshots from the real game on an 800 by 600 window:

    DISPLAY=:N ZELTO_BINARY=build/repair_zelto tests/e2e/screenshots.py [FOLDER]

FOLDER defaults to the repository's docs/. Each picture comes from a fresh game played to the
state it shows, so one picture's keys do not leak into the next."""

import contextlib
import os
import sys
import time

import screens as S
from harness import ROOT, START_TIMEOUT, Game

LIMIT = 600 * 1024  # bytes per picture
PLAY_SECONDS = 4.0  # of play before a scene shot: the stones have come close to the robot


def save(image, path):
    """An optimised PNG; a picture over LIMIT is reduced to 256 colours (the star field and
    the HDR gradients survive that without visible banding)."""
    image.save(path, optimize=True)
    if os.path.getsize(path) > LIMIT:
        image.quantize(256, dither=1).save(path, optimize=True)
    print(f"{path}: {os.path.getsize(path) // 1024} KiB", flush=True)


@contextlib.contextmanager
def played(keys=(), seconds=PLAY_SECONDS):
    """A game in play for some seconds, with the given toggle keys pressed and released."""
    with Game() as game:
        S.start_play(game)
        for key in keys:
            game.hold(key)
        time.sleep(seconds)
        yield game


def main(folder):
    os.makedirs(folder, exist_ok=True)
    out = lambda name: os.path.join(folder, name)  # noqa: E731

    with Game() as game:
        game.wait_for_window()
        save(game.wait_for_screen(S.title_up, START_TIMEOUT, what="the title"), out("title.png"))
        save(game.toggle("F1", lambda image: S.shows(image, S.HELP_TEXTS[0]) and
                         not S.title_up(image), "help"), out("help.png"))
        game.tap("Escape")

    with played() as game:
        save(game.screenshot(), out("play.png"))
        save(game.toggle("p", lambda image: S.shows(image, S.PAUSE), "the pause"),
             out("pause.png"))
        game.tap("Escape")

    for name, keys in [("normalmap.png", ()), ("shadows.png", ("F7",)),
                       ("bloom-off.png", ("F6",)), ("wireframe.png", ("F6", "F3"))]:
        # Wireframe with bloom on shows only the edges of the composite quad; bloom off lets
        # the models' own edges reach the window.
        with played(keys) as game:
            save(game.screenshot(), out(name))
            game.tap("Escape")

    with played(seconds=0) as game:
        game.wait_for_screen(lambda image: S.shows(image, S.GAME_OVER), 300,
                             what="the game to end")
        time.sleep(1.0)
        save(game.screenshot(), out("gameover.png"))
        game.tap("Escape")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "docs"))
