#!/usr/bin/python3
"""Generates the setup window's pictures into resources/ (committed; the build never runs this).

- background.png: 686 x 427 RGBA, pale blue gradient with soft light spots, a lighter band over
  rows 400-425 and a one-pixel blue frame (20, 146, 233) with alpha 87 in the corners and
  192-238 along the edges.
- close_normal.png, close_over.png: 24 x 24 RGBA red discs with a white diagonal cross, an
  anti-aliased rim and fully transparent corners.
- cImg1.png .. cImg5.png: 473 x 329 RGBA slides whose alpha is only 0 or 255.

Usage: mkpictures.py [output folder]   (default: the repository's resources/ folder)
"""
import math
import os
import sys

from PIL import Image, ImageDraw, ImageFont

FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
FRAME = (20, 146, 233)


def background(path):
    w, h = 686, 427
    img = Image.new("RGBA", (w, h))
    px = img.load()
    spots = [(120, 90, 110), (520, 140, 140), (330, 300, 90), (610, 360, 70)]
    for y in range(h):
        for x in range(w):
            t = y / (h - 1)
            r, g, b = 214 + 22 * t, 232 + 12 * t, 250 + 3 * t
            light = 0.0
            for sx, sy, radius in spots:
                d = math.hypot(x - sx, y - sy) / radius
                light += max(0.0, 1.0 - d * d) * 0.6
            light = min(light, 1.0)
            r, g, b = (c + (255 - c) * light for c in (r, g, b))
            if 400 <= y <= 425:  # the lighter band behind the progress bar
                r, g, b = (c + (255 - c) * 0.55 for c in (r, g, b))
            px[x, y] = (int(r), int(g), int(min(b, 255)), 255)
    # The frame: alpha 87 in the four corners, 192..238 along the edges.
    for x in range(w):
        for y in (0, h - 1):
            px[x, y] = FRAME + (192 + (x * 47) // w,)
    for y in range(h):
        for x in (0, w - 1):
            px[x, y] = FRAME + (192 + (y * 47) // h,)
    for x, y in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
        px[x, y] = FRAME + (87,)
    img.save(path)


def close_button(path, colour):
    size, samples = 24, 8
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    px = img.load()
    centre, radius = 11.5, 11.5
    for y in range(size):
        for x in range(size):
            inside = cross = 0
            for sy in range(samples):
                for sx in range(samples):
                    fx = x + (sx + 0.5) / samples
                    fy = y + (sy + 0.5) / samples
                    if math.hypot(fx - 12, fy - 12) <= radius:
                        inside += 1
                        # two diagonal strokes, 2 pixels wide, inside a 12-pixel square
                        u, v = fx - 12, fy - 12
                        if max(abs(u), abs(v)) <= 5.5 and min(abs(u - v), abs(u + v)) <= 1.5:
                            cross += 1
            n = samples * samples
            if inside == 0:
                continue
            alpha = round(255 * inside / n)
            k = cross / inside
            rgb = tuple(round(c + (255 - c) * k) for c in colour)
            px[x, y] = rgb + (alpha,)
    img.save(path)


SLIDES = [
    ("Tavrin服务", "一键安装  轻松使用", (36, 112, 196), (255, 255, 255)),
    ("安全可靠", "Safe and reliable", (46, 160, 110), (255, 255, 255)),
    ("极速下载", "Fast download", (232, 120, 40), (255, 255, 255)),
    ("智能管理", "Smart management", (120, 80, 190), (255, 255, 255)),
    ("欢迎使用", "Welcome to Tavrin", (200, 50, 70), (255, 255, 255)),
]


def slide(path, index, title, subtitle, colour, ink):
    w, h = 473, 329
    rgb = Image.new("RGB", (w, h), colour)
    draw = ImageDraw.Draw(rgb)
    # simple shapes: a lighter circle, a stripe, the slide number
    light = tuple(min(255, c + 50) for c in colour)
    draw.ellipse((300 - index * 30, 150, 470 - index * 30, 320), fill=light)
    draw.rectangle((0, 250, w, 262), fill=light)
    big = ImageFont.truetype(FONT, 56)
    small = ImageFont.truetype(FONT, 26)
    draw.text((36, 60), title, font=big, fill=ink)
    draw.text((40, 150), subtitle, font=small, fill=ink)
    draw.text((40, 275), f"{index + 1} / 5", font=small, fill=ink)
    # Transparent areas (alpha 0 only): rounded-off corners and a round window.
    mask = Image.new("L", (w, h), 0)
    md = ImageDraw.Draw(mask)
    md.rounded_rectangle((0, 0, w - 1, h - 1), radius=28, fill=255)
    md.ellipse((400 - index * 20, 20, 450 - index * 20, 70), fill=0)
    img = rgb.convert("RGBA")
    img.putalpha(mask.point(lambda a: 255 if a >= 128 else 0))
    img.save(path)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "resources")
    os.makedirs(out, exist_ok=True)
    background(os.path.join(out, "background.png"))
    close_button(os.path.join(out, "close_normal.png"), (229, 0, 1))
    close_button(os.path.join(out, "close_over.png"), (248, 53, 54))
    for i, (title, subtitle, colour, ink) in enumerate(SLIDES):
        slide(os.path.join(out, f"cImg{i + 1}.png"), i, title, subtitle, colour, ink)


if __name__ == "__main__":
    main()
