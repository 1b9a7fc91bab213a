#!/usr/bin/env python3
"""Rewrites one-character stroke files as writers who do not follow the clean stroke data give them.

    natural_strokes.py joined GAP --out OUT_DIR FOLDER
    natural_strokes.py sparse TOLERANCE --out OUT_DIR FOLDER
    natural_strokes.py smaller FACTOR --out OUT_DIR FOLDER

joined: consecutive strokes are written without lifting the pen where the next one begins within GAP (a
fraction of the character's size: the longer side of its ink) of the end of the one before, as a fast writer
joins them; the pen's straight way between them becomes part of the stroke, a point every pixel. Only the
files where at least one pair was joined are written.

sparse: every stroke is reduced to the points at its corners (Ramer-Douglas-Peucker with TOLERANCE, a fraction
of the character's size), straight pieces between them, as a stroke median or a simplified path gives.

smaller: every point (and a `box` line) is scaled by FACTOR about the origin and rounded to whole pixels, as a
smaller hand on the same tablet gives them; repeated points are kept, as a pen resting on a pixel gives them.

Comments and `expect` lines are kept, and so are `box` lines but for smaller. The output carries the licence of the samples: keep it beside
them, outside the repository, when their licence asks for that. Prints how many files were written.
"""
import argparse
import math
import os
import sys


def read(path):
    head, strokes = [], []
    with open(path, encoding="utf-8") as f:
        for line in f:
            s = line.strip()
            if not s:
                continue
            if s.startswith("#") or s.startswith("expect ") or s.startswith("box "):
                head.append(s)
            else:
                strokes.append([tuple(int(v) for v in p.split(",")) for p in s.split()])
    return head, strokes


def write(path, head, strokes):
    with open(path, "w", encoding="utf-8") as f:
        for line in head:
            f.write(line + "\n")
        for stroke in strokes:
            f.write(" ".join("%d,%d" % p for p in stroke) + "\n")


def size_of(strokes):
    xs = [p[0] for s in strokes for p in s]
    ys = [p[1] for s in strokes for p in s]
    return max(max(xs) - min(xs), max(ys) - min(ys), 1)


def simplified(points, tolerance):
    """The points Ramer-Douglas-Peucker keeps: the ends, and recursively the farthest point from the chord
    while it lies further than `tolerance`."""
    if len(points) < 3:
        return list(points)
    keep = [False] * len(points)
    keep[0] = keep[-1] = True
    pieces = [(0, len(points) - 1)]
    while pieces:
        a, b = pieces.pop()
        (ax, ay), (bx, by) = points[a], points[b]
        dx, dy = bx - ax, by - ay
        chord = math.hypot(dx, dy)
        best, at = -1.0, a
        for i in range(a + 1, b):
            px, py = points[i]
            d = abs(dx * (py - ay) - dy * (px - ax)) / chord if chord > 0 else math.hypot(px - ax, py - ay)
            if d > best:
                best, at = d, i
        if best > tolerance:
            keep[at] = True
            pieces += [(a, at), (at, b)]
    return [p for p, k in zip(points, keep) if k]


def joined(strokes, gap):
    """The strokes with each joined to the one before where it begins within `gap` of its end; the number
    of joins."""
    out, joins = [list(strokes[0])], 0
    for stroke in strokes[1:]:
        (ex, ey), (sx, sy) = out[-1][-1], stroke[0]
        distance = math.hypot(sx - ex, sy - ey)
        if distance > gap:
            out.append(list(stroke))
            continue
        n = int(distance)
        out[-1] += [(round(ex + (sx - ex) * k / n), round(ey + (sy - ey) * k / n)) for k in range(1, n)]
        out[-1] += stroke
        joins += 1
    return out, joins


def smaller_head(head, factor):
    out = []
    for line in head:
        if line.startswith("box "):
            line = "box " + " ".join(str(round(int(v) * factor)) for v in line.split()[1:])
        out.append(line)
    return out


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("mode", choices=["joined", "sparse", "smaller"])
    ap.add_argument("amount", type=float)
    ap.add_argument("--out", required=True)
    ap.add_argument("folder")
    a = ap.parse_args()
    if not 0 < a.amount <= 1:
        ap.error("the amount is a fraction (of the character's size, or the scale), above 0 and at most 1")
    os.makedirs(a.out, exist_ok=True)
    written = 0
    for name in sorted(os.listdir(a.folder)):
        if not name.endswith(".txt"):
            continue
        head, strokes = read(os.path.join(a.folder, name))
        if not strokes or not any(strokes):
            continue
        size = size_of(strokes)
        if a.mode == "sparse":
            out = [simplified(s, a.amount * size) for s in strokes]
        elif a.mode == "smaller":
            head = smaller_head(head, a.amount)
            out = [[(round(x * a.amount), round(y * a.amount)) for x, y in s] for s in strokes]
        else:
            out, joins = joined(strokes, a.amount * size)
            if joins == 0:
                continue
        write(os.path.join(a.out, name), head, out)
        written += 1
    print("%d files written" % written)
    return 0


if __name__ == "__main__":
    sys.exit(main())
