"""The desktop icon: Zelto's face seen straight from the front, drawn from the robot's own
shapes and colours (robot.py), on a transparent square.

The front view is orthographic: world x to the right, y up, z dropped. The face fills the
square but for MARGIN pixels; every shape gets a dark OUTLINE so that the cream head stands
out on light backgrounds as well as dark ones.
"""

import numpy as np

from . import paint
from . import robot as r

SIZE = 256
MARGIN = 6  # pixels kept clear at the edges of the square
OUTLINE = 3.0  # pixels
# The head is lit from above: its colour runs from TOP_SHADE at the top to BOTTOM_SHADE.
TOP_SHADE, BOTTOM_SHADE = 1.12, 0.78
EAR_CAP = 0.3  # share of the ear's length its steel cap shows from the front
GLOW_CORE = 0.3  # the white-hot centre of a light, as a share of its smaller radius
# Pixel sizes in the Windows icon: Explorer's small, medium and large views and the taskbar
# take 16, 32 and 48; 256 is the largest an icon holds, this square itself.
ICO_SIZES = (16, 32, 48, SIZE)


def _frame():
    """Pixels per world unit and the world point at the centre of the square."""
    _, (ear_x, _, _), _ = r.RIGHT_EAR
    (_, head_y, _), (_, head_half, _), _ = r.HEAD
    (_, lamp_y, _), lamp_radius = r.LAMP_BULB
    left, right = -ear_x, ear_x
    bottom, top = head_y - head_half, lamp_y + lamp_radius
    scale = (SIZE - 2 * MARGIN) / max(right - left, top - bottom)
    return scale, ((left + right) / 2.0, (bottom + top) / 2.0)


class FrontView:
    """Coverage masks of world shapes on the icon, each optionally grown by some pixels."""

    def __init__(self):
        self.scale, (self.cx, self.cy) = _frame()
        self.x, self.y = paint.grid(SIZE, SIZE)

    def px(self, wx, wy):
        return SIZE / 2 + (wx - self.cx) * self.scale, SIZE / 2 - (wy - self.cy) * self.scale

    def rounded(self, shape, mirror=False, grow=0.0):
        """The front outline of a robot.rounded shape (see robot.HEAD)."""
        (wx, wy, _), (hx, hy, _), e = shape
        px, py = self.px(-wx if mirror else wx, wy)
        ax, ay = hx * self.scale, hy * self.scale
        level = (np.abs((self.x - px) / ax) ** (2 / e) + np.abs((self.y - py) / ay) ** (2 / e))
        # Distance to the outline, to first order, in pixels.
        return paint.coverage((level ** (e / 2) - 1.0) * min(ax, ay) - grow)

    def box(self, low, high, grow=0.0, radius=2.0):
        """A world-aligned rectangle between two corners (x, y)."""
        (x0, y1), (x1, y0) = self.px(*low), self.px(*high)
        x0, x1 = min(x0, x1), max(x0, x1)
        return paint.rounded_rect(self.x, self.y, x0 - grow, y0 - grow, x1 + grow, y1 + grow,
                                  radius + grow)

    def cylinder(self, shape, mirror=False, grow=0.0):
        """A cylinder along x or y (robot.RIGHT_EAR and the like), seen from the side."""
        a, b, radius = shape
        sign = -1.0 if mirror else 1.0
        if a[0] == b[0]:  # vertical
            return self.box((sign * a[0] - radius, a[1]), (sign * b[0] + radius, b[1]), grow)
        return self.box((sign * a[0], a[1] - radius), (sign * b[0], b[1] + radius), grow)

    def disc(self, centre, radius, grow=0.0):
        px, py = self.px(centre[0], centre[1])
        return paint.circle(self.x, self.y, px, py, radius * self.scale + grow)

    def glow(self, centre, radius, colour, mirror=False):
        """A light's colour, running to white at its centre as robot._cell_glow paints it."""
        px, py = self.px(-centre[0] if mirror else centre[0], centre[1])
        spread = GLOW_CORE * radius * self.scale
        core = np.exp(-((self.x - px) ** 2 + (self.y - py) ** 2) / (2 * spread ** 2))
        return paint.solid(SIZE, SIZE, colour) + core[..., None] * (1.0 - np.asarray(colour))

    def visor(self):
        """robot.visor_cell laid over the visor's front outline, as the model's planar uvs lay
        it: the cell's padded area spans the glass's bounding box."""
        (wx, wy, _), (hx, hy, _), _ = r.VISOR_GLASS
        (x0, y0), (x1, y1) = self.px(wx - hx, wy + hy), self.px(wx + hx, wy - hy)
        span = r.CELL - 2 * r.CELL_PAD
        u = r.CELL_PAD + (self.x - x0) / (x1 - x0) * span - 0.5
        v = r.CELL_PAD + (self.y - y0) / (y1 - y0) * span - 0.5
        return _bilinear(r.visor_cell(), u, v)


