"""Zelto, the robot, and the ball that circles above its head.

The robot is built from rounded boxes, cylinders and capsules in its own
world units (y up, face towards +Z, feet at y = 0). It is seen mostly from
behind, so the back carries the detail: a backpack with a vent grille and
status lights, two glowing thrusters, a head panel with an emblem and an
antenna lamp. One texture atlas of square cells colours every part. The
lights (eyes, lamp, thrusters, status lights) are painted at full brightness,
well above the other albedos, so that once lit they are what bloom picks up.
"""

import numpy as np

from . import geometry as geo
from . import paint
from .layout import BALL_RADIUS

ATLAS_SIZE = 512
CELLS = 4
CELL = ATLAS_SIZE // CELLS
# Pixels kept clear around each cell's used area so mip levels bleed less.
CELL_PAD = 6

# Atlas cells, (column, row) with row 0 at the top of the image.
BODY = (0, 0)
ORANGE = (1, 0)
JOINT = (2, 0)
METAL = (3, 0)
VISOR = (0, 1)
EYE = (1, 1)
LAMP = (2, 1)
CHEST = (3, 1)
GRILLE = (0, 2)
THRUST = (1, 2)
HEAD_BACK = (2, 2)
SOLE = (3, 2)

CREAM = (0.66, 0.64, 0.58)
ORANGE_PAINT = (0.80, 0.37, 0.08)
DARK_JOINT = (0.16, 0.17, 0.20)
STEEL = (0.48, 0.50, 0.54)
NAVY = (0.025, 0.04, 0.09)
EYE_GLOW = (0.55, 1.0, 1.0)
LAMP_GLOW = (1.0, 0.42, 0.30)
THRUST_GLOW = (0.60, 0.92, 1.0)

# The face, named once because the icon draws it too. Rounded shapes are (centre, half
# extents, exponent): a superellipsoid with that exponent both ways, whose outline seen from
# the front is |x/hx|^(2/e) + |y/hy|^(2/e) = 1. Cylinders are (end, end, radius).
HEAD = ((0.0, 1.09, 0.0), (0.30, 0.22, 0.25), 0.4)
VISOR_GLASS = ((0.0, 1.10, 0.225), (0.235, 0.135, 0.04), 0.3)
RIGHT_EYE = ((0.09, 1.115, 0.262), (0.045, 0.06, 0.012), 1.0)
RIGHT_EAR = ((0.285, 1.09, 0.0), (0.335, 1.09, 0.0), 0.08)
NECK = ((0.0, 0.79, 0.0), (0.0, 0.89, 0.0), 0.07)
ANTENNA_COLLAR = ((0.0, 1.28, 0.0), (0.0, 1.33, 0.0), 0.04)
ANTENNA_STEM = ((0.0, 1.32, 0.0), (0.0, 1.41, 0.0), 0.016)
LAMP_BULB = ((0.0, 1.44, 0.0), 0.06)  # centre, radius; its top is the robot's top


def cell_uv(cell, local):
    """Maps local (a, b) in [0, 1]^2, a to the right and b upwards, into a cell."""
    col, row = cell
    span = CELL - 2 * CELL_PAD
    a = np.clip(local[:, 0], 0.0, 1.0)
    b = np.clip(local[:, 1], 0.0, 1.0)
    u = (col * CELL + CELL_PAD + a * span) / ATLAS_SIZE
    v = 1.0 - (row * CELL + CELL_PAD + (1.0 - b) * span) / ATLAS_SIZE
    return np.stack([u, v], 1)


def in_cell(part, cell):
    return part.with_uvs(cell_uv(cell, part.uvs))


def planar(part, cell, facing_back=False):
    """Projects the part's x and y onto a cell, as a decal seen along z. A decal
    on the back is mirrored so that it reads the right way round from behind."""
    p = part.positions
    lo, hi = p.min(axis=0), p.max(axis=0)
    a = (p[:, 0] - lo[0]) / (hi[0] - lo[0])
    if facing_back:
        a = 1.0 - a
    b = (p[:, 1] - lo[1]) / (hi[1] - lo[1])
    return part.with_uvs(cell_uv(cell, np.stack([a, b], 1)))


