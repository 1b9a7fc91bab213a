#!/usr/bin/env python3
"""Writes stroke files of cursive lower-case Latin letters and digits in a fifth hand, kept apart from the
engine's tuning: nothing is tuned on this set, it only measures how well what was learnt holds for another
writer.

This writer's hand is narrow, fast and leaning forward (8 to 24 degrees): arches pointed rather than round,
closed narrow loops on b d f h k l and on the tails of g j y z, an exit flick on most letters and no lead-in,
r with a shoulder, s pointed at the top, and tall ascenders over a small x-height. Digits are written the
way many European hands write them: 1 with a long flag, 7 barred, 4 closed in one stroke, 9 with a curved
tail, 2 with a curl at its base. Every form is a pen path of its own (the pen and the placement come from
make_samples.py), independent of the engine's templates and of the other writers' paths.

    make_samples5.py [--seed 53] [--out DIR]

writes DIR/lower and DIR/digits (DIR defaults to this script's folder). The same seed gives the same files.
"""
import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / 'latin-written'))
import make_samples as base  # noqa: E402  (the pen, the resampling and the file writer)


def flick(p, x, y=0.0):
    """A short exit flick from (x, y): down a little, then up and out to the right."""
    return p.c(x + 0.02, y - 0.06, x + 0.12, y - 0.06, x + 0.28, y + 0.22)


def narrow_bowl(p, r, cx=0.35, start=False):
    """A narrow, upright oval counter-clockwise from its top right, closed back to its start."""
    w = r.uniform(0.24, 0.32)
    a0 = r.uniform(30, 55)
    return p.arc(cx, 0.5, w, 0.5, a0, a0 + r.uniform(330, 350), start=start)


def loop_up(p, r, x, top=2.2):
    """From (x, ~0.5) up the right side of a narrow closed loop to `top`, and down the left onto the stem at x."""
    w = r.uniform(0.1, 0.2)
    return p.c(x + 0.15, 1.0, x + w + 0.15, top - 0.5, x + w, top).c(x + w - 0.12, top + 0.08, x - 0.1, top - 0.3, x, top - 0.9)


def loop_down(p, r, x, back=0.0):
    """From (x, 0) down a descender, round a narrow closed loop at the bottom and back up to (back, 0)."""
    w = r.uniform(0.15, 0.28)
    return p.l(x, -0.55).c(x, -1.05, x - w - 0.1, -1.05, x - w, -0.7).c(x - w + 0.05, -0.4, back - 0.1, -0.1, back, 0.0)


def arch(p, x, w):
    """A pointed arch from (x, 0): up close to the stem, over a narrow top, straight down to (x + w, 0)."""
    return p.c(x + 0.02, 0.6, x + w * 0.3, 1.0, x + w * 0.6, 1.0).c(x + w * 0.9, 1.0, x + w, 0.8, x + w, 0.5).l(x + w, 0.0)


