#!/usr/bin/python3
"""Makes the README's pictures from one game on an 800 by 600 window, from the title to its end:
DISPLAY=:N ZELTO_BINARY=build/repair_zelto tests/e2e/screenshots.py [FOLDER, default docs/]"""

import os
import sys
import time

import screens as S
from harness import ROOT, Game

# (picture, keys pressed before it, what shows it or None for two seconds of play). Wireframe
# with bloom on shows only the composite quad's edges: bloom off lets the models' edges through.
SHOTS = [("title", [], S.title_up), ("help", ["F1"], lambda image: not S.title_up(image)),
         ("play", ["F1"], None), ("pause", ["p"], lambda image: S.shows(image, S.PAUSE)),
         ("normalmap", ["p"], None), ("shadows", ["F7"], None), ("bloom-off", ["F7", "F6"], None),
         ("wireframe", ["F3"], None),
         ("gameover", ["F3", "F6"], lambda image: S.shows(image, S.GAME_OVER))]


def main(folder):
    os.makedirs(folder, exist_ok=True)
    with Game() as game:
        game.wait_for_window()
        for name, keys, shown in SHOTS:
            for key in keys:
                game.hold(key)
            if shown is None:
                time.sleep(2.0)
            path = os.path.join(folder, name + ".png")
            game.wait_for_screen(shown or bool, name, 300).save(path, optimize=True)
            print(f"{path}: {os.path.getsize(path) // 1024} KiB", flush=True)
        game.quit()


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "docs"))
