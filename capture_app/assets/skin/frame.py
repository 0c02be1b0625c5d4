"""The frame's colour at any pixel of the nominal window."""
from . import theme as t
from .raster import mix, rounded_rect


def inside_region(x, y, w=t.NOMINAL_W, h=t.NOMINAL_H):
    """Whether pixel (x, y) survives the window's rounded region."""
    left, top, right, bottom = t.REGION_INSET, t.REGION_INSET, w - 2, h - 2
    if not (left <= x < right and top <= y < bottom):
        return False
    px, py = x + 0.5, y + 0.5
    for cx in (left + t.CORNER_RX, right - t.CORNER_RX):
        for cy in (top + t.CORNER_RY, bottom - t.CORNER_RY):
            in_corner_x = px < cx if cx < w / 2 else px > cx
            in_corner_y = py < cy if cy < h / 2 else py > cy
            if in_corner_x and in_corner_y:
                return ((px - cx) / t.CORNER_RX) ** 2 + ((py - cy) / t.CORNER_RY) ** 2 <= 1.0
    return True


def _on_edge(x, y):
    return inside_region(x, y) and not all(
        inside_region(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))


_DOCK = rounded_rect(t.MID - t.DOCK_HALF_WIDTH, t.DOCK_TOP, t.MID + t.DOCK_HALF_WIDTH, t.DOCK_BOTTOM, t.DOCK_RADIUS)


def _dock_distance(x, bar_y):
    """Signed distance to the dock's rounded outline (negative inside)."""
    return _DOCK(x + 0.5, bar_y + 0.5)


def colour_at(x, y):
    w, h = t.NOMINAL_W, t.NOMINAL_H
    if not inside_region(x, y) or _on_edge(x, y):
        return t.BORDER
    if y < t.TOP_BAR:
        if y == t.REGION_INSET + 1:
            return t.TOP_HIGHLIGHT
        if y == t.TOP_BAR - 1 and t.SIDE - 1 <= x <= w - t.SIDE:
            return t.PREVIEW_EDGE
        return mix(t.TOP_FROM, t.TOP_TO, (y - 4) / (t.TOP_BAR - 5))
    if y < t.BAR_TOP:
        if x == t.SIDE - 1 or x == w - t.SIDE:
            return t.PREVIEW_EDGE
        return t.SIDE_FILL
    bar_y = y - t.BAR_TOP
    if bar_y == 0 and t.SIDE - 1 <= x <= w - t.SIDE:
        return t.PREVIEW_EDGE
    base = mix(t.BAR_FROM, t.BAR_TO, bar_y / (t.BOTTOM_BAR - 4))
    d = _dock_distance(x, bar_y)
    if d < 0.5:
        # The dock: a flat plate with a one-pixel lighter rim, edges smoothed.
        inner = t.DOCK if d < -1.0 else t.DOCK_EDGE
        return mix(base, inner, min(1.0, 0.5 - d))
    return base
