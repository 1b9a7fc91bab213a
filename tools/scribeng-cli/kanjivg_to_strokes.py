#!/usr/bin/env python3
"""Writes stroke files (the format read by scribeng-cli, see README.md beside this script) from KanjiVG.

KanjiVG (http://kanjivg.tagaini.net, CC BY-SA 3.0) draws each character in a 109 x 109 box as one SVG path
per stroke, in writing order, made of cubic Bezier segments. This script samples every path into points
about `--step` pixels apart, scales the box to `--size` pixels and lays the characters of TEXT out left to
right with `--gap` pixels between boxes. `--jitter` moves each stroke by a random offset and each point by
a smaller one (seeded, so the output is reproducible) to imitate a hand.

    kanjivg_to_strokes.py --kanjivg DIR [--size 100] [--gap 40] [--jitter 0] [--seed 1] TEXT > out.txt

DIR is the unpacked archive's `kanji` folder (files named by code point, e.g. 03042.svg for あ).
"""
import argparse
import math
import os
import random
import re
import sys

TOKEN = re.compile(r"[MmCcSsLlZzHhVv]|-?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?")


def cubic(p0, p1, p2, p3, t):
    u = 1 - t
    return (u * u * u * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t * t * t * p3[0],
            u * u * u * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t * t * t * p3[1])


def path_points(d):
    """Dense polyline of one SVG path (absolute and relative M, L, H, V, C, S, Z)."""
    tokens = TOKEN.findall(d)
    pts, cur, start, last_ctrl, cmd, i = [], (0.0, 0.0), (0.0, 0.0), None, None, 0

    def num():
        nonlocal i
        v = float(tokens[i])
        i += 1
        return v

    while i < len(tokens):
        if tokens[i].isalpha():
            cmd = tokens[i]
            i += 1
            if cmd in "Zz":
                pts.append(start)
                cur = start
                continue
        rel = cmd.islower()
        base = cur if rel else (0.0, 0.0)
        c = cmd.upper()
        if c == "M":
            cur = (base[0] + num(), base[1] + num())
            start = cur
            pts.append(cur)
            cmd = "l" if rel else "L"
            last_ctrl = None
        elif c == "L":
            cur = (base[0] + num(), base[1] + num())
            pts.append(cur)
            last_ctrl = None
        elif c == "H":
            cur = ((cur[0] if rel else 0.0) + num(), cur[1])
            pts.append(cur)
            last_ctrl = None
        elif c == "V":
            cur = (cur[0], (cur[1] if rel else 0.0) + num())
            pts.append(cur)
            last_ctrl = None
        elif c in "CS":
            if c == "C":
                p1 = (base[0] + num(), base[1] + num())
            else:
                p1 = (2 * cur[0] - last_ctrl[0], 2 * cur[1] - last_ctrl[1]) if last_ctrl else cur
            p2 = (base[0] + num(), base[1] + num())
            p3 = (base[0] + num(), base[1] + num())
            for k in range(1, 17):
                pts.append(cubic(cur, p1, p2, p3, k / 16))
            last_ctrl, cur = p2, p3
        else:
            raise ValueError("unsupported path command " + cmd)
    return pts


def resample(pts, step):
    out = [pts[0]]
    for p in pts[1:]:
        if math.dist(out[-1], p) >= step:
            out.append(p)
    if out[-1] != pts[-1]:
        out.append(pts[-1])
    return out


def strokes_of(kanji_dir, ch):
    path = os.path.join(kanji_dir, "%05x.svg" % ord(ch))
    with open(path, encoding="utf-8") as f:
        svg = f.read()
    return [path_points(d) for d in re.findall(r'<path[^>]*\sd="([^"]+)"', svg)]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--kanjivg", required=True)
    ap.add_argument("--size", type=float, default=100)
    ap.add_argument("--gap", type=float, default=40)
    ap.add_argument("--left", type=float, default=20)
    ap.add_argument("--top", type=float, default=20)
    ap.add_argument("--step", type=float, default=3)
    ap.add_argument("--jitter", type=float, default=0)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("text")
    a = ap.parse_args()
    rnd = random.Random(a.seed)
    scale = a.size / 109.0
    print("# From KanjiVG (http://kanjivg.tagaini.net), CC BY-SA 3.0; size %g, gap %g, jitter %g, seed %d"
          % (a.size, a.gap, a.jitter, a.seed))
    # The engine answers with full-width forms of ASCII characters.
    print("expect " + "".join(chr(ord(c) + 0xFEE0) if "!" <= c <= "~" else c for c in a.text))
    for n, ch in enumerate(a.text):
        ox = a.left + n * (a.size + a.gap)
        for stroke in strokes_of(a.kanjivg, ch):
            dx, dy = rnd.gauss(0, a.jitter), rnd.gauss(0, a.jitter)
            pts = resample([(ox + x * scale, a.top + y * scale) for x, y in stroke], a.step)
            jit = a.jitter / 3
            print(" ".join("%d,%d" % (round(x + dx + rnd.gauss(0, jit)), round(y + dy + rnd.gauss(0, jit)))
                           for x, y in pts))


if __name__ == "__main__":
    sys.exit(main())
