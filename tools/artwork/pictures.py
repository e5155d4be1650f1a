#!/usr/bin/env python3
"""Draws Snickit's pictures: the three shipped skins, the built-in about
picture, the window icon, and the PNG views of them for the README.

    pictures.py REPO_ROOT

Drawing is done by ImageMagick's convert (/usr/bin/convert) with DejaVu
fonts; this script composes the layers and writes the Windows bitmaps and the
icon itself, so their headers are exactly what the program expects:
24-bit BI_RGB bottom-up BMPs, and an .ico with 8-bit palettised 16x16 and
32x32 images plus their AND masks.

Layout of every 240 x 95 picture (window pixels, x, y, width, height):
sound buttons (3,19,60,71) (62,19,58,71) (119,19,58,71) (176,19,60,71);
menu button (1,1,26,21); minimize (205,3,16,13); close (221,3,16,14);
menu items Skins (8,23,116,18), About (9,39,116,18), Quit (8,55,116,18);
on the about picture OK (32,58,61,27) and the web link (130,56,106,35).
Neighbouring sound buttons share one pixel column (x 62, 119, 176) and only a
button's own rectangle is ever copied from the pressed picture, so each button
face is drawn in a box that keeps clear of the shared columns.
"""
import os
import struct
import subprocess
import sys
import tempfile

CONVERT = "/usr/bin/convert"
FONTS = "/usr/share/fonts/truetype/dejavu/"
BOLD = FONTS + "DejaVuSans-Bold.ttf"
COND_BOLD = FONTS + "DejaVuSansCondensed-Bold.ttf"
SANS = FONTS + "DejaVuSans.ttf"

W, H = 240, 95

# Where each button face is drawn: (x, y, width, height). Symmetric about the
# window's middle, 4 px apart, never touching the shared columns 62, 119, 176.
FACES = [(5, 21, 55, 68), (64, 21, 54, 68), (122, 21, 54, 68), (180, 21, 55, 68)]
MENU_BUTTON = (3, 3, 22, 15)      # inside (1,1,26,21), clear of the buttons' row 19
MIN_BOX = (206, 3, 14, 13)        # inside (205,3,16,13)
CLOSE_BOX = (222, 3, 14, 13)      # inside (221,3,16,14)
# Menu items, 14 rows each, clear of the rows that two item hot spots share.
ITEMS = [("Skins", (10, 24, 112, 14)), ("About", (10, 40, 112, 14)), ("Quit", (10, 56, 112, 14))]

WORK = None  # temporary folder for the layers


def run(args):
    subprocess.run([CONVERT] + [str(a) for a in args], check=True)


def layer(name):
    return os.path.join(WORK, name + ".png")


