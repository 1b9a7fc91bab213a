#!/usr/bin/env python3
"""Writes stroke files of looped lower-case Latin letters and digits in a sixth hand, kept apart from the
engine's tuning: nothing is tuned on this set, it only measures how well what was learnt holds for another
writer.

This writer's hand is large, wide, round and slow: upright or leaning a little either way (-8 to 8 degrees),
written big and low in the box, with wide loops everywhere: on the ascenders and descenders, a closing loop
on top of o and a, a curl at the start of c, a loop at the base of 2, circles for the dots of i and j, and a
lead-in from the baseline on most letters. The pen moves slowly (points close together) and a little
unsteadily. Every form is a pen path of its own (the pen and the placement come from make_samples.py),
independent of the engine's templates and of the other writers' paths.

    make_samples6.py [--seed 67] [--out DIR]

writes DIR/lower and DIR/digits (DIR defaults to this script's folder). The same seed gives the same files.
"""
import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / 'latin-written'))
import make_samples as base  # noqa: E402  (the pen, the resampling and the file writer)


def lead(p, x, y=1.0):
    """A lead-in from the baseline left of x, swinging up to (x, y)."""
    return p.m(x - 0.35, 0.0).c(x - 0.2, 0.05, x - 0.05, y * 0.5, x, y)


def tail(p, x, y=0.0):
    """A round exit from (x, y) up to the right."""
    return p.c(x + 0.05, y - 0.1, x + 0.25, y - 0.08, x + 0.4, y + 0.3)


def ring(p, x, y, r):
    """A small circle started at its top, as this writer dots i and j."""
    return p.arc(x, y, r, r, 90, 450, start=True)


def round_bowl(p, r, cx=0.5, a0=None):
    """A wide round bowl counter-clockwise from its top right, closed with a small loop back over its top."""
    w = r.uniform(0.42, 0.52)
    a0 = r.uniform(20, 45) if a0 is None else a0
    return p.arc(cx, 0.5, w, 0.5, a0, a0 + r.uniform(355, 375))


def big_loop_up(p, r, x, top=2.3):
    """From (x, ~0.3) up the right side of a wide loop to `top`, down its left onto the stem at x."""
    w = r.uniform(0.3, 0.45)
    return p.c(x + 0.25, 0.9, x + w + 0.35, top - 0.7, x + w * 0.5, top).c(x - w * 0.3, top + 0.05, x - w * 0.4, top - 0.8,
                                                                           x, 0.9)


def big_loop_down(p, r, x, back):
    """From (x, 0.5) down a descender, round a wide loop at its bottom and up across the stem to (back, 0)."""
    w = r.uniform(0.35, 0.5)
    return p.l(x, -0.5).c(x, -1.2, x - w - 0.2, -1.2, x - w, -0.75).c(x - w + 0.1, -0.4, back - 0.3, -0.1, back, 0.05)


