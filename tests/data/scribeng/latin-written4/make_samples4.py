#!/usr/bin/env python3
"""Writes stroke files of Latin letters and digits in a fourth hand, kept apart from the engine's tuning:
nothing is tuned on this set, it only measures how well what was learnt holds for another writer.

This writer prints as taught at school: upright (-5 to 6 degrees), ball and stick, every round part a
nearly full circle started at the top right and the sticks written as separate strokes more often than
not (a d g q as a circle and a stick, b p as a stick and a circle, h m n r with their arches lifted off the
stem or retraced up it), i and j with a dot or a dash, k in two or three strokes, capitals built from
sticks, bars and bumps written one at a time, a 9 as a circle and a stick, a 4 open in two strokes, a 5
with its hat last; the pen is a little shaky and the letters sit on the line in the lower part of the box.
Every form is a pen path of its own (the pen and the placement come from make_samples.py), independent of
the engine's templates and of the other writers' paths.

    make_samples4.py [--seed 41] [--out DIR]

writes DIR/lower, DIR/upper and DIR/digits (DIR defaults to this script's folder). The same seed gives the
same files.
"""
import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / 'latin-written'))
import make_samples as base  # noqa: E402  (the pen, the resampling and the file writer)


def ball(p, r, cx=0.42, cy=0.5, ry=0.5):
    """A nearly full circle counter-clockwise from its top right, starting a stroke."""
    a0 = r.uniform(30, 70)
    return p.arc(cx, cy, r.uniform(0.36, 0.44), ry, a0, a0 + r.uniform(345, 370), start=True)


def ball_right(p, r, cx=0.5):
    """A circle right of a stem, clockwise from the stem's side (b p)."""
    a0 = r.uniform(165, 190)
    return p.arc(cx, 0.5, r.uniform(0.36, 0.42), 0.5, a0, a0 - r.uniform(345, 365), start=True)


