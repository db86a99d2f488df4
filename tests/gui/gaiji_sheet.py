#!/usr/bin/env python3
# Renders every glyph of our user-defined character font on one sheet (build/screenshots/) and
# checks what a reader of a diagram relies on: every code the diagrams use has ink, the turned
# pieces are the upright ones turned half a circle, and no two pieces look the same.
#
# usage: gaiji_sheet.py FONT.ttf SHEET.png
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont


def code_point(code):
    trail = code & 0xFF
    return 0xE000 + (trail - 0x40 if trail < 0x7F else trail - 0x41)


def render(font, char, px):
    image = Image.new("L", (px, px), 0)
    ImageDraw.Draw(image).text((px // 2, px // 2), char, font=font, fill=255, anchor="mm")
    return image


def covered(a, b):
    """The share of a's ink that lies within a pixel of b's ink."""
    near = b.filter(ImageFilter.MaxFilter(3))
    ink = [(p, q) for p, q in zip(a.getdata(), near.getdata()) if p > 128]
    return sum(1 for p, q in ink if q > 128) / max(1, len(ink))


def turned_alike(expected, actual):
    """Both drawn to the same box and each within a pixel of the other: the pixel grid may round
    the two a pixel apart, so each is cropped to its ink first."""
    a, b = expected.getbbox(), actual.getbbox()
    if a is None or b is None:
        return False
    if abs((a[2] - a[0]) - (b[2] - b[0])) > 2 or abs((a[3] - a[1]) - (b[3] - b[1])) > 2:
        return False
    size = (max(a[2] - a[0], b[2] - b[0]), max(a[3] - a[1], b[3] - b[1]))
    x = Image.new("L", size, 0)
    y = Image.new("L", size, 0)
    x.paste(expected.crop(a), (0, 0))
    y.paste(actual.crop(b), (0, 0))
    return covered(x, y) > 0.97 and covered(y, x) > 0.97


def main():
    font_path, sheet_path = sys.argv[1], sys.argv[2]
    codes = list(range(0xF040, 0xF049)) + list(range(0xF04A, 0xF053)) + [0xF054, 0xF055] + list(range(0xF05A, 0xF05E)) + \
        list(range(0xF060, 0xF07F)) + [c for c in range(0xF080, 0xF09E) if c != 0xF092]
    big = ImageFont.truetype(font_path, 64)
    small = ImageFont.truetype(font_path, 16)
    label = ImageFont.load_default()
    cell, columns = 84, 12
    rows = (len(codes) + columns - 1) // columns
    sheet = Image.new("L", (columns * cell, rows * (cell + 30)), 255)
    draw = ImageDraw.Draw(sheet)
    failures = []
    for i, code in enumerate(codes):
        char = chr(code_point(code))
        glyph = render(big, char, 72)
        x, y = (i % columns) * cell, (i // columns) * (cell + 30)
        sheet.paste(ImageChops.invert(glyph), (x + 6, y + 2))
        # The same glyph at the size of a diagram on screen.
        sheet.paste(ImageChops.invert(render(small, char, 18)), (x + 6, y + 76))
        draw.text((x + 30, y + 80), "%04X" % code, font=label, fill=0)
        if glyph.getbbox() is None:
            failures.append("%04X has no ink" % code)
    sheet.save(sheet_path)

    # Pieces: the turned glyph is the upright one turned about the cell's centre, and pieces of
    # different kinds differ. Rendered at the em's own centre line so the turn lines up.
    pieces = {}
    for first, last in ((0xF060, 0xF080), (0xF080, 0xF09E)):
        for code in range(first, last, 2):
            if code == 0xF092:  # F093 is the empty square; F092 has no piece of its own
                continue
            if code == 0xF07E:  # gote's 玉 would be F07F, which is no CP932 code
                pieces[code] = render(big, chr(code_point(code)), 96)
                continue
            up = render(big, chr(code_point(code)), 96)
            down = render(big, chr(code_point(code + 1)), 96)
            if not turned_alike(up.rotate(180), down):
                failures.append("%04X is not %04X turned" % (code + 1, code))
            pieces[code] = up
    kinds = [0xF060, 0xF062, 0xF064, 0xF066, 0xF068, 0xF06A, 0xF06C, 0xF06E, 0xF070, 0xF072,
             0xF074, 0xF076, 0xF078, 0xF07A, 0xF07E]
    for a in kinds:
        for b in kinds:
            if a < b:
                same = ImageChops.difference(pieces[a], pieces[b]).getbbox() is None
                if same:
                    failures.append("%04X and %04X look the same" % (a, b))
    # Sente's 玉 stands upright: its dot, the ink 王 lacks, lies right of and below the centre.
    extra = ImageChops.subtract(pieces[0xF07E], pieces[0xF072]).getbbox()
    if extra is None or extra[0] < 48 or extra[1] < 48:
        failures.append("F07E is not an upright 玉 (its dot at %s)" % (extra,))
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
