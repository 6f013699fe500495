"""The asset generator's output as the game relies on it: the same bytes on every run, model
extents from which the game takes its radii, well-formed textured triangles, and fonts that
FreeType opens, with a filled heart for "T" in the heart font, and sounds that start and end
without a click, and an icon, also as a Windows icon."""

import filecmp
import os
import subprocess
import sys
import tempfile
import unittest
import wave

import numpy as np
from PIL import Image, ImageFont

GENERATOR = os.path.join(os.path.dirname(__file__), "..", "..", "tools", "make_assets.py")
ROBOT, BALL, TRACK, STONE = (f"Models/{name}.obj" for name in (
    "Zelto/zelto_final1", "Zelto/ball", "Torus/torus", "Stone/stone"))
# (model, axis, lowest and highest coordinate, tolerance, why)
EXTENTS = [
    (ROBOT, 1, 0.0, 1.5, 1e-6, "feet on the tube; the head sphere (0.5) is centred 0.5 below"),
    (ROBOT, 0, -0.455, 0.455, 0.05, "about 0.91 wide, centred: half of it is the body radius"),
    (BALL, 0, -0.12, 0.12, 1e-6, "a ball of radius 0.12 round its centre"),
    (BALL, 1, -0.12, 0.12, 1e-6, "a ball of radius 0.12 round its centre"),
    (TRACK, 0, -4.6, 4.6, 1e-6, "half the width less the minor radius: major radius 4.0"),
    (TRACK, 1, -0.6, 0.6, 1e-6, "half the height: minor radius 0.6, the tube's top at y 0.6"),
    (TRACK, 2, -4.6, 4.6, 1e-6, "a ring in the XZ plane"),
    (STONE, 0, -0.3, 0.3, 1e-5, "half the width is the stone's collision radius"),
]


def generate(folder):
    done = subprocess.run([sys.executable, GENERATOR, folder], capture_output=True, text=True,
                          timeout=600)
    assert done.returncode == 0, done.stderr


def read_obj(path):
    """Positions, normals, faces (corner index triples, 0-based) and texture maps by key."""
    rows = {"v": [], "vn": [], "vt": [], "f": [], "mtllib": []}
    with open(path) as file:
        for key, *values in (line.split() for line in file if line.strip()):
            if key in rows:
                rows[key].append(values)
    faces = np.array([[corner.split("/") for corner in face] for face in rows["f"]], int) - 1
    maps = {}
    with open(os.path.join(os.path.dirname(path), rows["mtllib"][0][0])) as file:
        for key, *values in (line.split() for line in file if line.startswith("map_")):
            maps[key] = os.path.join(os.path.dirname(path), values[0])
    return np.array(rows["v"], float), np.array(rows["vn"], float), len(rows["vt"]), faces, maps