def lower_forms():
    f = {}
    f['a'] = [
        lambda p, r: ball(p, r).m(0.84, 1.0).l(0.84, 0.0),
        lambda p, r: ball(p, r).l(0.84, 1.0).l(0.84, 0.0),
        lambda p, r: p.m(0.12, 0.85).c(0.3, 1.05, 0.8, 1.05, 0.8, 0.6).l(0.8, 0.0).m(0.8, 0.55)
        .c(0.3, 0.65, 0.0, 0.45, 0.05, 0.2).c(0.1, -0.05, 0.6, 0.0, 0.8, 0.2),
    ]
    f['b'] = [
        lambda p, r: ball_right(p.m(0.1, 1.9).l(0.1, 0.0), r),
        lambda p, r: p.m(0.1, 1.9).l(0.1, 0.0).l(0.1, 0.6).c(0.25, 1.05, 0.85, 1.05, 0.85, 0.5)
        .c(0.85, -0.05, 0.3, -0.05, 0.1, 0.12),
    ]
    f['c'] = [
        lambda p, r: p.arc(0.45, 0.5, r.uniform(0.38, 0.45), 0.5, r.uniform(35, 55), r.uniform(300, 325), start=True),
        lambda p, r: p.m(0.8, 0.85).c(0.6, 1.05, 0.05, 1.0, 0.05, 0.5).c(0.05, 0.0, 0.6, -0.05, 0.82, 0.15),
    ]
    f['d'] = [
        lambda p, r: ball(p, r).m(0.84, 1.9).l(0.84, 0.0),
        lambda p, r: ball(p, r).l(0.84, 1.9).l(0.84, 0.0),
    ]
    f['e'] = [
        lambda p, r: p.m(0.05, 0.5).l(0.85, 0.5).c(0.85, 0.9, 0.6, 1.0, 0.45, 1.0).c(0.15, 1.0, 0.05, 0.75, 0.05, 0.5)
        .c(0.05, 0.1, 0.3, 0.0, 0.5, 0.0).c(0.65, 0.0, 0.8, 0.05, 0.85, 0.15),
        lambda p, r: p.arc(0.45, 0.5, 0.42, 0.5, 10, 320, start=True).m(0.05, 0.5).l(0.87, 0.5),
    ]
    f['f'] = [
        lambda p, r: p.m(0.8, 1.7).c(0.65, 1.95, 0.35, 1.95, 0.35, 1.55).l(0.35, 0.0).m(0.05, 1.0).l(0.7, 1.0),
        lambda p, r: p.m(0.05, 1.0).l(0.7, 1.0).m(0.8, 1.7).c(0.65, 1.95, 0.35, 1.95, 0.35, 1.55).l(0.35, 0.0),
    ]
    f['g'] = [
        lambda p, r: ball(p, r).m(0.84, 1.0).l(0.84, -0.55).c(0.84, -0.95, 0.25, -1.0, 0.1, -0.65),
        lambda p, r: ball(p, r).l(0.84, 1.0).l(0.84, -0.55).c(0.84, -0.95, 0.25, -1.0, 0.1, -0.65),
    ]
    f['h'] = [
        lambda p, r: p.m(0.1, 1.9).l(0.1, 0.0).m(0.1, 0.6).c(0.2, 0.95, 0.8, 1.1, 0.8, 0.55).l(0.8, 0.0),
        lambda p, r: p.m(0.1, 1.9).l(0.1, 0.0).l(0.1, 0.6).c(0.2, 0.95, 0.8, 1.1, 0.8, 0.55).l(0.8, 0.0),
    ]
    f['i'] = [
        lambda p, r: p.m(0.3, 1.0).l(0.3, 0.0).dot(0.3, 1.45),
        lambda p, r: p.m(0.3, 1.0).l(0.3, 0.0).m(0.22, 1.45).l(0.38, 1.47),
    ]
    f['j'] = [
        lambda p, r: p.m(0.5, 1.0).l(0.5, -0.55).c(0.5, -0.95, 0.1, -1.0, 0.0, -0.7).dot(0.5, 1.45),
        lambda p, r: p.m(0.5, 1.0).l(0.5, -0.55).c(0.5, -0.95, 0.1, -1.0, 0.0, -0.7).m(0.42, 1.45).l(0.58, 1.47),
    ]
    f['k'] = [
        lambda p, r: p.m(0.1, 1.9).l(0.1, 0.0).m(0.75, 1.0).l(0.12, 0.45).m(0.32, 0.6).l(0.8, 0.0),
        lambda p, r: p.m(0.1, 1.9).l(0.1, 0.0).m(0.75, 1.0).l(0.12, 0.45).l(0.8, 0.0),
    ]
    f['l'] = [
        lambda p, r: p.m(0.2, 1.9).l(0.2, 0.0),
        lambda p, r: p.m(0.2, 1.9).l(0.2, 0.15).c(0.22, -0.02, 0.35, -0.02, 0.45, 0.05),
    ]

    def arches(p, r, x, n, lifted):
        # n arches from the stem at x, each lifted off and started anew on the stroke before, or retraced
        for _ in range(n):
            w = r.uniform(0.38, 0.5)
            (p.m(x, 0.6) if lifted else p.l(x, 0.6)).c(x + 0.05, 0.95, x + w, 1.08, x + w, 0.6).l(x + w, 0.0)
            x += w
        return p

    f['m'] = [lambda p, r: arches(p.m(0.0, 1.0).l(0.0, 0.0), r, 0.0, 2, False),
              lambda p, r: arches(p.m(0.0, 1.0).l(0.0, 0.0), r, 0.0, 2, True)]
    f['n'] = [lambda p, r: arches(p.m(0.0, 1.0).l(0.0, 0.0), r, 0.0, 1, False),
              lambda p, r: arches(p.m(0.0, 1.0).l(0.0, 0.0), r, 0.0, 1, True)]
    f['o'] = [
        lambda p, r: p.arc(0.45, 0.5, r.uniform(0.38, 0.46), 0.5, 90, 450 + r.uniform(0, 20), start=True),
        lambda p, r: ball(p, r),
    ]
    f['p'] = [
        lambda p, r: ball_right(p.m(0.1, 1.0).l(0.1, -0.9), r),
        lambda p, r: p.m(0.1, 1.0).l(0.1, -0.9).l(0.1, 0.6).c(0.25, 1.05, 0.85, 1.05, 0.85, 0.5)
        .c(0.85, -0.05, 0.3, -0.05, 0.1, 0.12),
    ]
    f['q'] = [
        lambda p, r: ball(p, r).m(0.84, 1.0).l(0.84, -0.9),
        lambda p, r: ball(p, r).l(0.84, 1.0).l(0.84, -0.9).c(0.88, -0.8, 0.95, -0.75, 1.05, -0.75),
    ]
    f['r'] = [
        lambda p, r: p.m(0.1, 1.0).l(0.1, 0.0).m(0.1, 0.6).c(0.2, 0.95, 0.5, 1.05, 0.75, 0.9),
        lambda p, r: p.m(0.1, 1.0).l(0.1, 0.0).l(0.1, 0.6).c(0.2, 0.95, 0.5, 1.05, 0.75, 0.9),
    ]
    f['s'] = [
        lambda p, r: p.m(0.8, 0.85).c(0.65, 1.05, 0.1, 1.05, 0.1, 0.75).c(0.1, 0.5, 0.8, 0.5, 0.8, 0.25)
        .c(0.8, -0.05, 0.15, -0.05, 0.05, 0.15),
        lambda p, r: p.m(0.7, 0.9).c(0.55, 1.02, 0.15, 1.0, 0.15, 0.75).c(0.15, 0.55, 0.7, 0.5, 0.7, 0.25)
        .c(0.7, 0.0, 0.2, -0.02, 0.05, 0.1),
    ]
    f['t'] = [
        lambda p, r: p.m(0.35, 1.5).l(0.35, 0.0).m(0.0, 0.95).l(0.7, 0.95),
        lambda p, r: p.m(0.35, 1.5).l(0.35, 0.15).c(0.37, -0.02, 0.5, -0.02, 0.65, 0.05).m(0.0, 0.95).l(0.7, 0.95),
    ]
    f['u'] = [
        lambda p, r: p.m(0.05, 1.0).l(0.05, 0.35).c(0.05, -0.1, 0.75, -0.1, 0.8, 0.35).l(0.8, 1.0).l(0.8, 0.0),
        lambda p, r: p.m(0.05, 1.0).l(0.05, 0.35).c(0.05, -0.1, 0.75, -0.1, 0.8, 0.35).l(0.8, 1.0)
        .m(0.8, 1.0).l(0.8, 0.0),
    ]
    f['v'] = [
        lambda p, r: p.m(0.0, 1.0).l(0.4, 0.0).l(0.8, 1.0),
        lambda p, r: p.m(0.0, 1.0).l(0.4, 0.0).m(0.8, 1.0).l(0.4, 0.0),
    ]
    f['w'] = [
        lambda p, r: p.m(0.0, 1.0).l(0.25, 0.0).l(0.5, 1.0).l(0.75, 0.0).l(1.0, 1.0),
        lambda p, r: p.m(0.0, 1.0).l(0.25, 0.0).l(0.5, 1.0).m(0.5, 1.0).l(0.75, 0.0).l(1.0, 1.0),
    ]
    f['x'] = [
        lambda p, r: p.m(0.0, 1.0).l(0.8, 0.0).m(0.8, 1.0).l(0.0, 0.0),
        lambda p, r: p.m(0.8, 1.0).l(0.0, 0.0).m(0.0, 1.0).l(0.8, 0.0),
    ]
    f['y'] = [
        lambda p, r: p.m(0.0, 1.0).l(0.4, 0.0).m(0.8, 1.0).l(0.2, -0.9),
        lambda p, r: p.m(0.05, 1.0).l(0.05, 0.35).c(0.05, -0.1, 0.75, -0.1, 0.8, 0.35).m(0.8, 1.0).l(0.8, -0.55)
        .c(0.8, -0.95, 0.25, -1.0, 0.1, -0.7),
    ]
    f['z'] = [
        lambda p, r: p.m(0.0, 1.0).l(0.8, 1.0).l(0.0, 0.0).l(0.85, 0.0),
        lambda p, r: p.m(0.0, 1.0).l(0.8, 1.0).m(0.8, 1.0).l(0.0, 0.0).m(0.0, 0.0).l(0.85, 0.0),
    ]
    return f


