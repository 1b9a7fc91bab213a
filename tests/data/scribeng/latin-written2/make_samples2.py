#!/usr/bin/env python3
"""Writes stroke files of Latin letters and digits in a second hand: another writer than make_samples.py's,
kept apart to check that what is learnt from the first set holds for other writing.

This writer starts most lower-case letters with a lead-in stroke from the baseline and ends them with an
exit tail, as cursive letters written alone have them; writes tops pointed or wide and round, loops bigger
or smaller, with a stronger slant (6 to 30 degrees); and often writes small in the lower part of the
writing box. Every form is a pen path of its own (the pen and the placement come from make_samples.py),
independent of the engine's templates and of the first writer's paths.

    make_samples2.py [--seed 23] [--out DIR]

writes DIR/lower, DIR/upper and DIR/digits (DIR defaults to this script's folder). The same seed gives the
same files.
"""
import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / 'latin-written'))
import make_samples as base  # noqa: E402  (the pen, the resampling and the file writer)


def lead(p, x, y, sx=None):
    """A lead-in stroke from the baseline left of x up to (x, y), starting a stroke."""
    sx = x - 0.3 if sx is None else sx
    return p.m(sx, 0.05).c(sx + 0.15, 0.1, x - 0.1, y - 0.3, x, y)


def tail(p, x, y=0.0, up=0.35):
    """An exit tail from (x, y): round at the bottom, then up and out to the right."""
    return p.c(x + 0.02, y - 0.12, x + 0.2, y - 0.1, x + 0.4, y + up)


