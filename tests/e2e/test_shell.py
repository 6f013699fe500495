"""The program shell end to end: command line, window, title, start and quit."""

import re
import subprocess
import unittest

from Xlib import X, display, protocol

from harness import Game, START_TIMEOUT, text_box, wait_until, white_pixels

PARSE_ERROR = "Error: could not parse first two arguments!\n"


def title_box(width=800, height=600):
    """"Repair Zelto" in the 80-pixel title face: base line at (W/2 - 110, H - 100)."""
    return text_box(width // 2 - 110, height - 100, 250, 60)


def close_window(window_id):
    """What a window manager's close button sends: a WM_DELETE_WINDOW client message."""
    connection = display.Display()
    window = connection.create_resource_object("window", int(window_id))
    protocols = connection.intern_atom("WM_PROTOCOLS")
    delete = connection.intern_atom("WM_DELETE_WINDOW")
    window.send_event(protocol.event.ClientMessage(window=window, client_type=protocols,
                                                   data=(32, [delete, X.CurrentTime, 0, 0, 0])))
    connection.sync()
    connection.close()


def title_shown(image, size=(800, 600)):
    return white_pixels(image, title_box(*size)) > 200


class CommandLine(unittest.TestCase):
    def test_window_size_comes_from_the_first_two_arguments(self):
        for args, size in [((), (800, 600)), (("1024", "768"), (1024, 768)),
                           (("1024px", "768", "extra"), (1024, 768)), (("wide",), (800, 600))]:
            with self.subTest(args=args), Game(*args) as game:
                game.wait_for_window()
                self.assertEqual(game.geometry(), size)
                # Keys count once the loop runs, which the title screen shows.
                game.wait_for_screen(lambda image: title_shown(image, size), START_TIMEOUT,
                                     what="the title screen")
                game.tap("Escape")
                self.assertEqual(game.wait_exit(), 0)
                self.assertEqual(game.err.text(), "")

    def test_unparsable_size_exits_with_status_1_and_never_waits(self):
        cases = [("wide", "768"), ("1024", "tall"), ("99999999999", "600")]
        for args in cases:
            for stdin in (subprocess.DEVNULL, subprocess.PIPE):
                with self.subTest(args=args, stdin=stdin), Game(*args, stdin=stdin) as game:
                    # An open pipe that never delivers a line must not hold the exit either.
                    self.assertEqual(game.wait_exit(timeout=20), 1)
                    self.assertEqual(game.err.text(), PARSE_ERROR)
                    self.assertEqual(game.stdout(), "", "no window, no loading")


class TitleAndQuit(unittest.TestCase):
    def test_enter_starts_once_and_escape_quits_with_status_0(self):
        with Game() as game:
            game.wait_for_window()
            game.wait_for_screen(title_shown, START_TIMEOUT, what="the title screen")
            self.assertNotIn("START", game.stdout())

            # START comes at the release, not at the press.
            game.key_down("Return")
            image = game.wait_for_screen(title_shown, what="the title while Enter is held")
            self.assertTrue(title_shown(image))
            self.assertNotIn("START", game.stdout())
            game.key_up("Return")
            game.wait_for_output(r"^START$")
            game.wait_for_screen(lambda image: not title_shown(image), what="the title to go")

            game.tap("Return")
            game.tap("Return")
            game.tap("Escape")
            self.assertEqual(game.wait_exit(), 0)
            self.assertEqual(len(re.findall(r"^START$", game.stdout(), re.MULTILINE)), 1)

    def test_the_close_button_ends_the_loop_with_status_0(self):
        with Game() as game:
            window = game.wait_for_window()
            game.wait_for_screen(title_shown, START_TIMEOUT, what="the title screen")
            close_window(window)
            wait_until(lambda: game.process.poll() is not None, 60, what="the game to exit")
            self.assertEqual(game.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
