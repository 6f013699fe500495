#!/usr/bin/python3
"""Repeated starts of the game, for crashes that come now and then:

    tools/starts.py COUNT [--binary PATH] [--cut FILE BYTES] [--play SECONDS]

Each start runs in a scratch copy of Shader/ and External/ (with FILE, a path under the
repository such as External/Fonts/AGENCYR.TTF, cut to its first BYTES bytes), waits for the
first frames, presses Enter, lets the game play, and quits with Escape. Core files are allowed
and land in the scratch build folder, which is kept when a start fails; read one with
gdb -batch -ex bt BINARY CORE. Prints one line per start and a count of the exit statuses;
exits 1 unless every start ended with status 0.
"""

import argparse
import collections
import os
import pathlib
import resource
import shutil
import signal
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from harness import START_TIMEOUT, Game  # noqa: E402


def scratch_tree(cut):
    root = pathlib.Path(tempfile.mkdtemp(prefix="zelto-starts-"))
    (root / "build").mkdir()
    for folder in ("Shader", "External"):
        shutil.copytree(ROOT / folder, root / folder)
    if cut:
        path = root / cut[0]
        path.write_bytes(path.read_bytes()[:int(cut[1])])
    return root


def start(binary, tree, play):
    """The exit status of one start: negative for a signal, as subprocess reports it."""
    with Game(cwd=str(tree / "build"), binary=binary) as game:
        try:
            game.wait_for_window()
            game.frames.wait(3, START_TIMEOUT)
            game.hold("Return")
            game.process.wait(timeout=play)
        except Exception:  # the game has gone, or is still playing after the given time
            pass
        return game.process.returncode if game.process.poll() is not None else game.quit()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("count", type=int)
    parser.add_argument("--binary", default=str(ROOT / "build" / "repair_zelto"))
    parser.add_argument("--cut", nargs=2, metavar=("FILE", "BYTES"))
    parser.add_argument("--play", type=float, default=4.0, help="seconds after Enter")
    args = parser.parse_args()
    resource.setrlimit(resource.RLIMIT_CORE, (resource.RLIM_INFINITY, resource.RLIM_INFINITY))
    statuses = collections.Counter()
    for number in range(args.count):
        tree = scratch_tree(args.cut)
        status = start(os.path.abspath(args.binary), tree, args.play)
        name = signal.Signals(-status).name if status < 0 else f"status {status}"
        statuses[name] += 1
        print(f"start {number + 1}: {name}" + (f", tree kept in {tree}" if status else ""),
              flush=True)
        if status == 0:
            shutil.rmtree(tree)
    print(", ".join(f"{name}: {count}" for name, count in sorted(statuses.items())))
    sys.exit(0 if set(statuses) == {"status 0"} else 1)


if __name__ == "__main__":
    main()
