"""Procedural image helpers: tileable noise, anti-aliased shapes, normal maps.

Images are float arrays of shape (rows, columns, 3) in [0, 1], row 0 at the
top. Coverage masks are (rows, columns) in [0, 1]. Coordinates are pixels,
x to the right and y down, with pixel centres at integer + 0.5.
"""

import numpy as np
from PIL import Image, ImageDraw

# Supersampling factor for polygon masks drawn with PIL.
POLY_SUPERSAMPLE = 4


def _smooth(x):
    return x * x * (3.0 - 2.0 * x)


def tile_noise(rng, width, height, cells_x, cells_y):
    """Value noise in [0, 1] that wraps: column 0 continues the last column and
    row 0 the last row, so the image tiles with GL_REPEAT."""
    lattice = rng.random((cells_y, cells_x))
    x = (np.arange(width) + 0.5) * cells_x / width
    y = (np.arange(height) + 0.5) * cells_y / height
    x0 = np.floor(x).astype(int)
    y0 = np.floor(y).astype(int)
    fx = _smooth(x - x0)[None, :]
    fy = _smooth(y - y0)[:, None]
    x0 %= cells_x
    y0 %= cells_y
    x1 = (x0 + 1) % cells_x
    y1 = (y0 + 1) % cells_y
    top = lattice[y0][:, x0] * (1 - fx) + lattice[y0][:, x1] * fx
    bottom = lattice[y1][:, x0] * (1 - fx) + lattice[y1][:, x1] * fx
    return top * (1 - fy) + bottom * fy


def fractal(rng, width, height, cells_x, cells_y, octaves=4, gain=0.5):
    """Sum of tileable octaves, rescaled to [0, 1]."""
    total = np.zeros((height, width))
    amp, norm = 1.0, 0.0
    for o in range(octaves):
        total += amp * tile_noise(rng, width, height, cells_x << o, cells_y << o)
        norm += amp
        amp *= gain
    total /= norm
    return (total - total.min()) / max(total.max() - total.min(), 1e-9)


def noise3(rng, points, cells=8):
    """Value noise in [0, 1] at 3D points (wraps every `cells` units)."""
    lattice = rng.random((cells, cells, cells))
    p = np.asarray(points, dtype=np.float64)
    i0 = np.floor(p).astype(int)
    f = _smooth(p - i0)
    i0 %= cells
    i1 = (i0 + 1) % cells
    out = np.zeros(len(p))
    for dx in (0, 1):
        wx = f[:, 0] if dx else 1 - f[:, 0]
        ix = i1[:, 0] if dx else i0[:, 0]
        for dy in (0, 1):
            wy = f[:, 1] if dy else 1 - f[:, 1]
            iy = i1[:, 1] if dy else i0[:, 1]
            for dz in (0, 1):
                wz = f[:, 2] if dz else 1 - f[:, 2]
                iz = i1[:, 2] if dz else i0[:, 2]
                out += wx * wy * wz * lattice[ix, iy, iz]
    return out


def grid(width, height):
    """Pixel-centre coordinates (x, y), each of shape (height, width)."""
    return np.meshgrid(np.arange(width) + 0.5, np.arange(height) + 0.5)


def coverage(signed_distance):
    """Anti-aliased coverage of the region where the distance is negative."""
    return np.clip(0.5 - signed_distance, 0.0, 1.0)


def circle(x, y, cx, cy, r):
    return coverage(np.hypot(x - cx, y - cy) - r)


def ellipse(x, y, cx, cy, rx, ry):
    d = np.hypot((x - cx) / rx, (y - cy) / ry)
    return coverage((d - 1.0) * min(rx, ry))


def rounded_rect(x, y, x0, y0, x1, y1, radius):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius
    qx = np.abs(x - cx) - hx
    qy = np.abs(y - cy) - hy
    outside = np.hypot(np.maximum(qx, 0.0), np.maximum(qy, 0.0))
    inside = np.minimum(np.maximum(qx, qy), 0.0)
    return coverage(outside + inside - radius)


def segment(x, y, ax, ay, bx, by, half_width):
    px, py = x - ax, y - ay
    dx, dy = bx - ax, by - ay
    h = np.clip((px * dx + py * dy) / (dx * dx + dy * dy), 0.0, 1.0)
    return coverage(np.hypot(px - dx * h, py - dy * h) - half_width)


def polygon(width, height, points):
    """Coverage of a polygon given in pixel coordinates."""
    ss = POLY_SUPERSAMPLE
    img = Image.new("L", (width * ss, height * ss), 0)
    ImageDraw.Draw(img).polygon([(px * ss, py * ss) for px, py in points], fill=255)
    a = np.asarray(img, dtype=np.float64) / 255.0
    return a.reshape(height, ss, width, ss).mean(axis=(1, 3))


def blend(img, mask, colour):
    """Paints colour over img where mask covers it (in place)."""
    m = mask[..., None]
    img *= 1.0 - m
    img += m * np.asarray(colour, dtype=np.float64)
    return img


def solid(width, height, colour):
    return np.tile(np.asarray(colour, dtype=np.float64), (height, width, 1))


def normal_map(height_field, strength):
    """Tangent-space normals of a wrapping height field, encoded n * 0.5 + 0.5.

    Red follows the image's columns (+u). Green follows the image's rows
    downwards: the importer flips v and derives its bitangent from the flipped
    coordinate, so the bitangent points down the image. Blue is the surface
    normal. strength converts height units per pixel into slope.
    """
    h = height_field
    dx = (np.roll(h, -1, axis=1) - np.roll(h, 1, axis=1)) * 0.5
    dy = (np.roll(h, -1, axis=0) - np.roll(h, 1, axis=0)) * 0.5
    n = np.stack([-strength * dx, -strength * dy, np.ones_like(h)], -1)
    n /= np.linalg.norm(n, axis=-1, keepdims=True)
    return n * 0.5 + 0.5