def lower_forms():
    f = {}
    f['a'] = [
        lambda p, r: flick(narrow_bowl(p.m(0.6, 0.85), r).l(0.65, 1.0).l(0.65, 0.05), 0.65),
        lambda p, r: narrow_bowl(p.m(0.6, 0.85), r).m(0.67, 1.0).l(0.67, 0.0),
        lambda p, r: flick(p.m(0.62, 0.8).c(0.5, 1.05, 0.05, 1.0, 0.05, 0.45).c(0.05, -0.05, 0.55, -0.05, 0.65, 0.5)
                           .l(0.66, 1.0).l(0.66, 0.05), 0.66),
    ]
    f['b'] = [
        lambda p, r: loop_up(p.m(0.0, 0.4), r, 0.0).l(0.0, 0.05).c(0.05, 0.6, 0.7, 1.05, 0.65, 0.45)
        .c(0.6, -0.05, 0.15, -0.05, 0.02, 0.15).c(0.25, 0.1, 0.5, 0.25, 0.75, 0.5),
        lambda p, r: loop_up(p.m(0.0, 0.4), r, 0.0).l(0.0, 0.05).c(0.1, 0.55, 0.7, 1.0, 0.62, 0.4)
        .c(0.55, -0.05, 0.15, -0.05, 0.02, 0.12),
    ]
    f['c'] = [
        lambda p, r: flick(p.m(0.62, 0.82).c(0.55, 1.05, 0.05, 1.05, 0.02, 0.5).c(0.0, 0.0, 0.35, -0.05, 0.45, 0.0), 0.45),
        lambda p, r: p.m(0.5, 0.85).c(0.6, 0.95, 0.65, 0.75, 0.6, 0.95).c(0.45, 1.05, 0.0, 0.95, 0.0, 0.45)
        .c(0.0, -0.05, 0.5, -0.05, 0.7, 0.2),
    ]
    f['d'] = [
        lambda p, r: flick(narrow_bowl(p.m(0.6, 0.85), r).c(0.66, 1.2, 0.68, 1.8, 0.7, 2.2).l(0.66, 0.05), 0.66),
        lambda p, r: flick(narrow_bowl(p.m(0.6, 0.85), r).l(0.66, 1.0).c(0.8, 1.6, 0.9, 2.2, 0.75, 2.25)
                           .c(0.6, 2.3, 0.6, 1.6, 0.66, 0.05), 0.66),
    ]
    f['e'] = [
        lambda p, r: flick(p.m(0.05, 0.35).c(0.35, 0.45, 0.6, 0.7, 0.5, 0.92).c(0.4, 1.1, 0.0, 0.9, 0.0, 0.45)
                           .c(0.0, -0.05, 0.4, -0.05, 0.5, 0.0), 0.5),
        lambda p, r: p.m(0.05, 0.45).l(0.6, 0.5).c(0.6, 1.05, 0.0, 1.05, 0.0, 0.45).c(0.0, -0.05, 0.45, -0.05, 0.65, 0.15),
    ]
    f['f'] = [
        lambda p, r: loop_up(p.m(0.0, 0.5), r, 0.05, 2.2).l(0.05, -0.8).c(0.05, -1.05, 0.3, -1.0, 0.3, -0.6)
        .c(0.3, -0.3, 0.1, -0.05, 0.05, 0.05).c(0.25, 0.05, 0.45, 0.2, 0.6, 0.4),
        lambda p, r: p.m(0.55, 1.9).c(0.45, 2.25, 0.1, 2.2, 0.1, 1.7).l(0.1, -0.9).m(-0.2, 1.0).l(0.45, 1.0),
    ]
    f['g'] = [
        lambda p, r: loop_down(narrow_bowl(p.m(0.6, 0.85), r).l(0.65, 1.0).l(0.65, 0.0), r, 0.65, 0.75),
        lambda p, r: narrow_bowl(p.m(0.6, 0.85), r).m(0.67, 1.0).l(0.67, -0.6).c(0.67, -1.0, 0.2, -1.05, 0.05, -0.7),
    ]
    f['h'] = [
        lambda p, r: flick(arch(loop_up(p.m(0.0, 0.4), r, 0.0).l(0.0, 0.0), 0.0, r.uniform(0.5, 0.65)), 0.6),
        lambda p, r: arch(loop_up(p.m(0.0, 0.4), r, 0.0).l(0.0, 0.0), 0.0, r.uniform(0.5, 0.65)),
    ]
    f['i'] = [
        lambda p, r: flick(p.m(0.1, 1.0).l(0.1, 0.05), 0.1).m(0.18, 1.5).l(0.2, 1.45),
        lambda p, r: flick(p.m(0.1, 1.0).l(0.1, 0.05), 0.1).m(0.12, 1.55).l(0.3, 1.65),
    ]
    f['j'] = [
        lambda p, r: loop_down(p.m(0.3, 1.0), r, 0.3, 0.45).m(0.38, 1.5).l(0.4, 1.45),
        lambda p, r: p.m(0.3, 1.0).l(0.3, -0.6).c(0.3, -1.0, -0.05, -1.05, -0.15, -0.7).m(0.36, 1.55).l(0.5, 1.65),
    ]
    f['k'] = [
        lambda p, r: loop_up(p.m(0.0, 0.4), r, 0.0).l(0.0, 0.0).l(0.0, 0.35).c(0.3, 0.85, 0.7, 1.05, 0.6, 0.7)
        .c(0.5, 0.45, 0.2, 0.45, 0.12, 0.45).c(0.35, 0.35, 0.45, 0.0, 0.7, 0.05),
        lambda p, r: p.m(0.0, 2.2).l(0.0, 0.0).m(0.55, 1.0).l(0.05, 0.4).l(0.6, 0.0),
    ]
    f['l'] = [
        lambda p, r: flick(loop_up(p.m(0.0, 0.4), r, 0.0).l(0.0, 0.05), 0.0),
        lambda p, r: flick(loop_up(p.m(-0.2, 0.1), r, 0.0).l(0.0, 0.05), 0.0),
    ]

    def humps(n, lead_flick):
        def form(p, r):
            x = 0.0
            p.m(0.0, 1.0).l(0.0, 0.0)
            for _ in range(n):
                w = r.uniform(0.42, 0.55)
                arch(p, x, w)
                x += w
            return flick(p, x) if lead_flick else p
        return form

    f['m'] = [humps(2, True), humps(2, False)]
    f['n'] = [humps(1, True), humps(1, False)]
    f['o'] = [
        lambda p, r: p.arc(0.35, 0.5, r.uniform(0.25, 0.32), 0.5, 90, 450, start=True).c(0.45, 1.05, 0.6, 0.95, 0.8, 0.9),
        lambda p, r: p.arc(0.35, 0.5, r.uniform(0.25, 0.32), 0.5, 70, 430, start=True),
    ]
    f['p'] = [
        lambda p, r: p.m(0.0, 1.0).l(0.0, -1.0).l(0.0, 0.45).c(0.1, 1.0, 0.7, 1.05, 0.65, 0.45)
        .c(0.6, -0.05, 0.15, -0.05, 0.02, 0.15),
        lambda p, r: p.m(0.0, 1.0).l(0.0, -1.0).m(0.0, 0.55).c(0.15, 1.0, 0.7, 1.0, 0.65, 0.45)
        .c(0.6, -0.05, 0.15, -0.05, 0.0, 0.1),
    ]
    f['q'] = [
        lambda p, r: narrow_bowl(p.m(0.6, 0.85), r).l(0.65, 1.0).l(0.65, -1.0),
        lambda p, r: narrow_bowl(p.m(0.6, 0.85), r).l(0.65, 1.0).l(0.65, -0.9).c(0.66, -0.6, 0.75, -0.3, 0.95, 0.05),
    ]
    f['r'] = [
        lambda p, r: flick(p.m(0.0, 0.0).l(0.05, 0.95).c(0.12, 0.85, 0.2, 0.8, 0.3, 0.85).c(0.35, 0.9, 0.4, 0.7, 0.45, 0.0), 0.45),
        lambda p, r: p.m(0.05, 1.0).l(0.05, 0.0).l(0.05, 0.5).c(0.15, 0.9, 0.35, 1.0, 0.6, 0.9),
    ]
    f['s'] = [
        lambda p, r: p.m(0.0, 0.0).c(0.1, 0.5, 0.25, 0.85, 0.3, 1.05).c(0.45, 0.7, 0.6, 0.45, 0.55, 0.2)
        .c(0.5, -0.05, 0.1, -0.05, 0.0, 0.12),
        lambda p, r: p.m(0.55, 0.9).c(0.45, 1.05, 0.05, 1.0, 0.1, 0.7).c(0.15, 0.45, 0.6, 0.5, 0.6, 0.2)
        .c(0.6, -0.05, 0.15, -0.05, 0.0, 0.1),
    ]
    f['t'] = [
        lambda p, r: flick(p.m(0.15, 1.8).l(0.15, 0.05), 0.15).m(-0.1, 1.0).l(0.5, 1.05),
        lambda p, r: p.m(0.15, 1.8).l(0.15, 0.1).c(0.17, -0.05, 0.35, -0.05, 0.45, 0.1).m(-0.1, 1.0).l(0.45, 1.0),
    ]
    f['u'] = [
        lambda p, r: flick(p.m(0.0, 1.0).l(0.0, 0.35).c(0.0, -0.08, 0.55, -0.08, 0.58, 0.5).l(0.6, 1.0).l(0.6, 0.05), 0.6),
        lambda p, r: p.m(0.0, 1.0).c(0.0, 0.2, 0.15, 0.0, 0.3, 0.0).c(0.45, 0.0, 0.6, 0.3, 0.62, 1.0).l(0.62, 0.0),
    ]
    f['v'] = [
        lambda p, r: p.m(0.0, 1.0).l(0.3, 0.0).l(0.6, 1.0).c(0.6, 1.05, 0.7, 1.05, 0.85, 0.95),
        lambda p, r: p.m(0.0, 1.0).c(0.05, 0.5, 0.2, 0.0, 0.3, 0.0).c(0.4, 0.0, 0.55, 0.5, 0.6, 1.0),
    ]
    f['w'] = [
        lambda p, r: p.m(0.0, 1.0).l(0.2, 0.0).l(0.45, 0.8).l(0.7, 0.0).l(0.9, 1.0),
        lambda p, r: p.m(0.0, 1.0).c(0.0, 0.3, 0.1, 0.0, 0.2, 0.0).c(0.35, 0.0, 0.45, 0.4, 0.45, 0.75)
        .c(0.45, 0.35, 0.55, 0.0, 0.7, 0.0).c(0.8, 0.0, 0.9, 0.4, 0.9, 1.0).c(0.95, 1.05, 1.05, 1.0, 1.15, 0.9),
    ]
    f['x'] = [
        lambda p, r: p.m(0.0, 1.0).l(0.6, 0.0).m(0.6, 1.0).l(0.0, 0.0),
        lambda p, r: p.m(0.0, 0.9).c(0.15, 1.05, 0.3, 0.9, 0.3, 0.5).c(0.3, 0.1, 0.45, -0.05, 0.65, 0.1)
        .m(0.6, 0.95).l(0.0, 0.05),
    ]
    f['y'] = [
        lambda p, r: loop_down(p.m(0.0, 1.0).l(0.0, 0.35).c(0.0, -0.08, 0.55, -0.08, 0.58, 0.5).l(0.6, 1.0), r, 0.6, 0.7),
        lambda p, r: p.m(0.0, 1.0).l(0.3, 0.05).m(0.6, 1.0).l(0.2, -0.9),
    ]
    f['z'] = [
        lambda p, r: p.m(0.0, 1.0).l(0.6, 1.0).l(0.0, 0.0).l(0.65, 0.0),
        lambda p, r: p.m(0.0, 0.95).c(0.2, 1.05, 0.45, 1.05, 0.6, 0.95).c(0.45, 0.6, 0.25, 0.2, 0.1, 0.0)
        .c(0.4, 0.1, 0.65, -0.1, 0.6, -0.5).c(0.55, -1.0, 0.1, -1.0, 0.1, -0.7).c(0.15, -0.4, 0.5, -0.3, 0.7, -0.2),
    ]
    return f


