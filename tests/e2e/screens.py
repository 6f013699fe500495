"""What the player reads, read off a screenshot by drawing each text with the game's own font
file and comparing shapes: like the game, Pillow renders glyphs with FreeType at a pixel height
and advances by whole pixels, so a string drawn here lies on the game's pixels to within a pixel
or two. Positions and boxes (x, y, w, h) are text coordinates: origin bottom left, y up."""

import contextlib
import functools
import os

import numpy as np
from PIL import Image, ImageDraw, ImageFont

from harness import ROOT, START_TIMEOUT, Game

TITLE, MENU = ("AmaticSC-Bold.TTF", 80), ("AGENCYR.TTF", 30)
SMALL, HEART = ("AGENCYR.TTF", 20), ("HEART shapes.TTF", 60)
# Coverage from CORE up is a glyph's core (fainter edges cannot be told from bright scenery).
# White text blended over the scene reads back at least as bright as its coverage: a core pixel
# is drawn when its darkest channel reaches that less READ_MARGIN (rounding in the blend).
CORE, READ_MARGIN = 192, 12
NEAR_WHITE = 215  # text white in all three channels: text cores always, stars and glow rarely
SLACK = 2  # pixels by which hinting and rounding in the two rasterisers may move a glyph
# A drawn text matches with nearly all its core pixels; none, or another string, far fewer.
SHOWN, ABSENT = 0.97, 0.6


@functools.lru_cache(maxsize=None)
def face(typeface):
    return ImageFont.truetype(os.path.join(ROOT, "External", "Fonts", typeface[0]), typeface[1],
                              layout_engine=ImageFont.Layout.BASIC)


def coverage(text, size):
    """The coverage (0..255) of text = (typeface, string, x, y) on a window of size (w, h)."""
    typeface, string, x, y = text
    canvas = Image.new("L", size, 0)
    draw, pen = ImageDraw.Draw(canvas), int(x)
    for char in string:
        draw.text((pen, size[1] - int(y)), char, fill=255, font=face(typeface), anchor="ls")
        pen += int(face(typeface).getlength(char))  # the game drops the 26.6 fraction
    return np.asarray(canvas, dtype=np.int16)


def match(image, text):
    """Share of the text's core pixels read back as drawn, at its best shift within SLACK."""
    cover = coverage(text, image.size)
    rows, columns = np.nonzero(cover >= CORE)
    box = (slice(max(rows.min() - SLACK, 0), rows.max() + SLACK + 1),
           slice(max(columns.min() - SLACK, 0), columns.max() + SLACK + 1))
    cover, darkest = cover[box], np.asarray(image, dtype=np.int16)[box].min(axis=2)
    shifted = [np.roll(cover, (dy, dx), (0, 1)) for dy in range(-SLACK, SLACK + 1)
               for dx in range(-SLACK, SLACK + 1)]
    drawn = max(((darkest >= s - READ_MARGIN) & (s >= CORE)).sum() for s in shifted)
    return drawn / (cover >= CORE).sum()


def shows(image, text):
    return match(image, text) >= SHOWN


def hides(image, text):
    return match(image, text) < ABSENT


def region(box, height):
    x, y, w, h = box
    return slice(max(height - y - h, 0), height - y), slice(x, x + w)


def pixels(image, box):
    return np.asarray(image, dtype=np.int16)[region(box, image.height)]


def stray_white(image, box, texts=()):
    """Text-white pixels in box that none of the texts accounts for: text where none belongs."""
    allowed = np.zeros((image.height, image.width), dtype=bool)
    for text in texts:
        allowed |= coverage(text, image.size) > 0
    margin = range(-SLACK - 2, SLACK + 3)
    allowed = np.any([np.roll(allowed, (dy, dx), (0, 1)) for dy in margin for dx in margin], 0)
    white = np.asarray(image).min(axis=2) >= NEAR_WHITE
    return int((white & ~allowed)[region(box, image.height)].sum())