def lower_forms():
    f = {}
    f['a'] = [
        lambda p, r: tail(round_bowl(p.m(0.92, 0.85), r).c(0.7, 1.2, 1.05, 1.15, 0.98, 0.9).l(0.98, 0.1), 0.98),
        lambda p, r: round_bowl(p.m(0.92, 0.85), r).m(1.0, 1.0).l(1.0, 0.05),
        lambda p, r: tail(lead(p, 0.95, 0.9).c(0.7, 1.15, 0.0, 1.05, 0.0, 0.5).c(0.0, -0.05, 0.85, -0.05, 0.95, 0.55)
                          .l(0.97, 1.0).l(0.97, 0.1), 0.97),
    ]
    f['b'] = [
        lambda p, r: tail(big_loop_up(lead(p, 0.0, 0.3), r, 0.0).l(0.0, 0.05).c(0.05, 0.7, 0.95, 1.1, 0.9, 0.45)
                          .c(0.85, -0.05, 0.2, -0.05, 0.05, 0.15).c(0.3, 0.2, 0.7, 0.35, 1.0, 0.55), 1.0, 0.55),
        lambda p, r: big_loop_up(p.m(0.0, 0.3), r, 0.0).l(0.0, 0.0).c(0.1, 0.6, 1.0, 1.1, 0.95, 0.45)
        .c(0.9, -0.1, 0.2, -0.05, 0.02, 0.1),
    ]
    f['c'] = [
        lambda p, r: tail(p.m(0.85, 0.75).c(0.95, 0.9, 0.75, 1.05, 0.7, 0.9).c(0.7, 0.8, 0.85, 0.8, 0.85, 0.88)
                          .c(0.7, 1.1, 0.0, 1.05, 0.0, 0.5).c(0.0, -0.05, 0.6, -0.05, 0.75, 0.05), 0.75),
        lambda p, r: tail(lead(p, 0.8, 0.85).c(0.9, 0.95, 0.9, 1.1, 0.75, 1.0).c(0.4, 1.05, 0.0, 0.9, 0.0, 0.45)
                          .c(0.0, -0.05, 0.6, -0.05, 0.75, 0.05), 0.75),
    ]
    f['d'] = [
        lambda p, r: tail(round_bowl(p.m(0.92, 0.85), r).c(0.95, 1.4, 1.1, 2.2, 0.95, 2.3).c(0.8, 2.4, 0.7, 2.0, 0.95, 1.3)
                          .l(0.98, 0.1), 0.98),
        lambda p, r: round_bowl(p.m(0.92, 0.85), r).m(1.0, 2.3).l(1.0, 0.0),
    ]
    f['e'] = [
        lambda p, r: tail(p.m(0.0, 0.4).c(0.4, 0.4, 0.95, 0.6, 0.85, 0.95).c(0.75, 1.2, 0.0, 1.05, 0.0, 0.45)
                          .c(0.0, -0.05, 0.55, -0.05, 0.7, 0.05), 0.7),
        lambda p, r: tail(lead(p, 0.2, 0.35).c(0.6, 0.45, 0.9, 0.7, 0.75, 0.95).c(0.6, 1.15, 0.05, 1.0, 0.05, 0.45)
                          .c(0.05, -0.05, 0.55, -0.05, 0.7, 0.05), 0.7),
    ]
    f['f'] = [
        lambda p, r: tail(big_loop_up(lead(p, 0.1, 0.3), r, 0.1).l(0.1, -0.6).c(0.1, -1.2, 0.6, -1.1, 0.55, -0.6)
                          .c(0.5, -0.25, 0.2, -0.05, 0.1, 0.0).c(0.35, 0.05, 0.6, 0.15, 0.7, 0.2), 0.7, 0.2),
        lambda p, r: p.m(0.85, 2.0).c(0.75, 2.35, 0.25, 2.35, 0.25, 1.8).l(0.25, 0.0).m(-0.1, 1.0).l(0.7, 1.0),
    ]
    f['g'] = [
        lambda p, r: big_loop_down(round_bowl(p.m(0.92, 0.85), r).c(0.7, 1.2, 1.05, 1.15, 0.98, 0.9), r, 0.98, 1.1),
        lambda p, r: round_bowl(p.m(0.92, 0.85), r).m(1.0, 1.0).l(1.0, -0.5).c(1.0, -1.15, 0.2, -1.2, 0.05, -0.7),
    ]
    f['h'] = [
        lambda p, r: tail(big_loop_up(lead(p, 0.0, 0.3), r, 0.0).l(0.0, 0.0).l(0.02, 0.4).c(0.2, 1.0, 0.9, 1.1, 0.9, 0.55)
                          .l(0.9, 0.1), 0.9),
        lambda p, r: big_loop_up(p.m(0.0, 0.3), r, 0.0).l(0.0, 0.0).c(0.1, 0.7, 0.45, 1.05, 0.7, 1.0)
        .c(0.9, 0.95, 0.92, 0.7, 0.92, 0.4).l(0.92, 0.0),
    ]
    f['i'] = [
        lambda p, r: ring(tail(lead(p, 0.25, 1.0).l(0.25, 0.1), 0.25), 0.27, 1.6, r.uniform(0.07, 0.12)),
        lambda p, r: ring(tail(p.m(0.25, 1.0).l(0.25, 0.1), 0.25), 0.27, 1.6, r.uniform(0.07, 0.12)),
    ]
    f['j'] = [
        lambda p, r: ring(big_loop_down(lead(p, 0.45, 1.0), r, 0.45, 0.7), 0.47, 1.6, r.uniform(0.07, 0.12)),
        lambda p, r: ring(p.m(0.45, 1.0).l(0.45, -0.5).c(0.45, -1.2, -0.1, -1.15, -0.2, -0.7), 0.47, 1.6,
                          r.uniform(0.07, 0.12)),
    ]
    f['k'] = [
        lambda p, r: tail(big_loop_up(lead(p, 0.0, 0.3), r, 0.0).l(0.0, 0.0).l(0.02, 0.35).c(0.3, 0.95, 0.95, 1.15, 0.85, 0.7)
                          .c(0.75, 0.4, 0.3, 0.45, 0.2, 0.45).c(0.45, 0.45, 0.6, 0.05, 0.85, 0.0), 0.85),
        lambda p, r: big_loop_up(p.m(0.0, 0.3), r, 0.0).l(0.0, 0.0).m(0.8, 1.0).l(0.05, 0.45).l(0.85, 0.0),
    ]
    f['l'] = [
        lambda p, r: tail(big_loop_up(lead(p, 0.0, 0.3), r, 0.0).l(0.0, 0.05), 0.0),
        lambda p, r: tail(big_loop_up(p.m(-0.25, 0.05), r, 0.0).l(0.0, 0.05), 0.0),
    ]

    def humps(n, with_lead):
        def form(p, r):
            if with_lead:
                p.m(-0.3, 0.0).c(-0.15, 0.4, 0.0, 0.9, 0.05, 1.0).c(0.1, 0.9, 0.05, 0.3, 0.0, 0.0)
            else:
                p.m(0.0, 1.0).l(0.0, 0.0)
            x = 0.0
            for _ in range(n):
                w = r.uniform(0.6, 0.8)
                p.c(x + 0.05, 0.7, x + 0.25, 1.05, x + w * 0.55, 1.05).c(x + w * 0.9, 1.05, x + w, 0.8, x + w, 0.45).l(x + w, 0.0)
                x += w
            return tail(p, x) if with_lead else p
        return form

    f['m'] = [humps(2, True), humps(2, False)]
    f['n'] = [humps(1, True), humps(1, False)]
    f['o'] = [
        lambda p, r: p.arc(0.5, 0.5, r.uniform(0.45, 0.55), 0.5, 95, 455, start=True).c(0.3, 0.9, 0.6, 0.75, 0.65, 0.95)
        .c(0.75, 1.1, 1.0, 1.0, 1.2, 0.9),
        lambda p, r: p.arc(0.5, 0.5, r.uniform(0.45, 0.55), 0.5, 80, 440, start=True).c(0.45, 0.85, 0.7, 0.8, 0.6, 1.0),
    ]
    f['p'] = [
        lambda p, r: lead(p, 0.1, 1.0).l(0.1, -1.0).l(0.1, 0.5).c(0.2, 1.05, 0.95, 1.1, 0.95, 0.5)
        .c(0.95, -0.05, 0.3, -0.05, 0.1, 0.15),
        lambda p, r: p.m(0.1, 1.0).l(0.1, -1.0).m(0.1, 0.6).c(0.3, 1.1, 0.95, 1.05, 0.95, 0.5)
        .c(0.95, -0.05, 0.3, -0.05, 0.1, 0.1),
    ]
    f['q'] = [
        lambda p, r: round_bowl(p.m(0.92, 0.85), r).c(0.7, 1.2, 1.05, 1.15, 0.98, 0.9).l(0.98, -0.6)
        .c(0.98, -1.15, 1.4, -1.0, 1.3, -0.6).c(1.2, -0.3, 1.05, -0.1, 1.0, 0.05).c(1.15, 0.1, 1.3, 0.2, 1.4, 0.35),
        lambda p, r: round_bowl(p.m(0.92, 0.85), r).m(1.0, 1.0).l(1.0, -1.0),
    ]
    f['r'] = [
        lambda p, r: tail(lead(p, 0.1, 1.0).c(0.2, 1.1, 0.35, 0.95, 0.45, 0.85).c(0.5, 0.8, 0.55, 0.7, 0.6, 0.0), 0.6),
        lambda p, r: p.m(0.1, 1.0).l(0.1, 0.0).l(0.12, 0.5).c(0.25, 0.95, 0.55, 1.1, 0.85, 0.9),
    ]
    f['s'] = [
        lambda p, r: lead(p, 0.4, 1.0).c(0.7, 0.7, 0.85, 0.4, 0.75, 0.15).c(0.65, -0.05, 0.2, -0.05, 0.05, 0.15)
        .c(0.25, 0.1, 0.45, 0.15, 0.55, 0.2),
        lambda p, r: p.m(0.85, 0.9).c(0.7, 1.1, 0.1, 1.05, 0.15, 0.72).c(0.2, 0.45, 0.9, 0.55, 0.85, 0.25)
        .c(0.8, -0.05, 0.2, -0.05, 0.0, 0.15),
    ]
    f['t'] = [
        lambda p, r: tail(lead(p, 0.35, 1.7).l(0.35, 0.1), 0.35).m(-0.05, 1.1).l(0.8, 1.1),
        lambda p, r: p.m(0.35, 1.7).l(0.35, 0.2).c(0.35, -0.05, 0.7, -0.05, 0.8, 0.2).m(0.0, 1.05).l(0.75, 1.05),
    ]
    f['u'] = [
        lambda p, r: tail(lead(p, 0.0, 1.0).l(0.0, 0.4).c(0.0, -0.1, 0.8, -0.1, 0.8, 0.45).l(0.82, 1.0).l(0.82, 0.1), 0.82),
        lambda p, r: p.m(0.0, 1.0).c(0.0, 0.2, 0.2, 0.0, 0.4, 0.0).c(0.6, 0.0, 0.8, 0.3, 0.82, 1.0).l(0.82, 0.0),
    ]
    f['v'] = [
        lambda p, r: lead(p, 0.0, 1.0).c(0.1, 0.6, 0.3, 0.0, 0.4, 0.0).c(0.55, 0.2, 0.75, 0.7, 0.8, 0.95)
        .c(0.65, 1.0, 0.55, 0.8, 0.8, 0.75).c(0.95, 0.72, 1.05, 0.8, 1.15, 0.9),
        lambda p, r: p.m(0.0, 1.0).l(0.4, 0.0).l(0.8, 1.0),
    ]
    f['w'] = [
        lambda p, r: lead(p, 0.0, 1.0).c(0.0, 0.3, 0.1, 0.0, 0.3, 0.0).c(0.5, 0.0, 0.55, 0.4, 0.55, 0.8)
        .c(0.55, 0.3, 0.65, 0.0, 0.85, 0.0).c(1.05, 0.0, 1.1, 0.5, 1.1, 0.95).c(0.95, 1.0, 0.9, 0.8, 1.1, 0.75)
        .c(1.25, 0.72, 1.35, 0.8, 1.45, 0.9),
        lambda p, r: p.m(0.0, 1.0).l(0.25, 0.0).l(0.55, 0.85).l(0.85, 0.0).l(1.1, 1.0),
    ]
    f['x'] = [
        lambda p, r: p.m(0.0, 0.85).c(0.3, 1.15, 0.45, 0.75, 0.45, 0.5).c(0.45, 0.25, 0.3, -0.1, 0.0, 0.1)
        .m(0.9, 0.85).c(0.6, 1.15, 0.45, 0.75, 0.45, 0.5).c(0.45, 0.25, 0.6, -0.1, 0.9, 0.1),
        lambda p, r: tail(lead(p, 0.1, 1.0).l(0.8, 0.05), 0.8).m(0.8, 1.0).l(0.1, 0.0),
    ]
    f['y'] = [
        lambda p, r: big_loop_down(lead(p, 0.0, 1.0).l(0.0, 0.4).c(0.0, -0.1, 0.8, -0.1, 0.8, 0.45).l(0.82, 1.0),
                                   r, 0.82, 1.05),
        lambda p, r: p.m(0.0, 1.0).c(0.0, 0.2, 0.2, 0.0, 0.4, 0.0).c(0.6, 0.0, 0.8, 0.3, 0.82, 1.0).l(0.82, -0.5)
        .c(0.82, -1.15, 0.1, -1.2, 0.0, -0.7),
    ]
    f['z'] = [
        lambda p, r: lead(p, 0.05, 0.95).c(0.3, 1.1, 0.8, 1.1, 0.75, 0.8).c(0.7, 0.5, 0.35, 0.3, 0.2, 0.05)
        .c(0.45, 0.1, 0.9, -0.1, 0.8, -0.5).c(0.7, -1.15, 0.05, -1.15, 0.1, -0.75).c(0.15, -0.45, 0.6, -0.3, 0.95, 0.0),
        lambda p, r: p.m(0.0, 1.0).l(0.8, 1.0).l(0.0, 0.0).l(0.85, 0.0),
    ]
    return f


