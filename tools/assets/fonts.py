"""The game's fonts: two free faces from Debian's font packages, stored under
the file names the game opens, and a heart font drawn here.

In the heart font "T" (and "t") is a filled heart, one per remaining life in
the HUD; the other letters are hollow hearts and everything else is blank.
"""

import io
import os

import numpy as np
from fontTools.fontBuilder import FontBuilder
from fontTools.ttLib import TTFont
from fontTools.pens.ttGlyphPen import TTGlyphPen

from .outfiles import write_atomic

# (file the game opens, Debian package, installed path, horizontal scale)
COPIED_FONTS = (
    ("AmaticSC-Bold.TTF", "fonts-cabinsketch",
     "/usr/share/fonts/truetype/cabinsketch/CabinSketch-Bold.ttf", 1.0),
    # The menu face is condensed further: the help screen's two columns stand 140 pixels
    # apart, and a 20-pixel "C    :     Debug Mode" must fit between them.
    ("AGENCYR.TTF", "fonts-liberation",
     "/usr/share/fonts/truetype/liberation/LiberationSansNarrow-Regular.ttf", 0.78),
)
# The name records of a condensed copy: family, style, unique id, full and PostScript name.
RENAMED_IDS = {1: "Zelto Narrow", 2: "Regular", 3: "Zelto Narrow Regular",
               4: "Zelto Narrow Regular", 6: "ZeltoNarrow-Regular"}
# Tables whose hinting programs and device metrics no longer fit a condensed outline.
HINTING_TABLES = ("fpgm", "prep", "cvt ", "hdmx", "LTSH", "VDMX", "gasp")
HEART_FONT = "HEART shapes.TTF"

UNITS_PER_EM = 1000
ASCENT = 800
DESCENT = -200
HEART_ADVANCE = 960
SPACE_ADVANCE = 300
# Font units per unit of the heart curve below (32 units wide, 29 tall).
HEART_SCALE = 25.0
HEART_CENTRE_X = HEART_ADVANCE / 2.0
HEART_BASELINE_LIFT = 17.0 * HEART_SCALE   # the curve's tip is at y = -17
# Points per lobe of the quadratic spline; enough to look round at 80 px.
LOBE_POINTS = 18
# The hollow heart's hole: scale of the inner curve and its centre (curve units).
HOLE_SCALE = 0.62
HOLE_CENTRE = (0.0, -3.5)
# head.created/modified, fixed so the font's bytes never change (2024-01-01).
FONT_TIMESTAMP = 3787200000


def missing_sources():
    """Debian packages whose font files are not installed."""
    return sorted({pkg for _, pkg, path, _ in COPIED_FONTS if not os.path.isfile(path)})


def condensed_font_bytes(source, scale):
    """The TrueType font at source with every outline and advance scaled by scale in x."""
    if scale == 1.0:
        with open(source, "rb") as f:
            return f.read()
    font = TTFont(source, recalcTimestamp=False)  # same bytes on every run
    glyf = font["glyf"]
    metrics = font["hmtx"].metrics
    for name in font.getGlyphOrder():
        glyph = glyf[name]
        if glyph.isComposite():
            for component in glyph.components:
                component.x = round(component.x * scale)
        elif glyph.numberOfContours > 0:
            glyph.coordinates.scale((scale, 1.0))
            glyph.coordinates.toInt()
        if hasattr(glyph, "program"):
            glyph.program.fromBytecode(b"")
    for name in font.getGlyphOrder():
        glyph = glyf[name]
        glyph.recalcBounds(glyf)
        advance, _ = metrics[name]
        metrics[name] = (round(advance * scale), getattr(glyph, "xMin", 0))
    for tag in HINTING_TABLES:
        if tag in font:
            del font[tag]
    # A changed font must not go on under its source's name, which may be a trademark (the
    # Liberation fonts' licence asks exactly this of modified copies).
    names = font["name"]
    names.names = [record for record in names.names if record.nameID not in RENAMED_IDS]
    for name_id, text in RENAMED_IDS.items():
        names.setName(text, name_id, 3, 1, 0x409)
    buf = io.BytesIO()
    font.save(buf)
    return buf.getvalue()


