"""Orvane's three skins. Every piece is cut from one imaginary panel of
NOMINAL_W x NOMINAL_H client pixels: the columns the program repeats down
the window (Left, Right, the track pieces) are one row of it, so pieces
meet without a seam at every height. A theme only changes colours and the
pattern of the title band; the geometry is shared."""
import math

from skin import raster  # Snapory's vector canvas (capture_app/assets/skin)
from skin.raster import circle, polygon, rounded_rect, stroke

NOMINAL_W, NOMINAL_H = 182, 613
LIST_LEFT, LIST_TOP = 36, 41
RIGHT_W = 17
BOTTOM_H = 77
TRACK_X0 = NOMINAL_W - 13       # the track's left edge, 9 pixels wide
TRACK_W = 9
SEAM_Y = 300                    # a row of the repeated middle

THEMES = {
    "BaseSkin": dict(edge=(14, 32, 58), title0=(70, 140, 220), title1=(28, 78, 150), body=(36, 92, 160),
                     body_dark=(24, 64, 118), accent=(255, 210, 90), glyph=(235, 244, 255), groove=(12, 28, 52),
                     fill=(120, 190, 255), tab=(46, 108, 182), pattern="waves"),
    "Ferrow": dict(edge=(10, 10, 12), title0=(78, 74, 72), title1=(34, 32, 32), body=(52, 50, 50),
                   body_dark=(34, 32, 32), accent=(226, 120, 48), glyph=(240, 200, 160), groove=(18, 16, 16),
                   fill=(226, 120, 48), tab=(66, 62, 60), pattern="rivets"),
    "Tavel": dict(edge=(60, 96, 52), title0=(214, 236, 190), title1=(150, 196, 126), body=(178, 214, 150),
                  body_dark=(132, 176, 110), accent=(214, 70, 110), glyph=(56, 92, 48), groove=(96, 136, 84),
                  fill=(214, 70, 110), tab=(160, 202, 134), pattern="leaves"),
}


def _mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def _frame_colour(t, x, y):
    """The panel without buttons, at a client pixel of the nominal panel."""
    w, h = NOMINAL_W, NOMINAL_H
    if x <= 0 or x >= w - 1 or y <= 0 or y >= h - 1:
        return t["edge"]
    if y < LIST_TOP - 6:                                   # title band
        return _mix(t["title0"], t["title1"], y / (LIST_TOP - 6))
    if y >= h - BOTTOM_H:                                  # button bar
        return _mix(t["body"], t["body_dark"], (y - (h - BOTTOM_H)) / BOTTOM_H)
    # Between: the list's border lines, the left column and the track.
    if x == LIST_LEFT - 1 or x == w - RIGHT_W or y == LIST_TOP - 1:
        return t["edge"]
    if TRACK_X0 <= x < TRACK_X0 + TRACK_W and y >= LIST_TOP:
        return t["groove"]
    return t["body"]


def _pattern(t, cv, x0, y0, x1, y1):
    """The theme's motif over the title band."""
    kind = t["pattern"]
    light = _mix(t["title0"], t["glyph"], 0.35)
    if kind == "waves":
        for k in range(3):
            pts = [(x, y0 + 8 + 8 * k + 3 * math.sin(x / 9.0 + k)) for x in range(x0, x1 + 1, 4)]
            s = stroke(pts, 1.2)
            cv.paint(s, light, s.bounds, opacity=0.45)
    elif kind == "rivets":
        for x in range(x0 + 8, x1 - 4, 22):
            for y in (y0 + 6, y1 - 6):
                r = circle(x, y, 2.2)
                cv.paint(r, t["accent"], r.bounds, opacity=0.8)
    else:
        for k, x in enumerate(range(x0 + 10, x1 - 6, 26)):
            y = y0 + 10 + 8 * (k % 2)
            leaf = polygon([(x - 6, y), (x, y - 4), (x + 6, y), (x, y + 4)])
            cv.paint(leaf, t["glyph"], leaf.bounds, opacity=0.5)


