#!/usr/bin/env python3
"""Draws the images of the "Standard Skin" and writes them as one stored image pack.

The look: a deep-space frame (a night-blue starfield with faint nebula glow, pale caption
text, glassy round caption boxes) around steel-blue controls and client surface.

Pack format, little-endian:
    magic b"HLSKIN1\\0", u16 image count, then for each image:
    u8 name length, name (ASCII); u16 width, height;
    u8 part count, each part: u8 id, u16 x, y, w, h, u8 margins left, top, right, bottom;
    u16 palette size (1..256), palette as R, G, B, A (straight alpha);
    u32 packed length, palette indices row by row, PackBits-packed: a control byte n < 128
    is followed by n + 1 literal indices, n > 128 by one index repeated 257 - n times.
The part ids and layouts are shared with skin/skin_images.h.
"""
import math
import random
import struct
import sys

# Part ids of galaxy.bmp.
CAPTION_ACTIVE, CAPTION_INACTIVE, BORDER, COLOURS, BOXES, CLIENT = range(6)
# Part id of each button state in galaxy-button.bmp.
BUTTON_NORMAL, BUTTON_HOT, BUTTON_PRESSED, BUTTON_DISABLED, BUTTON_FOCUSED = range(5)

CAPTION_W, CAPTION_H = 96, 24
BORDER_TILE = 32
BOX_W, BOX_H = 18, 16
BOX_KINDS = 4   # close, maximise, restore, minimise
BOX_STATES = 4  # normal, hot, pressed, inactive
CLIENT_TILE = 64
BUTTON_W, BUTTON_H, BUTTON_MARGIN = 40, 24, 6


class Image:
    def __init__(self, width, height, fill=(0, 0, 0, 0)):
        self.width, self.height = width, height
        self.pixels = [list(fill) for _ in range(width * height)]

    def put(self, x, y, rgba):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y * self.width + x] = list(rgba)

    def get(self, x, y):
        return self.pixels[y * self.width + x]

    def blend(self, x, y, rgb, amount):
        """Lays rgb over the pixel with the given coverage (0..1), keeping it opaque."""
        if not (0 <= x < self.width and 0 <= y < self.height) or amount <= 0:
            return
        p = self.get(x, y)
        a = min(1.0, amount)
        for i in range(3):
            p[i] = round(p[i] * (1 - a) + rgb[i] * a)

    def paste(self, other, ox, oy):
        for y in range(other.height):
            for x in range(other.width):
                self.put(ox + x, oy + y, other.get(x, y))


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def clamp(v):
    return max(0, min(255, round(v)))


def starfield(width, height, top, bottom, seed, stars, glow, dim=1.0):
    """A seamless (wrapping) starfield over a vertical gradient with soft nebula clouds."""
    rng = random.Random(seed)
    img = Image(width, height)
    clouds = [(rng.uniform(0, width), rng.uniform(0, height), rng.uniform(6, 18),
               rng.choice([(0x7A, 0x4C, 0xC0), (0x2E, 0x8C, 0xB8), (0x5A, 0x3A, 0x9A)]))
              for _ in range(glow)]
    for y in range(height):
        base = mix(top, bottom, y / max(1, height - 1))
        for x in range(width):
            r, g, b = base
            for cx, cy, radius, colour in clouds:
                dx = min(abs(x - cx), width - abs(x - cx))  # wraps so tiles join unseen
                dy = min(abs(y - cy), height - abs(y - cy))
                k = 0.30 * math.exp(-(dx * dx + dy * dy) / (2 * radius * radius))
                r, g, b = r + colour[0] * k, g + colour[1] * k, b + colour[2] * k
            img.put(x, y, (clamp(r * dim), clamp(g * dim), clamp(b * dim), 255))
    for _ in range(stars):
        x, y = rng.randrange(width), rng.randrange(height)
        bright = rng.random()
        tint = rng.choice([(255, 255, 255), (0xD8, 0xE8, 0xFF), (0xFF, 0xF0, 0xD0)])
        tint = tuple(clamp(c * dim) for c in tint)
        img.blend(x, y, tint, 0.45 + 0.55 * bright)
        if bright > 0.85:  # a few bright stars with a small cross of light
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                img.blend((x + dx) % width, (y + dy) % height, tint, 0.35)
    return img


