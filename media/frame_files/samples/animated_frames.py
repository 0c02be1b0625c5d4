"""Animated frames: GIF animations drawn into fixed palettes, and Flash
movies of lossless bitmaps moved by place-object tags."""
import math

import file_formats as ff
from drawing import H, W, coverage, in_heart, in_polygon, mix, noise, snowflake, star_points

# Twinkling stars: a night-blue border drawn once, then small patches where
# one star after another flares up; disposal 1 keeps the earlier ones lit.
TWINKLE_COLOURS = [(0, 0, 0), (14, 22, 60), (30, 44, 100), (150, 130, 60), (255, 220, 90), (255, 255, 230)]
TWINKLE_STARS = [(24 + i * 45, 14) for i in range(7)] + [(24 + i * 45, H - 15) for i in range(7)] + \
                [(14, 60 + i * 40) for i in range(3)] + [(W - 15, 60 + i * 40) for i in range(3)]


def _twinkle_pixel(x, y, bright):
    for i, (cx, cy) in enumerate(TWINKLE_STARS):
        if abs(x - cx) < 12 and abs(y - cy) < 12:
            glow = i in bright
            if in_polygon(x + 0.5, y + 0.5, star_points(cx, cy, 11 if glow else 8, 4 if glow else 3)):
                return 5 if glow and math.hypot(x - cx, y - cy) < 3 else (4 if glow else 3)
    if min(x, y, W - 1 - x, H - 1 - y) < 28:
        return 2 if noise(x, y, 11) < 0.04 else 1
    return 0


def twinkle():
    first = ff.GifFrame(0, 0, W, H, [_twinkle_pixel(x, y, ()) for y in range(H) for x in range(W)],
                        delay_cs=30, disposal=1, transparent=0)
    frames = [first]
    for k, star in enumerate((0, 9, 15, 4, 18, 11)):
        cx, cy = TWINKLE_STARS[star]
        left, top = max(0, cx - 12), max(0, cy - 12)
        right, bottom = min(W, cx + 12), min(H, cy + 12)
        bright = {star}
        patch = [_twinkle_pixel(x, y, bright) for y in range(top, bottom) for x in range(left, right)]
        frames.append(ff.GifFrame(left, top, right - left, bottom - top, patch,
                                  delay_cs=12 + 4 * (k % 2), disposal=1, transparent=0))
    # All six lit hold a little longer; the loop then starts dim again.
    frames[-1].delay_cs = 40
    return ff.gif(W, H, TWINKLE_COLOURS, frames)


# Falling snow: whole-screen frames of flakes alone; disposal 2 clears each
# before the next, so the camera shows around them.
SNOW_COLOURS = [(0, 0, 0), (255, 255, 255), (200, 220, 250)]
FLAKES = [(noise(i, 4, 3) * W, noise(i, 5, 3) * H, 3 + noise(i, 6, 3) * 4) for i in range(40)]


def snowfall():
    frames = []
    for k in range(8):
        pixels = [0] * (W * H)
        for i, (fx, fy, radius) in enumerate(FLAKES):
            cy = (fy + k * H / 8 * (0.5 + radius / 8)) % H
            cx = fx + 6 * math.sin(k * 0.8 + i)
            for y in range(max(0, int(cy - radius)), min(H, int(cy + radius) + 1)):
                for x in range(max(0, int(cx - radius)), min(W, int(cx + radius) + 1)):
                    if snowflake(x + 0.5, y + 0.5, cx, cy, radius):
                        pixels[y * W + x] = 1 if radius > 4.5 else 2
        frames.append(ff.GifFrame(0, 0, W, H, pixels, delay_cs=10, disposal=2, transparent=0))
    return ff.gif(W, H, SNOW_COLOURS, frames)


# Bubbles: a sea-bed border stays (disposal 1); bubble frames in a palette
# of their own rise over it and are undone after each showing (disposal 3).
SEA_COLOURS = [(0, 0, 0), (20, 90, 60), (40, 150, 90), (210, 190, 120), (160, 140, 90)]
BUBBLE_COLOURS = [(0, 0, 0), (120, 190, 240), (220, 245, 255), (60, 140, 210)]