# ---- Capitals and digits: cap height 1.7 ----

def upper_forms():
    H = 1.7

    def bump(p, top, bottom, depth):
        # a bump to the right of the stem from (0, top) to (0, bottom), as a stroke of its own
        return p.m(0.0, top).c(depth, top + 0.02, depth, bottom - 0.02, 0.0, bottom)

    f = {}
    f['A'] = [
        lambda p, r: p.m(0.45, H).l(0.0, 0.0).m(0.45, H).l(0.9, 0.0).m(0.2, 0.6).l(0.7, 0.6),
        lambda p, r: p.m(0.0, 0.0).l(0.45, H).l(0.9, 0.0).m(0.2, 0.6).l(0.7, 0.6),
    ]
    f['B'] = [
        lambda p, r: bump(bump(p.m(0.0, H).l(0.0, 0.0), H, 0.85, 1.0), 0.85, 0.0, 1.15),
        lambda p, r: bump(p.m(0.0, H).l(0.0, 0.0), H, 0.85, 1.0).c(1.15, 0.83, 1.15, -0.02, 0.0, 0.0),
    ]
    f['C'] = [lambda p, r: p.arc(0.55, H / 2, 0.55, H / 2, r.uniform(35, 55), r.uniform(305, 325), start=True)]
    f['D'] = [lambda p, r: bump(p.m(0.0, H).l(0.0, 0.0), H, 0.0, 1.3)]
    f['E'] = [
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).l(0.8, H).m(0.0, 0.85).l(0.65, 0.85).m(0.0, 0.0).l(0.8, 0.0),
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).l(0.8, 0.0).m(0.0, H).l(0.8, H).m(0.0, 0.85).l(0.65, 0.85),
    ]
    f['F'] = [lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).l(0.8, H).m(0.0, 0.85).l(0.65, 0.85)]
    f['G'] = [
        lambda p, r: p.arc(0.55, H / 2, 0.55, H / 2, 40, 345, start=True).m(0.6, 0.7).l(1.05, 0.7).l(1.05, 0.1),
        lambda p, r: p.arc(0.55, H / 2, 0.55, H / 2, 40, 350, start=True).l(1.05, 0.7).l(0.6, 0.7),
    ]
    f['H'] = [lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.85, H).l(0.85, 0.0).m(0.0, 0.85).l(0.85, 0.85)]
    f['I'] = [
        lambda p, r: p.m(0.3, H).l(0.3, 0.0).m(0.0, H).l(0.6, H).m(0.0, 0.0).l(0.6, 0.0),
    ]
    f['J'] = [
        lambda p, r: p.m(0.7, H).l(0.7, 0.4).c(0.7, -0.1, 0.05, -0.1, 0.0, 0.35),
        lambda p, r: p.m(0.7, H).l(0.7, 0.4).c(0.7, -0.1, 0.05, -0.1, 0.0, 0.35).m(0.35, H).l(1.05, H),
    ]
    f['K'] = [
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.85, H).l(0.05, 0.8).m(0.3, 1.0).l(0.9, 0.0),
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.85, H).l(0.05, 0.8).l(0.9, 0.0),
    ]
    f['L'] = [lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, 0.0).l(0.8, 0.0)]
    f['M'] = [
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).l(0.5, 0.4).l(1.0, H).m(1.0, H).l(1.0, 0.0),
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(1.0, H).l(1.0, 0.0).m(0.0, H).l(0.5, 0.4).l(1.0, H),
    ]
    f['N'] = [
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).l(0.85, 0.0).m(0.85, H).l(0.85, 0.0),
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.85, H).l(0.85, 0.0).m(0.0, H).l(0.85, 0.0),
    ]
    f['O'] = [lambda p, r: p.arc(0.6, H / 2, r.uniform(0.5, 0.6), H / 2, r.uniform(60, 100), 460, start=True)]
    f['P'] = [lambda p, r: bump(p.m(0.0, H).l(0.0, 0.0), H, 0.8, 1.05)]
    f['Q'] = [lambda p, r: p.arc(0.6, H / 2, 0.55, H / 2, 80, 450, start=True).m(0.65, 0.45).l(1.1, -0.1)]
    f['R'] = [
        lambda p, r: bump(p.m(0.0, H).l(0.0, 0.0), H, 0.8, 1.05).m(0.3, 0.8).l(0.9, 0.0),
        lambda p, r: bump(p.m(0.0, H).l(0.0, 0.0), H, 0.8, 1.05).l(0.9, 0.0),
    ]
    f['S'] = [
        lambda p, r: p.m(0.85, H - 0.2).c(0.7, H + 0.05, 0.05, H + 0.05, 0.1, 1.25).c(0.15, 0.85, 0.85, 0.9, 0.88, 0.45)
        .c(0.9, -0.05, 0.15, -0.1, 0.0, 0.25),
    ]
    f['T'] = [
        lambda p, r: p.m(0.0, H).l(0.9, H).m(0.45, H).l(0.45, 0.0),
        lambda p, r: p.m(0.45, H).l(0.45, 0.0).m(0.0, H).l(0.9, H),
    ]
    f['U'] = [lambda p, r: p.m(0.0, H).l(0.0, 0.45).c(0.0, -0.12, 0.85, -0.12, 0.85, 0.45).l(0.85, H)]
    f['V'] = [
        lambda p, r: p.m(0.0, H).l(0.45, 0.0).l(0.9, H),
        lambda p, r: p.m(0.0, H).l(0.45, 0.0).m(0.9, H).l(0.45, 0.0),
    ]
    f['W'] = [
        lambda p, r: p.m(0.0, H).l(0.3, 0.0).l(0.6, H).l(0.9, 0.0).l(1.2, H),
        lambda p, r: p.m(0.0, H).l(0.3, 0.0).l(0.6, H).m(0.6, H).l(0.9, 0.0).l(1.2, H),
    ]
    f['X'] = [lambda p, r: p.m(0.0, H).l(0.9, 0.0).m(0.9, H).l(0.0, 0.0)]
    f['Y'] = [
        lambda p, r: p.m(0.0, H).l(0.45, 0.85).m(0.9, H).l(0.45, 0.85).m(0.45, 0.85).l(0.45, 0.0),
        lambda p, r: p.m(0.0, H).l(0.45, 0.85).l(0.9, H).m(0.45, 0.85).l(0.45, 0.0),
    ]
    f['Z'] = [lambda p, r: p.m(0.0, H).l(0.9, H).l(0.0, 0.0).l(0.95, 0.0)]
    return f