def caption(active):
    if active:
        return starfield(CAPTION_W, CAPTION_H, (0x1E, 0x2A, 0x5E), (0x0A, 0x0F, 0x2C), 7, 26, 4)
    return starfield(CAPTION_W, CAPTION_H, (0x2A, 0x2E, 0x44), (0x16, 0x18, 0x26), 7, 26, 4, dim=0.75)


def coverage(fn, x, y, samples=4):
    """Share of a pixel's subsamples for which fn(px, py) holds."""
    hits = 0
    for sy in range(samples):
        for sx in range(samples):
            if fn(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples):
                hits += 1
    return hits / (samples * samples)


def caption_box(kind, state):
    """A round glass box with its glyph; transparent around the disc."""
    img = Image(BOX_W, BOX_H)
    cx, cy, radius = BOX_W / 2, BOX_H / 2, BOX_H / 2 - 1
    if kind == 0:  # close: a warm red glow, so the one box that ends things stands out
        rim, light, dark = (0x40, 0x10, 0x18), (0xF0, 0x70, 0x70), (0x90, 0x20, 0x30)
    else:
        rim, light, dark = (0x0C, 0x14, 0x34), (0x6C, 0x90, 0xD8), (0x22, 0x34, 0x78)
    glyph = (0xFF, 0xFF, 0xFF)
    if state == 1:  # hot
        light, dark = mix(light, (255, 255, 255), 0.35), mix(dark, light, 0.35)
    elif state == 2:  # pressed
        light, dark = mix(dark, (0, 0, 0), 0.3), mix(light, dark, 0.5)
        glyph = (0xD0, 0xD8, 0xE8)
    elif state == 3:  # inactive window
        grey = lambda c: (sum(c) // 3,) * 3
        light, dark, rim = grey(light), grey(dark), grey(rim)
        light, dark = mix(light, (0x30, 0x30, 0x40), 0.4), mix(dark, (0x20, 0x20, 0x28), 0.4)
        glyph = (0xA8, 0xAC, 0xB8)

    def glyph_hit(px, py):
        u, v = px - cx, py - cy
        if kind == 0:
            return abs(abs(u) - abs(v)) < 0.9 and abs(u) < 3.6
        if kind == 1:
            return 3.5 > max(abs(u), abs(v)) and (max(abs(u), abs(v)) > 2.5 or -3.5 < v < -1.8)
        if kind == 2:
            back = 2.8 > max(abs(u - 1.2), abs(v + 1.2)) > 1.9 and (u > 0 or v < -2.0)
            front = 2.8 > max(abs(u + 1), abs(v - 1)) and (max(abs(u + 1), abs(v - 1)) > 1.9 or v < -0.6)
            return back or front
        return 2.0 < v < 3.6 and abs(u) < 3.6

    for y in range(BOX_H):
        for x in range(BOX_W):
            disc = coverage(lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= radius ** 2, x, y)
            if disc == 0:
                continue
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy) / radius
            t = (y + 0.5) / BOX_H
            colour = mix(light, dark, min(1.0, t * 1.2))
            if d > 0.82:
                colour = mix(colour, rim, (d - 0.82) / 0.18)
            if t < 0.45 and d < 0.7:  # glass highlight across the top
                colour = mix(colour, (255, 255, 255), 0.25 * (1 - t / 0.45))
            g = coverage(glyph_hit, x, y)
            colour = mix(colour, glyph, g)
            img.put(x, y, colour + (round(255 * disc),))
    return img


