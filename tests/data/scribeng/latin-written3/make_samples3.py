#!/usr/bin/env python3
"""Writes stroke files of cursive lower-case Latin letters in a third hand, kept apart from the engine's
tuning: nothing is tuned on this set, it only measures how well what was learnt holds for another writer.

This writer's hand is round and wide, upright or leaning back (-18 to 4 degrees); it starts m n u v w y with
a hook from the top, or with no lead-in at all, leaves loops open and bowls not quite closed (a d g q o),
writes wide, shallow arches and a one-stroke k, and places letters anywhere from the middle to the top of
the box. Every form is a pen path of its own (the pen and the placement come from make_samples.py),
independent of the engine's templates and of the other writers' paths.

    make_samples3.py [--seed 37] [--out DIR]

writes DIR/lower (DIR defaults to this script's folder). The same seed gives the same files.
"""
import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / 'latin-written'))
import make_samples as base  # noqa: E402  (the pen, the resampling and the file writer)


def hook(p, x, y=1.0):
    """A short hook from above and left of (x, y) curling into it: how this writer starts a down stroke."""
    return p.m(x - 0.2, y - 0.1).c(x - 0.15, y + 0.05, x - 0.05, y + 0.05, x, y)


def bowl(p, r, cx=0.45, gap=True, start=False):
    """A wide round bowl counter-clockwise from its top right; left open at the top when `gap`."""
    w = r.uniform(0.42, 0.55)
    end = r.uniform(300, 330) if gap else r.uniform(350, 370)
    return p.arc(cx, 0.5, w, 0.52, r.uniform(30, 50), end + 30, start=start)


