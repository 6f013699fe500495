"""Sizes and places of the generated models, in world units.

The game measures the track, robot, ball and stone models and derives its
radii from them, so these numbers are the scene's tuning knobs. The test reads
them too, to check the files against the intent rather than against themselves.
"""

# Track: a torus in the XZ plane around the origin. The game recovers
# minorRadius = height / 2 and majorRadius = width / 2 - minorRadius.
TRACK_MAJOR_RADIUS = 4.0
TRACK_MINOR_RADIUS = 0.6

# Robot: feet at y = 0, facing +Z in the file. Collision uses half the width
# as the body radius and a 0.5 head sphere centred 0.5 below the top.
ROBOT_HEIGHT = 1.5
ROBOT_MAX_WIDTH = 1.0

BALL_RADIUS = 0.12

# Stone collision radius is half this width.
STONE_WIDTH = 0.6

# Planet: static, placed by its vertices (the game draws it with an identity
# matrix). Up and to the left in the follow camera's view, inside the skybox.
PLANET_CENTRE = (-18.0, 11.0, -35.0)
PLANET_RADIUS = 7.0

# Skybox sphere: inside the camera's far plane (100) from anywhere near the track.
SKYBOX_RADIUS = 55.0

ROCKET_HEIGHT = 0.9

# Fixed point light of the scene and the reach of its shadow cube map.
LIGHT_POSITION = (1.2, 1.0, 2.0)
SHADOW_FAR_PLANE = 25.0
CAMERA_FAR_PLANE = 100.0
# The follow camera sits this far towards +Z from the top of the robot's head.
CAMERA_BACK_OFFSET = 5.0
