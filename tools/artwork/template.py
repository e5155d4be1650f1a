#!/usr/bin/env python3
"""Draws the template skin for skin authors: three pictures that show every
hot spot's rectangle as a guide (outlined, labelled, with its place written
in it), and four short placeholder beeps.

    template.py REPO_ROOT

Writes docs/skin-template/box.bmp, box2.bmp, menu.bmp and 1.wav .. 4.wav.
The template follows the rules the skin checker (snickit-skin-check) checks:
box2.bmp differs from box.bmp inside each button and nowhere else, the
columns that two buttons share look the same in both, and menu.bmp draws
the three menu items.
"""
import os
import sys
import tempfile

import pictures
import sounds

W, H = pictures.W, pictures.H
BUTTONS = [(3, 19, 60, 71), (62, 19, 58, 71), (119, 19, 58, 71), (176, 19, 60, 71)]
CONTROLS = [("", (1, 1, 26, 21)), ("_", (205, 3, 16, 13)), ("X", (221, 3, 16, 14))]
ITEMS = [("Skins", (8, 23, 116, 18)), ("About", (9, 39, 116, 18)), ("Quit", (8, 55, 116, 18))]

PAPER = "#eceae4"
GUIDE = "#3060c0"       # the hot spots' outlines and places
FACE = "#c8d8f0"        # where a control is drawn
PRESSED = "#7f98c8"
ITEM_GUIDE = "#c03060"
INK = "#202020"


def outlines(rects, colour):
    """One-pixel outlines on the rectangles' own edge pixels, drawn smooth."""
    args = ["+antialias"]
    for x, y, w, h in rects:
        args += ["-stroke", colour, "-fill", "none", "-draw",
                 "rectangle %d,%d %d,%d" % (x, y, x + w - 1, y + h - 1)]
    return args + ["-antialias"]


def box(rect, colour, inset):
    x, y, w, h = rect
    return ["-stroke", "none", "-fill", colour, "-draw",
            "rectangle %d,%d %d,%d" % (x + inset, y + inset, x + w - 1 - inset, y + h - 1 - inset)]


def text(words, size, x, y, colour=INK, font=pictures.SANS):
    return ["-stroke", "none", "-fill", colour, "-font", font, "-pointsize", size,
            "-annotate", "+%d+%d" % (x, y), words]


def window_controls():
    args = []
    for label, rect in CONTROLS:
        args += box(rect, FACE, 1)
    args += outlines([rect for label, rect in CONTROLS], GUIDE)
    for label, (x, y, w, h) in CONTROLS:
        args += text(label, 9, x + 3, y + 10, font=pictures.BOLD)
    x, y, w, h = CONTROLS[0][1]
    for bar in range(3):  # the menu button: three bars
        args += box((x + 6, y + 4 + 4 * bar, 14, 4), INK, 1)
    return args


def pad(out, pressed):
    args = ["-size", "%dx%d" % (W, H), "xc:" + PAPER]
    args += text("box.bmp / box2.bmp: draw inside the guides", 7, 32, 13)
    for rect in BUTTONS:
        args += box(rect, PRESSED if pressed else FACE, 3)
    args += window_controls()
    args += outlines(BUTTONS, GUIDE)
    shift = 2 if pressed else 0
    for number, (x, y, w, h) in enumerate(BUTTONS, start=1):
        args += text(str(number), 26, x + w // 2 - 8, y + 42 + shift, font=pictures.BOLD)
        args += text("%d,%d" % (x, y), 7, x + 5, y + 13, colour=GUIDE)
        args += text("%dx%d" % (w, h), 7, x + 5, y + h - 6, colour=GUIDE)
        args += text("pressed" if pressed else "up", 7, x + w // 2 - 10, y + 55 + shift)
    pictures.run(args + ["-alpha", "off", out])


def menu(out):
    args = ["-size", "%dx%d" % (W, H), "xc:" + PAPER]
    args += text("menu.bmp", 7, 32, 13)
    for label, (x, y, w, h) in ITEMS:
        # Clear of the two rows that neighbouring items share.
        args += box((x, y + 1, w, h - 2), FACE, 1)
    args += window_controls()
    args += outlines([rect for label, rect in ITEMS], ITEM_GUIDE)
    for label, (x, y, w, h) in ITEMS:
        args += text(label, 9, x + 6, y + 13, font=pictures.BOLD)
        args += text("%d,%d %dx%d" % (x, y, w, h), 7, x + 60, y + 12, colour=ITEM_GUIDE)
    args += text("The rest of the menu", 8, 134, 40)
    args += text("picture is free.", 8, 134, 52)
    pictures.run(args + ["-alpha", "off", out])


def beep(freq):
    """A short soft beep: a placeholder for a gag sound."""
    tone = sounds.sine(lambda t: freq, 0.3, harmonics=((1, 1.0), (2, 0.2)))
    return sounds.finish(sounds.envelope(tone, sounds.adsr(0.01, 0.0, 0.2, 0.3)), rms=0.15)


def main():
    folder = os.path.join(sys.argv[1], "docs", "skin-template")
    os.makedirs(folder, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        for name, draw in (("box", lambda p: pad(p, False)), ("box2", lambda p: pad(p, True)), ("menu", menu)):
            png = os.path.join(work, name + ".png")
            draw(png)
            pictures.write_bmp24(os.path.join(folder, name + ".bmp"), pictures.rgb_pixels(png, W, H), W, H)
    for number, freq in enumerate((523.25, 659.26, 783.99, 1046.5), start=1):
        sounds.write_wav(os.path.join(folder, "%d.wav" % number), beep(freq))


if __name__ == "__main__":
    main()