def galaxy():
    width = max(CAPTION_W, BORDER_TILE + CLIENT_TILE, BOX_W * BOX_STATES)
    boxes_y = CAPTION_H * 2
    lower_y = boxes_y + BOX_H * BOX_KINDS
    img = Image(width, lower_y + CLIENT_TILE)
    img.paste(caption(True), 0, 0)
    img.paste(caption(False), 0, CAPTION_H)
    for kind in range(BOX_KINDS):
        for state in range(BOX_STATES):
            img.paste(caption_box(kind, state), state * BOX_W, boxes_y + kind * BOX_H)
    border = starfield(BORDER_TILE, BORDER_TILE, (0x12, 0x18, 0x3C), (0x0C, 0x10, 0x2C), 11, 6, 2)
    img.paste(border, 0, lower_y)
    # Colours of the frame, in order: outer rim, rim highlight, line around the client area,
    # caption text of an active and of an inactive window, caption text shadow.
    colours = [(0x04, 0x06, 0x14), (0x5C, 0x7C, 0xC8), (0x03, 0x05, 0x10),
               (0xF2, 0xF6, 0xFF), (0x98, 0xA0, 0xB4), (0x00, 0x00, 0x08)]
    for i, c in enumerate(colours):
        img.put(i, lower_y + BORDER_TILE, c + (255,))
    img.paste(client_surface(), BORDER_TILE, lower_y)
    parts = [
        (CAPTION_ACTIVE, 0, 0, CAPTION_W, CAPTION_H),
        (CAPTION_INACTIVE, 0, CAPTION_H, CAPTION_W, CAPTION_H),
        (BORDER, 0, lower_y, BORDER_TILE, BORDER_TILE),
        (COLOURS, 0, lower_y + BORDER_TILE, len(colours), 1),
        (BOXES, 0, boxes_y, BOX_W * BOX_STATES, BOX_H * BOX_KINDS),
        (CLIENT, BORDER_TILE, lower_y, CLIENT_TILE, CLIENT_TILE),
    ]
    return img, [p + (0, 0, 0, 0) for p in parts]


def client_surface():
    """A light steel plate with a soft sheen and a faint scatter of sparkles; tiles seamlessly."""
    rng = random.Random(23)
    img = Image(CLIENT_TILE, CLIENT_TILE)
    base = (0x9A, 0xB6, 0xC2)
    for y in range(CLIENT_TILE):
        wave = math.sin(2 * math.pi * y / CLIENT_TILE)
        for x in range(CLIENT_TILE):
            sheen = 0.10 * wave + 0.04 * math.sin(2 * math.pi * (x + 2 * y) / CLIENT_TILE)
            c = mix(base, (255, 255, 255), 0.30 + sheen)
            img.put(x, y, c + (255,))
    for _ in range(14):
        img.blend(rng.randrange(CLIENT_TILE), rng.randrange(CLIENT_TILE), (255, 255, 255), 0.5)
    return img


def rounded_button(top, middle, bottom, rim, highlight, ring=None):
    img = Image(BUTTON_W, BUTTON_H)
    r = 4.0

    def inside(px, py, inset=0.0):
        x0, y0, x1, y1 = inset, inset, BUTTON_W - inset, BUTTON_H - inset
        rr = max(0.5, r - inset)
        qx = min(max(px, x0 + rr), x1 - rr)
        qy = min(max(py, y0 + rr), y1 - rr)
        return (px - qx) ** 2 + (py - qy) ** 2 <= rr * rr and x0 <= px <= x1 and y0 <= py <= y1

    for y in range(BUTTON_H):
        t = (y + 0.5) / BUTTON_H
        face = mix(top, middle, t / 0.5) if t < 0.5 else mix(middle, bottom, (t - 0.5) / 0.5)
        for x in range(BUTTON_W):
            outer = coverage(inside, x, y)
            if outer == 0:
                continue
            inner = coverage(lambda px, py: inside(px, py, 1.0), x, y)
            colour = mix(rim, face, inner)
            if y == 1 and inner > 0:
                colour = mix(colour, highlight, 0.8 * inner)
            if ring:
                band = coverage(lambda px, py: inside(px, py, 2.0) and not inside(px, py, 3.0), x, y)
                colour = mix(colour, ring, band)
            img.put(x, y, colour + (round(255 * outer),))
    return img


def buttons():
    steel = ((0xD4, 0xE4, 0xEC), (0xA6, 0xC0, 0xCC), (0x84, 0xA0, 0xAE))
    rim = (0x14, 0x20, 0x44)
    states = [
        rounded_button(*steel, rim, (0xF4, 0xFA, 0xFF)),
        rounded_button((0xE6, 0xF2, 0xF8), (0xBC, 0xD6, 0xE2), (0x98, 0xB6, 0xC6), (0x2A, 0x5C, 0xA8),
                       (0xFF, 0xFF, 0xFF)),
        rounded_button((0x70, 0x8C, 0x9C), (0x8E, 0xA8, 0xB6), (0xA8, 0xC0, 0xCC), rim, (0x60, 0x7A, 0x8A)),
        rounded_button((0xD2, 0xD6, 0xD8), (0xC0, 0xC4, 0xC6), (0xB0, 0xB4, 0xB6), (0x80, 0x88, 0x90),
                       (0xE4, 0xE6, 0xE8)),
        rounded_button(*steel, rim, (0xF4, 0xFA, 0xFF), ring=(0x30, 0x8C, 0xE8)),
    ]
    img = Image(BUTTON_W, BUTTON_H * len(states))
    parts = []
    for i, state in enumerate(states):
        img.paste(state, 0, i * BUTTON_H)
        parts.append((i, 0, i * BUTTON_H, BUTTON_W, BUTTON_H) + (BUTTON_MARGIN,) * 4)
    return img, parts


