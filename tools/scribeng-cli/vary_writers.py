#!/usr/bin/env python3
"""Makes other writers from folders of one-character stroke files, for measuring the engine beyond the writer
it is tuned on.

Every character is distorted the way another person's hand differs: as a whole a slant (shear up to
0.25 * S), a rotation (up to 8 * S degrees) and an aspect change (width against height, up to 10 * S per
cent, --aspect to change that bound); and each stroke on its own a shift (gauss, 3.5 * S per cent of the
character's size), a scale (gauss, 8 * S per cent) and a slow wobble (1 * S per cent). S is --strength;
--global and --local scale the two parts on their own (0 leaves that part out). The writing box stays where
it is, so a small kana stays small and low.

    vary_writers.py --out OUT_DIR [--strength 1] [--seed 1] [--global 1] [--local 1] [--aspect 0.1]
                    [--every 1] FOLDER...

Writes OUT_DIR/<folder name>/<file name> for every one-character file of each FOLDER, in the stroke file
format (README.md beside this script), at four times the input's scale so the wobble is not rounded away,
with the writing box (the file's `box` line, or --box) scaled alike. The same seed gives the same files;
each folder draws from its own sequence, so adding a folder changes no other folder's files. --every K
writes only every K-th file (the first, the K+1st, ...), distorted as in the whole set: a quicker set.
The output carries the licence of the samples: keep it beside them, outside the repository, when their
licence asks for that. compose_real_lines.py composes lines from the output folders.
"""
import argparse
import math
import os
import random
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from compose_real_lines import read_sample  # noqa: E402

SCALE = 4  # output coordinates per input pixel


def distort(strokes, rng, strength, global_part, local_part, aspect):
    """One writer's version of `strokes` (lists of (x, y)), drawn from `rng`."""
    points = [p for s in strokes for p in s]
    cx = sum(p[0] for p in points) / len(points)
    cy = sum(p[1] for p in points) / len(points)
    size = max(max(p[0] for p in points) - min(p[0] for p in points),
               max(p[1] for p in points) - min(p[1] for p in points), 1.0)
    g, l = strength * global_part, strength * local_part
    shear = rng.uniform(-0.25, 0.25) * g
    rotation = math.radians(rng.uniform(-8, 8) * g)
    stretch = math.exp(rng.uniform(-aspect, aspect) * g)
    cos_r, sin_r = math.cos(rotation), math.sin(rotation)
    out = []
    for stroke in strokes:
        dx = rng.gauss(0, 0.035 * l) * size
        dy = rng.gauss(0, 0.035 * l) * size
        scale = 1 + rng.gauss(0, 0.08 * l)
        sx = sum(p[0] for p in stroke) / len(stroke)
        sy = sum(p[1] for p in stroke) / len(stroke)
        phase = rng.uniform(0, 2 * math.pi)
        wobble = 0.01 * l * size
        moved = []
        for k, (x, y) in enumerate(stroke):
            x = sx + (x - sx) * scale + dx + wobble * math.sin(phase + k * 0.3) - cx
            y = sy + (y - sy) * scale + dy + wobble * math.cos(phase + k * 0.27) - cy
            x, y = x * stretch + shear * y, y / stretch
            moved.append((cx + x * cos_r - y * sin_r, cy + x * sin_r + y * cos_r))
        out.append(moved)
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", required=True)
    ap.add_argument("--strength", type=float, default=1.0)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--global", dest="global_part", type=float, default=1.0)
    ap.add_argument("--local", dest="local_part", type=float, default=1.0)
    ap.add_argument("--aspect", type=float, default=0.1)
    ap.add_argument("--box", type=float, nargs=4, default=[10, 10, 110, 110])
    ap.add_argument("--every", type=int, default=1)
    ap.add_argument("folders", nargs="+")
    a = ap.parse_args()
    if a.strength < 0 or a.global_part < 0 or a.local_part < 0 or not 0 <= a.aspect < 1 or a.every < 1:
        return "strength, --global and --local must not be negative, --aspect must lie in [0, 1), --every at least 1"
    written = 0
    for folder in a.folders:
        if not os.path.isdir(folder):
            return f"{folder}: no such folder"
        name = os.path.basename(os.path.normpath(folder))
        rng = random.Random(f"{a.seed}:{name}")
        dst = os.path.join(a.out, name)
        os.makedirs(dst, exist_ok=True)
        files = [f for f in sorted(os.listdir(folder)) if f.endswith(".txt")]
        for index, file in enumerate(files):
            expect, strokes, box = read_sample(os.path.join(folder, file), a.box)
            if not strokes or any(not s for s in strokes):
                continue
            varied = distort(strokes, rng, a.strength, a.global_part, a.local_part, a.aspect)
            if index % a.every:
                continue
            with open(os.path.join(dst, file), "w", encoding="utf-8") as f:
                f.write(f"# {name}/{file}, strength {a.strength:g}, seed {a.seed}\n")
                if expect is not None:
                    f.write(f"expect {expect}\n")
                f.write("box " + " ".join(str(round(SCALE * v)) for v in box) + "\n")
                for stroke in varied:
                    f.write(" ".join(f"{round(SCALE * x)},{round(SCALE * y)}" for x, y in stroke) + "\n")
            written += 1
    if not written:
        return "no samples"
    return 0


if __name__ == "__main__":
    sys.exit(main())