def read_number(image, typeface, x, y):
    """The integer drawn from (x, y) on, or None, digit by digit. A digit lying inside another
    (1 inside 4) matches that one fully too: the full match with the most core pixels wins."""
    digits, pen = "", int(x)
    while len(digits) < 9:
        cores = {d: (coverage((typeface, d, pen, y), image.size) >= CORE).sum()
                 for d in "0123456789" if shows(image, (typeface, d, pen, y))}
        if not cores:
            break
        digits += max(cores, key=cores.get)
        pen += int(face(typeface).getlength(digits[-1]))
    return int(digits) if digits else None


# On an 800 by 600 window. Help: two columns from y 550 down, the second left of the first.
TITLE_TEXTS = [(TITLE, "Repair Zelto", 290, 500), (MENU, "Press 'Enter' to start", 320, 440),
               (MENU, "Press 'F1' for help", 320, 400)]
HELP_TEXTS = [(SMALL, text, x, 550 - 40 * row) for x, column in [
    (200, "F1   :     Help|F2   :     FrameTime|F3   :     WireFrame||"
          "F5   :     Mip Mapping Quality|F6   :     Bloom|F7   :     Shadow/Normal Mapping||"
          "F9   :     Blending"),
    (60, "A    :     Left|D    :     Right|Space:     Jump|P    :     Pause|C    :     Debug Mode|"
         "Mouse, Arrow Keys:|        Move camera|Moving Light|(Shadow OFF):|           L")]
    for row, text in enumerate(column.split("|")) if text]
PAUSE, GAME_OVER = (TITLE, "Pause", 350, 450), (TITLE, "Game Over", 300, 450)
NORMAL_MAP, SHADOW_MAP = (SMALL, "Normal Map: ON", 650, 40), (SMALL, "Shadow Map: ON", 650, 40)
BLOOM, MIPMAP = (SMALL, "Bloom: ON", 650, 60), (SMALL, "Mipmap: ON", 650, 80)
BLENDING, WIREFRAME = (SMALL, "Blending: ON", 650, 20), (SMALL, "Wireframe: ON", 420, 20)
DEFAULT_LABELS = [NORMAL_MAP, BLOOM, MIPMAP, BLENDING]


def title_up(image):
    return all(shows(image, text) for text in TITLE_TEXTS)


@contextlib.contextmanager
def on_title(*args, **kwargs):
    """A Game(*args, **kwargs) whose window shows the title screen."""
    with Game(*args, **kwargs) as game:
        game.wait_for_window()
        game.wait_for_screen(title_up, "the title screen", START_TIMEOUT)
        yield game


def hearts(image):
    """How many hearts (the heart font's "T") stand in a row from (10, 550)."""
    advance, count = int(face(HEART).getlength("T")), 0
    while count < 3 and shows(image, (HEART, "T", 10 + count * advance, 550)):
        count += 1
    return count


def score(image):
    return read_number(image, MENU, 740, 550)


def best(value, new):  # the best score under the final one on the game-over screen
    return (MENU, f"Best: {value}" + (" (new)" if new else ""), 350, 335)


def final_score(image):  # the number after "Score: " on the game-over screen
    return read_number(image, MENU, 350 + int(face(MENU).getlength("Score: ")), 375)


def playing(image):
    return hearts(image) > 0 and score(image) is not None


# With no robot standing on it, the camera in play looks along the track's grey metal, which
# fills this box; a track thrown away, or drawn black, leaves the clear colour or black there.
TRACK_BOX = (500, 40, 300, 180)
GREY_SPREAD, GREY_LEVEL, GREY_SHARE = 24, 10, 0.8  # lit metal: channels close, above black


def track_shows(image):
    box = pixels(image, TRACK_BOX)
    spread, level = box.max(axis=2) - box.min(axis=2), box.mean(axis=2)
    return ((spread <= GREY_SPREAD) & (level >= GREY_LEVEL)).mean() >= GREY_SHARE
