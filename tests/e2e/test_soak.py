"""A short soak: the game under random player input for 45 seconds (tools/soak.py), failing on
a crash, a hang, a sanitizer report, an error line on the console or memory growth after the
first third of the run. The full five-minute run is tools/soak.py without arguments."""

import os
import re
import subprocess
import sys
import unittest

from harness import BINARY, ROOT

DURATION = 45


class Soak(unittest.TestCase):
    def test_random_play_runs_clean(self):
        done = subprocess.run([sys.executable, os.path.join(ROOT, "tools", "soak.py"),
                               str(DURATION), "--binary", BINARY],
                              capture_output=True, text=True, timeout=DURATION + 600)
        report = done.stdout + done.stderr
        print(report)
        self.assertEqual(done.returncode, 0, report)
        self.assertIn("Result: PASS", done.stdout)
        # At least a frame a second on average, even under the sanitizers on llvmpipe.
        frames = int(re.search(r"Frames presented: (\d+)", done.stdout).group(1))
        self.assertGreater(frames, DURATION)


if __name__ == "__main__":
    unittest.main()
