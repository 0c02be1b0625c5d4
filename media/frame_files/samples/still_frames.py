"""Picture frames (BMP): each a function of the pixel giving its colour,
None (the key colour: the camera shows) or, for 32-bit frames, an alpha."""
import math

from drawing import (H, W, coverage, in_heart, in_polygon, in_rounded_rect, mix, noise,
                     smooth_noise, snowflake, star_points)


def wood(x, y):
    border = 22
    d = min(x, y, W - 1 - x, H - 1 - y)
    if d >= border:
        return None
    horizontal = min(y, H - 1 - y) <= min(x, W - 1 - x)
    along, across = (x, y) if horizontal else (y, x + 1000)
    t = across * 0.8 + 4 * math.sin(along * 0.045 + across * 0.3) + 6 * smooth_noise(along, across, 17)
    ring = (math.sin(t * 1.4) + 1) / 2
    colour = mix((96, 52, 22), (176, 116, 62), ring ** 1.5)
    colour = mix(colour, (70, 38, 16), noise(along // 2, across, 3) * 0.25)
    if d < 3:  # light outer bevel
        colour = mix(colour, (230, 190, 140), 0.5 - d * 0.15)
    elif d >= border - 4:  # dark inner lip
        colour = mix(colour, (40, 20, 8), 0.6)
    if abs(min(x, W - 1 - x) - min(y, H - 1 - y)) < 1:  # mitre joint
        colour = mix(colour, (50, 26, 10), 0.7)
    return colour


def film_strip(x, y):
    band = 30
    if band <= y < H - band and 6 <= x < W - 6:
        return None
    if band <= y < H - band:
        return (18, 18, 20)
    top = y < band
    hole_y = 8 if top else H - band + 8
    phase = x % 24
    if 6 <= phase <= 18 and hole_y <= y <= hole_y + 13 and in_rounded_rect(phase, y, 6, hole_y, 18, hole_y + 13, 3):
        return None  # sprocket hole: the camera shows through
    edge = y == band - 1 or y == H - band
    return (90, 90, 96) if edge else (18 + int(noise(x, y, 5) * 10),) * 3


def _heart_centres():
    centres, step, inset = [], 32, 18
    for x in range(inset, W - inset + 1, step):
        centres += [(x, inset), (x, H - inset)]
    for y in range(inset + step, H - inset - step + 1, step):
        centres += [(inset, y), (W - inset, y)]
    return centres


HEARTS = _heart_centres()


def hearts(x, y):
    for i, (cx, cy) in enumerate(HEARTS):
        if abs(x - cx) < 16 and abs(y - cy) < 16 and in_heart(x, y, cx, cy, 11):
            base = (214, 30, 60) if i % 2 else (250, 110, 150)
            shine = max(0.0, 1 - math.hypot(x - cx + 5, y - cy + 5) / 7)
            return mix(base, (255, 230, 235), shine * 0.8)
    inset = 18
    on_ribbon = min(abs(x - inset), abs(x - (W - inset)), abs(y - inset), abs(y - (H - inset))) < 1.5
    inside = inset - 2 <= x <= W - inset + 2 and inset - 2 <= y <= H - inset + 2
    return (240, 170, 190) if on_ribbon and inside else None


STARS = []
for sx, sy in ((0, 0), (W, 0), (0, H), (W, H)):
    fx, fy = (1 if sx == 0 else -1), (1 if sy == 0 else -1)
    STARS += [star_points(sx + fx * 34, sy + fy * 34, 30, 12, 0.1),
              star_points(sx + fx * 78, sy + fy * 16, 13, 5, 0.4),
              star_points(sx + fx * 16, sy + fy * 76, 11, 4, -0.3)]


def star_corners(x, y):
    for points in STARS:
        if in_polygon(x + 0.5, y + 0.5, points):
            cx = sum(p[0] for p in points) / len(points)
            cy = sum(p[1] for p in points) / len(points)
            light = max(0.0, 1 - math.hypot(x - cx + 6, y - cy + 6) / 30)
            return mix((196, 130, 10), (255, 236, 120), light)
        near = min(math.hypot(x + 0.5 - px, y + 0.5 - py) for px, py in points[::2])
        if near < 1.2:
            return (255, 250, 200)
    return None


POLKA_COLOURS = [(255, 0, 255), (20, 120, 130), (250, 240, 220), (240, 90, 70), (250, 200, 60), (110, 180, 240)]


def polka(x, y):
    """An index into POLKA_COLOURS (0 is the key)."""
    border = 26
    d = min(x, y, W - 1 - x, H - 1 - y)
    if d >= border:
        return 0
    cell_x, cell_y = x // 20, y // 20
    cx, cy = cell_x * 20 + 10, cell_y * 20 + 10
    if (x - cx) ** 2 + (y - cy) ** 2 <= 36 and min(cx, cy, W - 1 - cx, H - 1 - cy) < border:
        return 3 + (cell_x + cell_y) % 3
    return 2 if d >= border - 2 else 1


def postcard(x, y):
    border, shadow = 20, 10
    d = min(x, y, W - 1 - x, H - 1 - y)
    if d < border:
        stripe = ((x + y) // 9) % 4
        if d < 7:
            colour = ((200, 40, 50) if stripe == 0 else (40, 70, 160) if stripe == 2 else (250, 244, 228))
        else:
            colour = mix((250, 244, 228), (222, 210, 186), smooth_noise(x, y, 6, 9) * 0.6)
        alpha = 255
    else:
        colour, alpha = (40, 30, 20), round(110 * max(0.0, 1 - (d - border) / shadow) ** 2)
    # Stamp top right with a scalloped edge and a little mountain.
    if 250 <= x < 300 and 12 <= y < 70:
        perforated = (x in (250, 299) and y % 6 < 3) or (y in (12, 69) and x % 6 < 3)
        if not perforated:
            if 254 <= x < 296 and 16 <= y < 66:
                sky = mix((120, 180, 230), (250, 250, 255), (y - 16) / 50)
                colour = (70, 120, 80) if y > 66 - (21 - abs(x - 275)) else sky
            else:
                colour = (255, 255, 250)
            alpha = 255
    # Postmark: two rings and wavy lines in translucent ink over the edge.
    r = math.hypot(x - 236, y - 42)
    if abs(r - 22) < 1.3 or abs(r - 16) < 1 or (204 < x < 252 and any(
            abs(y - (base + 3 * math.sin(x / 5))) < 1 for base in (30, 42, 54)) and r > 23):
        colour = mix(colour, (30, 30, 60), 0.85) if alpha else (30, 30, 60)
        alpha = max(alpha, 170)
    return colour + (alpha,)


SNOWFLAKES = [(noise(i, 1, 7) * W, noise(i, 2, 7) * 150, 4 + noise(i, 3, 7) * 6) for i in range(26)]


def snow(x, y):
    ground = 200 + 10 * math.sin(x / 37) + 6 * math.sin(x / 13 + 1)
    if y >= ground - 6:
        t = (y - (ground - 6)) / 6
        shade = mix((210, 225, 245), (255, 255, 255), (y - ground) / 20)
        return shade + (round(255 * min(1.0, t)),)
    for fx, fy, radius in SNOWFLAKES:
        if abs(x - fx) <= radius + 1 and abs(y - fy) <= radius + 1:
            c = coverage(lambda sx, sy: snowflake(sx, sy, fx, fy, radius), x, y, 2)
            if c:
                return (255, 255, 255, round(230 * c))
    corner = min(math.hypot(x - cx, y - cy) for cx in (0, W) for cy in (0, H))
    frost = max(0.0, 1 - corner / 90)
    return (235, 244, 255, round(200 * frost ** 1.5))


def render(shader):
    return [shader(x, y) for y in range(H) for x in range(W)]


def keyed(pixels):
    from file_formats import KEY
    return [KEY if p is None else p for p in pixels]