def rgb_pixels(path, width, height):
    data = subprocess.run([CONVERT, path, "-background", "black", "-alpha", "remove",
                           "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
    if len(data) != width * height * 3:
        raise SystemExit("%s: expected %dx%d pixels" % (path, width, height))
    return data


# ---------------------------------------------------------------- file writers

def write_bmp24(path, rgb, width, height):
    """A bottom-up 24-bit BI_RGB Windows bitmap (BITMAPINFOHEADER)."""
    row = (width * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray()
        for x in range(width):
            r, g, b = rgb[(y * width + x) * 3:(y * width + x) * 3 + 3]
            line += bytes((b, g, r))
        line += b"\0" * (row - width * 3)
        pixels += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def ico_image(rgb, width, height, transparent):
    """One BMP-in-ICO entry: 8-bit palettised XOR image plus 1-bit AND mask.
    Pixels equal to `transparent` become transparent (mask bit set, black)."""
    palette = []
    index = {}
    indices = []
    for i in range(width * height):
        c = tuple(rgb[i * 3:i * 3 + 3])
        if c == transparent:
            c = (0, 0, 0)
        if c not in index:
            index[c] = len(palette)
            palette.append(c)
        indices.append(index[c])
    if len(palette) > 256:
        raise SystemExit("icon image has %d colours, more than 256" % len(palette))
    palette += [(0, 0, 0)] * (256 - len(palette))
    xor_row = (width + 3) & ~3
    and_row = ((width + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in range(height - 1, -1, -1):
        xor += bytes(indices[y * width:(y + 1) * width]) + b"\0" * (xor_row - width)
        bits = bytearray(and_row)
        for x in range(width):
            if tuple(rgb[(y * width + x) * 3:(y * width + x) * 3 + 3]) == transparent:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 8, 0,
                       len(xor) + len(mask), 0, 0, 256, 0)
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return info + pal + bytes(xor) + bytes(mask)


def write_ico(path, images):
    """images: list of (width, height, entry bytes)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for width, height, data in images:
        out += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
        body += data
    with open(path, "wb") as f:
        f.write(out + body)


# ---------------------------------------------------------------- small drawings
# Each icon is MVG in a 32 x 32 design space centred on 0,0. `ink` outlines,
# `fills` gives the colours of the parts (a, b, c...).

def icon_spring(ink, f):
    return f"""
stroke {ink} stroke-width 1.4 fill {f[2]}
roundrectangle -10,11 10,14 1,1
fill none stroke {ink} stroke-width 1.8
polyline -6,11 7,8 -7,5 7,2 -7,-1 0,-3
stroke-width 1.4 fill {f[0]}
circle 0,-8 0,-2.5
fill {f[3]} stroke none
circle -2.2,-10 -2.2,-8.6
stroke {ink} stroke-width 1.2 fill none
line -11,-9 -14,-9
line -10,-13 -13,-15
line 11,-9 14,-9
line 10,-13 13,-15
"""


def icon_drum(ink, f):
    return f"""
stroke {ink} stroke-width 1.3 fill {f[0]}
path 'M -12,-2 L -12,9 A 12,4 0 0 0 12,9 L 12,-2 Z'
fill none stroke {f[2]} stroke-width 1.6
polyline -10,1 -6,9 -2,1 2,9 6,1 10,9
stroke {ink} stroke-width 1.3 fill {f[3]}
ellipse 0,-2 12,4 0,360
stroke {ink} stroke-width 2.4
line -14,-15 3,-4
line 14,-15 -3,-4
stroke none fill {f[1]}
circle -14,-15 -12.3,-15
circle 14,-15 12.3,-15
"""


def icon_sad(ink, f):
    return f"""
stroke {ink} stroke-width 1.4 fill {f[1]}
circle 0,0 0,12.5
fill {ink} stroke none
ellipse -4.5,-2.5 1.6,2.4 0,360
ellipse 4.5,-2.5 1.6,2.4 0,360
fill none stroke {ink} stroke-width 1.5
path 'M -6.5,8 Q 0,2 6.5,8'
line -8,-6 -3,-8.5
line 8,-6 3,-8.5
stroke {ink} stroke-width 0.8 fill {f[2]}
path 'M 7.5,1 Q 10,5 7.5,6.5 Q 5,5 7.5,1 Z'
"""


def icon_horn(ink, f):
    return f"""
stroke {ink} stroke-width 1.3 fill {f[2]}
ellipse -8,0 6.5,7.5 0,360
fill {f[1]}
polygon -2,-2 11,-9 11,9 -2,2
fill {f[3]}
ellipse 11,0 2.6,9 0,360
stroke {ink} stroke-width 1.2 fill none
line -12,-11 -9,-8
line -5,-12 -6,-9
"""


def icon_pop(ink, f):
    return f"""
stroke {ink} stroke-width 1.3 fill {f[2]}
path 'M -3,-1 L 3,-1 L 3,3 Q 8,5 8,9 L 8,15 L -8,15 L -8,9 Q -8,5 -3,3 Z'
fill {f[3]} stroke none
rectangle -7.3,8 7.3,11
push graphic-context
translate 4,-11 rotate 25
stroke {ink} stroke-width 1.2 fill {f[1]}
roundrectangle -3.5,-3 3.5,3 1.2,1.2
pop graphic-context
stroke {ink} stroke-width 1.4 fill none
line -5,-5 -9,-9
line -7,0 -12,-1
line 1,-6 -1,-12
line 8,-3 13,-4
"""


def icon_whistle(ink, f):
    return f"""
fill none stroke {ink} stroke-width 1.8
path 'M -11,-6 Q -1,-20 10,-8'
fill {ink} stroke none
polygon 10.5,-12.5 12.5,-5 6,-7
stroke {ink} stroke-width 1.3 fill {f[0]}
roundrectangle -13,0 8,6 2,2
fill {f[3]}
rectangle -15,1.5 -12,4.5
stroke {ink} stroke-width 1.6 fill none
line 8,3 12,3
circle 14,3 14,5.5
fill {ink} stroke none
rectangle -9,2 -6,4
"""


def icon_duck(ink, f):
    return f"""
stroke {ink} stroke-width 1.3 fill {f[1]}
path 'M -8,4 Q -8,13 2,13 Q 13,13 14,2 Q 10,5 6,3 Q 1,1 -8,4 Z'
circle -4,-5 -4,1.5
fill {f[0]}
path 'M -10,-6 Q -16,-6 -15,-3 Q -13,-2 -10,-3 Z'
fill {ink} stroke none
circle -5,-7 -5,-5.6
fill none stroke {ink} stroke-width 1.1
path 'M 0,6 Q 5,3 9,7'
"""


def icon_star(ink, f):
    return f"""
stroke {ink} stroke-width 1.3 fill {f[1]}
polygon 0,-13 3.4,-4.5 12.5,-4 5.4,1.7 7.8,10.6 0,5.5 -7.8,10.6 -5.4,1.7 -12.5,-4 -3.4,-4.5
fill {f[3]} stroke none
polygon -12,-14 -11,-11 -8,-10 -11,-9 -12,-6 -13,-9 -16,-10 -13,-11
polygon 12,7 13,10 16,11 13,12 12,15 11,12 8,11 11,10
polygon 13,-14 13.7,-12 15.5,-11.3 13.7,-10.6 13,-8.6 12.3,-10.6 10.5,-11.3 12.3,-12
"""


def icon_bolt(ink, f):
    return f"""
stroke {ink} stroke-width 1.3 fill {f[1]}
polygon 3,-15 -9,2 -1.5,2 -5,15 9,-3 1.5,-3 6,-15
"""


def icon_coin(ink, f):
    return f"""
stroke {ink} stroke-width 1.3 fill {f[1]}
circle 0,0 0,12.5
fill none stroke {f[2]} stroke-width 1.2
circle 0,0 0,9.5
fill {ink} stroke none
font '{BOLD}' font-size 15 text-anchor middle
text 0,5.5 '$'
fill {f[3]}
polygon 12,-14 12.8,-11.8 15,-11 12.8,-10.2 12,-8 11.2,-10.2 9,-11 11.2,-11.8
"""


def icon_cross(ink, f):
    return f"""
stroke {ink} stroke-width 1.3 fill {f[0]}
roundrectangle -12,-12 12,12 3,3
stroke {f[3]} stroke-width 4 stroke-linecap round
line -5.5,-5.5 5.5,5.5
line 5.5,-5.5 -5.5,5.5
"""


def icon_cricket(ink, f):
    return f"""
fill none stroke {ink} stroke-width 1.1
path 'M -10,-2 Q -13,-14 -2,-15'
path 'M -9,-3 Q -7,-12 4,-12'
stroke-width 1.3
polyline 2,2 7,-7 14,9
line -7,4 -10,10
line -3,5 -3,11
stroke {ink} stroke-width 1.2 fill {f[2]}
push graphic-context
rotate -12
ellipse 3,3 10,4.2 0,360
pop graphic-context
circle -9,0 -9,3.6
fill {ink} stroke none
circle -10,-1 -10,0
fill {f[3]}
circle 11,-12 11,-10.8
circle 6,-13 6,-12.2
"""


ICONS = {
    "spring": icon_spring, "drum": icon_drum, "sad": icon_sad, "horn": icon_horn,
    "pop": icon_pop, "whistle": icon_whistle, "duck": icon_duck, "star": icon_star,
    "bolt": icon_bolt, "coin": icon_coin, "cross": icon_cross, "cricket": icon_cricket,
}


def mascot(ink="#3a2a10"):
    """Snickit's mascot, a giggling round face, in a 32 x 32 design space."""
    return f"""
stroke {ink} stroke-width 1.4 fill '#ffd23c'
circle 0,0 0,14
fill '#ff9a9a' stroke none
ellipse -8.5,3 2.8,1.8 0,360
ellipse 8.5,3 2.8,1.8 0,360
fill none stroke {ink} stroke-width 1.6 stroke-linecap round
path 'M -8,-3 Q -5.5,-7.5 -3,-3'
path 'M 3,-3 Q 5.5,-7.5 8,-3'
stroke-width 1.2 fill '#b3242c'
path 'M -6.5,2.5 Q 0,3.5 6.5,2.5 Q 6,10.5 0,10.5 Q -6,10.5 -6.5,2.5 Z'
fill '#ff6f7d' stroke none
path 'M -3.5,8.5 Q 0,6.5 3.5,8.5 Q 2.5,10 0,10 Q -2.5,10 -3.5,8.5 Z'
fill white
rectangle -4.5,3.2 4.5,4.6
"""


def placed(mvg, cx, cy, scale=1.0):
    return f"push graphic-context\ntranslate {cx},{cy}\nscale {scale},{scale}\n{mvg}\npop graphic-context\n"


# ---------------------------------------------------------------- shared pieces

def text_args(text, font, size, fill, x, y, gravity="NorthWest", stroke=None, stroke_width=0):
    """convert arguments that write text at x, y relative to gravity."""
    args = ["-gravity", gravity, "-font", font, "-pointsize", size]
    if stroke:
        args += ["-fill", stroke, "-stroke", stroke, "-strokewidth", stroke_width,
                 "-annotate", "+%d+%d" % (x, y), text]
    args += ["-fill", fill, "-stroke", "none", "-strokewidth", 0,
             "-annotate", "+%d+%d" % (x, y), text, "-gravity", "NorthWest"]
    return args


def bevel_mvg(x, y, w, h, light, dark, outer=None, depth=2):
    """Lines of a raised bevel (swap light and dark for a sunken one)."""
    x1, y1 = x + w - 1, y + h - 1
    out = ["stroke-width 1 fill none"]
    if outer:
        out.append(f"stroke {outer} rectangle {x},{y} {x1},{y1}")
        x, y, x1, y1 = x + 1, y + 1, x1 - 1, y1 - 1
    for i in range(depth):
        out.append(f"stroke {light} line {x + i},{y + i} {x1 - i - 1},{y + i}")
        out.append(f"stroke {light} line {x + i},{y + i} {x + i},{y1 - i - 1}")
        out.append(f"stroke {dark} line {x + i},{y1 - i} {x1 - i},{y1 - i}")
        out.append(f"stroke {dark} line {x1 - i},{y + i} {x1 - i},{y1 - i}")
    return "\n".join(out) + "\n"


def hamburger_mvg(cx, cy, colour, width=10, gap=3.5, thick=2):
    out = [f"stroke {colour} stroke-width {thick} stroke-linecap round fill none"]
    for k in (-1, 0, 1):
        out.append(f"line {cx - width / 2},{cy + k * gap} {cx + width / 2},{cy + k * gap}")
    return "\n".join(out) + "\n"


def min_glyph(x, y, w, h, colour, thick=2):
    return (f"stroke {colour} stroke-width {thick} fill none stroke-linecap butt\n"
            f"line {x + 3.5},{y + h - 4} {x + w - 4.5},{y + h - 4}\n")


def close_glyph(x, y, w, h, colour, thick=1.8):
    return (f"stroke {colour} stroke-width {thick} fill none stroke-linecap round\n"
            f"line {x + 4},{y + 3.5} {x + w - 5},{y + h - 4.5}\n"
            f"line {x + w - 5},{y + 3.5} {x + 4},{y + h - 4.5}\n")


# ---------------------------------------------------------------- skins
# A skin describes its body (the window without buttons), its button faces
# (up and pressed) and its menu. Every piece is drawn by convert into a layer.

class Skin:
    name = ""
    sounds = []          # (label, icon, accent colour) for buttons 1..4

    def body(self, out):
        raise NotImplementedError

    def face(self, out, index, w, h, pressed):
        raise NotImplementedError

    def menu(self, out, body):
        raise NotImplementedError


class Classic(Skin):
    """Light grey bevelled plastic with a blue title bar and coloured caps."""
    name = "Classic"
    sounds = [("BOING", "spring", "#d83a2e"), ("BA-DUM", "drum", "#2f6fd6"),
              ("WAH-WAH", "sad", "#2e9e4a"), ("HONK", "horn", "#e0a020")]
    panel = "#d6d2c8"
    light = "#ffffff"
    shade = "#8a867c"
    dark = "#3c3a36"
    ink = "#2a2620"

    def top_bar(self):
        mvg = ""
        x, y, w, h = MENU_BUTTON
        mvg += f"fill {self.panel} stroke none rectangle {x},{y} {x + w - 1},{y + h - 1}\n"
        mvg += bevel_mvg(x, y, w, h, self.light, self.shade, outer=None, depth=1)
        mvg += f"stroke {self.dark} fill none line {x},{y + h - 1} {x + w - 1},{y + h - 1} line {x + w - 1},{y} {x + w - 1},{y + h - 1}\n"
        mvg += hamburger_mvg(x + w / 2 - 0.5, y + h / 2 - 0.5, self.ink, width=11, gap=3.5, thick=1.6)
        for (bx, by, bw, bh), glyph in ((MIN_BOX, min_glyph), (CLOSE_BOX, close_glyph)):
            mvg += f"fill {self.panel} stroke none rectangle {bx},{by} {bx + bw - 1},{by + bh - 1}\n"
            mvg += bevel_mvg(bx, by, bw, bh, self.light, self.shade, depth=1)
            mvg += f"stroke {self.dark} fill none line {bx},{by + bh - 1} {bx + bw - 1},{by + bh - 1} line {bx + bw - 1},{by} {bx + bw - 1},{by + bh - 1}\n"
            mvg += glyph(bx - 0.5, by - 0.5, bw, bh, self.ink)
        return mvg

    def body(self, out):
        run(["-size", f"{W}x{H}", f"xc:{self.panel}",
             "-fill", "none", "+antialias", "-draw", bevel_mvg(0, 0, W, H, self.light, self.shade, outer=self.dark),
             # title bar
             "-draw", f"fill {self.shade} stroke none rectangle 29,3 201,16",
             "-size", "171x12", "gradient:#0a246a-#a6caf0", "-geometry", "+30+4", "-composite",
             "-draw", f"stroke {self.light} fill none line 29,17 202,17 line 202,3 202,17",
             "-antialias",
             "-draw", self.top_bar(),
             *text_args("Snickit", BOLD, 10, "white", 36, 4),
             *text_args("sound pad", SANS, 8, "#e8eef8", 150, 5),
             "-draw", f"stroke {self.shade} fill none line 4,19 235,19",
             out])

    def face(self, out, index, w, h, pressed):
        label, icon, accent = self.sounds[index]
        d = 1 if pressed else 0
        cap_from, cap_to = ("#f0ede6", "#cfcabd") if not pressed else ("#b4afa2", "#ccc7bb")
        fills = [accent, "#ffd23c" if icon != "horn" else "#f0c040", "#8fd0ff" if icon == "sad" else "#5a5a5a", "white"]
        if icon == "drum":
            fills = [accent, "#f5e6c8", "#ffd23c", "#f4f1ea"]
        if icon == "horn":
            fills = [accent, "#f0b830", "#403c38", "#ffe69a"]
        if icon == "spring":
            fills = [accent, "#ffd23c", "#9a968c", "#ffffff"]
        run(["-size", f"{w}x{h}", f"xc:{self.panel}",
             "-size", f"{w - 2}x{h - 2}", f"gradient:{cap_from}-{cap_to}", "-geometry", "+1+1", "-composite",
             "+antialias",
             "-draw", (bevel_mvg(0, 0, w, h, self.shade, self.light, outer=self.dark, depth=2) if pressed
                       else bevel_mvg(0, 0, w, h, self.light, self.shade, outer=self.dark, depth=2)),
             # a coloured stripe on top: the button's colour
             "-draw", f"fill {accent} stroke none rectangle {3 + d},{3 + d} {w - 4},{5 + d}",
             "-antialias",
             "-draw", placed(ICONS[icon](self.ink, fills), w / 2 - 0.5 + d, 28 + d, 1.0),
             *text_args(label, COND_BOLD, 9, self.ink, d, 49 + d, gravity="North"),
             out])

    def menu(self, out, body):
        icons = {"Skins": "palette", "About": "info", "Quit": "exit"}
        run([body,
             "-fill", self.panel, "-stroke", "none", "-draw", "rectangle 2,20 237,92",
             "+antialias",
             "-draw", bevel_mvg(6, 21, 120, 68, self.shade, self.light, depth=1),
             "-draw", f"fill #ece9e2 stroke none rectangle 7,22 124,87",
             "-draw", bevel_mvg(129, 21, 106, 68, self.shade, self.light, depth=1),
             "-draw", "fill white stroke none rectangle 130,22 233,87",
             "-antialias",
             out])
        args = [out]
        for label, (x, y, w, h) in ITEMS:
            args += ["+antialias", "-draw",
                     f"fill {self.panel} stroke none rectangle {x},{y} {x + w - 1},{y + h - 1}\n"
                     + bevel_mvg(x, y, w, h, self.light, self.shade, outer=None, depth=1)
                     + f"stroke {self.dark} fill none line {x},{y + h - 1} {x + w - 1},{y + h - 1} line {x + w - 1},{y} {x + w - 1},{y + h - 1}\n",
                     "-antialias", "-draw", menu_icon(icons[label], x + 9, y + h / 2 - 0.5, self.ink,
                                                      {"Skins": "#d83a2e", "About": "#2f6fd6", "Quit": "#2e9e4a"}[label]),
                     *text_args(label, BOLD, 9, self.ink, x + 20, y + 1)]
        args += ["-draw", placed(mascot(), 150, 40, 0.75),
                 *text_args("Snickit", BOLD, 11, "#0a246a", 166, 25),
                 *text_args("sound pad", SANS, 7, "#5a5650", 168, 39),
                 *text_args("Keys 1 to 4 on the", SANS, 7, "#5a5650", 136, 60),
                 *text_args("keypad play too.", SANS, 7, "#5a5650", 136, 70),
                 "-draw", hamburger_mvg(18, 79.5, "#5a5650", width=8, gap=2.5, thick=1),
                 *text_args("back to the pad", SANS, 7, "#5a5650", 26, 74),
                 ]
        run(args + [out])


def menu_icon(kind, cx, cy, ink, colour):
    if kind == "palette":
        return (f"stroke {ink} stroke-width 1 fill {colour}\n"
                f"path 'M {cx},{cy - 5} C {cx + 7},{cy - 5} {cx + 7},{cy + 5} {cx + 1},{cy + 5} "
                f"C {cx - 1},{cy + 5} {cx - 1},{cy + 2} {cx - 3},{cy + 2} C {cx - 6},{cy + 2} {cx - 6},{cy - 5} {cx},{cy - 5} Z'\n"
                f"fill #ffd23c stroke none circle {cx + 1},{cy - 2.5} {cx + 2.2},{cy - 2.5}\n"
                f"fill #2f6fd6 circle {cx + 3.5},{cy + 0.5} {cx + 4.7},{cy + 0.5}\n"
                f"fill #2e9e4a circle {cx - 2},{cy - 1.5} {cx - 0.8},{cy - 1.5}\n")
    if kind == "info":
        return (f"stroke {ink} stroke-width 1 fill {colour}\n"
                f"circle {cx},{cy} {cx},{cy + 5.5}\n"
                f"fill white stroke none rectangle {cx - 0.9},{cy - 1} {cx + 0.9},{cy + 3.5}\n"
                f"circle {cx},{cy - 3} {cx},{cy - 2}\n")
    return (f"stroke {ink} stroke-width 1 fill {colour}\n"
            f"circle {cx},{cy} {cx},{cy + 5.5}\n"
            f"stroke white stroke-width 1.4 fill none stroke-linecap round\n"
            f"path 'M {cx - 2.2},{cy - 2} A 3,3 0 1 0 {cx + 2.2},{cy - 2}'\n"
            f"line {cx},{cy - 3.5} {cx},{cy}\n")


def shade_hex(colour, factor):
    """colour (#rrggbb) times factor, each channel clipped to 0..255."""
    r, g, b = (int(colour[i:i + 2], 16) for i in (1, 3, 5))
    return "#%02x%02x%02x" % tuple(max(0, min(255, int(round(c * factor)))) for c in (r, g, b))


def mix_hex(colour, other, t):
    a = [int(colour[i:i + 2], 16) for i in (1, 3, 5)]
    b = [int(other[i:i + 2], 16) for i in (1, 3, 5)]
    return "#%02x%02x%02x" % tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def glow_args(blur=2.5, strength=2):
    """Arguments that give the current image (one drawn layer on a
    transparent canvas) a soft glow of its own colours."""
    args = ["(", "-clone", "0", "-channel", "RGBA", "-blur", "0x%s" % blur, "+channel", ")"]
    args += ["(", "-clone", "1", ")"] * (strength - 1)
    args += ["(", "-clone", "0", ")", "-delete", "0", "-background", "none", "-flatten"]
    return args


class Candy(Skin):
    """Bubble-gum pink with polka dots and glossy jelly-bean buttons."""
    name = "Candy"
    sounds = [("POP!", "pop", "#3fd6b0"), ("WHEE", "whistle", "#ffc93a"),
              ("SQUEAK", "duck", "#4fb8ff"), ("TA-DA!", "star", "#b57bff")]
    ink = "#6a1446"
    pink = "#ff7fba"
    deep = "#e0458f"

    def top_bar(self):
        x, y, w, h = MENU_BUTTON
        mvg = f"stroke {self.ink} stroke-width 1 fill {self.deep}\n"
        mvg += f"roundrectangle {x + 0.5},{y + 1.5} {x + w - 1.5},{y + h - 0.5} 5,5\n"
        mvg += f"fill white roundrectangle {x + 0.5},{y + 0.5} {x + w - 1.5},{y + h - 2.5} 5,5\n"
        mvg += hamburger_mvg(x + w / 2 - 0.5, y + h / 2 - 1.5, self.deep, width=10, gap=3.2, thick=1.8)
        for (bx, by, bw, bh), glyph, colour, mark in ((MIN_BOX, min_glyph, "#ffd84a", self.ink),
                                                       (CLOSE_BOX, close_glyph, "#ff4f6a", "white")):
            cx, cy = bx + bw / 2 - 0.5, by + bh / 2 - 0.5
            r = min(bw, bh) / 2 - 0.5
            mvg += f"stroke {self.ink} stroke-width 1 fill {shade_hex(colour, 0.8)}\n"
            mvg += f"circle {cx},{cy + 0.5} {cx},{cy + 0.5 + r}\n"
            mvg += f"fill {colour} circle {cx},{cy - 0.3} {cx},{cy - 0.3 + r - 0.3}\n"
            mvg += glyph(bx - 0.5, by - 1, bw, bh, mark, thick=1.6)
        return mvg

    def body(self, out):
        dots = "".join(f"circle {x + (6 if (y // 12) % 2 else 0)},{y} {x + (6 if (y // 12) % 2 else 0) + 1.6},{y}\n"
                       for y in range(6, 96, 12) for x in range(4, 244, 12))
        run(["-size", f"{W}x{H}", f"gradient:#ff9ccb-{self.pink}",
             "-draw", f"fill #ffffff40 stroke none {dots}",
             "-draw", f"fill none stroke {self.deep} stroke-width 2 roundrectangle 1,1 238,93 8,8",
             "-draw", f"fill none stroke {self.ink} stroke-width 1 roundrectangle 0.5,0.5 238.5,93.5 9,9",
             "-draw", f"fill {self.ink} stroke none rectangle 0,0 3,3 rectangle 236,0 239,3 rectangle 0,91 3,94 rectangle 236,91 239,94",
             "-draw", f"fill none stroke {self.ink} stroke-width 1 roundrectangle 0.5,0.5 238.5,93.5 9,9",
             "-draw", self.top_bar(),
             *text_args("Snickit", BOLD, 14, "white", 0, 0, gravity="North", stroke=self.ink, stroke_width=2),
             "-draw", f"fill white stroke none {star_mvg(68, 9, 3.5)} {star_mvg(172, 9, 3.5)}",
             out])

    def face(self, out, index, w, h, pressed):
        label, icon, colour = self.sounds[index]
        lip = shade_hex(colour, 0.72)
        top = 3 if pressed else 0
        body = shade_hex(colour, 0.86) if pressed else colour
        light = mix_hex(body, "#ffffff", 0.45)
        fills = {"pop": ["#ff5a8a", "#e8b27a", "#2e9e6a", "#ffffff"],
                 "whistle": ["#ff5a8a", "#ffffff", "#ffffff", "#ffd84a"],
                 "duck": ["#ff8a1e", "#ffe04a", "#ffffff", "#ffffff"],
                 "star": ["#ffffff", "#ffe04a", "#ffffff", "#ffffff"]}[icon]
        mvg = (f"stroke {self.ink} stroke-width 1 fill {lip}\n"
               f"roundrectangle 0.5,{4.5} {w - 1.5},{h - 1.5} 10,10\n"
               f"fill {body}\n"
               f"roundrectangle 0.5,{top + 0.5} {w - 1.5},{h - 5.5 + top} 10,10\n")
        gloss = (f"fill {light}a0 stroke none\n"
                 f"roundrectangle 4,{top + 3} {w - 5},{top + 12} 6,6\n")
        run(["-size", f"{w}x{h}", "xc:none",
             "-draw", mvg, "-draw", gloss,
             "-draw", placed(ICONS[icon](self.ink, fills), w / 2 - 0.5, 27 + top, 1.0),
             *text_args(label, COND_BOLD, 10, "white", 0, 45 + top, gravity="North",
                        stroke=self.ink, stroke_width=2.5),
             out])

    def menu(self, out, body):
        colours = {"Skins": "#3fd6b0", "About": "#4fb8ff", "Quit": "#ff4f6a"}
        icons = {"Skins": "palette", "About": "info", "Quit": "exit"}
        args = [body,
                "-draw", f"fill #ffffffb0 stroke {self.ink} stroke-width 1 roundrectangle 129.5,21.5 234.5,88.5 8,8"]
        for label, (x, y, w, h) in ITEMS:
            args += ["-draw",
                     f"stroke {self.ink} stroke-width 1 fill {self.deep}\n"
                     f"roundrectangle {x + 0.5},{y + 1.5} {x + w - 1.5},{y + h - 0.5} 6,6\n"
                     f"fill white roundrectangle {x + 0.5},{y + 0.5} {x + w - 1.5},{y + h - 2.5} 6,6\n",
                     "-draw", menu_icon(icons[label], x + 9, y + h / 2 - 1, self.ink, colours[label]),
                     *text_args(label, BOLD, 9, self.ink, x + 20, y)]
        args += ["-draw", placed(mascot(), 150, 40, 0.75),
                 *text_args("Snickit", BOLD, 11, self.deep, 166, 25),
                 *text_args("sound pad", SANS, 7, self.ink, 168, 39),
                 *text_args("Keys 1 to 4 on the", SANS, 7, self.ink, 136, 60),
                 *text_args("keypad play too.", SANS, 7, self.ink, 136, 70),
                 "-draw", hamburger_mvg(18, 79.5, "white", width=8, gap=2.5, thick=1.2),
                 *text_args("back to the pad", BOLD, 7, "white", 26, 74, stroke=self.ink, stroke_width=2),
                 out]
        run(args)


def star_mvg(cx, cy, r):
    """A four-pointed sparkle."""
    k = r * 0.3
    return (f"polygon {cx},{cy - r} {cx + k},{cy - k} {cx + r},{cy} {cx + k},{cy + k} "
            f"{cx},{cy + r} {cx - k},{cy + k} {cx - r},{cy} {cx - k},{cy - k}\n")


class Neon(Skin):
    """A dark arcade panel with glowing tube outlines; pressed buttons light up."""
    name = "Neon"
    sounds = [("ZAP!", "bolt", "#00e8ff"), ("COIN", "coin", "#ffe233"),
              ("BZZZT!", "cross", "#ff3d7f"), ("CRICKETS", "cricket", "#7dff4a")]
    dark = "#0c0a1c"
    grid = "#1c1838"
    cyan = "#00e8ff"
    pink = "#ff3dd2"

    def body(self, out):
        grid = "".join(f"line {x},0 {x},94\n" for x in range(7, 240, 8)) + \
               "".join(f"line 0,{y} 239,{y}\n" for y in range(7, 95, 8))
        tube = layer("neon-tubes")
        x, y, w, h = MENU_BUTTON
        mvg = (f"fill none stroke {self.cyan} stroke-width 1.2\n"
               f"roundrectangle {x + 0.5},{y + 0.5} {x + w - 1.5},{y + h - 1.5} 3,3\n")
        mvg += hamburger_mvg(x + w / 2 - 0.5, y + h / 2 - 0.5, self.cyan, width=10, gap=3.2, thick=1.4)
        for (bx, by, bw, bh), glyph, colour in ((MIN_BOX, min_glyph, self.cyan), (CLOSE_BOX, close_glyph, self.pink)):
            mvg += (f"fill none stroke {colour} stroke-width 1.2\n"
                    f"roundrectangle {bx + 0.5},{by + 0.5} {bx + bw - 1.5},{by + bh - 1.5} 2,2\n")
            mvg += glyph(bx - 0.5, by - 0.5, bw, bh, colour, thick=1.4)
        mvg += f"fill none stroke {self.pink} stroke-width 1 roundrectangle 1.5,1.5 237.5,92.5 5,5\n"
        run(["-size", f"{W}x{H}", "xc:none", "-draw", mvg,
             *text_args("SNICKIT", BOLD, 12, "#ffd6f6", 0, 1, gravity="North", stroke=self.pink, stroke_width=1.2),
             *glow_args(2.0, 2), tube])
        run(["-size", f"{W}x{H}", f"gradient:#1a1440-{self.dark}",
             "-draw", f"stroke {self.grid} stroke-width 1 fill none {grid}",
             tube, "-composite", out])

    def face(self, out, index, w, h, pressed):
        label, icon, colour = self.sounds[index]
        deep = shade_hex(colour, 0.35)
        if pressed:
            ink, fills = self.dark, [mix_hex(colour, "#ffffff", 0.5)] * 4
            fills[3] = self.dark
            plate = (f"fill {colour} stroke {mix_hex(colour, '#ffffff', 0.6)} stroke-width 1.5\n"
                     f"roundrectangle 3.5,3.5 {w - 4.5},{h - 4.5} 7,7\n")
            text_fill = self.dark
        else:
            ink, fills = colour, [deep, deep, colour, colour]
            plate = (f"fill #100d24 stroke {colour} stroke-width 1.5\n"
                     f"roundrectangle 3.5,3.5 {w - 4.5},{h - 4.5} 7,7\n")
            text_fill = colour
        if icon == "cross":
            fills = [fills[0], fills[1], fills[2], ink if not pressed else self.dark]
        run(["-size", f"{w}x{h}", "xc:none", "-draw", plate, *glow_args(2.2, 3 if pressed else 2),
             "-draw", placed(ICONS[icon](ink, fills), w / 2 - 0.5, 28, 1.0),
             *text_args(label, COND_BOLD, 9, text_fill, 0, 48, gravity="North"),
             out])

    def menu(self, out, body):
        colours = {"Skins": "#7dff4a", "About": self.cyan, "Quit": "#ff3d7f"}
        icons = {"Skins": "palette", "About": "info", "Quit": "exit"}
        tubes = layer("neon-menu-tubes")
        args = ["-size", f"{W}x{H}", "xc:none",
                "-draw", f"fill none stroke {self.pink} stroke-width 1 roundrectangle 129.5,21.5 234.5,88.5 6,6"]
        for label, (x, y, w, h) in ITEMS:
            args += ["-draw",
                     f"stroke {colours[label]} stroke-width 1.2 fill #100d24\n"
                     f"roundrectangle {x + 0.5},{y + 0.5} {x + w - 1.5},{y + h - 1.5} 6,6\n",
                     *text_args(label, BOLD, 9, colours[label], x + 20, y)]
        # The glow stays below the top bar, which must match the pad picture.
        run(args + glow_args(1.8, 2) + ["-crop", f"{W}x{H - 19}+0+19", "+repage", tubes])
        args = [body, tubes, "-geometry", "+0+19", "-composite"]
        for label, (x, y, w, h) in ITEMS:
            args += ["-draw", menu_icon(icons[label], x + 9, y + h / 2 - 0.5, self.dark, colours[label])]
        args += ["-draw", placed(mascot(), 150, 40, 0.75),
                 *text_args("Snickit", BOLD, 11, "#ffd6f6", 166, 25),
                 *text_args("sound pad", SANS, 7, "#b8b0e0", 168, 39),
                 *text_args("Keys 1 to 4 on the", SANS, 7, "#b8b0e0", 136, 60),
                 *text_args("keypad play too.", SANS, 7, "#b8b0e0", 136, 70),
                 "-draw", hamburger_mvg(18, 79.5, self.cyan, width=8, gap=2.5, thick=1),
                 *text_args("back to the pad", SANS, 7, self.cyan, 26, 74),
                 out]
        run(args)


SKINS = [Classic(), Candy(), Neon()]


# ---------------------------------------------------------------- about picture

OK_BUTTON = (32, 58, 61, 27)
WEB_LINK = (130, 56, 106, 35)
MAKER = "Plinkety"


def maker_logo_mvg(x, y):
    """The maker's mark: a blue rounded tile with a white speaker and waves."""
    return f"""
stroke #123a7a stroke-width 1 fill #2f6fd6
roundrectangle {x + 0.5},{y + 0.5} {x + 26.5},{y + 26.5} 6,6
fill #5b93ee stroke none
roundrectangle {x + 2},{y + 2} {x + 25},{y + 11} 4,4
fill white stroke none
polygon {x + 6},{y + 11} {x + 10},{y + 11} {x + 15},{y + 6} {x + 15},{y + 21} {x + 10},{y + 16} {x + 6},{y + 16}
fill none stroke white stroke-width 1.6 stroke-linecap round
path 'M {x + 18},{y + 10} Q {x + 20.5},{y + 13.5} {x + 18},{y + 17}'
path 'M {x + 21},{y + 7} Q {x + 25},{y + 13.5} {x + 21},{y + 20}'
"""


def make_about(out_bmp, docs):
    panel = "#c0c0c0"
    art = layer("about")
    ok_x, ok_y, ok_w, ok_h = OK_BUTTON
    bx, by, bw, bh = ok_x + 1, ok_y + 1, ok_w - 2, ok_h - 2
    lx, ly, lw, lh = WEB_LINK
    run(["-size", f"{W}x{H}", f"gradient:#d4d4d4-#b4b4b4",
         "+antialias",
         "-draw", bevel_mvg(0, 0, W, H, "#ffffff", "#808080", outer="#404040"),
         # OK button
         "-draw", f"fill {panel} stroke none rectangle {bx},{by} {bx + bw - 1},{by + bh - 1}\n"
                  + bevel_mvg(bx, by, bw, bh, "#ffffff", "#808080", outer="#202020", depth=2),
         # web link panel: a sunken white card
         "-draw", bevel_mvg(lx + 1, ly + 1, lw - 2, lh - 2, "#808080", "#ffffff", depth=1)
                  + f"fill white stroke none rectangle {lx + 2},{ly + 2} {lx + lw - 3},{ly + lh - 3}\n",
         "-antialias",
         "-draw", classic_boxes(),
         *text_args("Snickit", BOLD, 44, "#ffe11a", 14, -4, stroke="#c8161d", stroke_width=4),
         *text_args("Snickit", BOLD, 44, "#ffe11a", 14, -4),
         *text_args("the pocket sound pad", BOLD, 8, "#5a1010", 72, 46),
         "-draw", maker_logo_mvg(lx + 4, ly + 4),
         *text_args(MAKER, BOLD, 12, "#123a7a", lx + 35, ly + 2),
         *text_args("LABS", BOLD, 8, "#2f6fd6", lx + 36, ly + 16),
         *text_args("web page \u203a", SANS, 7, "#2f6fd6", lx + 66, ly + 22),
         "-draw", placed(mascot(), 111, 72, 0.78),
         art])
    # The OK label is centred on the button face.
    run([art, "-font", BOLD, "-pointsize", 12, "-fill", "#202020", "-gravity", "NorthWest",
         "-annotate", "+%d+%d" % (bx + bw // 2 - 11, by + 5), "OK", art])
    write_bmp24(out_bmp, rgb_pixels(art, W, H), W, H)
    png_view(out_bmp, os.path.join(docs, "about.png"))


def classic_boxes():
    """Minimize and close boxes in the bevelled look."""
    mvg = ""
    for (bx, by, bw, bh), glyph in ((MIN_BOX, min_glyph), (CLOSE_BOX, close_glyph)):
        mvg += f"fill #c0c0c0 stroke none rectangle {bx},{by} {bx + bw - 1},{by + bh - 1}\n"
        mvg += bevel_mvg(bx, by, bw, bh, "#ffffff", "#808080", depth=1)
        mvg += f"stroke #202020 fill none line {bx},{by + bh - 1} {bx + bw - 1},{by + bh - 1} line {bx + bw - 1},{by} {bx + bw - 1},{by + bh - 1}\n"
        mvg += glyph(bx - 0.5, by - 0.5, bw, bh, "#202020")
    return mvg


# ---------------------------------------------------------------- icon
# The window icon: the mascot above the name on a red plate. The name is set
# in a tiny pixel font (rows of '#'), since no outline font reads at 5 pixels.

PIXEL_FONT = {
    "S": ["###", "#..", "###", "..#", "###"],
    "n": ["...", "##.", "#.#", "#.#", "#.#"],
    "i": ["#", ".", "#", "#", "#"],
    "c": ["...", "###", "#..", "#..", "###"],
    "k": ["#..", "#.#", "##.", "#.#", "#.#"],
    "t": [".#.", "###", ".#.", ".#.", ".##"],
    # Narrow forms for the 16 x 16 image.
    "c2": ["..", "##", "#.", "#.", "##"],
    "t2": ["#.", "##", "#.", "#.", ".#"],
}
# The 16 x 16 face is drawn pixel by pixel: K outline, Y face, P cheeks,
# W teeth, R mouth, T tongue, '.' transparent.
SMALL_FACE = [
    ".....KKKKKK.....",
    "...KKYYYYYYKK...",
    "..KYYKYYYYKYYK..",
    "..KYKYKYYKYKYK..",
    ".KYYYYYYYYYYYYK.",
    ".KPYWWWWWWWWYPK.",
    "..KYRRRRRRRRYK..",
    "...KYRRTTRRYK...",
    "....KKKKKKKK....",
]
SMALL_FACE_COLOURS = {"K": (58, 42, 16), "Y": (255, 210, 60), "P": (255, 154, 154),
                      "W": (255, 255, 255), "R": (179, 36, 44), "T": (255, 111, 125)}
MAGENTA = (255, 0, 255)
ICON_INK = (58, 42, 16)
ICON_RED = (200, 22, 29)
ICON_YELLOW = (255, 225, 26)
ICON_WHITE = (255, 255, 255)


def icon_pixels(size):
    """RGB rows of the icon at size x size; magenta marks transparency."""
    px = []
    if size == 32:
        face = 24
        art = layer("icon-face-%d" % size)
        run(["-size", f"{size}x{size}", "xc:none",
             "-draw", placed(mascot(), size / 2 - 0.5, face / 2 - 0.5, (face - 0.4) / 31.0), art])
        data = subprocess.run([CONVERT, art, "-depth", "8", "rgba:-"], check=True, capture_output=True).stdout
        for i in range(size * size):
            r, g, b, a = data[i * 4:i * 4 + 4]
            if a < 110:
                px.append(MAGENTA)
            else:
                # Edges are blended onto the outline colour, never onto the background.
                t = a / 255.0
                px.append(tuple(int(round(c * t + k * (1 - t))) for c, k in zip((r, g, b), ICON_INK)))
    else:
        for row in SMALL_FACE + ["." * size] * (size - len(SMALL_FACE)):
            px += [SMALL_FACE_COLOURS.get(c, MAGENTA) for c in row]
    # The name plate.
    if size == 32:
        letters, gap, top = ["S", "n", "i", "c", "k", "i", "t"], 1, 25
    else:
        letters, gap, top = ["S", "n", "i", "c2", "k", "i", "t2"], 0, 10
    width = sum(len(PIXEL_FONT[c][0]) for c in letters) + gap * (len(letters) - 1)
    x0 = (size - width) // 2
    plate = (x0 - 2, top - 2, x0 + width + 1, top + 6) if size == 32 else (0, top - 1, size - 1, size - 1)
    for y in range(plate[1], plate[3] + 1):
        for x in range(plate[0], plate[2] + 1):
            corner = (x in (plate[0], plate[2])) and (y in (plate[1], plate[3]))
            if corner and size == 32:
                continue
            edge = x in (plate[0], plate[2]) or y in (plate[1], plate[3])
            px[y * size + x] = ICON_INK if edge else ICON_RED
    x = x0
    for n, c in enumerate(letters):
        glyph = PIXEL_FONT[c]
        colour = ICON_YELLOW if gap or n % 2 == 0 else ICON_WHITE
        for gy, row in enumerate(glyph):
            for gx, bit in enumerate(row):
                if bit == "#":
                    px[(top + gy) * size + x + gx] = colour
        x += len(glyph[0]) + gap
    return bytes(v for p in px for v in p)


def make_icon(resources, docs):
    images = []
    for size in (16, 32):
        rgb = icon_pixels(size)
        images.append((size, size, ico_image(rgb, size, size, MAGENTA)))
        if size == 32:
            write_bmp24(os.path.join(resources, "icon32.bmp"), rgb, size, size)
    write_ico(os.path.join(resources, "icon.ico"), images)
    big = layer("icon-view")
    run([os.path.join(resources, "icon.ico") + "[0]", "-filter", "point", "-resize", "400%",
         "(", os.path.join(resources, "icon.ico") + "[1]", "-filter", "point", "-resize", "400%", ")",
         "-background", "none", "-gravity", "south", "+append", big])
    run([big, "-strip", "-define", "png:exclude-chunks=date,time", os.path.join(docs, "icon.png")])


# ---------------------------------------------------------------- composition

def compose_skin(skin, folder):
    body = layer(skin.name + "-body")
    skin.body(body)
    pictures = {}
    for pressed, name in ((False, "box"), (True, "box2")):
        args = [body]
        for i, (x, y, w, h) in enumerate(FACES):
            face = layer("%s-face%d-%s" % (skin.name, i, name))
            skin.face(face, i, w, h, pressed)
            args += [face, "-geometry", "+%d+%d" % (x, y), "-composite"]
        out = layer("%s-%s" % (skin.name, name))
        run(args + ["-alpha", "off", out])
        pictures[name] = out
    menu = layer(skin.name + "-menu")
    skin.menu(menu, body)
    pictures["menu"] = menu
    os.makedirs(folder, exist_ok=True)
    for name, path in pictures.items():
        write_bmp24(os.path.join(folder, name + ".bmp"), rgb_pixels(path, W, H), W, H)


def png_view(bmp, out, scale=2):
    run([bmp, "-filter", "point", "-resize", "%d%%" % (scale * 100), "-strip",
         "-define", "png:exclude-chunks=date,time", out])


def main():
    global WORK
    root = sys.argv[1]
    only = sys.argv[2:]
    with tempfile.TemporaryDirectory() as work:
        WORK = work
        docs = os.path.join(root, "docs")
        os.makedirs(docs, exist_ok=True)
        if not only or "about" in only:
            make_about(os.path.join(root, "resources", "about.bmp"), docs)
        if not only or "icon" in only:
            make_icon(os.path.join(root, "resources"), docs)
        for skin in SKINS:
            if only and skin.name not in only:
                continue
            folder = os.path.join(root, "dist", "skins", skin.name)
            compose_skin(skin, folder)
            png_view(os.path.join(folder, "box.bmp"), os.path.join(docs, "skin-%s-pad.png" % skin.name.lower()))
            png_view(os.path.join(folder, "box2.bmp"), os.path.join(docs, "skin-%s-pressed.png" % skin.name.lower()))
            png_view(os.path.join(folder, "menu.bmp"), os.path.join(docs, "skin-%s-menu.png" % skin.name.lower()))


if __name__ == "__main__":
    main()
