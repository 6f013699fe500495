"""The installed game as a desktop starts it: the command of its desktop entry, run from the
current (scratch) folder, opens the window on the title screen, drawn with the installed fonts,
and Escape ends it with status 0, leaving nothing in that folder.

Usage: ZELTO_ROOT=/usr/share/repair-zelto installed_title.py COMMAND"""

import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

import screens as S  # noqa: E402


def main(command):
    program = shutil.which(command)
    if program is None:
        sys.exit(f"installed_title: {command} is not on PATH")
    with S.on_title(binary=program, cwd=os.getcwd()) as game:
        status = game.quit()
    left = os.listdir(".")
    if status != 0 or left:
        sys.exit(f"installed_title: Escape gave exit status {status}; left here: {left}")
    print(f"installed_title: {program} showed the title and quit with 0", flush=True)


if __name__ == "__main__":
    main(sys.argv[1])
