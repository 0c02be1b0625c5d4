"""The ten command buttons in their four states: mouse over (H), normal (U),
pressed (D) and disabled (X). A button's bitmap is cut from the nominal
window at the button's place, so its corners show the frame behind it."""
from . import icons, lettering, theme as t
from .raster import Canvas, circle, rounded_rect

W, H, M = t.NOMINAL_W, t.NOMINAL_H, t.MID
B = H - t.BOTTOM_BAR
STATES = "HUDX"


def _round_button(cv, cx, cy, r, state, glyph):
    """The dock's buttons: a disc with a picture; accent ring on hover, accent disc when pressed."""
    if state == "D":
        cy += 1
        r -= 1
    fill = {"U": t.BUTTON, "H": t.BUTTON_HOVER, "D": t.ACCENT_DARK, "X": t.BUTTON_OFF}[state]
    disc = circle(cx, cy, r)
    cv.paint(disc, fill, disc.bounds)
    if state == "H":
        ring = circle(cx, cy, r - 0.75).outline(1.5)
        cv.paint(ring, t.ACCENT, ring.bounds)
    colour = {"U": t.GLYPH, "H": t.GLYPH_HOVER, "D": t.WHITE, "X": t.GLYPH_OFF}[state]
    glyph(cv, cx, cy, colour, fill)


def _snap(cv, cx, cy, r, state):
    """The main action stands out: an accent disc with a white camera."""
    if state == "D":
        cy += 1
        r -= 1
    fill = {"U": t.ACCENT, "H": t.ACCENT_LIGHT, "D": t.ACCENT_DARK, "X": t.BUTTON_OFF}[state]
    halo = circle(cx, cy, r + 2.5)
    cv.paint(halo, t.DOCK_EDGE, halo.bounds)
    disc = circle(cx, cy, r)
    cv.paint(disc, fill, disc.bounds)
    glyph = t.GLYPH_OFF if state == "X" else t.WHITE
    icons.camera(cv, cx, cy, 22, glyph, fill)


def _record(cv, cx, cy, r, state):
    def dot(cv, x, y, colour, fill):
        red = {"U": t.RED, "H": t.RED_LIGHT, "D": t.WHITE, "X": t.GLYPH_OFF}[state]
        icons.record_dot(cv, x, y, 14, red)
    if state == "D":
        # Pressed, the whole disc turns red: recording is about to change.
        disc = circle(cx, cy + 1, r - 1)
        cv.paint(disc, t.RED_DARK, disc.bounds)
        icons.record_dot(cv, cx, cy + 1, 13, t.WHITE)
        return
    _round_button(cv, cx, cy, r, state, dot)


def _flat_button(cv, x0, y0, x1, y1, state, glyph, danger=False):
    """The title bar's buttons and the popup button: a bare picture, a soft plate under the mouse."""
    if state in "HD":
        plate_colour = {("H", False): t.TITLE_HOVER, ("D", False): t.ACCENT_DARK,
                        ("H", True): t.CLOSE_HOVER, ("D", True): t.CLOSE_DOWN}[(state, danger)]
        plate = rounded_rect(x0, y0, x1, y1, 4)
        cv.paint(plate, plate_colour, plate.bounds)
    colour = {"U": t.TITLE_GLYPH, "H": t.WHITE, "D": t.WHITE, "X": t.GLYPH_OFF}[state]
    glyph(cv, (x0 + x1) / 2, (y0 + y1) / 2, colour)


def _effect_tab(cv, x0, y0, x1, y1, state):
    """A tab hanging from the picture's lower edge: sparkle and "FX"."""
    fill = {"U": t.BUTTON, "H": t.BUTTON_HOVER, "D": t.ACCENT_DARK, "X": t.BUTTON_OFF}[state]
    tab = rounded_rect(x0 + 1, y0 - 8, x1 - 1, y1 - 2, 6)
    cv.paint(tab, fill, (x0, y0, x1, y1))
    spark = {"U": t.GOLD, "H": t.GOLD, "D": t.WHITE, "X": t.GLYPH_OFF}[state]
    text = {"U": t.GLYPH, "H": t.WHITE, "D": t.WHITE, "X": t.GLYPH_OFF}[state]
    cy = (y0 + y1 - 2) / 2
    icons.sparkle(cv, x0 + 16, cy, 15, spark)
    fx = lettering.word("FX", x0 + 28, cy + 5, 7, 1.8, spacing=0.2)
    cv.paint(fx, text, fx.bounds)


def _title(glyph, danger=False):
    def draw(cv, x0, y0, x1, y1, state):
        _flat_button(cv, x0, y0, x1, y1, state, lambda c, x, y, col: glyph(c, x, y, 10, col), danger)
    return draw


def _dock(glyph, size):
    def draw(cv, x0, y0, x1, y1, state, centre):
        _round_button(cv, x0 + centre[0], y0 + centre[1], 18, state,
                      lambda c, x, y, col, fill: glyph(c, x, y, size, col))
    return draw


def _folder_glyph(cv, x, y, size, colour):
    # The folder's front a shade darker than its back, on any state's disc.
    front = tuple(ch * 0.78 for ch in colour)
    icons.folder(cv, x, y, size, colour, front)


# name: (width, height, nominal left, nominal top, painter, centre of the round picture or None)
BUTTONS = {
    "Help": (18, 20, W - 67, 7, _title(icons.question), None),
    "Min": (18, 20, W - 49, 7, _title(icons.minimise), None),
    "Close": (20, 18, W - 29, 8, _title(icons.cross, danger=True), None),
    "Effect": (54, 26, 21, B, None, None),
    "Browse": (40, 36, M - 150, H - 48, _dock(_folder_glyph, 18), (20, 18)),
    "Record": (56, 36, M - 101, H - 48, None, (36, 18)),
    "Snap": (47, 56, M - 25, H - 60, None, (25, 30)),
    "AutoSnap": (64, 36, M + 22, H - 48, _dock(icons.timer, 19), (43, 18)),
    "Setup": (38, 36, M + 112, H - 48, _dock(icons.gear, 19), (18, 18)),
    "Popup": (22, 22, W - 30, H - 28, _title(icons.popup_window), None),
}


def render(name, state, colour_at):
    width, height, left, top, painter, centre = BUTTONS[name]
    cv = Canvas(width, height, (left, top))
    cv.fill_with(colour_at)
    x0, y0, x1, y1 = left, top, left + width, top + height
    if name == "Effect":
        _effect_tab(cv, x0, y0, x1, y1, state)
    elif name == "Snap":
        _snap(cv, x0 + centre[0], y0 + centre[1], 22, state)
    elif name == "Record":
        _record(cv, x0 + centre[0], y0 + centre[1], 18, state)
    elif centre:
        painter(cv, x0, y0, x1, y1, state, centre)
    else:
        painter(cv, x0, y0, x1, y1, state)
    return cv