def _title(t, cv):
    _pattern(t, cv, 6, 2, 150, 30)
    # The program's mark: a small picture frame with a sparkle.
    frame = rounded_rect(10, 8, 32, 26, 2).outline(2.2)
    cv.paint(frame, t["accent"], frame.bounds)
    star = polygon([(21, 11), (23, 16), (28, 17), (23, 18), (21, 23), (19, 18), (14, 17), (19, 16)])
    cv.paint(star, t["glyph"], star.bounds)


def frame_pieces():
    """(file name, width, height, left, top): where each piece sits in the nominal panel."""
    return [
        ("Top.BMP", 183, 41, 0, 0),
        ("LeftTop.BMP", 36, 160, 0, 35),
        ("Left.BMP", 36, 2, 0, SEAM_Y),
        ("Right.BMP", 17, 2, NOMINAL_W - RIGHT_W, SEAM_Y),
        ("Bottom.BMP", 183, 77, 0, NOMINAL_H - BOTTOM_H),
    ]


def render_piece(t, name, width, height, left, top):
    cv = raster.Canvas(width, height, (left, top))
    cv.fill_with(lambda x, y: _frame_colour(t, x, y))
    if name == "Top.BMP":
        _title(t, cv)
    if name == "Bottom.BMP":
        y0 = NOMINAL_H - 48
        tray = rounded_rect(3, y0, NOMINAL_W - 4, NOMINAL_H - 5, 8)
        cv.paint(tray, t["body_dark"], tray.bounds, opacity=0.8)
        edge = rounded_rect(3, y0, NOMINAL_W - 4, NOMINAL_H - 5, 8).outline(1)
        cv.paint(edge, t["edge"], edge.bounds, opacity=0.6)
    return cv


# Buttons: (stem, width, height). The tabs' hover picture is the tab mark too.
BUTTONS = [
    ("PictureFrame", 36, 52), ("MagicFrame", 36, 52), ("Effect", 36, 52), ("Close", 16, 16),
    ("+", 32, 28), ("-", 32, 28), ("TopMost", 20, 22), ("Skin", 24, 24), ("ON", 31, 33),
]
STATES = "DHUX"


def _grey(colour):
    v = sum(colour) / 3
    return (v, v, v)


def _glyph(t, cv, stem, w, h, colour, back):
    cx, cy = w / 2, h / 2
    if stem == "PictureFrame":
        outer = rounded_rect(cx - 10, cy - 8, cx + 10, cy + 8, 2).outline(2.4)
        cv.paint(outer, colour, outer.bounds)
        hill = polygon([(cx - 7, cy + 5), (cx - 2, cy - 2), (cx + 2, cy + 3), (cx + 4, cy), (cx + 7, cy + 5)])
        cv.paint(hill, colour, hill.bounds)
    elif stem == "MagicFrame":
        for r, (dx, dy) in ((8, (-2, 2)), (4, (7, -8))):
            s = polygon([(cx + dx + r * math.cos(math.radians(90 + 45 * k)) * (1 if k % 2 == 0 else 0.3),
                          cy + dy - r * math.sin(math.radians(90 + 45 * k)) * (1 if k % 2 == 0 else 0.3))
                         for k in range(8)])
            cv.paint(s, colour, s.bounds)
    elif stem == "Effect":
        disc = circle(cx, cy, 9)
        cv.paint(disc, colour, disc.bounds)
        ring = circle(cx, cy, 4.5).outline(1.8)
        cv.paint(ring, back, ring.bounds)
    elif stem == "Close":
        for line in ([(cx - 4, cy - 4), (cx + 4, cy + 4)], [(cx - 4, cy + 4), (cx + 4, cy - 4)]):
            s = stroke(line, 2.0)
            cv.paint(s, colour, s.bounds)
    elif stem in ("+", "-"):
        lines = [[(cx - 6, cy), (cx + 6, cy)]]
        if stem == "+":
            lines.append([(cx, cy - 6), (cx, cy + 6)])
        for line in lines:
            s = stroke(line, 2.6)
            cv.paint(s, colour, s.bounds)
    elif stem == "TopMost":
        head = polygon([(cx - 5, cy - 7), (cx + 5, cy - 7), (cx + 3, cy), (cx - 3, cy)])
        cv.paint(head, colour, head.bounds)
        pin = stroke([(cx, cy), (cx, cy + 8)], 1.6)
        cv.paint(pin, colour, pin.bounds)
    elif stem == "Skin":
        pal = circle(cx, cy, 9)
        cv.paint(pal, colour, pal.bounds)
        for dx, dy in ((-4, -3), (3, -4), (4, 3)):
            d = circle(cx + dx, cy + dy, 2)
            cv.paint(d, back, d.bounds)
    elif stem == "ON":
        arc = stroke(raster.arc_points(cx, cy + 1, 9, 120, 420), 2.6)
        cv.paint(arc, colour, arc.bounds)
        bar = stroke([(cx, cy - 10), (cx, cy)], 2.6)
        cv.paint(bar, colour, bar.bounds)