def slider(vertical):
    """A groove and a thumb in three states (normal, hot, pressed)."""
    groove = Image(24, 6)
    for y in range(6):
        for x in range(24):
            edge = y in (0, 5)
            groove.put(x, y, ((0x0A, 0x10, 0x2C) if edge else mix((0x22, 0x30, 0x60), (0x44, 0x60, 0xA0), y / 5)) + (255,))
    thumbs = [rounded_thumb(s) for s in range(3)]
    img = Image(24 + 3 * 11, 19)
    img.paste(groove, 0, 0)
    for i, t in enumerate(thumbs):
        img.paste(t, 24 + i * 11, 0)
    parts = [(0, 0, 0, 24, 6, 3, 0, 3, 0)] + [(1 + i, 24 + i * 11, 0, 11, 19, 0, 0, 0, 0) for i in range(3)]
    if vertical:
        rotated = Image(img.height, img.width)
        for y in range(img.height):
            for x in range(img.width):
                rotated.put(y, x, img.get(x, y))
        img = rotated
        parts = [(pid, y, x, h, w, mt, ml, mb, mr) for pid, x, y, w, h, ml, mt, mr, mb in parts]
    return img, parts


def rounded_thumb(state):
    light = [(0xD4, 0xE4, 0xEC), (0xEC, 0xF6, 0xFA), (0x90, 0xAA, 0xB8)][state]
    img = Image(11, 19)
    for y in range(19):
        for x in range(11):
            cover = coverage(lambda px, py: 0.5 <= px <= 10.5 and 0.5 <= py <= 18.5
                             and (min(px - 0.5, 10.5 - px) > 1.5 or min(py - 0.5, 18.5 - py) > 1.5
                                  or (min(px - 0.5, 10.5 - px) - 1.5) ** 2 + (min(py - 0.5, 18.5 - py) - 1.5) ** 2 < 2.25),
                             x, y)
            if cover:
                edge = x in (0, 10) or y in (0, 18)
                colour = (0x14, 0x20, 0x44) if edge else mix(light, (0x84, 0xA0, 0xAE), y / 18)
                img.put(x, y, colour + (round(255 * cover),))
    return img


def tick_boxes(round_marks):
    """Eight 13 x 13 marks: unchecked and checked, each normal, hot, pressed and disabled."""
    size = 13
    img = Image(size * 8, size)
    c = size / 2
    for checked in range(2):
        for state in range(4):
            face = [(0xE8, 0xF0, 0xF4), (0xFF, 0xFF, 0xFF), (0xA6, 0xC0, 0xCC), (0xCC, 0xD0, 0xD2)][state]
            rim = (0x80, 0x88, 0x90) if state == 3 else (0x14, 0x20, 0x44)
            mark = (0x90, 0x96, 0x9A) if state == 3 else (0x1E, 0x5A, 0xB4)
            ox = (checked * 4 + state) * size
            for y in range(size):
                for x in range(size):
                    if round_marks:
                        shape = lambda px, py: (px - c) ** 2 + (py - c) ** 2 <= 6.0 ** 2
                        inner = lambda px, py: (px - c) ** 2 + (py - c) ** 2 <= 5.0 ** 2
                        dot = lambda px, py: (px - c) ** 2 + (py - c) ** 2 <= 2.5 ** 2
                    else:
                        shape = lambda px, py: 0.5 <= px <= 12.5 and 0.5 <= py <= 12.5
                        inner = lambda px, py: 1.5 <= px <= 11.5 and 1.5 <= py <= 11.5
                        dot = lambda px, py: (abs((py - 7.5) + (px - 5.0)) < 1.2 and 3 <= px <= 5.5) or \
                            (abs((py - 7.5) - (px - 5.0) * 1.0 + 0) < 1.2 and 5.0 <= px <= 10)
                    cover = coverage(shape, x, y)
                    if not cover:
                        continue
                    colour = mix(rim, face, coverage(inner, x, y))
                    if checked:
                        colour = mix(colour, mark, coverage(dot, x, y))
                    img.put(ox + x, y, colour + (round(255 * cover),))
    return img, [(i, i * size, 0, size, size, 0, 0, 0, 0) for i in range(8)]