class Assets(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory()
        cls.addClassCleanup(cls.scratch.cleanup)
        cls.out = os.path.join(cls.scratch.name, "first")
        generate(cls.out)
        with open(os.path.join(cls.out, "manifest.txt")) as file:
            cls.manifest = {name: [float(e) for e in extents] for name, *extents in
                            (line.split() for line in file)}
        cls.models = {name: read_obj(os.path.join(cls.out, name)) for name in cls.manifest}

    def test_a_second_run_writes_the_same_files_byte_for_byte_and_no_temporaries(self):
        second = os.path.join(self.scratch.name, "second")
        generate(second)
        files = [sorted(os.path.relpath(os.path.join(folder, name), root) for folder, _, names
                        in os.walk(root) for name in names) for root in (self.out, second)]
        self.assertEqual(files[0], files[1])
        self.assertEqual([name for name in files[0] if name.endswith(".tmp")], [])
        self.assertEqual(filecmp.cmpfiles(self.out, second, files[0], shallow=False)[1:], ([], []))

    def test_the_models_have_the_extents_the_game_measures(self):
        self.assertEqual(len(self.models), 7)
        for model, axis, low, high, tolerance, why in EXTENTS:
            with self.subTest(model=model, axis=axis):
                v = self.models[model][0][:, axis]
                np.testing.assert_allclose([v.min(), v.max()], [low, high], atol=tolerance,
                                           err_msg=why)
        # Facing +Z: the backpack makes the torso deeper behind than in front.
        v = self.models[ROBOT][0]
        torso = v[(v[:, 1] > 0.4) & (v[:, 1] < 0.8) & (np.abs(v[:, 0]) < 0.1), 2]
        self.assertLess(torso.min(), -torso.max())

    def test_every_model_is_textured_triangles_wound_with_their_normals(self):
        for name, (v, vn, uvs, faces, maps) in self.models.items():
            with self.subTest(name):
                extents = np.ravel(list(zip(v.min(axis=0), v.max(axis=0))))
                np.testing.assert_allclose(extents, self.manifest[name], atol=1e-6)
                self.assertEqual(faces.shape[1:], (3, 3), "triangles of v/vt/vn corners")
                self.assertTrue(faces.min() >= 0 and np.all(faces.max(axis=(0, 1)) <
                                                            [len(v), uvs, len(vn)]))
                np.testing.assert_allclose(np.linalg.norm(vn, axis=1), 1.0, atol=1e-4)
                corner = v[faces[:, :, 0]]
                wound = np.cross(corner[:, 1] - corner[:, 0], corner[:, 2] - corner[:, 0])
                agree = (wound * vn[faces[:, :, 2]].sum(axis=1)).sum(axis=1) > 0
                self.assertGreater(agree.mean(), 0.99, "counter-clockwise seen from the front")
                self.assertIn("map_Kd", maps)
                for path in maps.values():
                    with Image.open(path) as image:
                        self.assertEqual(image.format, "PNG")

    def test_freetype_opens_the_fonts_and_the_heart_font_draws_a_filled_heart_for_t(self):
        fonts = os.path.join(self.out, "Fonts")
        for name in ("AmaticSC-Bold.TTF", "AGENCYR.TTF"):
            font = ImageFont.truetype(os.path.join(fonts, name), 30)
            self.assertTrue(all(font.getmask(c).getbbox() for c in "ReparZltoGmOvSc:0123456789"))
        # The help screen's columns stand 140 pixels apart at 20 pixels.
        help_line = ImageFont.truetype(os.path.join(fonts, "AGENCYR.TTF"), 20)
        self.assertLess(help_line.getlength("C    :     Debug Mode"), 140)
        # At the game's 60 pixels: a heart below the cap height, filled, wide at the top.
        mask = ImageFont.truetype(os.path.join(fonts, "HEART shapes.TTF"), 60).getmask("T")
        ink = np.asarray(mask, float).reshape(mask.size[1], mask.size[0]) / 255
        rows = np.nonzero(ink.sum(axis=1))[0]
        self.assertTrue(35 <= len(rows) <= 55 and ink.mean() > 0.45)
        self.assertGreater(ink[rows[len(rows) // 3]].sum(), 3 * ink[rows[-3]].sum())

    def test_the_icon_is_the_face_filling_a_clear_square_with_two_eyes_and_the_lamp_on_top(self):
        with Image.open(os.path.join(self.out, "Icons", "repair-zelto.png")) as image:
            self.assertEqual((image.size, image.mode), ((256, 256), "RGBA"))
            red, green, blue, alpha = np.moveaxis(np.asarray(image, int), 2, 0)
        for axis in np.nonzero(alpha > 128):
            self.assertTrue(axis.min() >= 1 and axis.max() <= 254 and np.ptp(axis) > 230)
        eyes = (green > 230) & (blue > 230) & (red < 230) & (alpha == 255)  # the cyan glow
        left, right = eyes[:, :128].sum(), eyes[:, 128:].sum()
        self.assertTrue(left > 500 and left == right, (left, right))
        lamp = (red > 230) & (green < 160) & (alpha == 255)
        self.assertTrue(lamp[:64].sum() > 500 and not lamp[64:].any())

    def test_the_windows_icon_holds_the_png_at_256_pixels_and_its_reductions_at_16_32_48(self):
        def premultiplied(image):
            rgba = np.asarray(image.convert("RGBA"), float)
            return np.concatenate([rgba[..., :3] * rgba[..., 3:] / 255, rgba[..., 3:]], axis=2)

        with Image.open(os.path.join(self.out, "Icons", "repair-zelto.png")) as image:
            face = premultiplied(image)
        with Image.open(os.path.join(self.out, "Icons", "repair-zelto.ico")) as ico:
            # Pillow leaves out, without a word, every size larger than the image it is given.
            self.assertEqual(sorted(ico.info["sizes"]), [(16, 16), (32, 32), (48, 48), (256, 256)])
            frames = {size: premultiplied(ico.ico.getimage((size, size)))
                      for size in (16, 32, 48, 256)}
        np.testing.assert_array_equal(frames[256], face)
        for size in (16, 32, 48):
            channels = (Image.fromarray(np.ascontiguousarray(face[..., c], np.float32))
                        for c in range(4))
            box = np.stack([np.asarray(channel.resize((size, size), Image.Resampling.BOX))
                            for channel in channels], axis=2)
            # Lanczos sharpens edges against a box average: some 2 to 3.5 levels in 255 on
            # the mean; a frame without alpha or from nearest samples is 4 to 13 off.
            self.assertLess(np.abs(frames[size] - box).mean(), 3.6, size)

    def test_effects_are_short_and_start_and_end_silent_and_loops_join_without_a_click(self):
        def samples(name):
            with wave.open(os.path.join(self.out, "Sounds", name)) as file:
                self.assertEqual((file.getnchannels(), file.getsampwidth()), (1, 2), name)
                data = np.frombuffer(file.readframes(file.getnframes()), "<i2") / 32768.0
                return data, file.getnframes() / file.getframerate()

        for name in ("start", "jump", "hit", "game_over", "speed_up", "pause", "resume"):
            data, seconds = samples(name + ".wav")
            self.assertLess(seconds, 2.0, name)
            self.assertLess(max(abs(data[0]), abs(data[-1])), 0.01, name)
            self.assertGreater(np.abs(data).max(), 0.5, name)
        for name, shortest, longest in (("music.wav", 30, 60), ("whoosh.wav", 0.5, 2)):
            data, seconds = samples(name)
            self.assertTrue(shortest <= seconds <= longest, (name, seconds))
            # The step from the last sample back to the first is an ordinary one.
            steps = np.abs(np.diff(data))
            self.assertLessEqual(abs(data[-1] - data[0]), np.percentile(steps, 99), name)
            self.assertGreater(np.sqrt(np.mean(data[-len(data) // 10:] ** 2)), 0.02,
                               f"{name} sounds to its end, it does not fade")


if __name__ == "__main__":
    unittest.main()