def lower_forms():
    f = {}

    def loop_up(p, r, x, top):
        # an open ascender loop: up to the right, down on the left, not crossing the stem
        w = r.uniform(0.25, 0.45)
        return p.c(x + 0.3, 0.8, x + w + 0.3, top - 0.6, x + w, top).c(x + w - 0.15, top + 0.1, x - 0.1, top - 0.2, x, 1.2)

    def open_tail(p, r, x):
        # a descender ending in a wide open turn to the left
        w = r.uniform(0.3, 0.5)
        return p.l(x, -0.55).c(x - 0.05, -0.95, x - w, -1.0, x - w - 0.15, -0.7)

    f['a'] = [
        lambda p, r: bowl(p.m(0.9, 0.8), r).m(0.92, 1.0).l(0.92, 0.0),
        lambda p, r: bowl(p.m(0.9, 0.8), r, gap=False).l(0.95, 1.0).l(0.95, 0.1).c(0.97, -0.02, 1.05, -0.02, 1.15, 0.1),
        lambda p, r: p.m(0.85, 0.85).c(0.7, 1.1, 0.0, 1.1, -0.05, 0.5).c(-0.05, -0.05, 0.7, -0.05, 0.9, 0.6)
        .l(0.92, 1.0).l(0.92, 0.0),
    ]
    f['b'] = [
        lambda p, r: loop_up(p.m(-0.1, 0.6), r, 0.0, 2.1).l(0.0, 0.0).c(0.3, 0.05, 0.95, 0.1, 0.95, 0.55)
        .c(0.95, 1.05, 0.3, 1.0, 0.05, 0.6),
        lambda p, r: p.m(0.05, 2.0).l(0.05, 0.0).m(0.05, 0.6).c(0.3, 1.05, 1.0, 1.0, 0.95, 0.45)
        .c(0.9, -0.05, 0.3, -0.05, 0.1, 0.1),
    ]
    f['c'] = [
        lambda p, r: p.m(0.85, 0.8).c(0.7, 1.1, 0.0, 1.05, 0.0, 0.5).c(0.0, -0.05, 0.7, -0.1, 0.95, 0.2),
        lambda p, r: p.arc(0.5, 0.5, r.uniform(0.45, 0.55), 0.5, 50, 300, start=True),
    ]
    f['d'] = [
        lambda p, r: bowl(p.m(0.9, 0.8), r).m(0.95, 2.0).l(0.95, 0.0),
        lambda p, r: bowl(p.m(0.9, 0.8), r, gap=False).l(0.95, 2.0).l(0.95, 0.05).c(0.97, -0.05, 1.05, -0.05, 1.15, 0.1),
    ]
    f['e'] = [
        lambda p, r: p.m(0.05, 0.5).l(0.9, 0.55).c(0.9, 1.1, 0.0, 1.1, 0.0, 0.5).c(0.0, -0.05, 0.7, -0.1, 0.95, 0.2),
        lambda p, r: p.m(0.0, 0.35).c(0.4, 0.4, 0.9, 0.6, 0.75, 0.9).c(0.6, 1.1, 0.0, 0.9, 0.05, 0.4)
        .c(0.1, -0.05, 0.7, -0.05, 0.95, 0.25),
    ]
    f['f'] = [
        lambda p, r: p.m(0.9, 1.8).c(0.75, 2.1, 0.3, 2.05, 0.3, 1.5).l(0.3, -0.2).m(0.0, 1.0).l(0.7, 1.0),
        lambda p, r: p.m(0.85, 1.85).c(0.7, 2.1, 0.3, 2.05, 0.3, 1.5).l(0.3, -0.8).c(0.3, -1.0, 0.05, -1.0, 0.0, -0.8)
        .m(0.0, 1.0).l(0.75, 1.05),
    ]
    f['g'] = [
        lambda p, r: open_tail(bowl(p.m(0.9, 0.8), r).m(0.92, 1.0), r, 0.92),
        lambda p, r: open_tail(bowl(p.m(0.9, 0.8), r, gap=False).l(0.95, 1.0), r, 0.95),
    ]
    f['h'] = [
        lambda p, r: loop_up(p.m(-0.1, 0.6), r, 0.0, 2.1).l(0.0, 0.0).c(0.1, 0.7, 0.4, 1.0, 0.6, 1.0)
        .c(0.85, 1.0, 0.9, 0.7, 0.9, 0.4).l(0.9, 0.0),
        lambda p, r: p.m(0.05, 2.0).l(0.05, 0.0).m(0.07, 0.5).c(0.2, 0.95, 0.9, 1.1, 0.9, 0.5).l(0.9, 0.0),
    ]
    f['i'] = [
        lambda p, r: hook(p, 0.3).l(0.3, 0.0).m(0.3, 1.45).l(0.32, 1.4),
        lambda p, r: p.m(0.3, 1.0).l(0.3, 0.1).c(0.32, -0.02, 0.4, -0.02, 0.5, 0.1).m(0.3, 1.45).l(0.32, 1.42),
    ]
    f['j'] = [
        lambda p, r: open_tail(hook(p, 0.5), r, 0.5).m(0.52, 1.45).l(0.54, 1.4),
        lambda p, r: open_tail(p.m(0.5, 1.0), r, 0.5).m(0.52, 1.45).l(0.54, 1.4),
    ]
    f['k'] = [
        lambda p, r: p.m(0.05, 2.0).l(0.05, 0.0).l(0.05, 0.35).c(0.4, 0.7, 0.8, 1.0, 0.75, 0.75)
        .c(0.7, 0.5, 0.3, 0.45, 0.2, 0.45).c(0.5, 0.35, 0.7, 0.1, 0.9, 0.0),
        lambda p, r: p.m(0.05, 2.0).l(0.05, 0.0).m(0.8, 1.0).l(0.1, 0.45).l(0.85, 0.0),
    ]
    f['l'] = [
        lambda p, r: loop_up(p.m(-0.1, 0.6), r, 0.0, 2.1).l(0.0, 0.1).c(0.02, -0.02, 0.1, -0.02, 0.25, 0.1),
        lambda p, r: p.m(0.2, 2.0).l(0.2, 0.0),
    ]

    def arches(p, r, x, n):
        # n wide shallow arches from (x, 0)
        for _ in range(n):
            w = r.uniform(0.55, 0.7)
            p.c(x + 0.05, 0.75, x + 0.2, 1.0, x + w * 0.5, 1.0).c(x + w * 0.85, 1.0, x + w, 0.8, x + w, 0.5).l(x + w, 0.0)
            x += w
        return x

    def hump_letter(n):
        def hooked(p, r):
            hook(p, 0.0).l(0.0, 0.0)
            arches(p, r, 0.0, n)
            return p

        def plain(p, r):
            p.m(0.0, 1.0).l(0.0, 0.0)
            arches(p, r, 0.0, n)
            return p

        def tailed(p, r):
            hook(p, 0.0).l(0.0, 0.0)
            x = arches(p, r, 0.0, n)
            return p.c(x + 0.02, -0.08, x + 0.15, -0.05, x + 0.3, 0.15)

        return [hooked, plain, tailed]

    f['m'] = hump_letter(2)
    f['n'] = hump_letter(1)
    f['o'] = [
        lambda p, r: p.arc(0.5, 0.5, r.uniform(0.45, 0.55), 0.5, 100, 440, start=True),
        lambda p, r: p.arc(0.5, 0.5, r.uniform(0.45, 0.55), 0.5, 70, 420, start=True).c(0.6, 1.05, 0.8, 1.05, 1.0, 0.95),
    ]
    f['p'] = [
        lambda p, r: hook(p, 0.05).l(0.05, -0.9).m(0.05, 0.6).c(0.3, 1.05, 1.0, 1.0, 0.95, 0.45)
        .c(0.9, -0.05, 0.3, -0.05, 0.1, 0.15),
        lambda p, r: p.m(0.05, 1.0).l(0.05, -0.9).l(0.05, 0.5).c(0.2, 1.0, 1.0, 1.1, 0.95, 0.45)
        .c(0.9, -0.05, 0.3, -0.05, 0.05, 0.2),
    ]
    f['q'] = [
        lambda p, r: bowl(p.m(0.9, 0.8), r).m(0.92, 1.0).l(0.92, -0.9),
        lambda p, r: bowl(p.m(0.9, 0.8), r, gap=False).l(0.95, 1.0).l(0.95, -0.9).c(1.0, -0.8, 1.1, -0.7, 1.2, -0.6),
    ]
    f['r'] = [
        lambda p, r: hook(p, 0.05).l(0.05, 0.0).m(0.07, 0.55).c(0.2, 0.95, 0.5, 1.05, 0.85, 0.9),
        lambda p, r: p.m(0.05, 1.0).l(0.05, 0.0).l(0.07, 0.55).c(0.2, 0.95, 0.5, 1.05, 0.8, 0.95),
    ]
    f['s'] = [
        lambda p, r: p.m(0.85, 0.9).c(0.7, 1.05, 0.05, 1.05, 0.1, 0.7).c(0.15, 0.45, 0.85, 0.55, 0.85, 0.25)
        .c(0.85, -0.05, 0.2, -0.05, 0.0, 0.15),
        lambda p, r: p.m(0.75, 0.95).c(0.55, 1.05, 0.1, 0.95, 0.2, 0.65).c(0.3, 0.4, 0.9, 0.45, 0.8, 0.15)
        .c(0.7, -0.1, 0.2, 0.0, 0.05, 0.1),
    ]
    f['t'] = [
        lambda p, r: p.m(0.35, 1.6).l(0.35, 0.15).c(0.37, -0.05, 0.6, -0.05, 0.75, 0.1).m(0.0, 1.0).l(0.75, 1.0),
        lambda p, r: p.m(0.35, 1.6).l(0.35, 0.0).m(0.0, 1.0).l(0.7, 1.0),
    ]
    f['u'] = [
        lambda p, r: hook(p, 0.05).l(0.05, 0.4).c(0.05, -0.1, 0.85, -0.1, 0.9, 0.4).l(0.9, 1.0).l(0.9, 0.0),
        lambda p, r: p.m(0.0, 1.0).l(0.0, 0.4).c(0.0, -0.1, 0.85, -0.1, 0.9, 0.4).l(0.9, 1.0).l(0.9, 0.1)
        .c(0.92, -0.02, 1.0, -0.02, 1.1, 0.1),
        lambda p, r: p.m(0.0, 1.0).c(0.0, 0.3, 0.2, 0.0, 0.45, 0.0).c(0.7, 0.0, 0.9, 0.3, 0.9, 1.0).m(0.9, 1.0).l(0.9, 0.0),
    ]
    f['v'] = [
        lambda p, r: hook(p, 0.05).c(0.1, 0.6, 0.3, 0.0, 0.45, 0.0).c(0.6, 0.0, 0.85, 0.6, 0.9, 1.0),
        lambda p, r: p.m(0.0, 1.0).l(0.45, 0.0).l(0.9, 1.0),
    ]
    f['w'] = [
        lambda p, r: hook(p, 0.05).c(0.05, 0.3, 0.15, 0.0, 0.3, 0.0).c(0.5, 0.0, 0.55, 0.4, 0.55, 0.8)
        .c(0.55, 0.4, 0.6, 0.0, 0.8, 0.0).c(0.95, 0.0, 1.1, 0.4, 1.1, 1.0),
        lambda p, r: p.m(0.0, 1.0).c(0.0, 0.3, 0.1, 0.0, 0.3, 0.0).c(0.5, 0.0, 0.55, 0.4, 0.55, 0.8)
        .c(0.55, 0.4, 0.6, 0.0, 0.8, 0.0).c(0.95, 0.0, 1.1, 0.4, 1.1, 1.0),
        lambda p, r: p.m(0.0, 1.0).l(0.25, 0.0).l(0.55, 0.8).l(0.85, 0.0).l(1.1, 1.0),
    ]
    f['x'] = [
        lambda p, r: p.m(0.0, 1.0).l(0.85, 0.0).m(0.85, 1.0).l(0.0, 0.0),
        lambda p, r: p.m(0.0, 0.85).c(0.3, 1.1, 0.45, 0.8, 0.45, 0.5).c(0.45, 0.2, 0.6, -0.1, 0.9, 0.15)
        .m(0.9, 0.85).c(0.65, 1.0, 0.55, 0.8, 0.45, 0.5).c(0.35, 0.2, 0.25, -0.1, 0.0, 0.15),
    ]
    f['y'] = [
        lambda p, r: open_tail(hook(p, 0.05).l(0.05, 0.4).c(0.05, -0.1, 0.85, -0.1, 0.9, 0.4).l(0.9, 1.0), r, 0.9),
        lambda p, r: p.m(0.0, 1.0).l(0.45, 0.0).m(0.9, 1.0).l(0.4, -0.6).c(0.3, -0.9, 0.1, -0.95, -0.05, -0.85),
    ]
    f['z'] = [
        lambda p, r: p.m(0.05, 1.0).l(0.85, 1.0).l(0.05, 0.0).l(0.9, 0.0),
        lambda p, r: p.m(0.0, 0.9).c(0.2, 1.05, 0.6, 1.05, 0.85, 1.0).c(0.6, 0.7, 0.3, 0.3, 0.05, 0.0)
        .c(0.3, 0.1, 0.6, -0.05, 0.9, 0.05),
    ]
    return f


class ThirdWriter(base.Writer):
    """Upright or back-slanted, wide, round; placed from the middle to the top of the box."""
    script = 'make_samples3.py'
    sizes = [70, 100, 130, 180, 260]
    wobble = 0.03
    shift = 0.1
    slant_range = (-18, 4)
    spacing = (1.5, 5.0)

    def place(self, r, size, k, lower):
        unit = size * r.uniform(0.2, 0.3)
        return unit, size * r.uniform(0.5, 0.68)


def main():
    base.run(__doc__.split('\n')[0], pathlib.Path(__file__).resolve().parent, 37, [('lower', lower_forms(), 6, True)],
             ThirdWriter())


if __name__ == '__main__':
    main()
