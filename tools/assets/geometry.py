"""Triangle meshes built from parametric surfaces.

A Part is an indexed triangle list where one index addresses a position, a
normal and a texture coordinate together (the OBJ writer repeats the index for
v/vt/vn). Faces wind counter-clockwise seen from the side the normals point to.
Texture coordinates follow the OBJ convention: v = 0 is the bottom row of the
image.
"""

import numpy as np

# Vertices closer than this (world units) are one point when smoothing normals.
WELD_DECIMALS = 6
# Triangles with less area than this are dropped (collapsed poles and tips).
MIN_AREA = 1e-12


class Part:
    def __init__(self, positions, normals, uvs, faces):
        self.positions = np.asarray(positions, dtype=np.float64).reshape(-1, 3)
        self.normals = np.asarray(normals, dtype=np.float64).reshape(-1, 3)
        self.uvs = np.asarray(uvs, dtype=np.float64).reshape(-1, 2)
        self.faces = np.asarray(faces, dtype=np.int64).reshape(-1, 3)

    def transformed(self, rotation=None, offset=(0.0, 0.0, 0.0)):
        r = np.eye(3) if rotation is None else np.asarray(rotation, dtype=np.float64)
        return Part(self.positions @ r.T + np.asarray(offset), self.normals @ r.T,
                    self.uvs, self.faces)

    def with_uvs(self, uvs):
        return Part(self.positions, self.normals, uvs, self.faces)

    def flipped(self):
        """Same surface seen from the other side: normals and winding reversed."""
        return Part(self.positions, -self.normals, self.uvs, self.faces[:, ::-1])


def merge(parts):
    positions, normals, uvs, faces = [], [], [], []
    base = 0
    for p in parts:
        positions.append(p.positions)
        normals.append(p.normals)
        uvs.append(p.uvs)
        faces.append(p.faces + base)
        base += len(p.positions)
    return Part(np.concatenate(positions), np.concatenate(normals),
                np.concatenate(uvs), np.concatenate(faces))


def face_normals(positions, faces):
    """Area-weighted (unnormalised) normals, by the counter-clockwise rule."""
    a, b, c = (positions[faces[:, k]] for k in range(3))
    return np.cross(b - a, c - a)


def normalize(v):
    length = np.linalg.norm(v, axis=-1, keepdims=True)
    return v / np.where(length > 0.0, length, 1.0)


def smooth_normals(positions, faces):
    """Vertex normals averaged over every face touching the same point, so seams
    and collapsed poles of a grid shade as one smooth surface."""
    _, weld = np.unique(np.round(positions, WELD_DECIMALS), axis=0, return_inverse=True)
    weld = weld.reshape(-1)
    acc = np.zeros((weld.max() + 1, 3))
    fn = face_normals(positions, faces)
    for k in range(3):
        np.add.at(acc, weld[faces[:, k]], fn)
    return normalize(acc[weld])


def grid_part(surface, nu, nv, normals=None):
    """Triangulates surface(s, t) over the unit square on an nu x nv grid.

    surface maps arrays s, t (any shape) to positions (..., 3); s = 0 and s = 1
    may coincide (a closed ring keeps a duplicated seam so its texture wraps).
    The local uv is (s, t). Faces wind so that d/ds x d/dt is their front.
    Normals are smoothed from the faces unless a function of (s, t) gives them.
    """
    s, t = np.meshgrid(np.linspace(0.0, 1.0, nu + 1), np.linspace(0.0, 1.0, nv + 1),
                       indexing="ij")
    positions = surface(s, t).reshape(-1, 3)
    index = np.arange((nu + 1) * (nv + 1)).reshape(nu + 1, nv + 1)
    a, b = index[:-1, :-1].ravel(), index[1:, :-1].ravel()
    c, d = index[1:, 1:].ravel(), index[:-1, 1:].ravel()
    faces = np.concatenate([np.stack([a, b, c], 1), np.stack([a, c, d], 1)])
    area = np.linalg.norm(face_normals(positions, faces), axis=1)
    faces = faces[area > MIN_AREA]
    uvs = np.stack([s.ravel(), t.ravel()], 1)
    if normals is None:
        n = smooth_normals(positions, faces)
    else:
        n = normalize(normals(s, t).reshape(-1, 3))
    return Part(positions, n, uvs, faces)