def _bilinear(image, u, v):
    """image sampled at pixel coordinates (u, v), clamped to its edges."""
    rows, columns = image.shape[:2]
    u, v = np.clip(u, 0, columns - 1), np.clip(v, 0, rows - 1)
    u0, v0 = np.minimum(u.astype(int), columns - 2), np.minimum(v.astype(int), rows - 2)
    fu, fv = (u - u0)[..., None], (v - v0)[..., None]
    top = image[v0, u0] * (1 - fu) + image[v0, u0 + 1] * fu
    bottom = image[v0 + 1, u0] * (1 - fu) + image[v0 + 1, u0 + 1] * fu
    return top * (1 - fv) + bottom * fv


def face_icon():
    """The icon as straight (not premultiplied) RGBA floats in [0, 1], row 0 at the top."""
    view = FrontView()
    # Premultiplied colour and alpha, painted back to front.
    colour, alpha = np.zeros((SIZE, SIZE, 3)), np.zeros((SIZE, SIZE))

    def over(mask, paint_colour):
        nonlocal alpha
        paint.blend(colour, mask, paint_colour)
        alpha = alpha * (1.0 - mask) + mask

    outline = [view.cylinder(r.ANTENNA_STEM, grow=OUTLINE),
               view.cylinder(r.ANTENNA_COLLAR, grow=OUTLINE), view.rounded(r.HEAD, grow=OUTLINE),
               view.disc(*r.LAMP_BULB, grow=OUTLINE), view.cylinder(r.RIGHT_EAR, False, OUTLINE),
               view.cylinder(r.RIGHT_EAR, True, OUTLINE)]
    over(np.max(outline, axis=0), r.DARK_JOINT)
    over(view.cylinder(r.ANTENNA_STEM), r.STEEL)
    over(view.cylinder(r.ANTENNA_COLLAR), r.DARK_JOINT)
    for mirror in (False, True):
        over(view.cylinder(r.RIGHT_EAR, mirror), r.ORANGE_PAINT)
        # The ear's steel cap faces outwards: seen from the front, a strip at its outer end.
        inner, outer, radius = r.RIGHT_EAR
        cap_start = (outer[0] - EAR_CAP * (outer[0] - inner[0]), *outer[1:])
        over(view.cylinder((cap_start, outer, radius), mirror), r.STEEL)
    (_, head_y, _), (_, head_half, _), _ = r.HEAD
    top, bottom = view.px(0.0, head_y + head_half)[1], view.px(0.0, head_y - head_half)[1]
    shade = np.interp(view.y, (top, bottom), (TOP_SHADE, BOTTOM_SHADE))[..., None]
    over(view.rounded(r.HEAD), np.clip(np.asarray(r.CREAM) * shade, 0.0, 1.0))
    over(view.rounded(r.VISOR_GLASS), view.visor())
    for mirror in (False, True):
        centre, half, _ = r.RIGHT_EYE
        over(view.rounded(r.RIGHT_EYE, mirror), view.glow(centre, min(half[:2]), r.EYE_GLOW,
                                                          mirror))
    over(view.disc(*r.LAMP_BULB), view.glow(*r.LAMP_BULB, r.LAMP_GLOW))
    straight = colour / np.maximum(alpha, 1e-6)[..., None]
    return np.concatenate([np.clip(straight, 0.0, 1.0), alpha[..., None]], axis=2)