def digit_forms():
    H = 1.7
    f = {}
    f['0'] = [
        lambda p, r: p.arc(0.45, H / 2, r.uniform(0.38, 0.46), H / 2, 90, 455, start=True),
        lambda p, r: p.arc(0.45, H / 2, r.uniform(0.38, 0.46), H / 2, r.uniform(40, 70), 440, start=True),
    ]
    f['1'] = [
        lambda p, r: p.m(0.4, H).l(0.4, 0.0),
        lambda p, r: p.m(0.1, H - 0.3).l(0.45, H).l(0.45, 0.0),
    ]
    f['2'] = [
        lambda p, r: p.m(0.05, H - 0.3).c(0.15, H + 0.1, 0.9, H + 0.1, 0.85, H - 0.45).l(0.0, 0.0).l(0.9, 0.0),
        lambda p, r: p.m(0.05, H - 0.3).c(0.15, H + 0.1, 0.9, H + 0.1, 0.85, H - 0.45).c(0.8, 0.8, 0.2, 0.4, 0.0, 0.0)
        .m(0.0, 0.0).l(0.9, 0.0),
    ]
    f['3'] = [
        lambda p, r: p.m(0.05, H - 0.2).c(0.3, H + 0.1, 0.9, H + 0.05, 0.8, 1.2).c(0.75, 0.95, 0.5, 0.88, 0.3, 0.88)
        .c(0.95, 0.88, 0.95, -0.05, 0.45, 0.0).c(0.25, 0.0, 0.1, 0.05, 0.0, 0.2),
        lambda p, r: p.m(0.05, H - 0.2).c(0.3, H + 0.1, 0.9, H + 0.05, 0.8, 1.2).c(0.75, 0.95, 0.5, 0.88, 0.3, 0.88)
        .m(0.3, 0.88).c(0.95, 0.88, 0.95, -0.05, 0.45, 0.0).c(0.25, 0.0, 0.1, 0.05, 0.0, 0.2),
    ]
    f['4'] = [
        lambda p, r: p.m(0.1, H).l(0.05, 0.6).l(0.95, 0.6).m(0.7, H).l(0.7, 0.0),
        lambda p, r: p.m(0.65, H).l(0.0, 0.55).l(0.95, 0.55).m(0.7, 1.2).l(0.7, 0.0),
    ]
    f['5'] = [
        lambda p, r: p.m(0.15, H).l(0.1, 0.95).c(0.4, 1.15, 0.9, 1.0, 0.88, 0.5).c(0.85, -0.1, 0.2, -0.05, 0.0, 0.2)
        .m(0.15, H).l(0.85, H),
        lambda p, r: p.m(0.15, H).l(0.1, 0.95).c(0.45, 1.1, 0.9, 0.95, 0.88, 0.45).c(0.85, -0.05, 0.25, -0.05, 0.0, 0.15)
        .m(0.2, H).l(0.8, H + 0.02),
    ]
    f['6'] = [
        lambda p, r: p.m(0.75, H).c(0.3, H - 0.2, 0.0, 1.0, 0.05, 0.45).c(0.1, -0.1, 0.85, -0.1, 0.85, 0.45)
        .c(0.85, 1.0, 0.15, 1.0, 0.08, 0.5),
        lambda p, r: p.m(0.7, H).c(0.35, H - 0.4, 0.05, 0.9, 0.05, 0.45).c(0.05, 0.0, 0.85, -0.05, 0.85, 0.45)
        .c(0.85, 0.95, 0.2, 0.95, 0.07, 0.6),
    ]
    f['7'] = [
        lambda p, r: p.m(0.0, H).l(0.9, H).l(0.35, 0.0),
        lambda p, r: p.m(0.0, H).l(0.9, H).m(0.9, H).l(0.35, 0.0),
    ]
    f['8'] = [
        lambda p, r: p.m(0.8, H - 0.25).c(0.7, H + 0.05, 0.1, H + 0.05, 0.12, 1.3).c(0.15, 1.0, 0.85, 0.8, 0.88, 0.4)
        .c(0.9, -0.05, 0.05, -0.05, 0.05, 0.4).c(0.05, 0.8, 0.8, 1.0, 0.8, 1.3).c(0.8, H + 0.05, 0.5, H + 0.02, 0.4, H),
        lambda p, r: p.arc(0.45, 1.3, 0.3, 0.4, 60, 420, start=True).arc(0.45, 0.45, 0.4, 0.45, 90, 450, start=True),
    ]
    f['9'] = [
        lambda p, r: p.arc(0.45, 1.25, 0.4, 0.45, r.uniform(20, 50), 400, start=True).m(0.85, H - 0.2).l(0.85, 0.0),
        lambda p, r: p.arc(0.45, 1.25, 0.4, 0.45, r.uniform(20, 50), 400, start=True).l(0.85, 1.3).l(0.85, 0.0),
    ]
    return f


class SchoolWriter(base.Writer):
    """Upright print script, a little shaky; letters on the line in the lower part of the box."""
    script = 'make_samples4.py'
    sizes = [80, 110, 150, 200, 280]
    wobble = 0.045
    shift = 0.06
    slant_range = (-5, 6)
    spacing = (2.0, 7.0)

    def place(self, r, size, k, lower):
        if lower:
            return size * r.uniform(0.24, 0.32), size * r.uniform(0.7, 0.76)
        return size * r.uniform(0.34, 0.42), size * r.uniform(0.82, 0.88)


def main():
    base.run(__doc__.split('\n')[0], pathlib.Path(__file__).resolve().parent, 41,
             [('lower', lower_forms(), 6, True), ('upper', upper_forms(), 4, False), ('digits', digit_forms(), 6, False)],
             SchoolWriter())


if __name__ == '__main__':
    main()