def _cylinder(a, b, r, side_cell, cap_a_cell, cap_b_cell, n=16):
    side, cap_a, cap_b = geo.frustum(a, b, r, r, n)
    out = [in_cell(side, side_cell)]
    for cap, cell in ((cap_a, cap_a_cell), (cap_b, cap_b_cell)):
        if cap is not None and cell is not None:
            out.append(in_cell(cap, cell))
    return out


def rounded(shape, nu, nv):
    centre, half, exponent = shape
    return geo.superellipsoid(centre, half, exponent, exponent, nu, nv)


def _mirror_x(parts):
    """Left-hand copies of right-hand parts: x negated, winding kept outward."""
    m = np.diag([-1.0, 1.0, 1.0])
    return [geo.Part(p.positions @ m, p.normals @ m, p.uvs, p.faces[:, ::-1]) for p in parts]


def robot_parts():
    se = geo.superellipsoid
    right = []  # parts of the +X side, mirrored for the -X side
    centre = []

    # Feet: rubber sole under an orange shoe.
    right.append(in_cell(se((0.15, 0.02, 0.03), (0.10, 0.02, 0.145), 0.3, 0.3, 20, 10), SOLE))
    right.append(in_cell(se((0.15, 0.075, 0.02), (0.09, 0.055, 0.13), 0.5, 0.35, 20, 10), ORANGE))
    # Legs: ribbed joints.
    right += _cylinder((0.15, 0.11, 0.0), (0.15, 0.36, 0.0), 0.055, JOINT, None, None)
    # Shoulder, arm, hand.
    right.append(in_cell(geo.sphere((0.30, 0.72, 0.0), 0.08, 16, 8), METAL))
    right.append(in_cell(geo.capsule((0.335, 0.70, 0.0), (0.385, 0.47, 0.02), 0.05, 16, 10), BODY))
    right.append(in_cell(geo.sphere((0.39, 0.42, 0.025), 0.065, 16, 8), JOINT))
    # Ear: an orange drum with a steel cap facing out.
    right += _cylinder(*RIGHT_EAR, ORANGE, None, METAL)
    # Thruster under the backpack, its nozzle glowing downwards.
    right += _cylinder((0.10, 0.44, -0.23), (0.10, 0.345, -0.23), 0.05, METAL, None, THRUST)
    right += _cylinder((0.10, 0.37, -0.23), (0.10, 0.35, -0.23), 0.056, THRUST, None, None)
    # Eye.
    right.append(in_cell(rounded(RIGHT_EYE, 16, 8), EYE))

    # Torso with an orange belt, a chest screen in front and a backpack behind.
    centre.append(in_cell(se((0.0, 0.56, 0.0), (0.27, 0.25, 0.20), 0.45, 0.4, 32, 16), BODY))
    centre.append(in_cell(se((0.0, 0.40, 0.0), (0.275, 0.04, 0.21), 0.3, 0.4, 32, 6), ORANGE))
    centre.append(planar(se((0.0, 0.60, 0.20), (0.14, 0.10, 0.03), 0.25, 0.25, 20, 8), CHEST))
    centre.append(in_cell(se((0.0, 0.60, -0.23), (0.20, 0.19, 0.08), 0.35, 0.35, 24, 12), ORANGE))
    centre.append(planar(se((0.0, 0.63, -0.31), (0.14, 0.12, 0.015), 0.2, 0.2, 20, 8), GRILLE,
                         facing_back=True))
    # Neck and head, a dark visor with two glowing eyes, a panel on the back.
    centre += _cylinder(*NECK, JOINT, None, None)
    centre.append(in_cell(rounded(HEAD, 32, 18), BODY))
    centre.append(planar(rounded(VISOR_GLASS, 24, 10), VISOR))
    centre.append(planar(se((0.0, 1.11, -0.235), (0.15, 0.09, 0.03), 0.25, 0.25, 20, 8),
                         HEAD_BACK, facing_back=True))
    # Antenna: collar, stem and lamp.
    centre += _cylinder(*ANTENNA_COLLAR, JOINT, None, METAL)
    centre += _cylinder(*ANTENNA_STEM, METAL, None, None, 12)
    centre.append(in_cell(geo.sphere(*LAMP_BULB, 16, 8), LAMP))

    return right + _mirror_x(right) + centre


