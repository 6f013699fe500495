"""Small props: the stone that the track carries and a toy rocket."""

import numpy as np

from . import geometry as geo
from . import paint
from .layout import ROCKET_HEIGHT, STONE_WIDTH

STONE_SUBDIVISIONS = 2
# Flat facets cut into the rock, like fractures.
STONE_CUTS = 4
# Rock image repeats per world unit on the stone's surface.
STONE_TEXTURE_REPEATS = 2.0
STONE_TEXTURE = 256
ROCKET_TEXTURE = 256


def build_stone(rng):
    """A broken rock: an icosphere pushed in and out by 3D noise, chipped by a
    few flat cuts, centred on the origin and scaled to STONE_WIDTH across x."""
    dirs, faces = geo.icosphere(STONE_SUBDIVISIONS)
    offset = rng.random(3) * 8.0
    lumps = geo_noise(rng, dirs * 1.3 + offset, 3)
    bumps = geo_noise(rng, dirs * 4.0 + offset, 2)
    radius = 0.75 + 0.45 * lumps + 0.06 * bumps
    p = dirs * radius[:, None] * np.array([1.0, 0.8, 0.9])
    for _ in range(STONE_CUTS):
        n = geo.normalize(rng.normal(size=3))
        depth = 0.62 + 0.15 * rng.random()
        over = np.maximum(p @ n - depth, 0.0)
        p = p - over[:, None] * n
    lo, hi = p.min(axis=0), p.max(axis=0)
    p = (p - (lo + hi) / 2.0) * (STONE_WIDTH / (hi[0] - lo[0]))
    return geo.box_uv_part(p, faces, STONE_TEXTURE_REPEATS)


def geo_noise(rng, points, octaves):
    total, amp, norm = np.zeros(len(points)), 1.0, 0.0
    for o in range(octaves):
        total += amp * paint.noise3(rng, points * (2 ** o), cells=16)
        norm += amp
        amp *= 0.5
    return total / norm


def stone_texture(rng):
    size = STONE_TEXTURE
    base = paint.fractal(rng, size, size, 4, 4, 5)
    grain = paint.fractal(rng, size, size, 32, 32, 2)
    # Cracks where a ridged noise comes close to its mid value.
    ridge = np.abs(paint.fractal(rng, size, size, 4, 4, 4) - 0.5)
    cracks = np.clip(1.0 - ridge / 0.02, 0.0, 1.0) ** 2
    warm = np.array([0.42, 0.36, 0.30])
    cool = np.array([0.30, 0.31, 0.33])
    img = warm * base[..., None] + cool * (1.0 - base[..., None])
    img *= (0.75 + 0.35 * grain)[..., None]
    img *= (1.0 - 0.5 * cracks)[..., None]
    speckle = (grain > 0.93).astype(float) * 0.5
    paint.blend(img, speckle, (0.62, 0.60, 0.55))
    return img


# Rocket atlas: 2 x 2 cells of 128 pixels, (column, row), row 0 at the top.
_R_HULL, _R_RED, _R_METAL, _R_DARK = (0, 0), (1, 0), (0, 1), (1, 1)


def _rocket_cell(cell, part):
    col, row = cell
    pad = 4.0 / ROCKET_TEXTURE
    a = np.clip(part.uvs[:, 0], 0.0, 1.0)
    b = np.clip(part.uvs[:, 1], 0.0, 1.0)
    u = col * 0.5 + pad + a * (0.5 - 2 * pad)
    v = 1.0 - (row * 0.5 + pad + (1.0 - b) * (0.5 - 2 * pad))
    return part.with_uvs(np.stack([u, v], 1))


