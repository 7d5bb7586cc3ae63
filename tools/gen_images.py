#!/usr/bin/env python3
"""Draws the skin's pictures at build time with ImageMagick, so that no
binary image is kept in the repository.

  images/title/<glyph>.png   16 x 16 white glyphs on transparent for the
                             blue title bars (lang, about, deviceinfo,
                             printers, min, max, restore, close)
  images/port/bluetooth.png  16 x 16 accent-blue glyph for the white pages
  images/Loading/1..8.png    48 x 48 busy animation: eight dots on a ring,
                             frame n highlights dot n and fades the two
                             before it, so the frames read as a turning
                             wheel at 200 ms each

The PNGs carry no time stamps, so the same script gives the same bytes.

Usage: gen_images.py --out-dir DIR [--convert PROGRAM] [--check]
  --out-dir DIR     the package tree the images go into (DIR/images/...)
  --convert PROGRAM ImageMagick's convert (or magick); default "convert"
  --check           compare with the files in DIR instead of writing them
"""

import argparse
import math
import pathlib
import subprocess
import sys

from generated_files import write_or_check

WHITE = "#FFFFFF"
ACCENT = "#0F5BA8"
# The resting dots and the trail behind the highlighted one.
DOT_COLOURS = ["#0F5BA8", "#5A8CC4", "#9DB9DC"]
DOT_REST = "#D5E1EF"

# Every glyph is a list of ImageMagick -draw primitives on a 16 x 16 canvas,
# stroked in white with no fill unless a primitive sets its own ("fill C
# ..."); "width W" changes the stroke width for the primitives after it.
GLYPHS = {
    # a globe: outline, equator, two parallels and a meridian ellipse
    "lang": [
        "width 1.1",
        "circle 8,8 8,2",
        "ellipse 8,8 2.6,6 0,360",
        "line 2,8 14,8",
        "line 3.2,5 12.8,5",
        "line 3.2,11 12.8,11",
    ],
    # a ring with an "i"
    "about": [
        "circle 8,8 8,1.8",
        "fill white circle 8,4.5 8,4.1",
        "line 8,7.2 8,12",
    ],
    # a small device tree: a root box and two children hanging off a rail
    "deviceinfo": [
        "rectangle 2.5,2.5 6.5,6.5",
        "line 4.5,6.5 4.5,12.5",
        "line 4.5,9.5 9,9.5",
        "line 4.5,12.5 9,12.5",
        "rectangle 9.5,8 13.5,11",
        "rectangle 9.5,11.5 13.5,14.5",
    ],
    # a printer: paper in, body, paper out
    "printers": [
        "rectangle 4.5,1.5 11.5,5.5",
        "roundrectangle 1.5,5.5 14.5,11.5 1.5,1.5",
        "rectangle 4.5,9.5 11.5,14.5",
        "fill white circle 12,7.5 12,7",
    ],
    "min": ["line 4,11.5 12,11.5"],
    "max": ["rectangle 3.5,3.5 12.5,12.5", "line 3.5,4.5 12.5,4.5"],
    "restore": [
        "polyline 5.5,5.5 5.5,2.5 13.5,2.5 13.5,10.5 10.5,10.5",
        "rectangle 2.5,5.5 10.5,13.5",
    ],
    "close": ["line 4,4 12,12", "line 12,4 4,12"],
}

# Glyphs for the white pages, drawn in the accent colour.
PAGE_GLYPHS = {
    # the Bluetooth rune
    "port/bluetooth": ["width 1.3", "polyline 4.5,5 11.5,11 8,14.5 8,1.5 11.5,5 4.5,11"],
}

# Without these the PNG encoder writes the creation and modification times.
NO_TIME = ["-define", "png:exclude-chunks=date,time", "+set", "date:create", "+set", "date:modify"]


def render(convert, arguments):
    command = [convert] + arguments + ["-strip"] + NO_TIME + ["png32:-"]
    result = subprocess.run(command, stdout=subprocess.PIPE, check=True)
    return result.stdout


def glyph(convert, primitives, colour=WHITE):
    arguments = ["-size", "16x16", "xc:none", "-stroke", colour, "-strokewidth", "1.4", "-fill", "none"]
    for primitive in primitives:
        if primitive.startswith("width "):
            arguments += ["-strokewidth", primitive.split(" ", 1)[1]]
        elif primitive.startswith("fill "):
            _, colour, rest = primitive.split(" ", 2)
            arguments += ["-fill", colour, "-draw", rest, "-fill", "none"]
        else:
            arguments += ["-draw", primitive]
    return render(convert, arguments)


def loading_frame(convert, frame):
    size, centre, ring, dot = 48, 24, 16, 3.6
    arguments = ["-size", "%dx%d" % (size, size), "xc:none", "-stroke", "none"]
    for index in range(8):
        # dot 0 at twelve o'clock, clockwise
        angle = math.radians(index * 45 - 90)
        x = centre + ring * math.cos(angle)
        y = centre + ring * math.sin(angle)
        behind = (frame - index) % 8
        colour = DOT_COLOURS[behind] if behind < len(DOT_COLOURS) else DOT_REST
        arguments += ["-fill", colour, "-draw", "circle %.2f,%.2f %.2f,%.2f" % (x, y, x + dot, y)]
    return render(convert, arguments)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out-dir", required=True, type=pathlib.Path)
    parser.add_argument("--convert", default="convert")
    parser.add_argument("--check", action="store_true")
    options = parser.parse_args()

    outputs = {}
    for name, primitives in GLYPHS.items():
        outputs[options.out_dir / "images" / "title" / (name + ".png")] = glyph(options.convert, primitives)
    for name, primitives in PAGE_GLYPHS.items():
        outputs[options.out_dir / "images" / (name + ".png")] = glyph(options.convert, primitives, ACCENT)
    for frame in range(8):
        outputs[options.out_dir / "images" / "Loading" / ("%d.png" % (frame + 1))] = loading_frame(options.convert, frame)
    return write_or_check(outputs, options.check)


if __name__ == "__main__":
    sys.exit(main())
