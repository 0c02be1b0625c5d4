"""A geometric stroke font for the few words the skin carries (the logo, the
effect tab). Glyphs are centre lines in units of the x-height, y up from
the baseline; a word becomes one shape, drawn with round stroke ends."""
import math

from . import raster

CAP = 1.4
DESCENT = 0.45
O = 0.5  # radius of the round letters


def _arc(cx, cy, r, a0, a1):
    """Arc in glyph units (y up), angles in degrees, counter-clockwise."""
    steps = max(6, int(abs(a1 - a0) / 8))
    return [(cx + r * math.cos(math.radians(a)), cy + r * math.sin(math.radians(a)))
            for a in (a0 + (a1 - a0) * k / steps for k in range(steps + 1))]


# Each glyph: (advance width, [polylines]); arcs use y-up maths, converted later.
GLYPHS = {
    "S": (0.95, [_arc(0.47, 1.05, 0.35, 15, 270) + _arc(0.47, 0.35, 0.35, 90, -165)]),
    "n": (0.95, [[(0, 0), (0, 1)], [(0, 0.5)] + _arc(0.475, 0.5, 0.475, 180, 0) + [(0.95, 0)]]),
    "a": (1.0, [_arc(O, O, O, 0, 360), [(1.0, 1.0), (1.0, 0)]]),
    "p": (1.0, [_arc(O, O, O, 0, 360), [(0, 1.0), (0, -DESCENT)]]),
    "o": (1.0, [_arc(O, O, O, 0, 360)]),
    "r": (0.6, [[(0, 0), (0, 1)], [(0, 0.45)] + _arc(0.55, 0.45, 0.55, 180, 85)]),
    "y": (0.95, [[(0, 1), (0.475, 0.02)], [(0.95, 1), (0.2, -DESCENT)]]),
    "!": (0.0, [[(0, CAP), (0, 0.5)], [(0, 0.02)]]),
    "F": (0.8, [[(0.8, CAP), (0, CAP), (0, 0)], [(0, 0.75), (0.65, 0.75)]]),
    "X": (1.0, [[(0, 0), (1.0, CAP)], [(0, CAP), (1.0, 0)]]),
}


def word(text, x, baseline, x_height, weight, spacing=0.32):
    """The word as one shape: left edge of its first stroke at x."""
    half = weight / 2
    pen = x + half
    strokes = []
    for ch in text:
        advance, lines = GLYPHS[ch]
        for line in lines:
            pts = [(pen + u * x_height, baseline - v * x_height) for u, v in line]
            strokes.append(raster.stroke(pts, weight))
        pen += advance * x_height + weight + spacing * x_height
    return raster.shapes_union(strokes)


def width(text, x_height, weight, spacing=0.32):
    total = sum(GLYPHS[ch][0] * x_height + weight + spacing * x_height for ch in text)
    return total - spacing * x_height
