#!/usr/bin/env python3
"""Composes lines of real handwriting from folders of one-character stroke files, for measuring the engine.

Every line takes 2 to 6 samples, each from a folder given (characters drawn at random with a fixed seed),
and places their writing boxes one after another, horizontally (left to right) or vertically (top to
bottom), with tight spacing (boxes overlapping: the ink of neighbours may touch) or wide spacing. A sample
keeps its size and place within its box, so small kana stay small and low. Input files have the writing box
BOX (left top right bottom) unless they carry a `box` line.

With --run FOLDER (given once or more) every line mixes runs into the writing, as teachers write digits
and Latin beside Japanese (３月５日, Ａ組, 「ｂｅ」動詞): 1 to 4 samples from the folders given, and one run of
1 to 3 samples from one --run folder (chosen at random for the line: a run of digits, capitals or lower case)
placed among them before, between or after. A run's samples are scaled so their boxes are as large as the
other samples' (the middle size of theirs): each keeps its size within its box, so lower case stays small.

With --lines K (2 or more) every file holds K such lines written one after the other in reading order:
rows top to bottom, or columns right to left, 1.1 to 1.5 boxes apart; the last line takes 1 to 6 samples.
The file expects the lines' texts joined.

    compose_real_lines.py --out OUT_DIR [--count 120] [--seed 3] [--lines 1] [--box 10 10 110 110]
                          [--run FOLDER]... FOLDER...

Writes OUT_DIR/NNN_{h,v}_{tight,wide}.txt (with --lines K: NNN_{h,v}_{tight,wide}_K.txt) in the stroke file
format (README.md beside this script). The output carries the licence of the samples: keep it beside them,
outside the repository, when their licence asks for that.
"""
import argparse
import os
import random
import sys


def read_sample(path, box):
    expect, strokes = None, []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            if line.startswith("expect "):
                expect = line[7:]
            elif line.startswith("box "):
                box = [int(v) for v in line[4:].split()]
            else:
                strokes.append([tuple(int(v) for v in p.split(",")) for p in line.split()])
    return expect, strokes, box


def encodable(text):
    """Whether the engine can give `text` at all (its results are code page 932)."""
    try:
        text.encode("cp932")
        return True
    except UnicodeEncodeError:
        return False


def read_folder(folder, box):
    """The samples of one folder whose expected text is one character the engine can give."""
    samples = []
    for name in sorted(os.listdir(folder)):
        if name.endswith(".txt"):
            expect, strokes, sample_box = read_sample(os.path.join(folder, name), box)
            if expect and len(expect) == 1 and strokes and encodable(expect):
                samples.append((expect, strokes, sample_box))
    return samples


def scaled(sample, side):
    """`sample` scaled about its box's top left corner so that the box's longer side is `side`."""
    expect, strokes, box = sample
    k = side / max(box[2] - box[0], box[3] - box[1], 1)
    moved = [[(box[0] + round((x - box[0]) * k), box[1] + round((y - box[1]) * k)) for x, y in stroke]
             for stroke in strokes]
    return expect, moved, [box[0], box[1], box[0] + round((box[2] - box[0]) * k),
                           box[1] + round((box[3] - box[1]) * k)]


def choose_line(rnd, samples, runs, fewest):
    """The samples of one line: without runs 2 to 6 of `samples` (at least `fewest`); with runs, 1 to 4 of
    them and a run of 1 to 3 samples of one of `runs` placed among them."""
    if not runs:
        return [rnd.choice(samples) for _ in range(rnd.randint(fewest, 6))]
    chosen = [rnd.choice(samples) for _ in range(rnd.randint(1, 4))]
    run_samples = rnd.choice(runs)
    run = [rnd.choice(run_samples) for _ in range(rnd.randint(1, 3))]
    at = rnd.randint(0, len(chosen))
    return chosen[:at] + run + chosen[at:]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    ap.add_argument("--count", type=int, default=120)
    ap.add_argument("--seed", type=int, default=3)
    ap.add_argument("--lines", type=int, default=1)
    ap.add_argument("--box", type=int, nargs=4, default=[10, 10, 110, 110])
    ap.add_argument("--run", action="append", default=[])
    ap.add_argument("folders", nargs="+")
    a = ap.parse_args()
    rnd = random.Random(a.seed)
    samples = [s for folder in a.folders for s in read_folder(folder, a.box)]
    runs = [read_folder(folder, a.box) for folder in a.run]
    if not samples or not all(runs):
        return "no samples"
    if runs:
        side = sorted(max(b[2] - b[0], b[3] - b[1]) for _, _, b in samples)[len(samples) // 2]
        runs = [[scaled(s, side) for s in run] for run in runs]
    os.makedirs(a.out, exist_ok=True)
    side_of_all = max(max(b[2] - b[0], b[3] - b[1]) for _, _, b in samples + [s for r in runs for s in r])
    for n in range(a.count):
        vertical = n % 4 >= 2
        tight = n % 2 == 0
        strokes, text = [], ""
        pitch = side_of_all * rnd.uniform(1.1, 1.5) if a.lines > 1 else 0.0
        for line in range(a.lines):
            fewest = 1 if line == a.lines - 1 and a.lines > 1 else 2
            chosen = choose_line(rnd, samples, runs, fewest)
            # Where the line lies across: rows downwards, columns leftwards (read right to left).
            offset = 20 + (a.lines - 1 - line if vertical else line) * pitch
            pos = 20.0
            for expect, sample, box in chosen:
                side = max(box[2] - box[0], box[3] - box[1])
                across = rnd.gauss(0, side * 0.04)
                for stroke in sample:
                    moved = []
                    for x, y in stroke:
                        x, y = x - box[0], y - box[1]
                        moved.append((round(pos + x), round(offset + across + y)) if not vertical
                                     else (round(offset + across + x), round(pos + y)))
                    strokes.append(moved)
                step = rnd.uniform(0.78, 0.92) if tight else rnd.uniform(1.15, 1.5)
                pos += side * step
            text += "".join(c[0] for c in chosen)
        name = "%03d_%s_%s%s.txt" % (n + 1, "v" if vertical else "h", "tight" if tight else "wide",
                                     "_%d" % a.lines if a.lines > 1 else "")
        with open(os.path.join(a.out, name), "w", encoding="utf-8") as f:
            f.write("# composed by compose_real_lines.py seed %d\n" % a.seed)
            f.write("expect %s\n" % text)
            for s in strokes:
                f.write(" ".join("%d,%d" % p for p in s) + "\n")
    return None


if __name__ == "__main__":
    sys.exit(main())
