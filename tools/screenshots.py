#!/usr/bin/python3
"""Makes the README's pictures on an 800 by 600 window, each from a fresh game played to it:
DISPLAY=:N ZELTO_BINARY=build/repair_zelto tools/screenshots.py [FOLDER, default docs/]"""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

import screens as S  # noqa: E402
from harness import ROOT  # noqa: E402

# (picture, keys pressed on the title, what shows it). Play pictures come 4 s after Enter, the
# stones close to the robot. Wireframe with bloom on shows only the composite quad's edges.
SHOTS = [("title", [], S.title_up), ("help", ["F1"], lambda image: not S.title_up(image)),
         ("play", ["Return"], bool), ("pause", ["Return", "p"], lambda i: S.shows(i, S.PAUSE)),
         ("normalmap", ["Return"], bool), ("shadows", ["Return", "F7"], bool),
         ("bloom-off", ["Return", "F6"], bool), ("wireframe", ["Return", "F6", "F3"], bool),
         ("gameover", ["Return"], lambda image: S.shows(image, S.GAME_OVER))]


def main(folder):
    os.makedirs(folder, exist_ok=True)
    for name, keys, shown in SHOTS:
        with S.on_title() as game:
            for key in keys:
                game.hold(key)
                time.sleep(4.0 if key == "Return" else 0.0)
            path = os.path.join(folder, name + ".png")
            game.wait_for_screen(shown, name, 300).save(path, optimize=True)
            print(f"{path}: {os.path.getsize(path) // 1024} KiB", flush=True)
            game.quit()


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "docs"))