def build_robot():
    """The merged robot mesh, shifted so its feet touch y = 0 and its outline
    is centred on x = 0 and z = 0."""
    body = geo.merge(robot_parts())
    p = body.positions
    lo, hi = p.min(axis=0), p.max(axis=0)
    shift = np.array([-(lo[0] + hi[0]) / 2.0, -lo[1], -(lo[2] + hi[2]) / 2.0])
    return body.transformed(offset=shift)


def build_ball():
    return geo.sphere((0.0, 0.0, 0.0), BALL_RADIUS, 32, 16)


# ---- textures -----------------------------------------------------------------


def _noisy(rng, colour, amount=0.06, cells=8):
    n = paint.fractal(rng, CELL, CELL, cells, cells, 3)
    return paint.solid(CELL, CELL, colour) * (1.0 - amount + 2.0 * amount * n)[..., None]


def _cell_body(rng):
    img = _noisy(rng, CREAM, 0.04)
    x, y = paint.grid(CELL, CELL)
    # A seam round the middle of each rounded shell (its equator).
    paint.blend(img, paint.segment(x, y, -10, CELL / 2, CELL + 10, CELL / 2, 1.2), (0.38, 0.37, 0.35))
    return img


def _cell_joint(rng):
    img = _noisy(rng, DARK_JOINT, 0.05)
    _, y = paint.grid(CELL, CELL)
    ribs = 0.75 + 0.25 * np.cos(2.0 * np.pi * 6.0 * y / CELL)
    return img * ribs[..., None] * 1.1


def visor_cell():
    """The visor glass; the icon shows it too."""
    img = paint.solid(CELL, CELL, NAVY)
    x, y = paint.grid(CELL, CELL)
    # Soft diagonal reflection across the glass.
    band = np.exp(-(((x - y) - 20.0) / 18.0) ** 2)
    img += band[..., None] * np.array([0.08, 0.11, 0.17])
    # A cyan smile under the eyes.
    t = np.linspace(-1.0, 1.0, 24)
    pts = np.stack([CELL / 2 + 18 * t, CELL * 0.70 + 7 * (1 - t * t)], 1)
    smile = np.zeros_like(x)
    for (ax, ay), (bx, by) in zip(pts[:-1], pts[1:]):
        smile = np.maximum(smile, paint.segment(x, y, ax, ay, bx, by, 2.2))
    paint.blend(img, smile, (0.35, 0.95, 1.0))
    # Dark rim where the glass meets the head.
    rim = 1.0 - paint.rounded_rect(x, y, 5, 5, CELL - 5, CELL - 5, 14)
    paint.blend(img, rim, (0.10, 0.10, 0.12))
    return img


def _cell_glow(colour):
    x, y = paint.grid(CELL, CELL)
    img = paint.solid(CELL, CELL, colour)
    # Hot white centre so the middle of the light blooms most.
    core = np.exp(-((x - CELL * 0.5) ** 2 + (y - CELL * 0.5) ** 2) / (2 * (CELL * 0.25) ** 2))
    return img + core[..., None] * (1.0 - np.asarray(colour))


def _heart(cx, cy, size, steps=64):
    t = np.linspace(0.0, 2.0 * np.pi, steps, endpoint=False)
    hx = 16 * np.sin(t) ** 3
    hy = 13 * np.cos(t) - 5 * np.cos(2 * t) - 2 * np.cos(3 * t) - np.cos(4 * t)
    return list(zip(cx + hx * size / 32.0, cy - hy * size / 32.0))


