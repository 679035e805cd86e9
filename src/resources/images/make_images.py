#!/usr/bin/python3
"""Draws the pictures compiled into Lumexa KEL TOOL.

Run from anywhere:  /usr/bin/python3 make_images.py
Writes, next to this script:
  app_icon.png (256 x 256) and app_icon_16/32/48/64/128.png
  product_mark.png (200 x 75)
  start_picture.bmp (508 x 432, 24-bit uncompressed)

Everything is drawn from geometry and fonts only; no randomness, so re-running
gives byte-identical files for the same Pillow and font versions.
"""

import math
import os

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))

DEJAVU_DIR = "/usr/share/fonts/truetype/dejavu"
CJK_FONT = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"

# Palette shared by all pictures.
NAVY = (24, 44, 72)
NAVY_DARK = (14, 27, 45)
STEEL = (226, 233, 241)
STEEL_SHADE = (178, 190, 204)
INK = (20, 34, 56)
ACCENT = (0, 132, 168)
IRIS_R = (226, 64, 70)
IRIS_G = (60, 178, 96)
IRIS_B = (52, 120, 224)
PUPIL = (8, 14, 24)

SS = 4  # supersampling factor for vector-like shapes


def font(name, size):
    path = os.path.join(DEJAVU_DIR, name)
    if os.path.exists(path):
        return ImageFont.truetype(path, size)
    return ImageFont.load_default(size)


def circle(draw, cx, cy, r, **kw):
    draw.ellipse((cx - r, cy - r, cx + r, cy + r), **kw)


def draw_lens(draw, cx, cy, r, ring=STEEL, ring_shade=STEEL_SHADE, body=NAVY_DARK,
              detail=True):
    """A sensor lens seen from the front: metal ring, dark barrel, RGB iris, pupil."""
    circle(draw, cx, cy, r, fill=ring)
    if detail:
        # lower half of the ring slightly shaded to give a hint of depth
        draw.pieslice((cx - r, cy - r, cx + r, cy + r), 20, 160, fill=ring_shade)
        circle(draw, cx, cy, r * 0.93, fill=ring)
    circle(draw, cx, cy, r * 0.80, fill=body)
    ri = r * 0.64
    box = (cx - ri, cy - ri, cx + ri, cy + ri)
    # three colour sectors: the colour filters of the sensor
    draw.pieslice(box, -90, 30, fill=IRIS_R)
    draw.pieslice(box, 30, 150, fill=IRIS_G)
    draw.pieslice(box, 150, 270, fill=IRIS_B)
    # thin dark separators between the sectors
    if detail:
        for ang in (-90, 30, 150):
            a = math.radians(ang)
            draw.line((cx, cy, cx + ri * math.cos(a), cy + ri * math.sin(a)),
                      fill=body, width=max(1, int(r * 0.045)))
    circle(draw, cx, cy, r * 0.30, fill=PUPIL)
    # glint of light on the glass
    circle(draw, cx - r * 0.14, cy - r * 0.14, r * 0.085, fill=(255, 255, 255))