def render_button(t, stem, state, w, h):
    """State letters: D pressed, H hover (and checked), U normal, X disabled."""
    back = {"U": t["tab"], "H": _mix(t["tab"], t["accent"], 0.35), "D": _mix(t["tab"], t["edge"], 0.45),
            "X": _grey(t["tab"])}[state]
    colour = {"U": t["glyph"], "H": t["accent"], "D": t["accent"], "X": _mix(_grey(t["glyph"]), _grey(t["tab"]), 0.5)}[state]
    cv = raster.Canvas(w, h)
    cv.fill_with(lambda x, y: t["body"])
    body = rounded_rect(0.5, 0.5, w - 0.5, h - 0.5, min(w, h) * 0.22)
    cv.paint(body, back, body.bounds)
    outline = rounded_rect(0.5, 0.5, w - 0.5, h - 0.5, min(w, h) * 0.22).outline(1)
    cv.paint(outline, t["edge"], outline.bounds)
    _glyph(t, cv, stem, w, h, colour, back)
    return cv


def render_marks(t):
    """The frame's marks and the scroll bar's pictures: (name, canvas)."""
    marks = []
    top_mark = render_button(t, "TopMost", "H", 20, 22)
    glow = rounded_rect(0.5, 0.5, 19.5, 21.5, 4).outline(1.6)
    top_mark.paint(glow, t["accent"], glow.bounds)
    marks.append(("TopMost-H.BMP", top_mark))
    for name, colour in (("TermTop.BMP", t["fill"]), ("TermBottom.BMP", t["groove"])):
        cv = raster.Canvas(TRACK_W, 7)
        cv.fill_with(lambda x, y, c=colour: c)
        marks.append((name, cv))
    for name, mix in (("play_progress_s.bmp", 0.0), ("play_progress_i.bmp", 0.5), ("play_progress_o.bmp", 0.25)):
        cv = raster.Canvas(TRACK_W, 16)
        cv.fill_with(lambda x, y: t["groove"])
        thumb = rounded_rect(0.5, 0.5, TRACK_W - 0.5, 15.5, 3)
        cv.paint(thumb, _mix(t["glyph"], t["accent"], mix), thumb.bounds)
        if name == "play_progress_o.bmp":
            ring = rounded_rect(0.5, 0.5, TRACK_W - 0.5, 15.5, 3).outline(1.2)
            cv.paint(ring, t["accent"], ring.bounds)
        marks.append((name, cv))
    return marks


def skin_files(theme_name):
    """(file name, width, height, canvas) of every bitmap of the skin."""
    t = THEMES[theme_name]
    for name, w, h, left, top in frame_pieces():
        yield name, render_piece(t, name, w, h, left, top)
    for stem, w, h in BUTTONS:
        for state in STATES:
            yield stem + state + ".BMP", render_button(t, stem, state, w, h)
    for name, cv in render_marks(t):
        yield name, cv


def skin_names():
    names = [p[0] for p in frame_pieces()] + [s + st + ".BMP" for s, _, _ in BUTTONS for st in STATES]
    return names + ["TopMost-H.BMP", "TermTop.BMP", "TermBottom.BMP", "play_progress_s.bmp",
                    "play_progress_i.bmp", "play_progress_o.bmp"]
