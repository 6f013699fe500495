"""Reads the game's text off a screenshot by drawing the same string with the same font file
here and comparing shapes. The game rasterises its fonts with FreeType at a pixel height and
places each glyph at pen + bearing, advancing by the whole-pixel advance; Pillow's FreeType
binding with the basic layout engine gives the same bitmaps and metrics, so a string drawn
here at the game's base-line point lies on the game's pixels to within a pixel or two."""

import functools
import os

import numpy as np
from PIL import Image, ImageDraw, ImageFont

from harness import ROOT

FONTS = os.path.join(ROOT, "External", "Fonts")

# The four faces of the text screens: file and pixel height.
TITLE = ("AmaticSC-Bold.TTF", 80)
MENU = ("AGENCYR.TTF", 30)
SMALL = ("AGENCYR.TTF", 20)
HEART = ("HEART shapes.TTF", 60)

# Coverage at or above this is a glyph's core. White text blended over the scene reads back at
# least as bright as its coverage (the scene only adds), so a core pixel counts as drawn when
# its darkest channel reaches the coverage less READ_MARGIN (rounding of the blend and of the
# screenshot's 8 bits). Edge pixels are too faint against bright scenery to tell and are skipped.
CORE = 192
READ_MARGIN = 12
# A screenshot pixel counts as text white when all three channels reach this. Stars and the
# bloom's glow on the lit scene rarely reach it; text cores always do.
NEAR_WHITE = 215
# Pixel search around the expected base-line point: hinting and rounding in the two
# rasterisers can move a glyph by a pixel.
SLACK = 2


@functools.lru_cache(maxsize=None)
def face(typeface):
    name, pixels = typeface
    return ImageFont.truetype(os.path.join(FONTS, name), pixels,
                              layout_engine=ImageFont.Layout.BASIC)


def coverage(typeface, text, x, y, width, height):
    """The coverage (0..255) of text drawn with its base line starting at (x, y) in the game's
    text coordinates (origin bottom left, y up), as a window-sized array, top row first."""
    font = face(typeface)
    canvas = Image.new("L", (width, height), 0)
    draw = ImageDraw.Draw(canvas)
    pen = int(x)
    for char in text:
        draw.text((pen, height - int(y)), char, fill=255, font=font, anchor="ls")
        pen += int(font.getlength(char))  # the game drops the 26.6 fraction
    return np.asarray(canvas)


def whiteness(image):
    """True where the screenshot is text white."""
    pixels = np.asarray(image.convert("RGB"))
    return pixels.min(axis=2) >= NEAR_WHITE


def shifted(mask, dx, dy):
    return np.roll(np.roll(mask, dy, axis=0), dx, axis=1)


def match(image, typeface, text, x, y):
    """Share (0..1) of the string's core pixels that read back as drawn on the screenshot, at
    the best placement within SLACK pixels of (x, y). A string that is drawn there scores 1
    or nearly; another string at the same place, or none, scores far lower."""
    cover = coverage(typeface, text, x, y, image.width, image.height).astype(np.int16)
    rows, columns = np.nonzero(cover >= CORE)
    if len(rows) == 0:
        raise ValueError(f"{text!r} has no core pixels in {typeface}")
    # Only the string's box, grown by the search slack, takes part: a window-sized comparison
    # per shift would make reading a number slow.
    top, left = max(rows.min() - SLACK, 0), max(columns.min() - SLACK, 0)
    bottom, right = rows.max() + SLACK + 1, columns.max() + SLACK + 1
    cover = cover[top:bottom, left:right]
    darkest = np.asarray(image.convert("RGB"))[top:bottom, left:right].min(axis=2)
    darkest = darkest.astype(np.int16)
    core = cover >= CORE
    total = core.sum()
    best = 0.0
    for dy in range(-SLACK, SLACK + 1):
        for dx in range(-SLACK, SLACK + 1):
            drawn = darkest >= shifted(cover, dx, dy) - READ_MARGIN
            best = max(best, (drawn & shifted(core, dx, dy)).sum() / total)
    return best


def footprint(image, texts, grow=SLACK + 2):
    """The pixels that the given strings may legitimately whiten: their coverage grown by a
    few pixels. texts: (typeface, text, x, y) tuples."""
    area = np.zeros((image.height, image.width), dtype=bool)
    for typeface, text, x, y in texts:
        area |= coverage(typeface, text, x, y, image.width, image.height) > 0
    grown = area.copy()
    for dy in range(-grow, grow + 1):
        for dx in range(-grow, grow + 1):
            grown |= shifted(area, dx, dy)
    return grown


def stray_white(image, box, texts):
    """Text-white pixels inside box (x, y, w, h in text coordinates) that none of the given
    strings accounts for: text drawn where it should not be."""
    x, y, w, h = box
    top = image.height - (y + h)
    region = (slice(max(top, 0), image.height - y), slice(max(x, 0), x + w))
    white = whiteness(image)[region]
    allowed = footprint(image, texts)[region]
    return int((white & ~allowed).sum())


def read_number(image, typeface, x, y, max_digits=9):
    """The decimal integer drawn with its base line starting at (x, y), or None. At each pen
    position every digit is drawn here and matched; the pen then advances by the recognised
    digit's advance, as the game's text renderer does. A digit whose shape lies inside another
    one's (1 inside 4, 3 inside 8) also matches that one fully, so of the full matches the
    digit with the most core pixels wins."""
    font = face(typeface)
    digits = ""
    pen = int(x)
    for _ in range(max_digits):
        full = [d for d in "0123456789" if match(image, typeface, d, pen, y) >= 0.97]
        if not full:
            break
        digit = max(full, key=lambda d: int((coverage(typeface, d, pen, y, image.width,
                                                      image.height) >= CORE).sum()))
        digits += digit
        pen += int(font.getlength(digit))
    return int(digits) if digits else None