def lower_forms():
    f = {}

    def oval(p, r, cx=0.4, start=False):
        # a wide bowl counter-clockwise from its top right, the way this writer closes a d g q
        w = r.uniform(0.32, 0.45)
        return p.arc(cx, 0.5, w, 0.5, r.uniform(20, 45), r.uniform(330, 365), start=start)

    def ascender(p, r, x, top):
        # a loop up to the ascender: up on the right, back down on the left to x at mid-height
        w = r.uniform(0.1, 0.35)
        return p.c(x + 0.25, 0.9, x + w + 0.35, top - 0.4, x + w + 0.1, top).c(x + w, top + 0.15, x - 0.15, top - 0.1, x, 1.0)

    def descender_loop(p, r, x):
        # down from x to the descender and back up across the stem to the baseline, open to the left
        w = r.uniform(0.2, 0.4)
        return p.l(x, -0.6).c(x, -1.05, x - w - 0.2, -1.05, x - w, -0.75).c(x - w + 0.1, -0.4, x + 0.2, -0.15, x + 0.45, 0.1)

    f['a'] = [
        lambda p, r: tail(oval(lead(p, 0.72, 0.9, sx=0.05), r).l(0.78, 1.0).l(0.78, 0.1), 0.78),
        lambda p, r: tail(oval(p.m(0.8, 0.85), r).c(0.78, 0.95, 0.76, 1.0, 0.76, 1.0).l(0.8, 0.1), 0.8, up=0.2),
        lambda p, r: tail(p.m(0.75, 0.8).c(0.6, 1.05, 0.0, 1.0, 0.02, 0.35).c(0.05, -0.1, 0.6, 0.0, 0.78, 1.0)
                          .l(0.8, 0.15), 0.8),
    ]
    f['b'] = [
        lambda p, r: tail(ascender(lead(p, 0.0, 0.4, sx=-0.25), r, 0.0, 2.2).l(0.0, 0.05), 0.0, up=0.0)
        .c(0.45, 0.3, 0.75, 0.8, 0.55, 0.95).c(0.4, 1.0, 0.3, 0.85, 0.35, 0.7).c(0.5, 0.65, 0.8, 0.7, 1.0, 0.8),
        lambda p, r: p.m(0.1, 2.1).l(0.1, 0.0).c(0.15, 0.7, 0.85, 1.1, 0.8, 0.45).c(0.75, -0.05, 0.3, 0.0, 0.1, 0.25),
    ]
    f['c'] = [
        lambda p, r: tail(lead(p, 0.6, 0.9, sx=0.0).c(0.55, 1.05, 0.3, 1.0, 0.15, 0.8).c(0.0, 0.5, 0.05, 0.0, 0.35, 0.0), 0.35,
                          up=0.3),
        lambda p, r: p.m(0.75, 0.85).c(0.65, 1.0, 0.4, 1.02, 0.25, 0.9).c(0.0, 0.7, 0.0, 0.1, 0.35, 0.02)
        .c(0.55, -0.02, 0.7, 0.05, 0.8, 0.15),
    ]
    f['d'] = [
        lambda p, r: tail(oval(p.m(0.75, 0.8), r).c(0.75, 1.2, 0.8, 1.8, 0.85, 2.1).l(0.8, 0.05), 0.8),
        lambda p, r: tail(oval(p.m(0.75, 0.8), r).c(0.85, 1.4, 1.15, 2.1, 0.95, 2.15).c(0.75, 2.2, 0.75, 1.5, 0.8, 0.05),
                          0.8),
    ]
    f['e'] = [
        lambda p, r: tail(p.m(-0.15, 0.05).c(0.2, 0.25, 0.7, 0.55, 0.6, 0.85).c(0.5, 1.1, 0.0, 0.95, 0.02, 0.4)
                          .c(0.05, 0.1, 0.2, 0.0, 0.4, 0.0), 0.4, up=0.25),
        lambda p, r: p.m(0.1, 0.4).c(0.4, 0.45, 0.8, 0.6, 0.7, 0.85).c(0.6, 1.05, 0.1, 1.0, 0.05, 0.55)
        .c(0.0, 0.1, 0.4, -0.05, 0.8, 0.15),
    ]
    f['f'] = [
        lambda p, r: ascender(lead(p, 0.15, 0.5, sx=-0.1), r, 0.15, 2.1).l(0.12, -0.8)
        .c(0.1, -1.0, 0.45, -0.8, 0.4, -0.4).c(0.35, -0.15, 0.25, 0.0, 0.15, 0.05).c(0.4, 0.1, 0.6, 0.25, 0.8, 0.4),
        lambda p, r: p.m(0.8, 1.9).c(0.65, 2.15, 0.3, 2.05, 0.3, 1.6).l(0.28, -0.85).m(0.0, 1.05).l(0.75, 1.1),
    ]
    f['g'] = [
        lambda p, r: descender_loop(oval(lead(p, 0.72, 0.85, sx=0.1), r).l(0.78, 1.0), r, 0.78),
        lambda p, r: oval(p.m(0.78, 0.85), r).l(0.8, 1.0).l(0.8, -0.6).c(0.8, -1.05, 0.2, -1.0, 0.05, -0.65),
        lambda p, r: oval(p.m(0.78, 0.85), r).l(0.8, 1.0).l(0.8, -0.7).c(0.8, -0.95, 0.6, -1.0, 0.4, -0.95),
    ]
    f['h'] = [
        lambda p, r: tail(ascender(lead(p, 0.0, 0.4, sx=-0.25), r, 0.0, 2.2).l(0.0, 0.0).c(0.1, 0.7, 0.3, 1.0, 0.5, 1.0)
                          .c(0.7, 1.0, 0.75, 0.75, 0.72, 0.5).l(0.72, 0.1), 0.72),
        lambda p, r: p.m(0.05, 2.1).l(0.05, 0.0).c(0.1, 0.6, 0.3, 1.0, 0.55, 1.0).c(0.75, 1.0, 0.8, 0.8, 0.78, 0.5)
        .l(0.78, 0.0),
    ]
    f['i'] = [
        lambda p, r: tail(lead(p, 0.3, 1.0, sx=0.0).l(0.3, 0.1), 0.3),
        lambda p, r: tail(lead(p, 0.3, 1.0, sx=0.0).l(0.3, 0.1), 0.3).m(0.35, 1.5).l(0.37, 1.45),
        lambda p, r: tail(p.m(0.3, 1.05).l(0.3, 0.15), 0.3, up=0.15).m(0.32, 1.5).l(0.33, 1.44),
    ]
    f['j'] = [
        lambda p, r: descender_loop(lead(p, 0.45, 1.0, sx=0.15), r, 0.45),
        lambda p, r: p.m(0.45, 1.05).l(0.45, -0.6).c(0.45, -1.0, 0.0, -1.0, -0.05, -0.65).m(0.48, 1.5).l(0.5, 1.44),
    ]
    f['k'] = [
        lambda p, r: tail(ascender(lead(p, 0.0, 0.4, sx=-0.25), r, 0.0, 2.2).l(0.0, 0.0).c(0.15, 0.6, 0.7, 1.1, 0.7, 0.75)
                          .c(0.7, 0.5, 0.3, 0.45, 0.15, 0.45).l(0.7, 0.05), 0.7, up=0.25),
        lambda p, r: p.m(0.05, 2.1).l(0.05, 0.0).m(0.75, 1.0).c(0.5, 0.8, 0.3, 0.6, 0.1, 0.45).c(0.35, 0.3, 0.6, 0.1, 0.85, 0.0),
    ]
    f['l'] = [
        lambda p, r: tail(ascender(lead(p, 0.1, 0.4, sx=-0.2), r, 0.1, 2.2).l(0.1, 0.1), 0.1),
        lambda p, r: tail(p.m(0.2, 2.1).l(0.2, 0.15), 0.2, up=0.2),
    ]

    def arches(p, r, n, pointed):
        # n arches after a down stroke: pointed tops (an angular hand) or wide round ones
        x = 0.0
        for _ in range(n):
            w = r.uniform(0.4, 0.55)
            if pointed:
                p.l(x + 0.05, 0.55).l(x + w * 0.5, 1.0).l(x + w, 0.6).l(x + w, 0.0)
            else:
                p.c(x + 0.05, 0.85, x + 0.2, 1.05, x + w * 0.55, 1.05).c(x + w, 1.05, x + w, 0.7, x + w, 0.5).l(x + w, 0.0)
            x += w
        return x

    def hump_letter(n):
        def lead_round(p, r):
            lead(p, 0.0, 1.0, sx=-0.3).l(0.0, 0.0)
            return tail(p, arches(p, r, n, False))

        def lead_pointed(p, r):
            lead(p, 0.0, 1.0, sx=-0.3).l(0.0, 0.0)
            return tail(p, arches(p, r, n, True), up=0.25)

        def plain(p, r):
            p.m(0.0, 1.05).l(0.0, 0.0)
            arches(p, r, n, False)
            return p

        return [lead_round, lead_pointed, plain]

    f['m'] = hump_letter(2)
    f['n'] = hump_letter(1)
    f['o'] = [
        lambda p, r: p.arc(0.45, 0.5, r.uniform(0.32, 0.45), 0.5, 80, 430, start=True).c(0.55, 1.0, 0.7, 0.9, 0.95, 0.85),
        lambda p, r: lead(p, 0.4, 1.0, sx=0.0).arc(0.42, 0.5, r.uniform(0.32, 0.42), 0.5, 90, 450)
        .c(0.6, 0.95, 0.8, 0.85, 1.0, 0.9),
        lambda p, r: p.arc(0.45, 0.5, r.uniform(0.32, 0.45), 0.5, 110, 470, start=True),
    ]
    f['p'] = [
        lambda p, r: lead(p, 0.1, 1.0, sx=-0.15).l(0.1, -0.95).l(0.1, 0.5).c(0.2, 1.05, 0.85, 1.1, 0.8, 0.45)
        .c(0.75, -0.05, 0.3, 0.0, 0.1, 0.25),
        lambda p, r: p.m(0.1, 1.0).l(0.1, -0.95).m(0.1, 0.75).c(0.25, 1.0, 0.85, 1.05, 0.8, 0.45)
        .c(0.75, -0.05, 0.25, 0.0, 0.12, 0.2),
    ]
    f['q'] = [
        lambda p, r: tail(oval(lead(p, 0.72, 0.85, sx=0.1), r).l(0.78, 1.0).l(0.78, -0.95), 0.78, y=-0.95, up=0.3),
        lambda p, r: oval(p.m(0.78, 0.85), r).l(0.8, 1.0).l(0.8, -0.6).c(0.8, -0.95, 1.1, -0.9, 1.1, -0.6)
        .c(1.05, -0.3, 0.9, -0.05, 0.82, 0.0).c(1.0, 0.1, 1.1, 0.2, 1.2, 0.35),
        lambda p, r: oval(p.m(0.78, 0.85), r).l(0.8, 1.0).l(0.8, -0.95).c(0.85, -0.85, 0.95, -0.75, 1.05, -0.7),
    ]
    f['r'] = [
        lambda p, r: tail(lead(p, 0.1, 1.0, sx=-0.15).l(0.1, 0.95).l(0.1, 0.0).l(0.12, 0.5).c(0.2, 0.9, 0.4, 1.0, 0.6, 0.95),
                          0.6, y=0.95, up=-0.1),
        lambda p, r: p.m(-0.1, 0.0).c(0.05, 0.5, 0.15, 0.85, 0.2, 1.0).c(0.3, 0.9, 0.45, 0.95, 0.55, 0.9)
        .l(0.5, 0.1).c(0.55, -0.05, 0.7, 0.0, 0.85, 0.2),
        lambda p, r: p.m(0.1, 1.0).l(0.1, 0.0).m(0.12, 0.6).c(0.25, 0.9, 0.5, 1.0, 0.75, 0.92),
    ]
    f['s'] = [
        lambda p, r: lead(p, 0.4, 1.0, sx=0.0).c(0.55, 0.7, 0.8, 0.45, 0.65, 0.15).c(0.5, -0.05, 0.1, 0.0, 0.05, 0.2)
        .c(0.3, 0.1, 0.6, 0.1, 0.9, 0.3),
        lambda p, r: p.m(0.75, 0.9).c(0.6, 1.05, 0.15, 1.0, 0.15, 0.75).c(0.15, 0.55, 0.7, 0.55, 0.7, 0.25)
        .c(0.7, -0.05, 0.2, -0.05, 0.05, 0.15),
    ]
    f['t'] = [
        lambda p, r: tail(lead(p, 0.35, 1.7, sx=0.1).l(0.35, 0.1), 0.35).m(0.0, 1.05).l(0.8, 1.1),
        lambda p, r: p.m(0.35, 1.7).l(0.35, 0.15).c(0.37, -0.05, 0.6, -0.05, 0.75, 0.15).m(0.05, 1.0).l(0.75, 1.05),
        lambda p, r: p.m(0.05, 1.0).l(0.75, 1.0).m(0.35, 1.7).l(0.35, 0.0),
    ]
    f['u'] = [
        lambda p, r: tail(lead(p, 0.05, 1.0, sx=-0.2).l(0.05, 0.3).c(0.1, -0.05, 0.65, -0.05, 0.72, 0.4).l(0.72, 1.0)
                          .l(0.72, 0.1), 0.72),
        lambda p, r: tail(p.m(0.0, 1.0).c(0.0, 0.4, 0.05, 0.0, 0.35, 0.0).c(0.6, 0.0, 0.72, 0.6, 0.72, 1.0).l(0.72, 0.1),
                          0.72),
    ]
    f['v'] = [
        lambda p, r: lead(p, 0.05, 1.0, sx=-0.2).c(0.1, 0.6, 0.25, 0.0, 0.38, 0.0).c(0.5, 0.0, 0.7, 0.6, 0.72, 1.0)
        .c(0.8, 0.9, 0.9, 0.9, 1.0, 0.95),
        lambda p, r: p.m(0.0, 1.0).l(0.38, 0.0).l(0.75, 1.0),
    ]
    f['w'] = [
        lambda p, r: lead(p, 0.05, 1.0, sx=-0.2).c(0.05, 0.4, 0.1, 0.0, 0.25, 0.0).c(0.4, 0.0, 0.45, 0.4, 0.45, 0.8)
        .l(0.47, 0.4).c(0.5, 0.0, 0.6, 0.0, 0.7, 0.0).c(0.85, 0.0, 0.9, 0.4, 0.9, 1.0).c(0.95, 0.9, 1.05, 0.9, 1.15, 0.95),
        lambda p, r: p.m(0.0, 1.0).l(0.2, 0.0).l(0.45, 1.0).l(0.7, 0.0).l(0.9, 1.0),
    ]
    f['x'] = [
        lambda p, r: lead(p, 0.1, 0.9, sx=-0.1).c(0.3, 1.0, 0.35, 0.7, 0.4, 0.4).c(0.45, 0.0, 0.6, 0.0, 0.8, 0.2)
        .m(0.75, 1.0).l(0.05, 0.0),
        lambda p, r: p.m(0.05, 1.0).l(0.75, 0.0).m(0.75, 1.0).l(0.05, 0.0),
    ]
    f['y'] = [
        lambda p, r: descender_loop(lead(p, 0.05, 1.0, sx=-0.15).l(0.05, 0.35).c(0.1, -0.05, 0.7, -0.05, 0.75, 0.4)
                                    .l(0.75, 1.0), r, 0.75),
        lambda p, r: p.m(0.0, 1.0).c(0.1, 0.6, 0.2, 0.2, 0.4, 0.0).m(0.8, 1.0).c(0.6, 0.4, 0.4, -0.5, 0.1, -0.9),
    ]
    f['z'] = [
        lambda p, r: p.m(0.05, 0.95).c(0.3, 1.05, 0.55, 0.95, 0.75, 1.0).l(0.05, 0.05).c(0.25, 0.15, 0.45, -0.05, 0.7, 0.05),
        lambda p, r: p.m(0.05, 0.85).c(0.25, 1.05, 0.7, 1.05, 0.65, 0.75).c(0.6, 0.5, 0.3, 0.45, 0.25, 0.45)
        .c(0.6, 0.4, 0.75, 0.15, 0.65, -0.25).c(0.55, -0.75, 0.15, -0.85, 0.1, -0.6).c(0.1, -0.4, 0.55, -0.3, 0.9, 0.0),
        lambda p, r: p.m(0.0, 1.0).l(0.75, 1.0).l(0.0, 0.0).l(0.8, 0.0),
    ]
    return f