def _sea(x, y):
    floor = H - 18 - 4 * math.sin(x / 20)
    if y > floor:
        return 3 if noise(x // 2, y // 2, 2) > 0.3 else 4
    for base in (14, 40, W - 30, W - 12):
        sway = base + 6 * math.sin(y / 14 + base)
        if abs(x - sway) < 3 and y > 90 + (base % 40):
            return 2 if (y // 6) % 2 else 1
    return 0


def bubbles():
    frames = [ff.GifFrame(0, 0, W, H, [_sea(x, y) for y in range(H) for x in range(W)],
                          delay_cs=10, disposal=1, transparent=0)]
    column_left, column_width = 0, W
    for k in range(6):
        pixels = [0] * (column_width * H)
        for i in range(9):
            cx = 30 + i * 34 + 8 * math.sin(k * 0.9 + i)
            cy = H - 30 - ((k * 28 + i * 47) % (H - 40))
            radius = 5 + i % 4
            for y in range(max(0, int(cy - radius - 1)), min(H, int(cy + radius + 2))):
                for x in range(max(0, int(cx - radius - 1)), min(W, int(cx + radius + 2))):
                    r = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                    if r <= radius:
                        shine = math.hypot(x + 0.5 - cx + radius / 3, y + 0.5 - cy + radius / 3) < radius / 3
                        pixels[y * column_width + x] = 2 if shine else (3 if r > radius - 1.5 else 1)
        frames.append(ff.GifFrame(column_left, 0, column_width, H, pixels, delay_cs=(8, 12, 16)[k % 3],
                                  disposal=3, transparent=0, local_colours=BUBBLE_COLOURS,
                                  interlaced=k == 2))
    return ff.gif(W, H, SEA_COLOURS, frames)


# A sun in the top left corner whose rays turn; interlaced frames of the
# corner only, delays left at 0 (players show them at 10 cs).
SUN_COLOURS = [(0, 0, 0), (255, 200, 40), (255, 150, 20), (255, 240, 150)]
SUN_SIZE = 110


def _sun_pixel(x, y, turn):
    r = math.hypot(x - 10, y - 10)
    if r < 36:
        return 3 if r < 20 else 1
    a = math.atan2(y - 10, x - 10) + turn
    ray = abs(math.sin(a * 6)) > 0.75
    return 2 if ray and r < 36 + 50 * (0.6 + 0.4 * abs(math.sin(a * 3))) else 0


def sun():
    frames = []
    for k in range(8):
        pixels = [_sun_pixel(x, y, k * math.pi / 48) for y in range(SUN_SIZE) for x in range(SUN_SIZE)]
        frames.append(ff.GifFrame(0, 0, SUN_SIZE, SUN_SIZE, pixels, delay_cs=0, disposal=2,
                                  transparent=0, interlaced=True))
    return ff.gif(W, H, SUN_COLOURS, frames)


# Flash movies ---------------------------------------------------------------

def _balloon(colour):
    w, h = 36, 60

    def pixel(x, y):
        body = coverage(lambda sx, sy: ((sx - 18) / 16) ** 2 + ((sy - 22) / 20) ** 2 <= 1, x, y)
        if body:
            shine = max(0.0, 1 - math.hypot(x - 12, y - 14) / 8)
            return mix(colour, (255, 255, 255), shine * 0.7) + (round(255 * body),)
        if 42 <= y and abs(x - 18 - 2 * math.sin(y / 4)) < 0.8:
            return (90, 90, 90, 255)
        return (0, 0, 0, 0)
    return w, h, [pixel(x, y) for y in range(h) for x in range(w)]


def _bunting():
    w, h = W, 26
    palette = [(230, 60, 60), (250, 200, 50), (60, 150, 230), (80, 190, 100)]

    def pixel(x, y):
        if y < 3:
            return (120, 80, 40, 255)
        i, u = divmod(x, 20)
        if y - 3 < 20 * (1 - abs(u - 10) / 10):
            return palette[i % 4] + (255,)
        return (0, 0, 0, 0)
    return w, h, [pixel(x, y) for y in range(h) for x in range(w)]


def balloons():
    tags = [ff.set_background(*ff.KEY)]
    bw, bh, bunting = _bunting()
    tags += [ff.define_bits_lossless2(1, bw, bh, bunting), ff.define_bitmap_shape(2, 1, bw, bh)]
    for character, colour in ((3, (230, 50, 70)), (5, (60, 120, 230))):
        w, h, pixels = _balloon(colour)
        tags += [ff.define_bits_lossless2(character, w, h, pixels), ff.define_bitmap_shape(character + 1, character, w, h)]
    frames = 12
    for k in range(frames):
        red = ff.swf_matrix(tx=(24 + round(6 * math.sin(k / 2))) * 20, ty=(170 - k * 10) * 20)
        blue = ff.swf_matrix(tx=(W - 60 + round(5 * math.cos(k / 2))) * 20, ty=(150 - k * 7) * 20)
        if k == 0:
            tags += [ff.place_object2(1, 4, red), ff.place_object2(2, 6, blue), ff.place_object2(3, 2, ff.swf_matrix())]
        elif k == 6:  # the red balloon turns blue: its character is replaced in place
            tags += [ff.place_object2(1, 6, red, move=True), ff.place_object2(2, matrix=blue, move=True)]
        elif k == 9:  # the right-hand balloon flies off
            tags += [ff.place_object2(1, matrix=red, move=True), ff.remove_object2(2)]
        elif k < 9:
            tags += [ff.place_object2(1, matrix=red, move=True), ff.place_object2(2, matrix=blue, move=True)]
        else:
            tags.append(ff.place_object2(1, matrix=red, move=True))
        tags.append(ff.show_frame())
    return ff.swf(W, H, 12.0, frames, tags, compressed=False)


def _butterfly():
    w, h = 48, 40

    def pixel(x, y):
        u, v = abs(x + 0.5 - 24), y + 0.5 - 20
        if u < 1.5 and abs(v) < 14:
            return (40, 30, 30, 255)
        upper = ((u - 11) / 11) ** 2 + ((v + 6) / 10) ** 2 <= 1
        lower = ((u - 8) / 8) ** 2 + ((v - 9) / 7) ** 2 <= 1
        if upper or lower:
            spot = math.hypot(u - 13, v + 7) < 3.5
            edge = ((u - 11) / 11) ** 2 + ((v + 6) / 10) ** 2 > 0.7 if upper else False
            return ((255, 250, 220) if spot else (60, 30, 20) if edge else (250, 140, 30)) + (255,)
        return (0, 0, 0, 0)
    return w, h, [pixel(x, y) for y in range(h) for x in range(w)]


def _flowers():
    w, h = 90, 70

    def pixel(x, y):
        for cx, cy, colour in ((22, 40, (240, 90, 160)), (56, 30, (250, 220, 60)), (40, 58, (190, 120, 240))):
            r = math.hypot(x - cx, y - cy)
            a = math.atan2(y - cy, x - cx)
            if r < 5:
                return (250, 200, 40, 255) if colour[1] < 200 else (200, 90, 30, 255)
            if r < 12 + 3 * math.cos(a * 5):
                return colour + (255,)
        if in_heart(x, y, 80, 60, 5):
            return (220, 40, 70, 255)
        return (0, 0, 0, 0)
    return w, h, [pixel(x, y) for y in range(h) for x in range(w)]


def butterflies():
    tags = [ff.set_background(*ff.KEY)]
    w, h, pixels = _butterfly()
    tags += [ff.define_bits_lossless2(1, w, h, pixels), ff.define_bitmap_shape(2, 1, w, h)]
    fw, fh, flowers = _flowers()
    tags += [ff.define_bits_lossless2(3, fw, fh, flowers), ff.define_bitmap_shape(4, 3, fw, fh)]
    tags.append(ff.place_object2(1, 4, ff.swf_matrix(tx=0, ty=(H - fh) * 20)))
    frames = 10
    for k in range(frames):
        flap = 1.0 if k % 2 == 0 else 0.55
        x = 20 + k * 26
        y = 30 + round(12 * math.sin(k))
        # Narrower wings stay centred on the body.
        matrix = ff.swf_matrix(flap, 1.0, round((x + w * (1 - flap) / 2) * 20), y * 20)
        tags.append(ff.place_object2(2, 2, matrix) if k == 0 else ff.place_object2(2, matrix=matrix, move=True))
        tags.append(ff.show_frame())
    return ff.swf(W, H, 10.0, frames, tags, compressed=True)