def _heart_curve(t):
    x = 16.0 * np.sin(t) ** 3
    y = 13.0 * np.cos(t) - 5.0 * np.cos(2 * t) - 2.0 * np.cos(3 * t) - np.cos(4 * t)
    return x, y


def _heart_contour(scale=1.0, centre=(0.0, 0.0)):
    """Clockwise contour: cleft, right lobe, tip, left lobe. Returns the two
    corner points and the off-curve points of each lobe, in font units."""
    def place(t):
        x, y = _heart_curve(np.atleast_1d(t))
        x = (x - centre[0]) * scale + centre[0]
        y = (y - centre[1]) * scale + centre[1]
        return [(int(round(HEART_CENTRE_X + px * HEART_SCALE)),
                 int(round(HEART_BASELINE_LIFT + py * HEART_SCALE))) for px, py in zip(x, y)]

    cleft = place(0.0)[0]
    tip = place(np.pi)[0]
    right = place(np.linspace(0.0, np.pi, LOBE_POINTS + 2)[1:-1])
    left = place(np.linspace(np.pi, 2.0 * np.pi, LOBE_POINTS + 2)[1:-1])
    return cleft, right, tip, left


def _draw_heart(pen, hollow):
    cleft, right, tip, left = _heart_contour()
    pen.moveTo(cleft)
    pen.qCurveTo(*right, tip)
    pen.qCurveTo(*left, cleft)
    pen.closePath()
    if hollow:
        # The hole runs the other way round (counter-clockwise).
        cleft, right, tip, left = _heart_contour(HOLE_SCALE, HOLE_CENTRE)
        pen.moveTo(cleft)
        pen.qCurveTo(*left[::-1], tip)
        pen.qCurveTo(*right[::-1], cleft)
        pen.closePath()
    return pen


def heart_font_bytes():
    order = [".notdef", "space", "heart", "heartOutline"]
    cmap = {ord(" "): "space", ord("T"): "heart", ord("t"): "heart"}
    for c in range(ord("A"), ord("Z") + 1):
        for code in (c, c + 32):
            cmap.setdefault(code, "heartOutline")

    glyphs = {".notdef": TTGlyphPen(None).glyph(), "space": TTGlyphPen(None).glyph(),
              "heart": _draw_heart(TTGlyphPen(None), False).glyph(),
              "heartOutline": _draw_heart(TTGlyphPen(None), True).glyph()}
    cleft, right, tip, left = _heart_contour()
    heart_lsb = min(x for x, _ in [cleft, tip] + right + left)
    metrics = {".notdef": (HEART_ADVANCE, 0), "space": (SPACE_ADVANCE, 0),
               "heart": (HEART_ADVANCE, heart_lsb), "heartOutline": (HEART_ADVANCE, heart_lsb)}

    fb = FontBuilder(UNITS_PER_EM, isTTF=True)
    fb.updateHead(created=FONT_TIMESTAMP, modified=FONT_TIMESTAMP)
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap(cmap)
    fb.setupGlyf(glyphs)
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ASCENT, descent=DESCENT)
    fb.setupNameTable({
        "familyName": "HEART shapes",
        "styleName": "Regular",
        "uniqueFontIdentifier": "RepairZelto:HEART shapes:1.000",
        "fullName": "HEART shapes",
        "psName": "HEARTshapes-Regular",
        "version": "Version 1.000",
        "copyright": "Drawn by the Repair Zelto asset generator",
    })
    fb.setupOS2(sTypoAscender=ASCENT, sTypoDescender=DESCENT, sTypoLineGap=0,
                usWinAscent=ASCENT, usWinDescent=-DESCENT,
                sCapHeight=int(HEART_BASELINE_LIFT + 12 * HEART_SCALE), sxHeight=500,
                achVendID="ZELT", fsType=0)  # our own face: free to embed and install
    fb.setupPost()
    buf = io.BytesIO()
    fb.save(buf)
    return buf.getvalue()


def write_fonts(out_dir):
    folder = os.path.join(out_dir, "Fonts")
    for name, _, source, scale in COPIED_FONTS:
        write_atomic(os.path.join(folder, name), condensed_font_bytes(source, scale))
    write_atomic(os.path.join(folder, HEART_FONT), heart_font_bytes())