def upper_forms():
    H = 1.7
    f = {}
    f['A'] = [
        lambda p, r: p.m(0.0, 0.0).l(0.45, H).l(0.9, 0.0).m(0.2, 0.7).l(0.75, 0.7),
        lambda p, r: p.m(0.45, H).l(0.0, 0.0).m(0.45, H).l(0.95, 0.0).m(0.2, 0.65).l(0.75, 0.65),
    ]
    f['B'] = [
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).c(0.9, H, 0.9, 0.9, 0.05, 0.9).c(1.05, 0.9, 1.0, 0.0, 0.0, 0.0),
        lambda p, r: p.m(0.0, 0.0).l(0.0, H).c(0.9, H + 0.1, 0.9, 0.9, 0.05, 0.9).c(1.05, 0.9, 1.0, -0.05, 0.0, 0.0),
    ]
    f['C'] = [lambda p, r: p.m(0.95, H - 0.2).c(0.7, H + 0.1, 0.0, H, 0.0, H / 2).c(0.0, -0.05, 0.75, -0.1, 1.0, 0.25)]
    f['D'] = [
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).c(1.2, H + 0.05, 1.2, -0.05, 0.0, 0.0),
        lambda p, r: p.m(0.0, 0.0).l(0.0, H).c(1.2, H + 0.05, 1.2, -0.05, 0.0, 0.0),
    ]
    f['E'] = [
        lambda p, r: p.m(0.85, H).l(0.0, H).l(0.0, 0.0).l(0.9, 0.0).m(0.0, 0.85).l(0.65, 0.85),
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).l(0.85, H).m(0.0, 0.85).l(0.65, 0.85).m(0.0, 0.0).l(0.9, 0.0),
    ]
    f['F'] = [
        lambda p, r: p.m(0.85, H).l(0.0, H).l(0.0, 0.0).m(0.0, 0.85).l(0.6, 0.85),
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).l(0.85, H).m(0.0, 0.85).l(0.6, 0.85),
    ]
    f['G'] = [lambda p, r: p.m(0.95, H - 0.2).c(0.7, H + 0.1, 0.0, H, 0.0, H / 2).c(0.0, -0.05, 1.0, -0.1, 1.0, 0.7)
              .l(0.55, 0.7)]
    f['H'] = [
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.9, H).l(0.9, 0.0).m(0.0, 0.9).l(0.9, 0.9),
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, 0.9).l(0.9, 0.9).m(0.9, H).l(0.9, 0.0),
    ]
    f['I'] = [lambda p, r: p.m(0.3, H).l(0.3, 0.0), lambda p, r: p.m(0.0, H).l(0.6, H).m(0.3, H).l(0.3, 0.0).m(0.0, 0.0)
              .l(0.6, 0.0)]
    f['J'] = [lambda p, r: p.m(0.75, H).l(0.75, 0.4).c(0.75, -0.1, 0.1, -0.1, 0.05, 0.35)]
    f['K'] = [
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.9, H).l(0.0, 0.7).l(0.95, 0.0),
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.9, H).l(0.05, 0.75).m(0.3, 0.95).l(0.95, 0.0),
    ]
    f['L'] = [lambda p, r: p.m(0.0, H).l(0.0, 0.0).l(0.85, 0.0)]
    f['M'] = [
        lambda p, r: p.m(0.0, 0.0).l(0.1, H).l(0.5, 0.4).l(0.9, H).l(1.0, 0.0),
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).l(0.5, 0.4).l(1.0, H).l(1.0, 0.0),
    ]
    f['N'] = [
        lambda p, r: p.m(0.0, 0.0).l(0.0, H).l(0.85, 0.0).l(0.85, H),
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).l(0.85, 0.0).l(0.85, H),
    ]
    f['O'] = [lambda p, r: p.arc(0.55, H / 2, r.uniform(0.48, 0.6), H / 2, 100, 465, start=True)]
    f['P'] = [
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).c(1.0, H + 0.05, 1.0, 0.75, 0.0, 0.8),
        lambda p, r: p.m(0.0, 0.0).l(0.0, H).c(1.0, H + 0.05, 1.0, 0.75, 0.0, 0.8),
    ]
    f['Q'] = [lambda p, r: p.arc(0.55, H / 2, 0.55, H / 2, 100, 460, start=True).m(0.6, 0.45).l(1.1, -0.05)]
    f['R'] = [
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).c(1.0, H + 0.05, 1.0, 0.8, 0.0, 0.85).l(0.95, 0.0),
        lambda p, r: p.m(0.0, 0.0).l(0.0, H).c(1.0, H + 0.05, 1.0, 0.8, 0.0, 0.85).l(0.95, 0.0),
    ]
    f['S'] = [lambda p, r: p.m(0.9, H - 0.15).c(0.6, H + 0.1, 0.0, H, 0.05, 1.2).c(0.1, 0.85, 0.9, 0.9, 0.9, 0.4)
              .c(0.9, -0.1, 0.2, -0.1, 0.0, 0.2)]
    f['T'] = [lambda p, r: p.m(0.0, H).l(0.95, H).m(0.48, H).l(0.48, 0.0)]
    f['U'] = [
        lambda p, r: p.m(0.0, H).l(0.0, 0.45).c(0.0, -0.1, 0.9, -0.1, 0.9, 0.45).l(0.9, H),
        lambda p, r: p.m(0.0, H).l(0.0, 0.45).c(0.0, -0.1, 0.9, -0.1, 0.9, 0.45).l(0.9, H).l(0.92, 0.0),
    ]
    f['V'] = [lambda p, r: p.m(0.0, H).l(0.5, 0.0).l(1.0, H)]
    f['W'] = [lambda p, r: p.m(0.0, H).l(0.25, 0.0).l(0.55, H - 0.3).l(0.85, 0.0).l(1.1, H)]
    f['X'] = [lambda p, r: p.m(0.0, H).l(0.95, 0.0).m(0.95, H).l(0.0, 0.0)]
    f['Y'] = [
        lambda p, r: p.m(0.0, H).l(0.48, 0.8).l(0.95, H).m(0.48, 0.8).l(0.48, 0.0),
        lambda p, r: p.m(0.0, H).l(0.48, 0.8).l(0.48, 0.0).m(0.95, H).l(0.48, 0.8),
    ]
    f['Z'] = [lambda p, r: p.m(0.0, H).l(0.95, H).l(0.0, 0.0).l(1.0, 0.0)]
    return f


