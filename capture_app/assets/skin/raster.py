"""A small vector canvas: shapes are signed distance functions, painted with
one pixel of anti-aliasing at their edge, so every piece stays sharp at any
size and one change of a colour or a radius redraws the whole skin."""
import math


def hex_colour(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


class Canvas:
    """width x height pixels; origin is where the canvas's top-left pixel sits
    in the nominal window, so shapes are given in window co-ordinates."""

    def __init__(self, width, height, origin=(0, 0)):
        self.width, self.height = width, height
        self.ox, self.oy = origin
        self.pixels = [[(0.0, 0.0, 0.0)] * width for _ in range(height)]

    def fill_with(self, colour_at):
        """colour_at(x, y) gives the colour of the window pixel (x, y)."""
        for j in range(self.height):
            self.pixels[j] = [colour_at(self.ox + i, self.oy + j) for i in range(self.width)]

    def paint(self, shape, colour, bounds=None, opacity=1.0):
        """shape(x, y) is the signed distance (negative inside) at a pixel centre."""
        x0, y0, x1, y1 = bounds if bounds else (self.ox, self.oy, self.ox + self.width, self.oy + self.height)
        i0, i1 = max(0, int(math.floor(x0)) - 1 - self.ox), min(self.width, int(math.ceil(x1)) + 1 - self.ox)
        j0, j1 = max(0, int(math.floor(y0)) - 1 - self.oy), min(self.height, int(math.ceil(y1)) + 1 - self.oy)
        for j in range(j0, j1):
            row = self.pixels[j]
            y = self.oy + j + 0.5
            for i in range(i0, i1):
                d = shape(self.ox + i + 0.5, y)
                cover = 0.5 - d
                if cover <= 0:
                    continue
                cover = min(cover, 1.0) * opacity
                row[i] = mix(row[i], colour, cover)

    def rgb_rows(self):
        return [[tuple(max(0, min(255, int(round(c)))) for c in px) for px in row] for row in self.pixels]


# Shapes: each returns a distance function and its bounding box.

class Shape:
    def __init__(self, sdf, bounds):
        self.sdf, self.bounds = sdf, bounds

    def __call__(self, x, y):
        return self.sdf(x, y)

    def union(self, other):
        return Shape(lambda x, y: min(self.sdf(x, y), other.sdf(x, y)), _join(self.bounds, other.bounds))

    def minus(self, other):
        return Shape(lambda x, y: max(self.sdf(x, y), -other.sdf(x, y)), self.bounds)

    def grown(self, by):
        x0, y0, x1, y1 = self.bounds
        return Shape(lambda x, y: self.sdf(x, y) - by, (x0 - by, y0 - by, x1 + by, y1 + by))

    def outline(self, width):
        """A line of the given width centred on the shape's edge."""
        x0, y0, x1, y1 = self.bounds
        h = width / 2
        return Shape(lambda x, y: abs(self.sdf(x, y)) - h, (x0 - h, y0 - h, x1 + h, y1 + h))


def _join(a, b):
    return (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3]))


def circle(cx, cy, r):
    return Shape(lambda x, y: math.hypot(x - cx, y - cy) - r, (cx - r, cy - r, cx + r, cy + r))


def rounded_rect(x0, y0, x1, y1, radius):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return Shape(sdf, (x0, y0, x1, y1))


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
    return math.hypot(x - ax - t * dx, y - ay - t * dy)


def stroke(points, width):
    """A polyline of the given width with round ends and joins."""
    h = width / 2
    pairs = list(zip(points, points[1:])) or [(points[0], points[0])]

    def sdf(x, y):
        return min(segment_distance(x, y, a[0], a[1], b[0], b[1]) for a, b in pairs) - h
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return Shape(sdf, (min(xs) - h, min(ys) - h, max(xs) + h, max(ys) + h))


def arc_points(cx, cy, r, start_deg, end_deg, steps=None):
    """Points along a circle arc; angles in degrees, counter-clockwise on screen (y down)."""
    steps = steps or max(4, int(abs(end_deg - start_deg) / 10))
    return [(cx + r * math.cos(math.radians(a)), cy - r * math.sin(math.radians(a)))
            for a in (start_deg + (end_deg - start_deg) * k / steps for k in range(steps + 1))]


def polygon(points):
    """A filled polygon (even-odd), distance to its nearest edge for the anti-aliasing."""
    edges = list(zip(points, points[1:] + points[:1]))

    def sdf(x, y):
        d = min(segment_distance(x, y, a[0], a[1], b[0], b[1]) for a, b in edges)
        inside = False
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return -d if inside else d
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return Shape(sdf, (min(xs), min(ys), max(xs), max(ys)))


def shapes_union(shapes):
    result = shapes[0]
    for s in shapes[1:]:
        result = result.union(s)
    return result