def _cell_chest(rng):
    img = _noisy(rng, STEEL, 0.05)
    x, y = paint.grid(CELL, CELL)
    screen = paint.rounded_rect(x, y, 16, 16, CELL - 16, CELL - 16, 10)
    paint.blend(img, screen, (0.02, 0.06, 0.05))
    paint.blend(img, paint.polygon(CELL, CELL, _heart(CELL * 0.36, CELL * 0.50, 44)),
                (1.0, 0.35, 0.45))
    for i, h in enumerate((18, 30, 24, 36)):
        x0 = CELL * 0.60 + i * 9
        bar = paint.rounded_rect(x, y, x0, CELL * 0.70 - h, x0 + 6, CELL * 0.70, 1.5)
        paint.blend(img, bar, (0.35, 1.0, 0.55))
    return img


def _cell_grille(rng):
    img = _noisy(rng, ORANGE_PAINT, 0.05)
    x, y = paint.grid(CELL, CELL)
    plate = paint.rounded_rect(x, y, 12, 12, CELL - 12, CELL - 12, 10)
    paint.blend(img, plate, (0.20, 0.21, 0.24))
    for i in range(5):
        y0 = 24 + i * 14
        paint.blend(img, paint.rounded_rect(x, y, 24, y0, CELL - 24, y0 + 6, 3), (0.04, 0.04, 0.05))
    # Status lights: green, amber, red.
    for i, colour in enumerate(((0.4, 1.0, 0.5), (1.0, 0.85, 0.3), (1.0, 0.35, 0.3))):
        paint.blend(img, paint.circle(x, y, CELL * 0.3 + i * CELL * 0.2, CELL * 0.82, 6.5), colour)
    return img


def _cell_head_back(rng):
    img = _noisy(rng, STEEL, 0.05)
    x, y = paint.grid(CELL, CELL)
    for cx in (16, CELL - 16):
        for cy in (16, CELL - 16):
            paint.blend(img, paint.circle(x, y, cx, cy, 7), (0.22, 0.23, 0.25))
            paint.blend(img, paint.circle(x, y, cx, cy, 5), (0.62, 0.64, 0.66))
    # Orange "Z" emblem, the robot's initial.
    s = CELL / 128.0
    z = [(36, 34), (92, 34), (92, 46), (54, 82), (92, 82), (92, 94), (36, 94), (36, 82),
         (74, 46), (36, 46)]
    paint.blend(img, paint.polygon(CELL, CELL, [(px * s, py * s) for px, py in z]), ORANGE_PAINT)
    return img


def robot_texture(rng):
    painters = {
        BODY: lambda: _cell_body(rng),
        ORANGE: lambda: _noisy(rng, ORANGE_PAINT, 0.05),
        JOINT: lambda: _cell_joint(rng),
        METAL: lambda: _noisy(rng, STEEL, 0.06, 16),
        VISOR: visor_cell,
        EYE: lambda: _cell_glow(EYE_GLOW),
        LAMP: lambda: _cell_glow(LAMP_GLOW),
        CHEST: lambda: _cell_chest(rng),
        GRILLE: lambda: _cell_grille(rng),
        THRUST: lambda: _cell_glow(THRUST_GLOW),
        HEAD_BACK: lambda: _cell_head_back(rng),
        SOLE: lambda: _noisy(rng, (0.09, 0.09, 0.10), 0.1),
    }
    atlas = paint.solid(ATLAS_SIZE, ATLAS_SIZE, CREAM)
    for row in range(CELLS):
        for col in range(CELLS):
            painter = painters.get((col, row))
            if painter is not None:
                atlas[row * CELL:(row + 1) * CELL, col * CELL:(col + 1) * CELL] = painter()
    return atlas


def ball_texture(rng, size=256):
    """Warm gold with two bright bands, so its spin above the head is visible."""
    width, height = size, size // 2 * 2
    n = paint.fractal(rng, width, height, 4, 4, 3)
    img = paint.solid(width, height, (0.85, 0.62, 0.18)) * (0.85 + 0.3 * n)[..., None]
    x, y = paint.grid(width, height)
    for yc in (0.35, 0.65):
        paint.blend(img, paint.segment(x, y, -5, yc * height, width + 5, yc * height, 5),
                    (1.0, 0.93, 0.7))
    stripe = paint.segment(x, y, width * 0.25, -5, width * 0.25, height + 5, 4)
    paint.blend(img, stripe, (0.55, 0.30, 0.06))
    return img
