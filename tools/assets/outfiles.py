"""Writing models, images and fonts so that concurrent runs cannot tear them.

Every file goes to a temporary name in its final folder and is then renamed
over the target, which is atomic on one file system: a reader (or a second
build running the generator) sees either the old file or the new one, whole.
"""

import io
import os
import tempfile

import numpy as np
from PIL import Image

# Decimal places of coordinates in the OBJ text; extents are taken from the
# rounded values so that they match what a reader of the file measures.
COORD_DECIMALS = 6
# Faces whose written corners span less than this (twice the area, units^2)
# are left out of the file.
MIN_DOUBLE_AREA = 1e-11


def write_atomic(path, data):
    folder = os.path.dirname(path) or "."
    os.makedirs(folder, exist_ok=True)
    fd, tmp = tempfile.mkstemp(dir=folder, prefix="." + os.path.basename(path) + ".",
                               suffix=".tmp")
    try:
        with os.fdopen(fd, "wb") as f:
            f.write(data)
        os.chmod(tmp, 0o644)
        os.replace(tmp, path)
    except BaseException:
        if os.path.exists(tmp):
            os.unlink(tmp)
        raise


def to_bytes(rgb):
    """Float colours in [0, 1] (rows from the top of the image) to 8-bit."""
    return (np.clip(rgb, 0.0, 1.0) * 255.0 + 0.5).astype(np.uint8)


def write_png(path, pixels):
    """pixels: float RGB, or RGBA with straight alpha, in [0, 1]."""
    buf = io.BytesIO()
    mode = "RGBA" if pixels.shape[2] == 4 else "RGB"
    # No time or text chunks: the bytes depend on the pixels alone.
    Image.fromarray(to_bytes(pixels), mode).save(buf, format="PNG", optimize=False,
                                                 compress_level=6)
    write_atomic(path, buf.getvalue())


def write_ico(path, pixels, sizes):
    """A Windows icon of pixels (straight RGBA floats, square, the largest of sizes) holding
    it at each of sizes (pixels). Pillow scales the smaller frames with Lanczos in premultiplied
    alpha, so the black of transparent pixels does not darken the edges, and stores every frame
    as PNG, which Windows reads in icons since Vista."""
    buf = io.BytesIO()
    Image.fromarray(to_bytes(pixels), "RGBA").save(buf, format="ICO",
                                                   sizes=[(size, size) for size in sizes])
    write_atomic(path, buf.getvalue())


class Material:
    def __init__(self, name, diffuse_map, normal_map=None, specular=0.25, shininess=32.0):
        self.name = name
        self.diffuse_map = diffuse_map
        self.normal_map = normal_map
        self.specular = specular
        self.shininess = shininess

    def mtl_text(self):
        lines = [
            "newmtl %s" % self.name,
            "Ka 0.000 0.000 0.000",
            # The game takes colour from the maps alone; Kd stays neutral.
            "Kd 1.000 1.000 1.000",
            "Ks %.3f %.3f %.3f" % ((self.specular,) * 3),
            "Ns %.1f" % self.shininess,
            "d 1.0",
            "illum 2",
            "map_Kd %s" % self.diffuse_map,
        ]
        if self.normal_map:
            # The importer files the bump entry under its height slot, which the
            # game binds as the tangent-space normal map.
            lines.append("map_bump %s" % self.normal_map)
        return "\n".join(lines) + "\n"


def _fmt_rows(prefix, rows):
    fmt = prefix + " " + " ".join(["%.{}f".format(COORD_DECIMALS)] * rows.shape[1]) + "\n"
    return "".join(fmt % tuple(r) for r in rows)


def rounded(values):
    # Adding 0.0 turns a rounded -0.0 into 0.0 so no "-0.000000" is written.
    return np.round(values, COORD_DECIMALS) + 0.0


def write_obj(path, groups, title):
    """Writes one OBJ with its MTL beside it.

    groups: list of (Material, Part). Returns the extents of the written
    positions as (minx, maxx, miny, maxy, minz, maxz).
    """
    stem = os.path.splitext(os.path.basename(path))[0]
    mtl_name = stem + ".mtl"
    out = ["# %s, made by tools/make_assets.py\n" % title, "mtllib %s\n" % mtl_name,
           "o %s\n" % stem]
    faces_text = []
    all_positions = []
    base = 1
    for material, part in groups:
        p = rounded(part.positions)
        all_positions.append(p)
        out.append(_fmt_rows("v", p))
        out.append(_fmt_rows("vt", rounded(part.uvs)))
        out.append(_fmt_rows("vn", rounded(part.normals)))
        # Rounding can close up a sliver; a reader would see a line, not a face.
        a, b, c = (p[part.faces[:, k]] for k in range(3))
        keep = np.linalg.norm(np.cross(b - a, c - a), axis=1) > MIN_DOUBLE_AREA
        idx = part.faces[keep] + base
        faces_text.append("usemtl %s\n" % material.name)
        faces_text.append("".join("f %d/%d/%d %d/%d/%d %d/%d/%d\n" % (a, a, a, b, b, b, c, c, c)
                                  for a, b, c in idx))
        base += len(p)
    write_atomic(path, ("".join(out) + "".join(faces_text)).encode("ascii"))

    seen, mtl = set(), ["# Materials of %s\n" % stem]
    for material, _ in groups:
        if material.name not in seen:
            seen.add(material.name)
            mtl.append(material.mtl_text())
    write_atomic(os.path.join(os.path.dirname(path), mtl_name), "\n".join(mtl).encode("ascii"))

    p = np.concatenate(all_positions)
    lo, hi = p.min(axis=0), p.max(axis=0)
    return (lo[0], hi[0], lo[1], hi[1], lo[2], hi[2])
