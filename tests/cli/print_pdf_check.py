#!/usr/bin/env python3
"""Reads a printed PDF back with poppler-utils and checks it against what was printed.

  text PDF EXPECTED          every line of EXPECTED (UTF-8) appears in the PDF's text, in order
  words PDF EXPECTED         every line of EXPECTED appears somewhere in the PDF's text
  moves PDF U C DPI FIRST EXPECTED
                             move k (line k of EXPECTED) stands in its cell of the kifu form:
                             cell n = k - 1 + FIRST, page n div 150 + 1, column
                             2 (n mod 150 div 50) + n mod 2, row 9 + (n mod 50) div 2
  grid PDF U C DPI [PNG|filled]
                             pixel probes on page 1 rendered at DPI: the form's lines are dark
                             where the sheet draws them and the cells are white between them
                             (only the time cells on a filled-in form); PNG, when given,
                             receives a picture of the page
Texts are compared after NFKC (the PDF's fonts map some kanji to their radical code points) and
without blanks. Exit status 0 when everything is found, 1 with a line a failure.
"""
import os
import re
import subprocess
import sys
import tempfile
import unicodedata


def norm(text):
    return "".join(unicodedata.normalize("NFKC", text).split())


def pdftotext(pdf, *args):
    return subprocess.run(["pdftotext", *args, pdf, "-"], check=True, capture_output=True).stdout.decode("utf-8")


def check_text(pdf, expected, ordered=True):
    text = norm(pdftotext(pdf, "-layout"))
    at = 0
    failures = 0
    for line in open(expected, encoding="utf-8").read().splitlines():
        want = norm(line)
        if not want:
            continue
        found = text.find(want, at)
        if found < 0:
            print(f"not found in order after offset {at}: {line!r}")
            failures += 1
            continue
        if ordered:
            at = found + len(want)
    return failures


WORD = re.compile(r'<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)" '
                  r'xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>')


def words_by_page(pdf):
    pages = []
    for m in WORD.finditer(pdftotext(pdf, "-bbox")):
        if m.group(1):
            pages.append([])
        else:
            x0, y0, x1, y1 = (float(m.group(i)) for i in range(3, 7))
            pages[-1].append(((x0 + x1) / 2, (y0 + y1) / 2, x0, m.group(7)))
    return pages


def check_moves(pdf, u, c, dpi, first, expected):
    pt = 72.0 / dpi
    x0, y0 = 23 * u // 10, 24 * c // 10
    pages = words_by_page(pdf)
    moves = [l for l in open(expected, encoding="utf-8").read().splitlines()]
    failures = 0
    for k, move in enumerate(moves, start=1):
        n = k - 1 + first
        page, cell = divmod(n, 150)
        column = 2 * (cell // 50) + cell % 2
        row = 9 + (cell % 50) // 2
        left, right = (x0 + 12 * column * u) * pt, (x0 + 12 * column * u + 8 * u) * pt
        top, bottom = (y0 + row * c) * pt, (y0 + (row + 1) * c) * pt
        if page >= len(pages):
            print(f"move {k}: page {page + 1} is missing")
            failures += 1
            continue
        inside = sorted((w for w in pages[page] if left <= w[0] <= right and top <= w[1] <= bottom),
                        key=lambda w: w[2])
        got = norm("".join(w[3] for w in inside))
        if got != norm(move):
            print(f"move {k}: page {page + 1} column {column} row {row}: {got!r}, expected {norm(move)!r}")
            failures += 1
    return failures


def read_pgm(path):
    data = open(path, "rb").read()
    fields = []
    at = 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        start = at
        while not data[at:at + 1].isspace():
            at += 1
        fields.append(data[start:at])
    assert fields[0] == b"P5", "grey PGM expected"
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[at + 1:]


def check_grid(pdf, u, c, dpi, png, filled):
    with tempfile.TemporaryDirectory() as tmp:
        base = os.path.join(tmp, "page")
        subprocess.run(["pdftoppm", "-r", str(dpi), "-gray", "-f", "1", "-l", "1", pdf, base], check=True)
        name = [f for f in os.listdir(tmp) if f.endswith(".pgm")][0]
        width, height, pixels = read_pgm(os.path.join(tmp, name))
        if png:
            subprocess.run(["pdftoppm", "-r", "100", "-png", "-singlefile", "-f", "1", "-l", "1", pdf,
                            png[:-4] if png.endswith(".png") else png], check=True)

    def darkest(x, y, reach=3):
        return min(pixels[yy * width + xx] for yy in range(y - reach, y + reach + 1)
                   for xx in range(x - reach, x + reach + 1) if 0 <= xx < width and 0 <= yy < height)

    x0, y0 = 23 * u // 10, 24 * c // 10
    failures = []
    dark = []
    light = []
    # the frame and the move area's lines
    for i in range(0, 26):
        dark.append((x0 + 4 * u, y0 + (9 + i) * c, f"row line {9 + i}"))
    dark.append((x0 + 4 * u, y0, "frame top"))
    dark.append((x0 + 4 * u, y0 + 8 * c, "line under the header"))
    for x in (0, 8, 12, 20, 24, 32, 36, 44, 48, 56, 60, 68, 72):
        dark.append((x0 + x * u, y0 + 20 * c + c // 2, f"column line {x}u"))
    # the time cells' diagonals, through the middle of each cell of row 20
    for j in range(6):
        dark.append((x0 + (12 * j + 10) * u, y0 + 20 * c + c // 2, f"diagonal of column {j}"))
    # white inside the cells, away from every line
    for j in range(6):
        for r in (9, 20, 33):
            if not filled:
                light.append((x0 + 12 * j * u + 4 * u, y0 + r * c + c // 2, f"move part of column {j}, row {r}"))
            if not filled or r == 33:
                light.append((x0 + (12 * j + 8) * u + u // 2, y0 + r * c + c - c // 4, f"time cell {j}, row {r}"))
    light.append((x0 // 2, y0 + 20 * c, "margin left of the frame"))
    light.append((x0 + 72 * u + x0 // 2, y0 + 20 * c, "margin right of the frame"))
    for x, y, what in dark:
        if darkest(x, y) > 128:
            failures.append(f"{what}: no line at ({x}, {y})")
    for x, y, what in light:
        if darkest(x, y, 1) < 200:
            failures.append(f"{what}: not white at ({x}, {y})")
    if x0 + 72 * u >= width or y0 + 34 * c >= height:
        failures.append(f"the sheet ({x0 + 72 * u}, {y0 + 34 * c}) is cut by the page ({width}, {height})")
    for f in failures:
        print(f)
    return len(failures)


def main(argv):
    if len(argv) == 4 and argv[1] in ("text", "words"):
        return 1 if check_text(argv[2], argv[3], argv[1] == "text") else 0
    if len(argv) == 8 and argv[1] == "moves":
        return 1 if check_moves(argv[2], int(argv[3]), int(argv[4]), int(argv[5]), int(argv[6]), argv[7]) else 0
    if len(argv) in (6, 7) and argv[1] == "grid":
        png = argv[6] if len(argv) == 7 and argv[6] != "filled" else None
        filled = len(argv) == 7 and argv[6] == "filled"
        return 1 if check_grid(argv[2], int(argv[3]), int(argv[4]), int(argv[5]), png, filled) else 0
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