def digit_forms():
    H = 1.7
    f = {}
    f['0'] = [
        lambda p, r: p.arc(0.35, H / 2, r.uniform(0.28, 0.36), H / 2, 95, 455, start=True),
        lambda p, r: p.arc(0.35, H / 2, r.uniform(0.28, 0.36), H / 2, 80, -270, start=True),
    ]
    f['1'] = [
        lambda p, r: p.m(0.0, H - 0.6).l(0.45, H).l(0.45, 0.0),
        lambda p, r: p.m(0.1, H - 0.3).l(0.4, H).l(0.4, 0.0),
        lambda p, r: p.m(0.35, H).l(0.35, 0.0),
    ]
    f['2'] = [
        lambda p, r: p.m(0.0, H - 0.3).c(0.1, H + 0.05, 0.7, H + 0.05, 0.65, H - 0.45).c(0.6, 0.9, 0.2, 0.4, 0.0, 0.05)
        .c(0.15, 0.25, 0.3, 0.2, 0.3, 0.1).c(0.4, -0.05, 0.6, 0.0, 0.75, 0.05),
        lambda p, r: p.m(0.0, H - 0.3).c(0.1, H + 0.05, 0.7, H + 0.05, 0.65, H - 0.45).l(0.0, 0.0).l(0.7, 0.0),
    ]
    f['3'] = [
        lambda p, r: p.m(0.0, H - 0.2).c(0.2, H + 0.05, 0.7, H + 0.05, 0.62, 1.2).c(0.58, 0.95, 0.35, 0.9, 0.25, 0.9)
        .c(0.75, 0.88, 0.75, -0.05, 0.35, 0.0).c(0.2, 0.0, 0.05, 0.05, 0.0, 0.2),
        lambda p, r: p.m(0.0, H).l(0.65, H).l(0.25, 0.95).c(0.8, 1.0, 0.75, 0.0, 0.35, 0.0).c(0.2, 0.0, 0.05, 0.05, 0.0, 0.2),
    ]
    f['4'] = [
        lambda p, r: p.m(0.8, 0.5).l(0.0, 0.5).l(0.55, H).l(0.55, 0.0),
        lambda p, r: p.m(0.45, H).l(0.0, 0.55).l(0.75, 0.55).m(0.55, 1.1).l(0.55, 0.0),
    ]
    f['5'] = [
        lambda p, r: p.m(0.12, H).l(0.08, 0.95).c(0.3, 1.1, 0.7, 1.0, 0.68, 0.5).c(0.65, -0.1, 0.15, -0.05, 0.0, 0.2)
        .m(0.12, H).l(0.7, H + 0.05),
        lambda p, r: p.m(0.7, H).l(0.12, H).l(0.08, 0.95).c(0.3, 1.1, 0.7, 1.0, 0.68, 0.5)
        .c(0.65, -0.1, 0.15, -0.05, 0.0, 0.2),
    ]
    f['6'] = [
        lambda p, r: p.m(0.6, H).c(0.25, H - 0.3, 0.0, 1.0, 0.03, 0.4).c(0.06, -0.08, 0.65, -0.08, 0.65, 0.4)
        .c(0.65, 0.8, 0.15, 0.8, 0.05, 0.45),
        lambda p, r: p.m(0.55, H).c(0.3, H - 0.2, 0.05, 1.1, 0.03, 0.45).c(0.03, -0.05, 0.6, -0.05, 0.6, 0.35)
        .c(0.6, 0.65, 0.2, 0.7, 0.08, 0.4),
    ]
    f['7'] = [
        lambda p, r: p.m(0.0, H).l(0.75, H).l(0.2, 0.0).m(0.15, 0.85).l(0.65, 0.85),
        lambda p, r: p.m(0.0, H - 0.15).c(0.1, H + 0.05, 0.3, H - 0.05, 0.75, H).l(0.25, 0.0),
    ]
    f['8'] = [
        lambda p, r: p.m(0.65, H - 0.2).c(0.55, H + 0.05, 0.05, H + 0.05, 0.08, 1.3).c(0.1, 1.0, 0.7, 0.8, 0.72, 0.4)
        .c(0.74, -0.05, 0.02, -0.05, 0.02, 0.4).c(0.02, 0.8, 0.65, 1.0, 0.65, 1.3).c(0.65, H + 0.05, 0.3, H, 0.25, H - 0.1),
        lambda p, r: p.m(0.35, 0.85).c(0.8, 1.1, 0.7, H + 0.05, 0.35, H).c(0.0, H - 0.05, 0.0, 1.1, 0.35, 0.85)
        .c(0.8, 0.6, 0.75, -0.05, 0.35, 0.0).c(-0.05, 0.0, -0.05, 0.6, 0.35, 0.85),
    ]
    f['9'] = [
        lambda p, r: p.m(0.65, 1.35).c(0.6, H + 0.05, 0.0, H + 0.05, 0.02, 1.2).c(0.02, 0.8, 0.6, 0.75, 0.66, 1.2)
        .c(0.66, 0.7, 0.5, 0.15, 0.2, 0.0),
        lambda p, r: p.m(0.65, 1.35).c(0.6, H + 0.05, 0.0, H + 0.05, 0.02, 1.2).c(0.02, 0.8, 0.6, 0.75, 0.66, 1.2)
        .l(0.66, H).l(0.62, 0.0),
    ]
    return f


class FifthWriter(base.Writer):
    """Narrow and leaning forward; placed a little above the middle of the box, small against it."""
    script = 'make_samples5.py'
    sizes = [60, 90, 120, 170, 250]
    wobble = 0.03
    shift = 0.1
    slant_range = (8, 24)
    spacing = (1.5, 6.0)

    def place(self, r, size, k, lower):
        if lower:
            return size * r.uniform(0.18, 0.26), size * r.uniform(0.6, 0.72)
        return size * r.uniform(0.3, 0.4), size * r.uniform(0.78, 0.86)


def main():
    base.run(__doc__.split('\n')[0], pathlib.Path(__file__).resolve().parent, 53,
             [('lower', lower_forms(), 6, True), ('digits', digit_forms(), 6, False)], FifthWriter())


if __name__ == '__main__':
    main()