# --------------------------------------------------------------------------
# Application icon
# --------------------------------------------------------------------------
def make_icon():
    n = 256 * SS
    img = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)

    # rounded tile with a gentle vertical gradient
    m = 10 * SS
    mask = Image.new("L", (n, n), 0)
    ImageDraw.Draw(mask).rounded_rectangle((m, m, n - m - 1, n - m - 1),
                                           radius=52 * SS, fill=255)
    grad = Image.new("RGBA", (n, n))
    gd = ImageDraw.Draw(grad)
    top, bot = (36, 66, 104), (16, 32, 56)
    for y in range(n):
        t = y / (n - 1)
        c = tuple(round(top[i] + (bot[i] - top[i]) * t) for i in range(3))
        gd.line((0, y, n, y), fill=c + (255,))
    img.paste(grad, (0, 0), mask)

    cx = n // 2
    cy = 104 * SS
    r = 76 * SS

    # serial cable: a stem from the lens down to the connector
    d.rounded_rectangle((cx - 11 * SS, cy + r - 8 * SS, cx + 11 * SS, 190 * SS),
                        radius=4 * SS, fill=STEEL_SHADE)

    # 9-pin D-sub connector face (trapezoid shell, 5 + 4 pins)
    y0, y1 = 182 * SS, 228 * SS
    tw, bw = 66 * SS, 52 * SS
    shell = [(cx - tw, y0), (cx + tw, y0), (cx + bw, y1), (cx - bw, y1)]
    d.polygon(shell, fill=STEEL)
    # rounded look for the shell corners
    for (x, y) in shell:
        circle(d, x + (6 * SS if x < cx else -6 * SS), y + (6 * SS if y == y0 else -6 * SS),
               6 * SS, fill=STEEL)
    inset = 9 * SS
    iy0, iy1 = y0 + inset, y1 - inset
    itw, ibw = tw - inset - 3 * SS, bw - inset
    d.polygon([(cx - itw, iy0), (cx + itw, iy0), (cx + ibw, iy1), (cx - ibw, iy1)],
              fill=NAVY_DARK)
    pr = 4 * SS
    row1 = iy0 + (iy1 - iy0) * 0.30
    row2 = iy0 + (iy1 - iy0) * 0.72
    for i in range(5):
        circle(d, cx + (i - 2) * 21 * SS, row1, pr, fill=(245, 200, 90))
    for i in range(4):
        circle(d, cx + (i - 1.5) * 21 * SS, row2, pr, fill=(245, 200, 90))

    # the lens / eye on top
    draw_lens(d, cx, cy, r)

    big = img.resize((256, 256), Image.LANCZOS)
    big.save(os.path.join(HERE, "app_icon.png"), optimize=True)
    for s in (16, 32, 48, 64, 128):
        # resample from the 4x master for the cleanest small sizes
        img.resize((s, s), Image.LANCZOS).save(
            os.path.join(HERE, "app_icon_%d.png" % s), optimize=True)


