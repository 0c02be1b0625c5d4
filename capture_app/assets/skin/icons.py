"""The pictures on the buttons, each drawn around a centre point at a given
size (the side of the square it fills) in one colour, plus an optional
second colour for a detail that must contrast (the camera's lens)."""
import math

from . import raster
from .raster import circle, polygon, rounded_rect, stroke


def camera(cv, cx, cy, size, colour, lens):
    w, h = size, size * 0.72
    top = cy - h / 2 + size * 0.08
    body = rounded_rect(cx - w / 2, top, cx + w / 2, top + h, size * 0.16)
    hump = rounded_rect(cx - w * 0.22, top - size * 0.16, cx + w * 0.22, top + size * 0.1, size * 0.06)
    shape = body.union(hump)
    cv.paint(shape, colour, shape.bounds)
    ly = top + h / 2
    cv.paint(circle(cx, ly, size * 0.27), lens, circle(cx, ly, size * 0.27).bounds)
    cv.paint(circle(cx, ly, size * 0.15), colour, circle(cx, ly, size * 0.15).bounds)
    flash = circle(cx + w * 0.34, top + size * 0.14, size * 0.05)
    cv.paint(flash, lens, flash.bounds)


def record_dot(cv, cx, cy, size, colour):
    dot = circle(cx, cy, size / 2)
    cv.paint(dot, colour, dot.bounds)


def timer(cv, cx, cy, size, colour):
    r = size * 0.40
    weight = max(1.6, size * 0.11)
    cy += size * 0.06
    ring = circle(cx, cy, r).outline(weight)
    cv.paint(ring, colour, ring.bounds)
    knob = stroke([(cx, cy - r - weight * 0.6), (cx, cy - r - size * 0.16)], weight)
    bar = stroke([(cx - size * 0.14, cy - r - size * 0.2), (cx + size * 0.14, cy - r - size * 0.2)], weight)
    hand = stroke([(cx, cy), (cx, cy - r * 0.62)], weight)
    hand2 = stroke([(cx, cy), (cx + r * 0.45, cy + r * 0.1)], weight)
    for s in (knob, bar, hand, hand2):
        cv.paint(s, colour, s.bounds)


def folder(cv, cx, cy, size, colour, front):
    w, h = size, size * 0.74
    x0, y0 = cx - w / 2, cy - h / 2
    back = rounded_rect(x0, y0 + h * 0.12, x0 + w, y0 + h, size * 0.09)
    tab = rounded_rect(x0, y0, x0 + w * 0.45, y0 + h * 0.35, size * 0.08)
    shape = back.union(tab)
    cv.paint(shape, colour, shape.bounds)
    lid = polygon([(x0 + w * 0.12, y0 + h * 0.38), (x0 + w + w * 0.02, y0 + h * 0.38),
                   (x0 + w * 0.9, y0 + h), (x0, y0 + h)])
    cv.paint(lid, front, lid.bounds)


def gear(cv, cx, cy, size, colour):
    r_body, r_tooth, r_hole = size * 0.37, size * 0.5, size * 0.16
    teeth, tooth_half = 8, size * 0.06

    def sdf(x, y):
        dx, dy = x - cx, y - cy
        angle = math.atan2(dy, dx)
        sector = 2 * math.pi / teeth
        a = (angle + sector / 2) % sector - sector / 2
        dist = math.hypot(dx, dy)
        # The tooth along the sector's middle, as a box in its own frame.
        tx, ty = dist * math.cos(a), dist * math.sin(a)
        qx, qy = abs(tx - (r_body + r_tooth) / 2) - (r_tooth - r_body) / 2 - 1, abs(ty) - tooth_half
        tooth = math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - 0.6
        body = dist - r_body
        return max(min(body, tooth), -(dist - r_hole))
    shape = raster.Shape(sdf, (cx - r_tooth - 1, cy - r_tooth - 1, cx + r_tooth + 1, cy + r_tooth + 1))
    cv.paint(shape, colour, shape.bounds)


def question(cv, cx, cy, size, colour):
    weight = max(1.7, size * 0.15)
    r = size * 0.24
    top = cy - size * 0.18
    hook = raster.arc_points(cx, top, r, 160, -60, 14)
    end = hook[-1]
    line = hook + [(cx, end[1] + size * 0.1), (cx, cy + size * 0.16)]
    s = stroke(line, weight)
    cv.paint(s, colour, s.bounds)
    dot = circle(cx, cy + size * 0.4, weight * 0.62)
    cv.paint(dot, colour, dot.bounds)


def minimise(cv, cx, cy, size, colour):
    s = stroke([(cx - size * 0.38, cy + size * 0.2), (cx + size * 0.38, cy + size * 0.2)], max(1.6, size * 0.13))
    cv.paint(s, colour, s.bounds)


def cross(cv, cx, cy, size, colour):
    h = size * 0.34
    weight = max(1.6, size * 0.13)
    for line in ([(cx - h, cy - h), (cx + h, cy + h)], [(cx - h, cy + h), (cx + h, cy - h)]):
        s = stroke(line, weight)
        cv.paint(s, colour, s.bounds)


def _star(cx, cy, r, waist):
    pts = []
    for k in range(8):
        radius = r if k % 2 == 0 else r * waist
        a = math.radians(90 + 45 * k)
        pts.append((cx + radius * math.cos(a), cy - radius * math.sin(a)))
    return polygon(pts)


def sparkle(cv, cx, cy, size, colour):
    for star in (_star(cx - size * 0.1, cy + size * 0.06, size * 0.42, 0.28),
                 _star(cx + size * 0.3, cy - size * 0.3, size * 0.17, 0.3)):
        cv.paint(star, colour, star.bounds)


def popup_window(cv, cx, cy, size, colour):
    weight = max(1.4, size * 0.1)
    x0, y0, x1, y1 = cx - size * 0.42, cy - size * 0.3, cx + size * 0.3, cy + size * 0.42
    frame = rounded_rect(x0, y0, x1, y1, size * 0.1).outline(weight)
    title = rounded_rect(x0, y0, x1, y0 + size * 0.2, size * 0.08)
    cv.paint(frame, colour, frame.bounds)
    cv.paint(title, colour, title.bounds)
    # An arrow leaving the window at the top right: it opens the other panel.
    tip = (cx + size * 0.5, cy - size * 0.5)
    arrow = stroke([(cx + size * 0.02, cy + size * 0.02), tip], weight)
    head = stroke([(tip[0] - size * 0.28, tip[1]), tip, (tip[0], tip[1] + size * 0.28)], weight)
    for s in (arrow, head):
        cv.paint(s, colour, s.bounds)


def aperture(cv, cx, cy, size, colour, inner):
    disc = circle(cx, cy, size / 2)
    cv.paint(disc, colour, disc.bounds)
    ring = circle(cx, cy, size * 0.24).outline(size * 0.11)
    cv.paint(ring, inner, ring.bounds)
    glint = circle(cx - size * 0.2, cy - size * 0.2, size * 0.07)
    cv.paint(glint, inner, glint.bounds)
