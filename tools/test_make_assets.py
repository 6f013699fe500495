"""Checks the asset generator's output: /usr/bin/python3 -m unittest tools/test_make_assets.py"""

import filecmp
import os
import subprocess
import sys
import tempfile
import unittest

import numpy as np
from fontTools.pens.areaPen import AreaPen
from fontTools.ttLib import TTFont
from PIL import Image, ImageFont

TOOLS = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, TOOLS)

from assets import layout  # noqa: E402

GENERATOR = os.path.join(TOOLS, "make_assets.py")


def generate(out_dir):
    return subprocess.run([sys.executable, GENERATOR, out_dir], capture_output=True, text=True,
                          timeout=120)


def parse_obj(path):
    v, vt, vn, faces, used, mtllib = [], [], [], [], [], None
    with open(path) as f:
        for line in f:
            p = line.split()
            if not p:
                continue
            if p[0] == "v":
                v.append([float(x) for x in p[1:]])
            elif p[0] == "vt":
                vt.append([float(x) for x in p[1:]])
            elif p[0] == "vn":
                vn.append([float(x) for x in p[1:]])
            elif p[0] == "f":
                faces.append([[int(i) for i in corner.split("/")] for corner in p[1:]])
            elif p[0] == "usemtl":
                used.append(p[1])
            elif p[0] == "mtllib":
                mtllib = p[1]
    return {"v": np.array(v), "vt": np.array(vt), "vn": np.array(vn),
            "f": np.array(faces, dtype=np.int64), "used": used, "mtllib": mtllib}


def parse_mtl(path):
    materials, current = {}, None
    with open(path) as f:
        for line in f:
            p = line.split()
            if p and p[0] == "newmtl":
                current = materials.setdefault(p[1], {})
            elif p and current is not None:
                current[p[0]] = p[1:]
    return materials


