"""Small drawing helpers for procedural frames: shape tests, colour mixing,
a repeatable hash noise."""
import math

W, H = 320, 240


def mix(a, b, t):
    t = min(1.0, max(0.0, t))
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def noise(x, y, seed=0):
    """Repeatable value in [0, 1) per integer point."""
    n = (x * 374761393 + y * 668265263 + seed * 982451653) & 0xFFFFFFFF
    n = ((n ^ (n >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((n ^ (n >> 16)) & 0xFFFF) / 65536.0


def smooth_noise(x, y, scale, seed=0):
    """Bilinear value noise with cells of scale pixels."""
    gx, gy = x / scale, y / scale
    ix, iy = math.floor(gx), math.floor(gy)
    fx, fy = gx - ix, gy - iy
    fx, fy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
    top = noise(ix, iy, seed) * (1 - fx) + noise(ix + 1, iy, seed) * fx
    bottom = noise(ix, iy + 1, seed) * (1 - fx) + noise(ix + 1, iy + 1, seed) * fx
    return top * (1 - fy) + bottom * fy


def in_heart(x, y, cx, cy, size):
    """The classic heart curve, point up at the bottom, about 2.3 size wide."""
    u, v = (x - cx) / size, -(y - cy) / size + 0.25
    return (u * u + v * v - 1) ** 3 - u * u * v ** 3 <= 0


def star_points(cx, cy, outer, inner, turn=0.0, arms=5):
    points = []
    for i in range(arms * 2):
        r = outer if i % 2 == 0 else inner
        a = turn - math.pi / 2 + i * math.pi / arms
        points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return points


def in_polygon(x, y, points):
    inside = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def coverage(test, x, y, samples=3):
    """Fraction of a pixel's sub-samples for which test(sx, sy) holds."""
    hits = 0
    for i in range(samples):
        for j in range(samples):
            if test(x + (i + 0.5) / samples, y + (j + 0.5) / samples):
                hits += 1
    return hits / (samples * samples)


def in_rounded_rect(x, y, left, top, right, bottom, radius):
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius and left <= x <= right and top <= y <= bottom


def snowflake(x, y, cx, cy, radius):
    """Six thin arms with side twigs: distance test in the arm's frame."""
    dx, dy = x - cx, y - cy
    r = math.hypot(dx, dy)
    if r > radius:
        return False
    a = math.atan2(dy, dx) % (math.pi / 3)
    a = min(a, math.pi / 3 - a)
    along, across = r * math.cos(a), r * math.sin(a)
    if across < 0.9:
        return True
    twig = abs(along - radius * 0.55)
    return across < radius * 0.3 and abs(across - twig) < 0.8