def digit_forms():
    H = 1.7
    f = {}
    f['0'] = [
        lambda p, r: p.arc(0.45, H / 2, r.uniform(0.35, 0.45), H / 2, 80, 445, start=True),
        lambda p, r: p.arc(0.45, H / 2, r.uniform(0.35, 0.45), H / 2, 100, -260, start=True),
    ]
    f['1'] = [
        lambda p, r: p.m(0.1, H - 0.3).l(0.5, H).l(0.5, 0.0),
        lambda p, r: p.m(0.45, H).l(0.4, 0.0),
    ]
    f['2'] = [
        lambda p, r: p.m(0.0, H - 0.4).c(0.1, H + 0.05, 0.85, H + 0.1, 0.85, H - 0.5).c(0.85, 0.9, 0.3, 0.5, 0.0, 0.0)
        .l(0.95, 0.05),
        lambda p, r: p.m(0.05, H - 0.3).c(0.3, H + 0.1, 0.9, H, 0.8, H - 0.6).l(0.0, 0.0).l(0.9, 0.0),
    ]
    f['3'] = [
        lambda p, r: p.m(0.0, H - 0.3).c(0.2, H + 0.1, 0.85, H + 0.05, 0.8, 1.2).c(0.75, 0.95, 0.45, 0.9, 0.3, 0.9)
        .c(0.9, 0.85, 0.95, 0.05, 0.4, 0.0).c(0.2, 0.0, 0.05, 0.1, 0.0, 0.3),
    ]
    f['4'] = [
        lambda p, r: p.m(0.6, H).l(0.0, 0.55).l(0.95, 0.55).m(0.75, 1.2).l(0.75, 0.0),
        lambda p, r: p.m(0.2, H).l(0.0, 0.6).l(0.9, 0.6).m(0.7, H).l(0.7, 0.0),
    ]
    f['5'] = [
        lambda p, r: p.m(0.2, H).l(0.1, 1.0).c(0.4, 1.15, 0.9, 1.0, 0.9, 0.5).c(0.85, -0.1, 0.15, -0.05, 0.0, 0.25)
        .m(0.2, H).l(0.85, H + 0.05),
        lambda p, r: p.m(0.9, H).l(0.2, H).l(0.12, 1.0).c(0.45, 1.15, 0.95, 1.0, 0.9, 0.45).c(0.85, -0.1, 0.15, -0.05, 0.0, 0.2),
    ]
    f['6'] = [lambda p, r: p.m(0.8, H).c(0.35, H - 0.1, 0.0, 1.0, 0.05, 0.4).c(0.1, -0.1, 0.9, -0.1, 0.85, 0.45)
              .c(0.8, 0.95, 0.2, 0.95, 0.1, 0.45)]
    f['7'] = [
        lambda p, r: p.m(0.0, H).l(0.95, H).l(0.3, 0.0),
        lambda p, r: p.m(0.0, H).l(0.95, H).c(0.7, 1.1, 0.45, 0.5, 0.35, 0.0),
    ]
    f['8'] = [
        lambda p, r: p.m(0.85, H - 0.2).c(0.75, H + 0.1, 0.05, H + 0.05, 0.1, 1.25).c(0.15, 0.95, 0.9, 0.85, 0.9, 0.4)
        .c(0.9, -0.1, 0.0, -0.1, 0.05, 0.4).c(0.1, 0.85, 0.85, 1.0, 0.85, 1.3).c(0.85, H + 0.05, 0.4, H + 0.05, 0.35, H),
        lambda p, r: p.arc(0.47, 1.3, 0.3, 0.38, 100, 460, start=True).arc(0.47, 0.45, 0.4, 0.45, 90, 450, start=True),
    ]
    f['9'] = [
        lambda p, r: p.m(0.85, 1.35).c(0.75, H + 0.1, 0.05, H + 0.05, 0.05, 1.2).c(0.05, 0.75, 0.85, 0.75, 0.85, 1.25)
        .l(0.8, 0.0),
        lambda p, r: p.m(0.85, 1.35).c(0.75, H + 0.1, 0.05, H + 0.05, 0.05, 1.2).c(0.05, 0.75, 0.85, 0.75, 0.85, 1.25)
        .c(0.8, 0.7, 0.55, 0.15, 0.25, 0.0),
    ]
    return f


class SecondWriter(base.Writer):
    """Slant 6 to 30 degrees; every other sample small in the lower part of the box."""
    script = 'make_samples2.py'
    sizes = [60, 90, 120, 160, 240]
    wobble = 0.03
    shift = 0.12
    slant_range = (6, 30)
    spacing = (1.0, 5.0)

    def place(self, r, size, k, lower):
        small = k % 2 == 1
        if lower:
            unit = size * (r.uniform(0.14, 0.2) if small else r.uniform(0.24, 0.32))
            return unit, size * (r.uniform(0.78, 0.86) if small else 0.68)
        unit = size * (r.uniform(0.25, 0.32) if small else r.uniform(0.38, 0.46))
        return unit, size * (r.uniform(0.88, 0.93) if small else 0.86)


def main():
    base.run(__doc__.split('\n')[0], pathlib.Path(__file__).resolve().parent, 23,
             [('lower', lower_forms(), 6, True), ('upper', upper_forms(), 4, False), ('digits', digit_forms(), 6, False)],
             SecondWriter())


if __name__ == '__main__':
    main()
