"""The track: a torus of metal panels with lanes, seams, rivets and vents.

Surface layout. The ring angle g and the tube angle t follow the game's
placement rule: point = ((R + r cos t) cos g, r sin t, -(R + r cos t) sin g),
t = 90 degrees on top of the tube. u runs against g, so at the robot (g = 180)
+u points along -Z, the way the robot runs; v runs with t. Seen from outside,
this (u, v) frame is mirrored (du x dv points into the tube). With the
importer's flipped v, that makes its bitangent equal cross(normal, tangent),
so a shader may take either and read the normal map the same way.

One texture tile spans TILE_U_REPEATS-th of the ring and half the tube, so a
tile is about 1.8 x 1.9 units: square enough that panels keep their shape.
"""

import numpy as np

from . import geometry as geo
from . import paint
from .layout import TRACK_MAJOR_RADIUS, TRACK_MINOR_RADIUS

RING_SEGMENTS = 128
TUBE_SEGMENTS = 32
TILE_U_REPEATS = 14
TILE_V_REPEATS = 2
# Tube angle (degrees) that lands on a lane's centre line; 90 puts the robot,
# standing on top of the tube, in the middle of a lane.
LANE_CENTRE_TUBE_ANGLE = 90.0

TILE = 512
LANE = TILE // 2          # two lanes per tile, split by a groove
PANEL = TILE // 2         # two panels per lane per tile
GROOVE_HALF_WIDTH = 5.0   # pixels
RIVET_RADIUS = 5.0        # pixels
NORMAL_STRENGTH = 6.0     # slope per unit of height per pixel


def build_track():
    R, r = TRACK_MAJOR_RADIUS, TRACK_MINOR_RADIUS

    def angles(s, t):
        return 2.0 * np.pi * s, 2.0 * np.pi * t

    def surface(s, t):
        g, a = angles(s, t)
        ring = R + r * np.cos(a)
        return np.stack([np.cos(g) * ring, r * np.sin(a), -np.sin(g) * ring], -1)

    def normals(s, t):
        g, a = angles(s, t)
        return np.stack([np.cos(g) * np.cos(a), np.sin(a), -np.sin(g) * np.cos(a)], -1)

    part = geo.grid_part(surface, RING_SEGMENTS, TUBE_SEGMENTS, normals)
    # d/ds x d/dt points out of the tube for this surface, so the faces already
    # wind outwards; only the uvs change to the mirrored layout.
    s, t = part.uvs[:, 0], part.uvs[:, 1]
    # Row 128 of the tile (3/4 up a tile) is a lane centre.
    v_offset = 0.75 - LANE_CENTRE_TUBE_ANGLE / 360.0 * TILE_V_REPEATS
    uvs = np.stack([(1.0 - s) * TILE_U_REPEATS, t * TILE_V_REPEATS + v_offset], 1)
    return part.with_uvs(uvs)


def _track_layout(rng):
    """Height field (0 = groove floor, about 0.5 = panel top) and paint masks."""
    x, y = paint.grid(TILE, TILE)
    h = np.full((TILE, TILE), 0.5)
    masks = {k: np.zeros((TILE, TILE)) for k in ("dash", "chevron", "rivet", "vent")}
    dome = np.zeros((TILE, TILE))

    def groove_profile(distance):
        return 0.5 * np.clip(distance / GROOVE_HALF_WIDTH, 0.0, 1.0) ** 0.7

    # Lane grooves run along the track (along u, the image's columns).
    for row in (0, LANE, TILE):
        h = np.minimum(h, groove_profile(np.abs(y - row)))
    for lane in range(TILE // LANE):
        top = lane * LANE
        in_lane = (y >= top) & (y < top + LANE)
        # Panel seams across the lane, staggered between lanes like brickwork.
        for k in range(TILE // PANEL):
            col = k * PANEL + (PANEL // 2) * lane
            for c in (col - TILE, col, col + TILE):
                h = np.where(in_lane, np.minimum(h, groove_profile(np.abs(x - c))), h)
                for side in (-14.0, 14.0):
                    for ry in (top + 26.0, top + LANE / 2.0, top + LANE - 26.0):
                        d2 = ((x - c - side) ** 2 + (y - ry) ** 2) / RIVET_RADIUS ** 2
                        dome = np.maximum(dome, np.sqrt(np.clip(1.0 - d2, 0.0, 1.0)))
                        masks["rivet"] = np.maximum(
                            masks["rivet"], paint.circle(x, y, c + side, ry, RIVET_RADIUS))
        # Dashed amber lane edges just inside the grooves.
        dash_on = ((x % 64.0) < 40.0).astype(float)
        for edge in (top + 14.0, top + LANE - 14.0):
            stripe = paint.rounded_rect(x, y, -10, edge - 4.0, TILE + 10, edge + 4.0, 2.0)
            masks["dash"] = np.maximum(masks["dash"], stripe * dash_on)
        # Chevrons on the lane's centre line pointing along +u, and a vent per panel.
        cy = top + LANE / 2.0
        for k in range(TILE // PANEL):
            start = k * PANEL + (PANEL // 2) * lane
            for off in (44.0, 84.0):
                ax = (start + off) % TILE
                for shift in (-TILE, 0, TILE):
                    px = ax + shift
                    arm = np.maximum(paint.segment(x, y, px, cy - 30, px + 24, cy, 6.0),
                                     paint.segment(x, y, px + 24, cy, px, cy + 30, 6.0))
                    masks["chevron"] = np.maximum(masks["chevron"], arm)
            vx = (start + 170.0) % TILE
            for shift in (-TILE, 0, TILE):
                masks["vent"] = np.maximum(masks["vent"], paint.rounded_rect(
                    x, y, vx + shift, cy - 26, vx + shift + 56, cy + 26, 6.0))
    # Vents are recessed with slots; rivets are domes.
    slots = (np.abs(((y + 6.0) % 12.0) - 6.0) < 3.0).astype(float)
    h = h - masks["vent"] * (0.18 + 0.15 * slots)
    h = h + 0.25 * dome
    fine = paint.fractal(rng, TILE, TILE, 8, 8, 4)
    h = h + 0.015 * fine
    return h, masks


def track_textures(rng):
    """(diffuse, normal map) of one tile, both TILE x TILE."""
    h, masks = _track_layout(rng)
    # Brushed metal: noise stretched along the track.
    brushed = paint.fractal(rng, TILE, TILE, 4, 64, 3)
    grime = paint.fractal(rng, TILE, TILE, 4, 4, 4)
    base = np.array([0.27, 0.31, 0.37])
    img = base * (0.85 + 0.15 * brushed + 0.12 * (grime - 0.5))[..., None]
    # Alternate panels slightly lighter so the track's motion reads.
    x, y = paint.grid(TILE, TILE)
    lane = (y // LANE).astype(int)
    panel = ((x - (PANEL // 2) * lane) // PANEL).astype(int)
    img *= np.where((panel + lane) % 2 == 0, 1.0, 1.08)[..., None]
    # Grooves and recesses collect dark.
    occlusion = np.clip(h / 0.5, 0.0, 1.0) ** 0.8
    img *= (0.35 + 0.65 * occlusion)[..., None]
    paint.blend(img, masks["dash"] * 0.95, (0.85, 0.55, 0.12))
    paint.blend(img, masks["chevron"] * 0.85, (0.16, 0.55, 0.62))
    paint.blend(img, masks["rivet"], (0.55, 0.57, 0.60))
    paint.blend(img, masks["vent"] * (1.0 - occlusion) * 0.6, (0.05, 0.05, 0.06))
    return img, paint.normal_map(h, NORMAL_STRENGTH)