def _fin(angle):
    """A thin swept fin on the hull, as a closed prism with flat faces."""
    h = ROCKET_HEIGHT
    outline = np.array([(0.095, 0.42 * h), (0.21, 0.10 * h), (0.21, 0.0), (0.095, 0.14 * h)])
    half_thick = 0.012
    verts, faces = [], []
    for side in (-1.0, 1.0):
        for rr, y in outline:
            verts.append((rr, y, side * half_thick))
    verts = np.array(verts)
    n = len(outline)
    faces = [(0, 2, 1), (0, 3, 2), (n, n + 1, n + 2), (n, n + 2, n + 3)]
    for k in range(n):
        j = (k + 1) % n
        faces += [(k, j, n + j), (k, n + j, n + k)]
    # Flat shading: every face gets its own three corners.
    tri = verts[np.array(faces)]
    normals = geo.normalize(np.cross(tri[:, 1] - tri[:, 0], tri[:, 2] - tri[:, 0]))
    centre = verts.mean(axis=0)
    flip = np.sum(normals * (tri.mean(axis=1) - centre), axis=1) < 0.0
    tri[flip] = tri[flip][:, ::-1]
    normals[flip] *= -1.0
    p = tri.reshape(-1, 3)
    uv = np.stack([(p[:, 0] - 0.09) / 0.13, p[:, 1] / (0.45 * h)], 1)
    part = geo.Part(p, np.repeat(normals, 3, axis=0), uv, np.arange(len(p)).reshape(-1, 3))
    c, s = np.cos(angle), np.sin(angle)
    rot = np.array([[c, 0.0, s], [0.0, 1.0, 0.0], [-s, 0.0, c]])
    return _rocket_cell(_R_RED, part).transformed(rot)


def build_rocket():
    h = ROCKET_HEIGHT
    parts = []
    hull, _, _ = geo.frustum((0, 0.16 * h, 0), (0, 0.68 * h, 0), 0.1, 0.1, 32, False, False)
    parts.append(_rocket_cell(_R_HULL, hull))
    # Ogive nose: a stack of short cones following a circular arc.
    rows = 8
    ys = np.linspace(0.68 * h, h, rows + 1)
    rs = 0.1 * np.sqrt(np.clip(1.0 - ((ys - 0.68 * h) / (0.32 * h)) ** 2, 0.0, 1.0))
    for k in range(rows):
        side, _, _ = geo.frustum((0, ys[k], 0), (0, ys[k + 1], 0), rs[k], rs[k + 1], 32, False,
                                 False)
        parts.append(_rocket_cell(_R_RED, side))
    nozzle, _, exhaust = geo.frustum((0, 0.16 * h, 0), (0, 0.04 * h, 0), 0.06, 0.085, 24, True,
                                     True)
    parts.append(_rocket_cell(_R_METAL, nozzle))
    parts.append(_rocket_cell(_R_DARK, exhaust))
    for k in range(3):
        parts.append(_fin(2.0 * np.pi * k / 3.0 + np.pi / 2.0))
    rocket = geo.merge(parts)
    lo = rocket.positions.min(axis=0)
    # Standing on the origin, base at y = 0.
    return rocket.transformed(offset=(0.0, -lo[1], 0.0))


def rocket_texture(rng):
    size = ROCKET_TEXTURE
    half = size // 2
    img = np.zeros((size, size, 3))
    x, y = paint.grid(half, half)
    hull = paint.solid(half, half, (0.68, 0.68, 0.66)) * \
        (0.94 + 0.08 * paint.fractal(rng, half, half, 4, 4, 3))[..., None]
    # A red band under the nose and a porthole; the hull cell wraps once around
    # (0.63 units) and spans 0.47 units of height, so the porthole is an ellipse.
    paint.blend(hull, paint.rounded_rect(x, y, -5, 8, half + 5, 20, 2), (0.70, 0.12, 0.10))
    rx = 0.05 / 0.63 * half
    ry = 0.05 / 0.47 * half
    paint.blend(hull, paint.ellipse(x, y, half * 0.25, half * 0.42, rx * 1.3, ry * 1.3),
                (0.35, 0.36, 0.38))
    paint.blend(hull, paint.ellipse(x, y, half * 0.25, half * 0.42, rx, ry), (0.15, 0.35, 0.6))
    img[:half, :half] = hull
    img[:half, half:] = paint.solid(half, half, (0.70, 0.12, 0.10))
    img[half:, :half] = paint.solid(half, half, (0.42, 0.43, 0.46))
    img[half:, half:] = paint.solid(half, half, (0.10, 0.09, 0.09))
    return img
