"""The backdrop: a star sphere seen from inside and a banded gas planet.

Both are drawn unlit, so their images are their final colours. The planet's
day and night sides are painted into its texture (it never turns).
"""

import numpy as np

from . import geometry as geo
from . import paint
from .layout import PLANET_CENTRE, PLANET_RADIUS, SKYBOX_RADIUS

SKY_WIDTH, SKY_HEIGHT = 1024, 512
# The sky image tiles; repeating it keeps each texel near one screen pixel.
SKY_U_REPEATS = 3
SKY_V_REPEATS = 1.5
SKY_STARS = 1800
# Peak brightness of the nebula gas, kept faint behind the stars.
NEBULA_STRENGTH = 0.7

PLANET_WIDTH, PLANET_HEIGHT = 512, 256
# Direction of the planet's (far away) sun: from the right, a little above and
# in front, so a crescent of night shows on its left as the camera sees it.
PLANET_SUN = (0.9, 0.35, 0.5)
# Storm position in the image (fractions of width and height), on the side
# that faces the track.
STORM = (0.84, 0.62)


def _globe():
    """Unit sphere, s around from +X (same sense as the ring angle), t from the
    south pole to the north pole. Returns the surface and its outward normals."""
    def surface(s, t):
        lon = 2.0 * np.pi * s
        lat = np.pi * (t - 0.5)
        return np.stack([np.cos(lat) * np.cos(lon), np.sin(lat), -np.cos(lat) * np.sin(lon)], -1)
    return surface


def build_skybox():
    surface = _globe()
    part = geo.grid_part(lambda s, t: surface(s, t) * SKYBOX_RADIUS, 64, 32,
                         lambda s, t: surface(s, t))
    part = geo.orient_outward(part).flipped()
    uvs = part.uvs * np.array([SKY_U_REPEATS, SKY_V_REPEATS])
    return part.with_uvs(uvs)


def build_planet():
    surface = _globe()
    part = geo.grid_part(lambda s, t: surface(s, t) * PLANET_RADIUS, 64, 32,
                         lambda s, t: surface(s, t))
    return geo.orient_outward(part).transformed(offset=PLANET_CENTRE)


def _splat(img, x, y, brightness, sigma, colour):
    """Adds a small gaussian star, wrapping around the image's edges."""
    h, w, _ = img.shape
    r = int(np.ceil(3 * sigma)) + 1
    xs = np.arange(int(x) - r, int(x) + r + 1)
    ys = np.arange(int(y) - r, int(y) + r + 1)
    g = np.exp(-(((xs[None, :] + 0.5 - x) ** 2) + ((ys[:, None] + 0.5 - y) ** 2)) / (2 * sigma ** 2))
    img[np.ix_(ys % h, xs % w)] += (g * brightness)[..., None] * np.asarray(colour)


def sky_texture(rng):
    w, h = SKY_WIDTH, SKY_HEIGHT
    img = paint.solid(w, h, (0.004, 0.005, 0.018))
    # Faint nebula: two coloured gas layers shaped by ridged noise.
    for colour, cells in (((0.30, 0.09, 0.40), 3), ((0.05, 0.22, 0.34), 4)):
        cloud = paint.fractal(rng, w, h, cells * 2, cells, 6, 0.6)
        mask = paint.fractal(rng, w, h, cells * 2, cells, 2)
        density = np.clip((cloud - 0.35) * 2.0, 0.0, 1.0) ** 1.5 * np.clip(mask * 2.0 - 0.6, 0, 1)
        img += density[..., None] * np.asarray(colour) * NEBULA_STRENGTH
    dust = paint.fractal(rng, w, h, 32, 16, 3)
    img *= (0.8 + 0.4 * dust)[..., None]
    # Stars: many faint ones, a few bright ones, tinted blue-white to amber.
    tints = np.array([(0.75, 0.85, 1.0), (1.0, 1.0, 1.0), (1.0, 0.92, 0.78), (1.0, 0.8, 0.6)])
    xs = rng.random(SKY_STARS) * w
    ys = rng.random(SKY_STARS) * h
    mags = rng.random(SKY_STARS) ** 6
    kinds = rng.integers(0, len(tints), SKY_STARS)
    for x, y, m, k in zip(xs, ys, mags, kinds):
        _splat(img, x, y, 0.2 + 1.4 * m, 0.5 + 0.6 * m, tints[k])
    return img


def planet_texture(rng):
    w, h = PLANET_WIDTH, PLANET_HEIGHT
    x, y = paint.grid(w, h)
    lat = np.pi * (0.5 - y / h)                  # row 0 is the north pole (v = 1)
    lon = 2.0 * np.pi * x / w
    # Bands of latitude, bent by turbulence so their edges swirl.
    warp = paint.fractal(rng, w, h, 8, 4, 5) - 0.5
    band = np.sin(lat * 9.0 + warp * 2.2) * 0.5 + 0.5
    fine = paint.fractal(rng, w, h, 16, 8, 4)
    palette = np.array([(0.62, 0.44, 0.28), (0.70, 0.60, 0.45), (0.48, 0.26, 0.16), (0.66, 0.52, 0.36)])
    idx = band * (len(palette) - 1)
    lo = np.floor(idx).astype(int)
    hi = np.minimum(lo + 1, len(palette) - 1)
    f = (idx - lo)[..., None]
    img = palette[lo] * (1 - f) + palette[hi] * f
    img *= (0.88 + 0.24 * fine)[..., None]
    # A great storm: an oval eye in the southern bands.
    sx, sy = STORM
    storm = paint.ellipse(x, y, w * sx, h * sy, w * 0.05, h * 0.045)
    paint.blend(img, storm * 0.85, (0.72, 0.30, 0.18))
    paint.blend(img, paint.ellipse(x, y, w * sx, h * sy, w * 0.022, h * 0.02) * 0.6,
                (0.82, 0.55, 0.40))
    # Day and night: the sphere's normal at each texel against the sun.
    n = np.stack([np.cos(lat) * np.cos(lon), np.sin(lat), -np.cos(lat) * np.sin(lon)], -1)
    sun = np.asarray(PLANET_SUN) / np.linalg.norm(PLANET_SUN)
    light = np.clip((n @ sun + 0.12) / 1.12, 0.0, 1.0) ** 0.75
    return img * (0.03 + 0.97 * light)[..., None]