def quantize(img):
    """Palette of at most 256 RGBA colours by median cut, each pixel mapped to its nearest."""
    counts = {}
    for p in img.pixels:
        key = tuple(p) if p[3] else (0, 0, 0, 0)
        counts[key] = counts.get(key, 0) + 1
    boxes = [list(counts)]
    while len(boxes) < 256:
        def spread(box):
            return max(max(c[i] for c in box) - min(c[i] for c in box) for i in range(4))
        splittable = [b for b in boxes if len(b) > 1]
        if not splittable:
            break
        box = max(splittable, key=lambda b: spread(b) * sum(counts[c] for c in b))
        if spread(box) == 0:
            break
        axis = max(range(4), key=lambda i: max(c[i] for c in box) - min(c[i] for c in box))
        box.sort(key=lambda c: c[axis])
        total, half, cut = sum(counts[c] for c in box), 0, 0
        for cut, c in enumerate(box):
            half += counts[c]
            if half * 2 >= total:
                break
        cut = max(1, min(len(box) - 1, cut + 1))
        boxes.remove(box)
        boxes += [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        weight = sum(counts[c] for c in box)
        palette.append(tuple(round(sum(c[i] * counts[c] for c in box) / weight) for i in range(4)))
    # Fully transparent and fully opaque pixels keep their exact alpha.
    palette = sorted(set(palette))
    nearest = {}
    for colour in counts:
        nearest[colour] = min(range(len(palette)), key=lambda i: sum((palette[i][k] - colour[k]) ** 2 * (4 if k == 3 else 1) for k in range(4)))
    indices = bytes(nearest[tuple(p) if p[3] else (0, 0, 0, 0)] for p in img.pixels)
    return palette, indices


def packbits(data):
    out = bytearray()
    i = 0
    while i < len(data):
        run = 1
        while i + run < len(data) and run < 128 and data[i + run] == data[i]:
            run += 1
        if run >= 2:
            out += bytes((257 - run, data[i]))
            i += run
            continue
        start = i
        i += 1
        while i < len(data) and i - start < 128:
            if i + 1 < len(data) and data[i] == data[i + 1]:
                break
            i += 1
        out.append(i - start - 1)
        out += data[start:i]
    return bytes(out)


def encode(name, img, parts):
    palette, indices = quantize(img)
    packed = packbits(indices)
    out = bytearray()
    out += struct.pack("<B", len(name)) + name.encode("ascii")
    out += struct.pack("<HHB", img.width, img.height, len(parts))
    for part in parts:
        out += struct.pack("<BHHHHBBBB", *part)
    out += struct.pack("<H", len(palette))
    for colour in palette:
        out += bytes(colour)
    out += struct.pack("<I", len(packed)) + packed
    return bytes(out)


def main():
    images = [
        ("galaxy.bmp",) + galaxy(),
        ("galaxy-button.bmp",) + buttons(),
        ("galaxy-h-slider.bmp",) + slider(False),
        ("galaxy-v-slider.bmp",) + slider(True),
        ("checkboxes.tga",) + tick_boxes(False),
        ("radiobuttons.tga",) + tick_boxes(True),
    ]
    pack = bytearray(b"HLSKIN1\0") + struct.pack("<H", len(images))
    for name, img, parts in images:
        pack += encode(name, img, parts)
    with open(sys.argv[1], "wb") as out:
        out.write(pack)
    if len(sys.argv) > 2:  # a preview of each image, for looking at them
        for name, img, _ in images:
            write_preview(f"{sys.argv[2]}/{name}.ppm", img)


def write_preview(path, img):
    with open(path, "wb") as out:
        out.write(b"P6 %d %d 255\n" % (img.width, img.height))
        for p in img.pixels:
            a = p[3] / 255
            out.write(bytes(round(p[i] * a + 0x80 * (1 - a)) for i in range(3)))


if __name__ == "__main__":
    main()
