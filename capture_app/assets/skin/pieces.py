"""The frame pieces: file, size, and where the piece sits in the nominal
window (any place the program puts it shows the same pixels there)."""
from . import icons, lettering, theme as t
from .raster import Canvas

W, H, M = t.NOMINAL_W, t.NOMINAL_H, t.MID
B = H - t.BOTTOM_BAR

# (file below the skin folder, width, height, nominal left, nominal top)
FRAME_PIECES = [
    (r"top\TopLeft.BMP", 21, 36, 0, 0),
    (r"top\TopCenter.BMP", 2, 36, 400, 0),
    (r"top\TopRight.BMP", 70, 36, W - 70, 0),
    (r"top\About.BMP", 274, 35, 21, 0),
    (r"center\CenterLeft2.BMP", 21, 2, 0, 200),
    (r"center\CenterRight2.BMP", 21, 2, W - 21, 200),
    (r"bottom\BottomLeft11.BMP", 20, 94, 0, B),
    (r"bottom\BottomLeft2.BMP", 88, 94, M - 274, B),
    (r"bottom\BottomFill1.BMP", 2, 94, 40, B),
    (r"bottom\BottomFill2.BMP", 2, 94, M - 170, B),
    (r"bottom\BottomCenter1.BMP", 288, 94, M - 150, B),
    (r"bottom\BottomCenter2.BMP", 205, 94, M - 103, B),
    (r"bottom\BottomRight1.BMP", 25, 94, W - 25, B),
    (r"bottom\BottomRight2.BMP", 94, 94, M + 186, B),
    (r"bottom\Effect.BMP", 75, 26, 0, B),
]


def draw_logo(cv):
    """The product's mark and name, left in the top bar."""
    cy = 19
    icons.aperture(cv, 35, cy, 18, t.ACCENT, t.WHITE)
    x_height, weight = 10, 2.3
    name = lettering.word("Snapory", 50, 25, x_height, weight)
    cv.paint(name, t.WHITE, name.bounds)
    bang_x = 50 + lettering.width("Snapory", x_height, weight) + 0.3 * x_height
    bang = lettering.word("!", bang_x, 25, x_height, weight)
    cv.paint(bang, t.ACCENT_LIGHT, bang.bounds)


def render(name, width, height, left, top, colour_at):
    cv = Canvas(width, height, (left, top))
    cv.fill_with(colour_at)
    if name.endswith("About.BMP"):
        draw_logo(cv)
    return cv