# --------------------------------------------------------------------------
# Product mark
# --------------------------------------------------------------------------
def make_mark():
    w, h = 200, 75
    bg = (255, 255, 255)

    # the small lens glyph is drawn large then reduced (never enlarged)
    g = 50
    glyph = Image.new("RGBA", (g * SS, g * SS), (0, 0, 0, 0))
    draw_lens(ImageDraw.Draw(glyph), g * SS / 2, g * SS / 2, g * SS / 2 - SS,
              ring=NAVY, ring_shade=NAVY, body=NAVY_DARK, detail=True)
    glyph = glyph.resize((g, g), Image.LANCZOS)

    img = Image.new("RGB", (w, h), bg)
    img.paste(glyph, (7, (h - g) // 2), glyph)
    d = ImageDraw.Draw(img)

    x0 = 66
    big = font("DejaVuSans-Bold.ttf", 28)
    small = font("DejaVuSans-Bold.ttf", 12)
    name, sub = "Lumexa", "KEL TOOL"

    nb = d.textbbox((0, 0), name, font=big)
    sb = d.textbbox((0, 0), sub, font=small)
    name_h = nb[3] - nb[1]
    sub_h = sb[3] - sb[1]
    gap1, bar_h, gap2 = 6, 3, 6
    block = name_h + gap1 + bar_h + gap2 + sub_h
    y = (h - block) // 2

    d.text((x0 - nb[0], y - nb[1]), name, font=big, fill=INK)
    text_right = x0 + (nb[2] - nb[0])
    y += name_h + gap1

    # RGB filter bar under the name
    seg = (text_right - x0) / 3.0
    for i, c in enumerate((IRIS_R, IRIS_G, IRIS_B)):
        d.rectangle((round(x0 + i * seg), y, round(x0 + (i + 1) * seg) - 1, y + bar_h - 1),
                    fill=c)
    y += bar_h + gap2

    # letter-spaced sub-line, justified to the width of the name
    widths = [d.textlength(ch, font=small) for ch in sub]
    last_ink = d.textbbox((0, 0), sub[-1], font=small)[2]
    spacing = ((text_right - x0) - sum(widths[:-1]) - last_ink) / (len(sub) - 1)
    x = float(x0)
    for ch, cw in zip(sub, widths):
        d.text((round(x), y - sb[1]), ch, font=small, fill=ACCENT)
        x += cw + spacing

    img.save(os.path.join(HERE, "product_mark.png"), optimize=True)


# --------------------------------------------------------------------------
# Start picture (shown before any image was fetched)
# --------------------------------------------------------------------------
def make_start():
    w, h = 508, 432
    base = (40, 43, 48)
    img = Image.new("RGB", (w, h), base)
    d = ImageDraw.Draw(img)

    cx, cy = w // 2, h // 2

    # faint pixel grid, a touch brighter every fourth line (sensor cells)
    cell = 12
    ox = (w - (w // cell) * cell) // 2
    oy = (h - (h // cell) * cell) // 2
    for x in range(ox, w, cell):
        d.line((x, 0, x, h), fill=(48, 52, 58) if (x - ox) // cell % 4 else (56, 60, 67))
    for y in range(oy, h, cell):
        d.line((0, y, w, y), fill=(48, 52, 58) if (y - oy) // cell % 4 else (56, 60, 67))

    # calm the middle so the text reads cleanly: a soft-edged panel
    panel = Image.new("L", (w, h), 0)
    pd = ImageDraw.Draw(panel)
    pw, ph = 300, 132
    steps = 14
    for k in range(steps):
        a = round(255 * (k + 1) / steps)
        e = steps - k
        pd.rounded_rectangle((cx - pw // 2 - e * 2, cy - ph // 2 - e * 2,
                              cx + pw // 2 + e * 2, cy + ph // 2 + e * 2),
                             radius=18 + e * 2, fill=a)
    img.paste(Image.new("RGB", (w, h), (34, 37, 41)), (0, 0), panel)
    d = ImageDraw.Draw(img)

    # corner marks framing the image area
    mk, inset, col = 22, 14, (96, 102, 111)
    for (x, y, sx, sy) in ((inset, inset, 1, 1), (w - 1 - inset, inset, -1, 1),
                           (inset, h - 1 - inset, 1, -1),
                           (w - 1 - inset, h - 1 - inset, -1, -1)):
        d.line((x, y, x + sx * mk, y), fill=col, width=2)
        d.line((x, y, x, y + sy * mk), fill=col, width=2)

    # small centre cross-hair ticks on the edges
    for (x, y, dx, dy) in ((cx, inset, 0, 1), (cx, h - 1 - inset, 0, -1),
                           (inset, cy, 1, 0), (w - 1 - inset, cy, -1, 0)):
        d.line((x, y, x + dx * 8, y + dy * 8), fill=col, width=1)

    # lens outline above the title, muted
    lens = Image.new("RGBA", (40 * SS, 40 * SS), (0, 0, 0, 0))
    ld = ImageDraw.Draw(lens)
    r = 20 * SS - SS
    circle(ld, 20 * SS, 20 * SS, r, outline=(120, 127, 137), width=int(2.2 * SS))
    ri = r * 0.58
    box = (20 * SS - ri, 20 * SS - ri, 20 * SS + ri, 20 * SS + ri)
    for start, c in ((-90, IRIS_R), (30, IRIS_G), (150, IRIS_B)):
        dim = tuple(round(v * 0.55 + 40 * 0.45) for v in c)
        ld.pieslice(box, start, start + 120, fill=dim)
    circle(ld, 20 * SS, 20 * SS, r * 0.26, fill=(34, 37, 41))
    lens = lens.resize((40, 40), Image.LANCZOS)

    title_f = font("DejaVuSans-Bold.ttf", 22)
    title = "Lumexa KEL TOOL"
    # The "no image" note is drawn by the program in the window's language, centred on the
    # line reserved for it here (NOTE_CENTRE_Y); the picture itself carries no words but the
    # product's name.

    # vertical layout: lens, title, rule, the note's line
    tb = d.textbbox((0, 0), title, font=title_f)
    th = tb[3] - tb[1]
    gap = 10
    note_h = 17
    total = 40 + gap + th + gap + 1 + gap + note_h
    y = cy - total // 2

    img.paste(lens, (cx - 20, y), lens)
    y += 40 + gap
    tw = tb[2] - tb[0]
    d.text((cx - tw // 2 - tb[0], y - tb[1]), title, font=title_f, fill=(208, 213, 220))
    y += th + gap
    d.line((cx - 60, y, cx + 60, y), fill=(80, 86, 95), width=1)
    y += 1 + gap
    print("start picture: the note's line is centred at y =", y + note_h // 2)

    img.save(os.path.join(HERE, "start_picture.bmp"), format="BMP")


if __name__ == "__main__":
    make_icon()
    make_mark()
    make_start()
