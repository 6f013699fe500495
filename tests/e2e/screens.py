"""What the player reads on an 800 by 600 window: each text with its face and base-line point in
the game's text coordinates (origin bottom left, y up), and predicates over screenshots."""

import glyphs
from glyphs import HEART, MENU, SMALL, TITLE, match, read_number
from harness import START_TIMEOUT

W, H = 800, 600

TITLE_TEXTS = [
    (TITLE, "Repair Zelto", 290, 500),
    (MENU, "Press 'Enter' to start", 320, 440),
    (MENU, "Press 'F1' for help", 320, 400),
]
# Both help columns, first lines at y 550; the second column starts at x 60, left of the first.
HELP_TEXTS = [(SMALL, text, 200, 550 - offset) for text, offset in [
    ("F1   :     Help", 0), ("F2   :     FrameTime", 40), ("F3   :     WireFrame", 80),
    ("F5   :     Mip Mapping Quality", 160), ("F6   :     Bloom", 200),
    ("F7   :     Shadow/Normal Mapping", 240), ("F9   :     Blending", 320)]] + [
    (SMALL, text, 60, 550 - offset) for text, offset in [
    ("A    :     Left", 0), ("D    :     Right", 40), ("Space:     Jump", 80),
    ("P    :     Pause", 120), ("C    :     Debug Mode", 160), ("Mouse, Arrow Keys:", 200),
    ("        Move camera", 240), ("Moving Light", 280), ("(Shadow OFF):", 320),
    ("           L", 360)]]

PAUSE = (TITLE, "Pause", 350, 450)
GAME_OVER = (TITLE, "Game Over", 300, 450)
SCORE_LABEL = (MENU, "Score: ", 350, 375)
SCORE_AT = (740, 550)
HEARTS_AT = (10, 550)
NORMAL_MAP = (SMALL, "Normal Map: ON", 650, 40)
SHADOW_MAP = (SMALL, "Shadow Map: ON", 650, 40)
BLOOM = (SMALL, "Bloom: ON", 650, 60)
MIPMAP = (SMALL, "Mipmap: ON", 650, 80)
BLENDING = (SMALL, "Blending: ON", 650, 20)
WIREFRAME = (SMALL, "Wireframe: ON", 420, 20)
DEFAULT_LABELS = [NORMAL_MAP, BLOOM, MIPMAP, BLENDING]

# A drawn text matches with nearly all of its core pixels (the comparison is pixel exact on
# llvmpipe); text that is absent, or another string in its place, stays far below.
SHOWN = 0.97
ABSENT = 0.6


def shows(image, text):
    typeface, string, x, y = text
    return match(image, typeface, string, x, y) >= SHOWN


def hides(image, text):
    typeface, string, x, y = text
    return match(image, typeface, string, x, y) < ABSENT


def title_up(image):
    return all(shows(image, text) for text in TITLE_TEXTS)


def hearts(image):
    """How many heart glyphs stand at the top left: each one is the heart font's 'T'."""
    advance = int(glyphs.face(HEART).getlength("T"))
    count = 0
    while count < 3 and shows(image, (HEART, "T", HEARTS_AT[0] + count * advance, HEARTS_AT[1])):
        count += 1
    return count


def score(image):
    """The score at the top right, or None when it is not drawn."""
    return read_number(image, MENU, *SCORE_AT)


def final_score(image):
    """The number after "Score: " on the game-over screen."""
    typeface, label, x, y = SCORE_LABEL
    return read_number(image, typeface, x + int(glyphs.face(typeface).getlength(label)), y)


def playing(image):
    return hearts(image) > 0 and score(image) is not None


def start_play(game):
    """From a fresh process to play: the title, then Enter pressed and released."""
    game.wait_for_window()
    game.wait_for_screen(title_up, START_TIMEOUT, what="the title screen")
    # START comes at the release; a press that fell between two frames' polls is not seen
    # and leaves the title up, so it is simply pressed again.
    game.toggle("Return", lambda image: playing(image) and not title_up(image), "play to start")