def digit_forms():
    H = 1.7
    f = {}
    f['0'] = [
        lambda p, r: p.arc(0.5, H / 2, r.uniform(0.42, 0.52), H / 2, 90, 470, start=True),
        lambda p, r: p.arc(0.5, H / 2, r.uniform(0.42, 0.52), H / 2, 100, -280, start=True),
    ]
    f['1'] = [
        lambda p, r: p.m(0.15, H - 0.3).c(0.3, H - 0.2, 0.4, H - 0.1, 0.5, H).l(0.5, 0.0),
        lambda p, r: p.m(0.5, H).l(0.48, 0.0),
        lambda p, r: p.m(0.2, H - 0.25).l(0.5, H).l(0.5, 0.0).m(0.15, 0.0).l(0.85, 0.0),
    ]
    f['2'] = [
        lambda p, r: p.m(0.05, H - 0.3).c(0.15, H + 0.15, 1.0, H + 0.15, 0.95, H - 0.5).c(0.9, 0.9, 0.3, 0.35, 0.1, 0.1)
        .c(0.0, -0.05, 0.15, -0.2, 0.35, 0.0).c(0.45, 0.15, 0.65, 0.0, 1.0, 0.05),
        lambda p, r: p.m(0.05, H - 0.3).c(0.15, H + 0.15, 1.0, H + 0.15, 0.95, H - 0.5).c(0.9, 0.9, 0.3, 0.35, 0.0, 0.0)
        .l(1.0, 0.0),
    ]
    f['3'] = [
        lambda p, r: p.m(0.05, H - 0.25).c(0.25, H + 0.15, 0.95, H + 0.15, 0.9, 1.25).c(0.85, 0.95, 0.5, 0.9, 0.35, 0.9)
        .c(0.3, 0.95, 0.35, 1.05, 0.45, 0.95).c(1.05, 0.85, 1.05, 0.0, 0.5, 0.0).c(0.25, 0.0, 0.05, 0.1, 0.0, 0.3),
        lambda p, r: p.m(0.05, H - 0.25).c(0.25, H + 0.15, 0.95, H + 0.15, 0.9, 1.25).c(0.85, 0.95, 0.5, 0.9, 0.4, 0.9)
        .c(1.05, 0.9, 1.05, 0.0, 0.5, 0.0).c(0.25, 0.0, 0.05, 0.1, 0.0, 0.3),
    ]
    f['4'] = [
        lambda p, r: p.m(0.7, 0.0).l(0.7, H).l(0.0, 0.55).l(1.0, 0.55),
        lambda p, r: p.m(0.35, H).l(0.05, 0.6).l(1.0, 0.6).m(0.75, H - 0.1).l(0.75, 0.0),
    ]
    f['5'] = [
        lambda p, r: p.m(0.2, H).l(0.12, 0.95).c(0.4, 1.2, 1.0, 1.05, 0.98, 0.5).c(0.95, -0.1, 0.2, -0.1, 0.0, 0.25)
        .m(0.2, H).c(0.45, H + 0.05, 0.7, H - 0.05, 0.95, H + 0.05),
        lambda p, r: p.m(0.9, H).l(0.2, H).l(0.12, 0.95).c(0.4, 1.2, 1.0, 1.05, 0.98, 0.5)
        .c(0.95, -0.1, 0.2, -0.1, 0.0, 0.25),
    ]
    f['6'] = [
        lambda p, r: p.m(0.8, H).c(0.35, H - 0.1, 0.0, 1.1, 0.02, 0.5).c(0.05, -0.1, 0.98, -0.1, 0.98, 0.5)
        .c(0.98, 1.1, 0.1, 1.1, 0.05, 0.55),
        lambda p, r: p.m(0.85, H - 0.1).c(0.6, H + 0.05, 0.1, H, 0.05, 0.9).c(0.02, 0.0, 0.95, -0.1, 0.95, 0.45)
        .c(0.95, 0.9, 0.3, 0.95, 0.1, 0.6),
    ]
    f['7'] = [
        lambda p, r: p.m(0.0, H).l(0.95, H).c(0.7, 1.2, 0.5, 0.6, 0.45, 0.0),
        lambda p, r: p.m(0.0, H - 0.2).l(0.05, H).l(0.95, H).l(0.4, 0.0),
    ]
    f['8'] = [
        lambda p, r: p.m(0.5, 0.9).c(1.0, 1.1, 1.0, H + 0.05, 0.5, H).c(0.0, H + 0.05, 0.0, 1.1, 0.5, 0.9)
        .c(1.05, 0.65, 1.05, -0.05, 0.5, 0.0).c(-0.05, -0.05, -0.05, 0.65, 0.5, 0.9),
        lambda p, r: p.m(0.9, H - 0.2).c(0.75, H + 0.1, 0.1, H + 0.1, 0.1, 1.3).c(0.1, 1.0, 1.0, 0.85, 1.0, 0.4)
        .c(1.0, -0.1, 0.0, -0.1, 0.0, 0.4).c(0.0, 0.85, 0.9, 1.0, 0.9, 1.3).c(0.9, H + 0.05, 0.4, H + 0.05, 0.35, H - 0.1),
    ]
    f['9'] = [
        lambda p, r: p.m(0.9, 1.3).c(0.85, H + 0.1, 0.05, H + 0.1, 0.05, 1.2).c(0.05, 0.7, 0.9, 0.7, 0.9, 1.2)
        .l(0.9, H).l(0.88, 0.0),
        lambda p, r: p.m(0.9, 1.3).c(0.85, H + 0.1, 0.05, H + 0.1, 0.05, 1.2).c(0.05, 0.7, 0.9, 0.7, 0.9, 1.2)
        .c(0.9, 0.6, 0.8, 0.05, 0.3, 0.0),
    ]
    return f


class SixthWriter(base.Writer):
    """Wide and round, about upright, slow; written large and low in the box."""
    script = 'make_samples6.py'
    sizes = [70, 100, 140, 200, 300]
    wobble = 0.04
    shift = 0.06
    slant_range = (-8, 8)
    spacing = (0.8, 3.0)

    def place(self, r, size, k, lower):
        if lower:
            return size * r.uniform(0.28, 0.36), size * r.uniform(0.74, 0.82)
        return size * r.uniform(0.44, 0.52), size * r.uniform(0.88, 0.94)


def main():
    base.run(__doc__.split('\n')[0], pathlib.Path(__file__).resolve().parent, 67,
             [('lower', lower_forms(), 6, True), ('digits', digit_forms(), 6, False)], SixthWriter())


if __name__ == '__main__':
    main()