def orient_outward(part):
    """Flips a closed, roughly convex part whose faces point inwards."""
    centre = part.positions.mean(axis=0)
    fn = face_normals(part.positions, part.faces)
    mid = part.positions[part.faces].mean(axis=1)
    if np.sum(fn * (mid - centre)) < 0.0:
        part = Part(part.positions, part.normals, part.uvs, part.faces[:, ::-1])
    n = part.normals
    if np.sum(n * (part.positions - centre)) < 0.0:
        part = Part(part.positions, -n, part.uvs, part.faces)
    return part


def _signed_pow(x, e):
    # cos(pi / 2) is 6e-17, not 0; raised to a small power it would leave the
    # poles a hair open and the rounded file with sliver triangles.
    x = np.where(np.abs(x) < 1e-9, 0.0, x)
    return np.sign(x) * np.abs(x) ** e


def superellipsoid(centre, half, vertical_exp=1.0, round_exp=1.0, nu=32, nv=20):
    """Rounded box (exponents below 1) or ellipsoid (exponents 1).

    s runs once around the vertical axis starting at +X, t from the bottom pole
    to the top pole.
    """
    hx, hy, hz = half

    def surface(s, t):
        phi = 2.0 * np.pi * s
        theta = np.pi * (t - 0.5)
        ring = _signed_pow(np.cos(theta), vertical_exp)
        x = hx * ring * _signed_pow(np.cos(phi), round_exp)
        z = -hz * ring * _signed_pow(np.sin(phi), round_exp)
        y = hy * _signed_pow(np.sin(theta), vertical_exp)
        return np.stack([x, y, z], -1)

    part = grid_part(surface, nu, nv)
    return orient_outward(part).transformed(offset=centre)


def sphere(centre, radius, nu=32, nv=16):
    return superellipsoid(centre, (radius, radius, radius), 1.0, 1.0, nu, nv)


def rotation_y_to(direction):
    """Rotation taking +Y onto the given direction."""
    d = normalize(np.asarray(direction, dtype=np.float64))
    helper = np.array([1.0, 0.0, 0.0]) if abs(d[0]) < 0.9 else np.array([0.0, 0.0, 1.0])
    x = normalize(np.cross(d, helper))
    z = np.cross(x, d)
    return np.stack([x, d, z], 1)


def _disc(radius, y, up, n):
    """Flat cap at height y facing +Y (up) or -Y; local uv is the disc's square."""
    def surface(s, t):
        phi = 2.0 * np.pi * s
        r = radius * t
        return np.stack([r * np.cos(phi), np.full_like(s, y), -r * np.sin(phi)], -1)

    part = grid_part(surface, n, 2)
    normal = np.array([0.0, 1.0 if up else -1.0, 0.0])
    faces = part.faces
    if np.dot(face_normals(part.positions, faces).sum(axis=0), normal) < 0.0:
        faces = faces[:, ::-1]
    p = part.positions
    uvs = np.stack([0.5 + 0.5 * p[:, 0] / radius, 0.5 - 0.5 * p[:, 2] / radius], 1)
    return Part(p, np.tile(normal, (len(p), 1)), uvs, faces)


def frustum(a, b, radius_a, radius_b, n=24, cap_a=True, cap_b=True):
    """Truncated cone (a cylinder when the radii agree) from point a to point b.

    Returns (side, cap_a, cap_b); a missing or zero-radius cap is None. The side's
    local uv runs s around, t from a to b; caps have hard edges to the side.
    """
    a = np.asarray(a, dtype=np.float64)
    b = np.asarray(b, dtype=np.float64)
    length = float(np.linalg.norm(b - a))

    def surface(s, t):
        phi = 2.0 * np.pi * s
        r = radius_a + (radius_b - radius_a) * t
        return np.stack([r * np.cos(phi), length * t, -r * np.sin(phi)], -1)

    slope = (radius_a - radius_b) / length

    def normals(s, t):
        phi = 2.0 * np.pi * s
        return np.stack([np.cos(phi), np.full_like(s, slope), -np.sin(phi)], -1)

    rot = rotation_y_to(b - a)
    side = orient_outward(grid_part(surface, n, 1, normals)).transformed(rot, a)
    caps = []
    for want, r, y, up in ((cap_a, radius_a, 0.0, False), (cap_b, radius_b, length, True)):
        caps.append(_disc(r, y, up, n).transformed(rot, a) if want and r > 0.0 else None)
    return side, caps[0], caps[1]