class GeneratedAssets(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.out = os.path.join(cls.tmp.name, "first")
        run = generate(cls.out)
        if run.returncode != 0:
            raise AssertionError("generator failed: " + run.stderr)
        cls.manifest = {}
        with open(os.path.join(cls.out, "manifest.txt")) as f:
            for line in f:
                name, *ext = line.split()
                cls.manifest[name] = np.array([float(e) for e in ext])
        cls.objs = {name: parse_obj(os.path.join(cls.out, name)) for name in cls.manifest}

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def obj(self, folder_and_file):
        return self.objs["Models/" + folder_and_file]

    def test_second_run_writes_identical_bytes_and_no_temporaries(self):
        second = os.path.join(self.tmp.name, "second")
        self.assertEqual(generate(second).returncode, 0)

        def listing(root):
            return sorted(os.path.relpath(os.path.join(d, f), root)
                          for d, _, files in os.walk(root) for f in files)

        files = listing(self.out)
        self.assertEqual(files, listing(second))
        self.assertFalse([f for f in files if f.endswith(".tmp")])
        _, mismatch, errors = filecmp.cmpfiles(self.out, second, files, shallow=False)
        self.assertEqual((mismatch, errors), ([], []))

    def test_every_model_is_textured_triangles_matching_the_manifest(self):
        self.assertEqual(len(self.manifest), 7)
        for name, o in self.objs.items():
            with self.subTest(model=name):
                self.assertEqual(o["f"].shape[1:], (3, 3), "triangles with v/vt/vn")
                for k, key in enumerate(("v", "vt", "vn")):
                    idx = o["f"][:, :, k]
                    self.assertGreaterEqual(idx.min(), 1)
                    self.assertLessEqual(idx.max(), len(o[key]))
                np.testing.assert_allclose(np.linalg.norm(o["vn"], axis=1), 1.0, atol=1e-4)
                # Counter-clockwise winding and normals agree on the front side.
                f = o["f"] - 1
                tri = o["v"][f[:, :, 0]]
                wound = np.cross(tri[:, 1] - tri[:, 0], tri[:, 2] - tri[:, 0])
                agree = np.sum(wound * o["vn"][f[:, :, 2]].sum(axis=1), axis=1) > 0.0
                self.assertGreater(agree.mean(), 0.99)
                # The enclosed volume is positive when the front faces outwards;
                # only the skybox is seen from inside.
                t = tri - o["v"].mean(axis=0)
                volume = np.sum(t[:, 0] * np.cross(t[:, 1], t[:, 2])) / 6.0
                self.assertEqual(volume < 0.0, "Skybox" in name)
                v = o["v"]
                extents = np.ravel(list(zip(v.min(axis=0), v.max(axis=0))))
                np.testing.assert_allclose(extents, self.manifest[name], atol=1e-6)

                folder = os.path.dirname(os.path.join(self.out, name))
                materials = parse_mtl(os.path.join(folder, o["mtllib"]))
                self.assertTrue(set(o["used"]) <= set(materials))
                for mat in (materials[m] for m in o["used"]):
                    self.assertIn("map_Kd", mat)
                    for key in ("map_Kd", "map_bump", "map_Ks"):
                        if key in mat:
                            with Image.open(os.path.join(folder, mat[key][0])) as img:
                                self.assertEqual(img.format, "PNG")
                                self.assertTrue(all(256 <= s <= 1024 for s in img.size))

    def test_track_is_a_torus_in_the_xz_plane_with_a_mirrored_uv_frame(self):
        o = self.obj("Torus/torus.obj")
        R, r = layout.TRACK_MAJOR_RADIUS, layout.TRACK_MINOR_RADIUS
        # The game derives its radii from these extents.
        np.testing.assert_allclose(self.manifest["Models/Torus/torus.obj"],
                                   [-(R + r), R + r, -r, r, -(R + r), R + r], atol=1e-6)
        v = o["v"]
        ring = np.hypot(v[:, 0], v[:, 2])
        np.testing.assert_allclose(np.hypot(ring - R, v[:, 1]), r, atol=1e-5)
        # du x dv must point into the tube: with the importer's flipped v this
        # makes its bitangent equal cross(normal, tangent), so the normal map
        # reads the same whichever of the two a shader uses.
        f = o["f"] - 1
        p, uv, n = o["v"][f[:, :, 0]], o["vt"][f[:, :, 1]], o["vn"][f[:, :, 2]].mean(axis=1)
        e1, e2 = p[:, 1] - p[:, 0], p[:, 2] - p[:, 0]
        d1, d2 = uv[:, 1] - uv[:, 0], uv[:, 2] - uv[:, 0]
        det = d1[:, 0] * d2[:, 1] - d1[:, 1] * d2[:, 0]
        dpdu = (e1 * d2[:, 1:] - e2 * d1[:, 1:]) / det[:, None]
        dpdv = (e2 * d1[:, :1] - e1 * d2[:, :1]) / det[:, None]
        self.assertTrue(np.all(np.sum(np.cross(dpdu, dpdv) * n, axis=1) < 0.0))

        folder = os.path.join(self.out, "Models/Torus")
        bump = parse_mtl(os.path.join(folder, o["mtllib"]))["track"]["map_bump"][0]
        with Image.open(os.path.join(folder, bump)) as img:
            normals = np.asarray(img.convert("RGB"), dtype=np.float64) / 255.0 * 2.0 - 1.0
        self.assertGreater(normals[..., 2].mean(), 0.9, "tangent-space, +Z out of the surface")
        tilted = np.mean(normals[..., 2] < 0.97)
        self.assertGreater(tilted, 0.05, "visible relief")

    def test_scene_fits_the_light_camera_and_shadow_ranges(self):
        R, r = layout.TRACK_MAJOR_RADIUS, layout.TRACK_MINOR_RADIUS
        light = np.array(layout.LIGHT_POSITION)
        light_ring = np.hypot(light[0], light[2])
        self.assertGreater(np.hypot(light_ring - R, light[1]), r, "light outside the tube")
        self.assertLess(light_ring, R - r, "light in the ring's hole")
        self.assertGreater(light[1], r, "light above the tube top")
        self.assertLess(np.hypot(light_ring + R + r, light[1]), layout.SHADOW_FAR_PLANE)

        planet = self.manifest["Models/Planet/planet.obj"].reshape(3, 2)
        centre, radius = planet.mean(axis=1), (planet[:, 1] - planet[:, 0]) / 2.0
        np.testing.assert_allclose(centre, layout.PLANET_CENTRE, atol=1e-5)
        self.assertGreater(np.linalg.norm(light - centre), radius.max())
        self.assertLess(np.linalg.norm(centre) + radius.max(), layout.SKYBOX_RADIUS)
        tube_distance = np.hypot(np.hypot(centre[0], centre[2]) - R, centre[1]) - r
        self.assertGreater(tube_distance, radius.max(), "planet clear of the track")

        robot = self.manifest["Models/Zelto/zelto_final1.obj"]
        camera = np.array([-R, r + robot[3], layout.CAMERA_BACK_OFFSET])
        sky = self.obj("Skybox/skybox.obj")
        farthest = np.linalg.norm(sky["v"] - camera, axis=1).max()
        self.assertLess(farthest, layout.CAMERA_FAR_PLANE)
        f = sky["f"] - 1
        tri = sky["v"][f[:, :, 0]]
        towards_centre = np.cross(tri[:, 1] - tri[:, 0], tri[:, 2] - tri[:, 0])
        self.assertTrue(np.all(np.sum(towards_centre * tri.mean(axis=1), axis=1) < 0.0))
        self.assertTrue(np.all(np.sum(sky["vn"] * sky["v"], axis=1) < 0.0))

    def test_robot_ball_and_stone_sizes(self):
        minx, maxx, miny, maxy, minz, maxz = self.manifest["Models/Zelto/zelto_final1.obj"]
        self.assertEqual(miny, 0.0, "feet on y = 0")
        self.assertAlmostEqual(maxy, layout.ROBOT_HEIGHT, places=6)
        # Head sphere (0.5) and the ball's orbit above it need a tall robot.
        self.assertGreaterEqual(maxy, 1.2)
        self.assertTrue(0.6 <= maxx - minx <= layout.ROBOT_MAX_WIDTH)
        self.assertAlmostEqual(minx + maxx, 0.0, places=5)
        self.assertAlmostEqual(minz + maxz, 0.0, places=5)
        # More of the robot lies behind it (backpack) than in front, -Z in the file.
        v = self.obj("Zelto/zelto_final1.obj")["v"]
        torso = (v[:, 1] > 0.4) & (v[:, 1] < 0.8) & (np.abs(v[:, 0]) < 0.1)
        self.assertLess(v[torso, 2].min(), -v[torso, 2].max())

        ball = self.manifest["Models/Zelto/ball.obj"]
        np.testing.assert_allclose(ball, np.array([-1, 1, -1, 1, -1, 1]) * layout.BALL_RADIUS,
                                   atol=1e-6)
        stone = self.manifest["Models/Stone/stone.obj"].reshape(3, 2)
        self.assertAlmostEqual(stone[0, 1] - stone[0, 0], layout.STONE_WIDTH, places=5)
        np.testing.assert_allclose(stone.sum(axis=1), 0.0, atol=1e-5)

    def test_fonts_open_and_the_heart_font_draws_a_filled_heart_for_T(self):
        fonts = os.path.join(self.out, "Fonts")
        for name in ("AmaticSC-Bold.TTF", "AGENCYR.TTF"):
            font = TTFont(os.path.join(fonts, name))
            cmap = font.getBestCmap()
            self.assertTrue(all(ord(c) in cmap for c in "AZaz09 :!"), name)
        path = os.path.join(fonts, "HEART shapes.TTF")
        font = TTFont(path)
        self.assertIn("glyf", font)
        glyph_name = font.getBestCmap()[ord("T")]
        glyph = font["glyf"][glyph_name]
        self.assertGreaterEqual(glyph.numberOfContours, 1)
        pen = AreaPen(font.getGlyphSet())
        font.getGlyphSet()[glyph_name].draw(pen)
        self.assertLess(pen.value, 0.0, "clockwise outer contour encloses area")
        advance, _ = font["hmtx"][glyph_name]
        self.assertTrue(glyph.xMin >= 0 and glyph.xMax <= advance)

        # FreeType (through PIL) at the game's 60 px: a heart is wider at the
        # top than at the bottom tip and fills much of its box.
        mask = ImageFont.truetype(path, 60).getmask("T")
        ink = np.asarray(mask, dtype=np.float64).reshape(mask.size[1], mask.size[0]) / 255.0
        rows = np.nonzero(ink.sum(axis=1))[0]
        self.assertTrue(35 <= len(rows) <= 55, "about 60 px tall em, heart below the cap")
        self.assertGreater(ink.mean(), 0.45)
        upper, lower = ink[rows[len(rows) // 3]], ink[rows[-3]]
        self.assertGreater(upper.sum(), 3 * lower.sum())


class GeneratorCommandLine(unittest.TestCase):
    def test_missing_output_folder_argument_fails_with_usage(self):
        run = subprocess.run([sys.executable, GENERATOR], capture_output=True, text=True)
        self.assertNotEqual(run.returncode, 0)
        self.assertIn("usage", run.stderr)


if __name__ == "__main__":
    unittest.main()
