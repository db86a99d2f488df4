#!/usr/bin/env python3
# movra-cli diagram's bitmap files read back by an independent decoder (Pillow): sizes, depths,
# palettes, header fields, grid lines and the hand column; and the command's refusals.
# usage: diagram_bmp_check.py MOVRA-CLI [SAMPLE-STORE]
import os
import struct
import subprocess
import sys
import tempfile

from PIL import Image

CLI = sys.argv[1]
STORE = sys.argv[2] if len(sys.argv) > 2 else ""
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def run(*args):
    env = dict(os.environ, QT_LOGGING_RULES="*.warning=false")
    return subprocess.run([CLI, "diagram", *args], capture_output=True, text=True, env=env)


def header(path):
    with open(path, "rb") as f:
        data = f.read()
    magic, size, _, offset = struct.unpack_from("<2sIII", data, 0)
    (info, width, height, planes, bits, compression, image_size, xres, yres, used,
     important) = struct.unpack_from("<IiiHHIIiiII", data, 14)
    return dict(magic=magic, size=size, offset=offset, info=info, width=width, height=height,
                planes=planes, bits=bits, compression=compression, image_size=image_size,
                used=used, length=len(data))


def dark(image, x, y):
    return image.convert("L").getpixel((x, y)) < 128


with tempfile.TemporaryDirectory() as tmp:
    # Depths and palettes of the three colour settings at size 中.
    for color, bits, mode in ((1, 1, "1"), (2, 4, "P"), (3, 8, "P")):
        path = os.path.join(tmp, "c%d.bmp" % color)
        r = run("--position", "startpos", "-o", path, "--color", str(color), "--title", "平手")
        check(r.returncode == 0, "color %d: exit %d %s" % (color, r.returncode, r.stderr))
        h = header(path)
        row = ((285 * bits + 31) // 32) * 4
        check(h["magic"] == b"BM" and h["info"] == 40 and h["planes"] == 1, "color %d header" % color)
        check((h["width"], h["height"], h["bits"]) == (285, 269, bits), "color %d size %r" % (color, h))
        check(h["used"] == 1 << bits and h["offset"] == 54 + 4 * (1 << bits), "color %d palette" % color)
        check(h["image_size"] == row * 269 and h["size"] == h["length"] == h["offset"] + row * 269,
              "color %d sizes" % color)
        image = Image.open(path)
        check(image.size == (285, 269) and image.mode == mode, "color %d PIL %s %s" % (color, image.size, image.mode))
        if mode == "P":
            palette = image.getpalette()[:3 * (1 << bits)]
            check(len(palette) == 3 * (1 << bits), "color %d PIL palette length" % color)
            check(palette[:3] == [0, 0, 0] and palette[45:48] == [255, 255, 255], "color %d standard colours" % color)
        # Grid of size 中: x0 34, y0 39, cells 23 x 24; the empty middle squares stay white.
        for k in range(1, 9):
            check(dark(image, 34 + k * 23, 39 + 4 * 24 + 12), "color %d vertical line %d" % (color, k))
            check(dark(image, 34 + 4 * 23 + 12, 39 + k * 24), "color %d horizontal line %d" % (color, k))
        for f, r in ((4, 4), (5, 5), (6, 6)):  # squares of ranks 4-6 stay white inside
            x0, y0 = 34 + (9 - f) * 23, 39 + (r - 1) * 24
            check(not any(dark(image, x, y) for x in range(x0 + 2, x0 + 22) for y in range(y0 + 2, y0 + 23)),
                  "color %d square %d%d empty" % (color, f, r))

    # Sizes 小 and 大, zoom 2, and the mobile picture.
    for args, size, bits in ((["--size", "0"], (250, 233), 4), (["--size", "2"], (350, 338), 4),
                             (["--zoom", "2"], (571, 557), 4), (["--mobile", "2"], (94, 84), 4)):
        path = os.path.join(tmp, "s.bmp")
        r = run("--position", "startpos", "-o", path, "--overwrite", "--title", "x", *args)
        check(r.returncode == 0, "%s: exit %d" % (args, r.returncode))
        h = header(path)
        check((h["width"], h["height"], h["bits"]) == (*size, bits), "%s: %r" % (args, h))
        check(Image.open(path).size == size, "%s: PIL size" % args)

    # Every kind in sente's hand with label mode 3: the column right of the board has ink down to
    # the pawns; gote's side has the label only.
    path = os.path.join(tmp, "hand.bmp")
    r = run("--position", "4k4/9/9/9/9/9/9/9/4K4 b RB2G2S2N2L9P 1", "-o", path, "--labels", "3",
            "--title", "詰将棋", "--color", "1")
    check(r.returncode == 0, "hand: exit %d %s" % (r.returncode, r.stderr))
    image = Image.open(path)
    column = [y for y in range(image.size[1]) if any(dark(image, x, y) for x in range(264, 279))]
    check(len(column) > 150 and max(column) > 239, "hand column reaches below the board: %s" % column[-1:])

    # Refusals: an existing file, a title of 36 bytes, a %i without its answer.
    r = run("--position", "startpos", "-o", path, "--title", "x")
    check(r.returncode == 1, "existing file kept")
    long_title = "将" * 18
    r = run("--position", "startpos", "-o", os.path.join(tmp, "long.bmp"), "--title", long_title)
    check(r.returncode == 1 and not os.path.exists(os.path.join(tmp, "long.bmp")), "36-byte title refused")
    r = run("--position", "startpos", "-o", os.path.join(tmp, "ok.bmp"), "--title", "将" * 17 + "x")
    check(r.returncode == 0, "35-byte title accepted")
    r = run("--position", "startpos", "-o", os.path.join(tmp, "i.bmp"), "--title-format", "【第%i図】")
    check(r.returncode == 1 and not os.path.exists(os.path.join(tmp, "i.bmp")), "%i needs --insert")
    r = run("--position", "startpos", "-o", os.path.join(tmp, "i.bmp"), "--title-format", "【第%i図】",
            "--insert", "3")
    check(r.returncode == 0, "%i with --insert")
    r = run("--position", "not a position", "-o", os.path.join(tmp, "bad.bmp"))
    check(r.returncode == 1 and not os.path.exists(os.path.join(tmp, "bad.bmp")), "bad SFEN")

    # A stored game, after its first move, with the default title format.
    if STORE and os.path.exists(STORE):
        path = os.path.join(tmp, "game.bmp")
        r = run(STORE, "1", "--move", "1", "-o", path, "--labels", "2")
        check(r.returncode == 0, "stored game: exit %d %s" % (r.returncode, r.stderr))
        check(Image.open(path).size == (285, 269), "stored game size")
        r = run(STORE, "1", "--move", "999", "-o", os.path.join(tmp, "no.bmp"))
        check(r.returncode != 0, "move beyond the game")

print("%d failures" % len(failures))
sys.exit(1 if failures else 0)