def capsule(a, b, radius, nu=24, nv=16):
    """Cylinder with hemispherical ends from a to b; t runs from a to b."""
    a = np.asarray(a, dtype=np.float64)
    b = np.asarray(b, dtype=np.float64)
    length = float(np.linalg.norm(b - a))

    def surface(s, t):
        phi = 2.0 * np.pi * s
        # t in [0, 0.5] sweeps the lower hemisphere, (0.5, 1] the upper one
        # lifted by the length; the two equator rows bound the cylinder.
        theta = np.pi * (t - 0.5)
        ring = radius * np.cos(theta)
        y = radius * np.sin(theta) + np.where(t > 0.5, length, 0.0)
        return np.stack([ring * np.cos(phi), y, -ring * np.sin(phi)], -1)

    # Rows in t: the lower hemisphere up to its equator, then the same equator
    # again (nudged past 0.5 so it is lifted) and the upper hemisphere.
    ts = np.concatenate([np.linspace(0.0, 0.5, nv // 2 + 1), np.linspace(0.5, 1.0, nv // 2 + 1)])
    ts[nv // 2 + 1] += 1e-9

    def remapped(s, t):
        return surface(s, np.interp(t, np.linspace(0.0, 1.0, len(ts)), ts))

    part = orient_outward(grid_part(remapped, nu, len(ts) - 1))
    return part.transformed(rotation_y_to(b - a), a)


def icosphere(subdivisions):
    """Unit icosphere: positions on the sphere and counter-clockwise faces."""
    g = (1.0 + 5.0 ** 0.5) / 2.0
    verts = [(-1, g, 0), (1, g, 0), (-1, -g, 0), (1, -g, 0), (0, -1, g), (0, 1, g),
             (0, -1, -g), (0, 1, -g), (g, 0, -1), (g, 0, 1), (-g, 0, -1), (-g, 0, 1)]
    faces = [(0, 11, 5), (0, 5, 1), (0, 1, 7), (0, 7, 10), (0, 10, 11), (1, 5, 9),
             (5, 11, 4), (11, 10, 2), (10, 7, 6), (7, 1, 8), (3, 9, 4), (3, 4, 2),
             (3, 2, 6), (3, 6, 8), (3, 8, 9), (4, 9, 5), (2, 4, 11), (6, 2, 10),
             (8, 6, 7), (9, 8, 1)]
    verts = [np.array(v, dtype=np.float64) / np.linalg.norm(v) for v in verts]
    for _ in range(subdivisions):
        cache = {}

        def midpoint(i, j):
            key = (min(i, j), max(i, j))
            if key not in cache:
                m = verts[i] + verts[j]
                verts.append(m / np.linalg.norm(m))
                cache[key] = len(verts) - 1
            return cache[key]

        new_faces = []
        for a, b, c in faces:
            ab, bc, ca = midpoint(a, b), midpoint(b, c), midpoint(c, a)
            new_faces += [(a, ab, ca), (b, bc, ab), (c, ca, bc), (ab, bc, ca)]
        faces = new_faces
    return np.array(verts), np.array(faces, dtype=np.int64)


def box_uv_part(positions, faces, scale):
    """Gives a closed mesh uvs by projecting each face along the axis its
    normal is closest to (three planar charts, no pinched poles). Vertices on
    a chart border are split so each chart keeps its own uvs; normals stay
    smooth across the borders. scale is texture repeats per unit."""
    normals = smooth_normals(positions, faces)
    axis = np.argmax(np.abs(face_normals(positions, faces)), axis=1)
    # The two coordinates that survive each projection.
    keep = np.array([[2, 1], [0, 2], [0, 1]])
    corner_axis = np.repeat(axis, 3)
    corner_vertex = faces.reshape(-1)
    key = corner_vertex * 3 + corner_axis
    unique, inverse = np.unique(key, return_inverse=True)
    vertex = unique // 3
    chart = unique % 3
    p = positions[vertex]
    uvs = np.stack([p[np.arange(len(p)), keep[chart, 0]], p[np.arange(len(p)), keep[chart, 1]]], 1)
    return Part(p, normals[vertex], uvs * scale + 0.5, inverse.reshape(-1, 3))
