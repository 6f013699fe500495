#!/usr/bin/python3
"""Makes the game's models, textures, fonts and sounds from this repository alone.

Usage: /usr/bin/python3 tools/make_assets.py OUTDIR

Writes OUTDIR/Models/..., OUTDIR/Fonts/..., OUTDIR/Sounds/..., the desktop icon
OUTDIR/Icons/repair-zelto.png (256 px, not loaded by the game), the same face as the Windows
icon OUTDIR/Icons/repair-zelto.ico (the .exe's resource) and, last, OUTDIR/manifest.txt
with the exact vertex extents of every model (the build's completion stamp).
Every file is replaced atomically and the output depends on nothing but the
code: each asset draws from its own fixed random seed.
"""

import os
import sys
import time

NEEDS = "python3-numpy python3-pil python3-fonttools"

try:
    import numpy as np
    from fontTools import ttLib  # noqa: F401  (checked here, used by assets.fonts)
    from PIL import Image  # noqa: F401
except ImportError as err:
    sys.exit("make_assets: %s; install the Debian packages %s and run with /usr/bin/python3"
             % (err, NEEDS))

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from assets import fonts, icon, props, robot, sounds, space, track  # noqa: E402
from assets.outfiles import Material, write_atomic, write_ico, write_obj, write_png  # noqa: E402

# One seed per asset, so changing one asset leaves the others' bytes alone.
SEEDS = {"robot": 11, "ball": 12, "track": 21, "sky": 31, "planet": 32, "stone": 41,
         "stone_texture": 42, "rocket": 51, "hit": 61, "whoosh": 62, "music": 63}


def rng(name):
    return np.random.default_rng(SEEDS[name])


def make_models(out):
    """Writes every model; returns manifest lines."""
    models = os.path.join(out, "Models")
    entries = []

    def emit(rel_obj, title, groups, images):
        folder = os.path.dirname(os.path.join(models, rel_obj))
        for name, pixels in images:
            write_png(os.path.join(folder, name), pixels)
        extents = write_obj(os.path.join(models, rel_obj), groups, title)
        entries.append("Models/%s %s" % (rel_obj, " ".join("%.6f" % e for e in extents)))

    emit("Zelto/zelto_final1.obj", "Zelto the robot",
         [(Material("zelto_body", "zelto_body.png", specular=0.35), robot.build_robot())],
         [("zelto_body.png", robot.robot_texture(rng("robot")))])
    emit("Zelto/ball.obj", "Zelto's ball",
         [(Material("zelto_ball", "ball.png", specular=0.5), robot.build_ball())],
         [("ball.png", robot.ball_texture(rng("ball")))])
    diffuse, normals = track.track_textures(rng("track"))
    emit("Torus/torus.obj", "The track",
         [(Material("track", "track_diffuse.png", "track_normal.png", specular=0.4),
           track.build_track())],
         [("track_diffuse.png", diffuse), ("track_normal.png", normals)])
    emit("Skybox/skybox.obj", "Star sphere, faces towards its centre",
         [(Material("sky", "sky_stars.png", specular=0.0), space.build_skybox())],
         [("sky_stars.png", space.sky_texture(rng("sky")))])
    emit("Planet/planet.obj", "Banded planet, placed in world coordinates",
         [(Material("planet", "planet_bands.png", specular=0.0), space.build_planet())],
         [("planet_bands.png", space.planet_texture(rng("planet")))])
    emit("Rocket/rocket.obj", "Toy rocket",
         [(Material("rocket", "rocket.png"), props.build_rocket())],
         [("rocket.png", props.rocket_texture(rng("rocket")))])
    emit("Stone/stone.obj", "Stone",
         [(Material("stone", "stone_rock.png", specular=0.1), props.build_stone(rng("stone")))],
         [("stone_rock.png", props.stone_texture(rng("stone_texture")))])
    return entries


def main(argv):
    if len(argv) != 2:
        sys.exit("usage: /usr/bin/python3 tools/make_assets.py OUTDIR")
    out = os.path.abspath(argv[1])
    missing = fonts.missing_sources()
    if missing:
        sys.exit("make_assets: font files missing; install the Debian packages: %s"
                 % " ".join(missing))
    start = time.monotonic()
    try:
        os.makedirs(out, exist_ok=True)
        entries = make_models(out)
        fonts.write_fonts(out)
        sound_files = sounds.all_sounds(rng)
        for name, data in sound_files:
            write_atomic(os.path.join(out, "Sounds", name), data)
        face = icon.face_icon()
        write_png(os.path.join(out, "Icons", "repair-zelto.png"), face)
        write_ico(os.path.join(out, "Icons", "repair-zelto.ico"), face, icon.ICO_SIZES)
        # Last, so that its presence means every other file is in place.
        write_atomic(os.path.join(out, "manifest.txt"),
                     ("\n".join(entries) + "\n").encode("ascii"))
    except OSError as err:
        sys.exit("make_assets: cannot write the assets: %s" % err)
    print("make_assets: %d models, %d fonts, %d sounds and an icon in %s (%.1f s)"
          % (len(entries), len(fonts.COPIED_FONTS) + 1, len(sound_files), out,
             time.monotonic() - start), flush=True)


if __name__ == "__main__":
    main(sys.argv)
