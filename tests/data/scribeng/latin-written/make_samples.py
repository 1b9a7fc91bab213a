#!/usr/bin/env python3
"""Writes stroke files of Latin letters and digits the way people write them: looped and one-stroke
lower case, printed capitals in various stroke counts and orders, digits with and without flags, bars
and slashes.

Every form is a pen path of its own (lines, cubic curves and elliptic arcs on a grid where the baseline is
y = 0 and the x-height 1, y up), independent of the engine's templates. Each sample draws its own shape
(every control point moved a little, loops and bowls wider or narrower), slant, rotation, size and point
spacing, adds pen noise, and is written as integer canvas pixels inside a writing box, with its `expect`
and `box` lines (stroke file format: tools/scribeng-cli/README.md).

    make_samples.py [--seed 11] [--out DIR]

writes DIR/lower, DIR/upper and DIR/digits (DIR defaults to this script's folder). The same seed gives the
same files.
"""
import argparse
import math
import pathlib
import random


class Pen:
    """Collects strokes as dense polylines. Every point handed to it moves by up to `wobble` units."""

    def __init__(self, rnd, wobble):
        self.rnd = rnd
        self.wobble = wobble
        self.strokes = []

    def _j(self, x, y):
        w = self.wobble
        return (x + self.rnd.uniform(-w, w), y + self.rnd.uniform(-w, w))

    def m(self, x, y):
        self.strokes.append([self._j(x, y)])
        return self

    def l(self, x, y):
        x0, y0 = self.strokes[-1][-1]
        x1, y1 = self._j(x, y)
        n = max(2, int(math.hypot(x1 - x0, y1 - y0) / 0.01))
        for i in range(1, n + 1):
            t = i / n
            self.strokes[-1].append((x0 + (x1 - x0) * t, y0 + (y1 - y0) * t))
        return self

    def c(self, x1, y1, x2, y2, x, y):
        p0 = self.strokes[-1][-1]
        p1, p2, p3 = self._j(x1, y1), self._j(x2, y2), self._j(x, y)
        n = 80
        for i in range(1, n + 1):
            t = i / n
            u = 1 - t
            self.strokes[-1].append(tuple(u * u * u * a + 3 * u * u * t * b + 3 * u * t * t * c + t * t * t * d
                                          for a, b, c, d in zip(p0, p1, p2, p3)))
        return self

    def arc(self, cx, cy, rx, ry, a0, a1, start=False):
        """An elliptic arc from angle a0 to a1 (degrees, counter-clockwise, 0 = right). Joined to the current
        stroke by a line unless it starts a stroke."""
        cx, cy = self._j(cx, cy)
        pts = []
        n = max(8, int(abs(a1 - a0) / 3))
        for i in range(n + 1):
            a = math.radians(a0 + (a1 - a0) * i / n)
            pts.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
        if start:
            self.strokes.append(pts)
        else:
            self.l(*pts[0])
            self.strokes[-1].extend(pts[1:])
        return self

    def dot(self, x, y):
        return self.m(x, y).l(x + 0.03, y - 0.05)


# ---- Lower case: x-height 1, ascenders to about 2, descenders to about -0.9 ----
# Each form takes a pen and `r`, the sample's random source for its own proportions.

def lower_forms():
    def bowl(p, r, start=True):
        # a bowl written counter-clockwise from its top right, as in a d g q
        w = r.uniform(0.3, 0.4)
        return p.arc(0.42, 0.5, w, 0.48, r.uniform(35, 60), r.uniform(340, 360), start=start)

    def loop_up(p, r, x, top=2.0):
        # an up-stroke from the baseline to the ascender, looping back down on the left to x
        w = r.uniform(0.12, 0.3)
        return p.c(x + 0.1, 0.8, x + w + 0.2, top - 0.3, x + w, top).c(x + w - 0.1, top + 0.12, x - 0.08, top - 0.15, x, top - 0.6)

    def exit_(p, x, y=0.0):
        return p.c(x + 0.03, y - 0.08, x + 0.18, y - 0.05, x + 0.3, y + 0.2)

    f = {}
    f['a'] = [
        lambda p, r: exit_(bowl(p, r).l(0.78, 0.98).l(0.78, 0.12), 0.78),
        lambda p, r: bowl(p, r).m(0.8, 1.0).l(0.8, 0.0),
        lambda p, r: exit_(p.m(0.65, 0.9).arc(0.42, 0.5, 0.36, 0.48, 70, 355).c(0.8, 0.7, 0.8, 0.95, 0.76, 1.0)
                           .l(0.78, 0.1), 0.78),
    ]
    f['b'] = [
        lambda p, r: loop_up(p.m(-0.1, 0.4), r, 0.05).l(0.05, 0.05).c(0.1, 0.7, 0.78, 1.0, 0.75, 0.45)
        .c(0.72, -0.02, 0.25, -0.05, 0.08, 0.12).c(0.35, 0.1, 0.7, 0.2, 0.9, 0.5),
        lambda p, r: p.m(0.1, 2.0).l(0.1, 0.0).l(0.1, 0.5).c(0.25, 1.0, 0.8, 1.0, 0.8, 0.45)
        .c(0.8, -0.05, 0.25, -0.05, 0.1, 0.2),
        lambda p, r: loop_up(p.m(0.0, 0.0), r, 0.1).l(0.1, 0.0).c(0.15, 0.6, 0.8, 1.05, 0.8, 0.5)
        .c(0.8, 0.0, 0.3, -0.05, 0.12, 0.15),
    ]
    f['c'] = [
        lambda p, r: p.arc(0.45, 0.5, 0.4, 0.48, r.uniform(30, 50), r.uniform(310, 330), start=True),
        lambda p, r: p.m(0.7, 0.75).c(0.75, 0.95, 0.55, 1.05, 0.4, 0.98).c(0.1, 0.9, 0.02, 0.4, 0.15, 0.15)
        .c(0.3, -0.05, 0.6, -0.02, 0.85, 0.2),
    ]
    f['d'] = [
        lambda p, r: exit_(bowl(p, r).l(0.8, 2.0).l(0.8, 0.1), 0.8),
        lambda p, r: exit_(bowl(p, r).c(0.82, 0.9, 0.9, 1.9, 1.05, 2.0).c(1.0, 2.1, 0.78, 1.9, 0.78, 1.3)
                           .l(0.8, 0.1), 0.8),
        lambda p, r: bowl(p, r).m(0.8, 2.0).l(0.8, 0.0),
    ]
    f['e'] = [
        lambda p, r: p.m(0.05, 0.45).c(0.4, 0.5, 0.75, 0.7, 0.62, 0.92).c(0.5, 1.06, 0.05, 0.92, 0.05, 0.45)
        .c(0.05, 0.02, 0.5, -0.08, 0.82, 0.2),
        lambda p, r: p.m(-0.1, 0.1).c(0.2, 0.2, 0.6, 0.5, 0.5, 0.8).c(0.42, 1.02, 0.05, 0.95, 0.08, 0.4)
        .c(0.1, 0.0, 0.5, -0.05, 0.75, 0.2),
        lambda p, r: p.m(0.12, 0.5).l(0.8, 0.5).c(0.8, 0.85, 0.6, 1.0, 0.45, 1.0).c(0.15, 1.0, 0.05, 0.7, 0.05, 0.45)
        .c(0.05, 0.1, 0.3, 0.0, 0.45, 0.0).c(0.6, 0.0, 0.75, 0.08, 0.8, 0.2),
    ]
    f['f'] = [
        lambda p, r: loop_up(p.m(-0.05, 0.5), r, 0.2).l(0.22, -0.75).c(0.24, -1.0, 0.55, -0.75, 0.4, -0.3)
        .c(0.35, -0.1, 0.3, -0.02, 0.25, 0.05).c(0.45, 0.15, 0.65, 0.3, 0.8, 0.45),
        lambda p, r: p.m(0.75, 1.85).c(0.6, 2.05, 0.32, 2.0, 0.32, 1.6).l(0.32, 0.0).m(0.05, 1.0).l(0.7, 1.0),
        lambda p, r: p.m(0.75, 1.85).c(0.6, 2.05, 0.32, 2.0, 0.32, 1.6).l(0.32, -0.6).c(0.32, -0.9, 0.1, -0.95, 0.0, -0.75)
        .m(0.05, 1.0).l(0.7, 1.0),
    ]
    f['g'] = [
        lambda p, r: bowl(p, r).l(0.78, 0.98).l(0.78, -0.55).c(0.78, -1.0, 0.2, -1.0, 0.22, -0.7)
        .c(0.25, -0.4, 0.6, -0.2, 0.95, 0.05),
        lambda p, r: bowl(p, r).l(0.78, 0.98).l(0.78, -0.5).c(0.78, -0.95, 0.3, -1.0, 0.1, -0.7),
        lambda p, r: bowl(p, r).m(0.8, 1.0).l(0.8, -0.5).c(0.8, -0.95, 0.3, -1.0, 0.1, -0.7),
    ]
    f['h'] = [
        lambda p, r: loop_up(p.m(-0.1, 0.3), r, 0.05).l(0.05, 0.0).c(0.15, 0.6, 0.35, 0.98, 0.55, 0.98)
        .c(0.75, 0.98, 0.8, 0.7, 0.8, 0.4).l(0.82, 0.1).c(0.85, -0.05, 0.95, 0.0, 1.05, 0.15),
        lambda p, r: p.m(0.1, 2.0).l(0.1, 0.0).l(0.1, 0.5).c(0.25, 0.95, 0.75, 1.05, 0.75, 0.5).l(0.76, 0.0),
        lambda p, r: p.m(0.1, 2.0).l(0.1, 0.0).m(0.1, 0.55).c(0.25, 0.95, 0.75, 1.05, 0.75, 0.5).l(0.76, 0.0),
    ]
    f['i'] = [
        lambda p, r: exit_(p.m(-0.1, 0.3).c(0.0, 0.5, 0.15, 0.8, 0.25, 1.0).l(0.25, 0.1), 0.25),
        lambda p, r: exit_(p.m(-0.1, 0.3).c(0.0, 0.5, 0.15, 0.8, 0.25, 1.0).l(0.25, 0.1), 0.25).dot(0.27, 1.45),
        lambda p, r: exit_(p.m(0.25, 1.0).l(0.25, 0.1), 0.25).dot(0.27, 1.45),
    ]
    f['j'] = [
        lambda p, r: p.m(-0.1, 0.3).c(0.0, 0.5, 0.2, 0.8, 0.4, 1.0).l(0.4, -0.55).c(0.4, -1.0, -0.15, -1.0, -0.1, -0.7)
        .c(-0.05, -0.4, 0.3, -0.2, 0.7, 0.05),
        lambda p, r: p.m(0.4, 1.0).l(0.4, -0.5).c(0.4, -0.95, 0.05, -1.0, -0.1, -0.7).dot(0.42, 1.45),
        lambda p, r: p.m(0.1, 0.8).l(0.4, 1.0).l(0.4, -0.5).c(0.4, -0.95, 0.05, -1.0, -0.1, -0.7),
    ]
    f['k'] = [
        lambda p, r: loop_up(p.m(-0.1, 0.3), r, 0.05).l(0.05, 0.0).c(0.1, 0.6, 0.75, 1.05, 0.7, 0.7)
        .c(0.65, 0.45, 0.3, 0.45, 0.25, 0.5).c(0.45, 0.4, 0.6, 0.1, 0.85, 0.0),
        lambda p, r: p.m(0.1, 2.0).l(0.1, 0.0).m(0.7, 1.0).l(0.15, 0.5).l(0.75, 0.0),
        lambda p, r: p.m(0.1, 2.0).l(0.1, 0.0).l(0.1, 0.4).c(0.3, 0.7, 0.7, 1.0, 0.65, 0.7)
        .c(0.6, 0.5, 0.3, 0.5, 0.2, 0.5).l(0.75, 0.0),
    ]
    f['l'] = [
        lambda p, r: exit_(loop_up(p.m(-0.15, 0.2), r, 0.05).l(0.05, 0.1), 0.05),
        lambda p, r: exit_(loop_up(p.m(-0.1, 0.0), r, 0.1).l(0.1, 0.12), 0.1),
        lambda p, r: loop_up(p.m(0.0, 0.15), r, 0.1).l(0.12, 0.0),
    ]

    def humps(p, r, n, lead):
        x = 0.0
        if lead:
            p.m(-0.15, 0.6).c(-0.05, 0.8, 0.0, 1.0, 0.0, 0.95).l(0.0, 0.0)
        else:
            p.m(0.0, 1.0).l(0.0, 0.0)
        for i in range(n):
            w = r.uniform(0.38, 0.5)
            p.l(x + 0.02, 0.5).c(x + 0.1, 1.0, x + w, 1.05, x + w, 0.55).l(x + w, 0.0)
            x += w
        return exit_(p, x) if lead else p

    f['m'] = [lambda p, r: humps(p, r, 2, True), lambda p, r: humps(p, r, 2, False),
              lambda p, r: humps(p.m(0, 0), r, 2, True)]
    f['n'] = [lambda p, r: humps(p, r, 1, True), lambda p, r: humps(p, r, 1, False),
              lambda p, r: exit_(p.m(-0.1, 0.0).c(0.05, 0.4, 0.1, 0.8, 0.1, 1.0).l(0.1, 0.0).l(0.12, 0.5)
                                 .c(0.2, 1.0, 0.65, 1.0, 0.65, 0.55).l(0.65, 0.1), 0.65)]
    f['o'] = [
        lambda p, r: p.arc(0.45, 0.5, r.uniform(0.35, 0.45), 0.5, 90, 440, start=True),
        lambda p, r: p.arc(0.45, 0.5, r.uniform(0.35, 0.45), 0.5, 95, 450, start=True)
        .c(0.5, 0.95, 0.6, 0.85, 0.75, 0.95).c(0.85, 1.0, 0.95, 0.95, 1.0, 0.9),
        lambda p, r: p.arc(0.45, 0.5, r.uniform(0.35, 0.45), 0.5, 100, -250, start=True),
    ]
    f['p'] = [
        lambda p, r: p.m(-0.1, 0.7).l(0.12, 1.0).l(0.12, -0.9).l(0.12, 0.55).c(0.25, 1.0, 0.8, 1.05, 0.8, 0.5)
        .c(0.8, 0.0, 0.3, -0.02, 0.12, 0.15),
        lambda p, r: p.m(0.12, 1.0).l(0.12, -0.9).m(0.12, 0.7).c(0.3, 1.05, 0.8, 1.0, 0.8, 0.5)
        .c(0.8, -0.02, 0.3, -0.02, 0.12, 0.15),
        lambda p, r: p.m(0.12, 1.0).l(0.12, -0.9).l(0.12, 0.6).c(0.3, 1.05, 0.8, 1.0, 0.8, 0.5)
        .c(0.8, -0.02, 0.3, -0.02, 0.12, 0.15).c(0.4, 0.0, 0.7, 0.05, 0.95, 0.25),
    ]
    f['q'] = [
        lambda p, r: bowl(p, r).l(0.78, 0.98).l(0.78, -0.9).c(0.85, -0.75, 0.9, -0.7, 1.0, -0.6),
        lambda p, r: bowl(p, r).l(0.78, 0.98).l(0.78, -0.7).c(0.78, -1.0, 1.05, -0.85, 1.05, -0.6)
        .c(1.0, -0.3, 0.85, -0.05, 0.8, 0.0).c(0.95, 0.1, 1.05, 0.2, 1.15, 0.35),
        lambda p, r: bowl(p, r).m(0.8, 1.0).l(0.8, -0.9),
    ]
    f['r'] = [
        lambda p, r: exit_(p.m(-0.1, 0.0).l(0.15, 0.95).c(0.25, 1.0, 0.3, 0.85, 0.45, 0.88).l(0.45, 0.1), 0.45),
        lambda p, r: p.m(0.1, 1.0).l(0.1, 0.0).l(0.1, 0.5).c(0.2, 0.9, 0.45, 1.02, 0.7, 0.9),
        lambda p, r: p.m(0.1, 1.0).l(0.1, 0.0).m(0.1, 0.6).c(0.2, 0.9, 0.45, 1.02, 0.7, 0.9),
    ]
    f['s'] = [
        lambda p, r: p.m(0.72, 0.88).c(0.6, 1.02, 0.1, 1.02, 0.12, 0.75).c(0.14, 0.5, 0.75, 0.55, 0.75, 0.25)
        .c(0.75, -0.05, 0.2, -0.05, 0.05, 0.15),
        lambda p, r: p.m(-0.1, 0.2).l(0.35, 1.0).c(0.6, 0.6, 0.75, 0.3, 0.6, 0.1).c(0.45, -0.05, 0.15, 0.0, 0.1, 0.15)
        .c(0.3, 0.05, 0.6, 0.05, 0.85, 0.25),
        lambda p, r: p.m(0.7, 0.95).c(0.3, 1.0, 0.1, 0.9, 0.15, 0.72).c(0.2, 0.5, 0.75, 0.5, 0.72, 0.22)
        .c(0.7, 0.0, 0.25, -0.05, 0.05, 0.1),
    ]
    f['t'] = [
        lambda p, r: exit_(p.m(0.35, 1.6).l(0.35, 0.12), 0.35).m(0.0, 1.0).l(0.75, 1.0),
        lambda p, r: exit_(p.m(0.35, 1.6).l(0.35, 0.12), 0.35),
        lambda p, r: p.m(0.35, 1.6).l(0.35, 0.12).c(0.36, -0.05, 0.55, -0.05, 0.65, 0.1).l(0.0, 1.0).l(0.8, 1.02),
        lambda p, r: p.m(0.0, 1.0).l(0.75, 1.0).m(0.35, 1.6).l(0.35, 0.12).c(0.36, -0.05, 0.55, -0.05, 0.7, 0.1),
    ]
    f['u'] = [
        lambda p, r: exit_(p.m(0.0, 1.0).l(0.02, 0.35).c(0.05, -0.05, 0.7, -0.1, 0.72, 0.45).l(0.72, 1.0)
                           .l(0.74, 0.12), 0.74),
        lambda p, r: p.m(0.0, 1.0).l(0.02, 0.35).c(0.05, -0.05, 0.7, -0.1, 0.72, 0.45).l(0.72, 1.0).l(0.74, 0.0),
        lambda p, r: p.m(0.0, 1.0).l(0.02, 0.35).c(0.05, -0.05, 0.7, -0.1, 0.72, 0.45).m(0.74, 1.0).l(0.74, 0.0),
    ]
    f['v'] = [
        lambda p, r: p.m(0.0, 1.0).l(0.35, 0.0).l(0.7, 1.0),
        lambda p, r: p.m(-0.05, 0.9).c(0.05, 1.0, 0.1, 0.9, 0.15, 0.7).c(0.25, 0.3, 0.3, 0.0, 0.4, 0.0)
        .c(0.5, 0.2, 0.65, 0.7, 0.7, 1.0).c(0.75, 0.9, 0.85, 0.85, 0.95, 0.9),
    ]
    f['w'] = [
        lambda p, r: p.m(0.0, 1.0).l(0.22, 0.0).l(0.45, 0.75).l(0.68, 0.0).l(0.9, 1.0),
        lambda p, r: p.m(0.0, 1.0).c(0.0, 0.4, 0.1, 0.0, 0.25, 0.0).c(0.4, 0.0, 0.45, 0.4, 0.45, 0.7)
        .l(0.45, 0.4).c(0.45, 0.0, 0.55, 0.0, 0.65, 0.0).c(0.85, 0.0, 0.9, 0.5, 0.9, 1.0),
    ]
    f['x'] = [
        lambda p, r: p.m(0.0, 1.0).l(0.7, 0.0).m(0.7, 1.0).l(0.0, 0.0),
        lambda p, r: p.m(0.0, 0.85).c(0.25, 1.1, 0.38, 0.7, 0.38, 0.5).c(0.38, 0.3, 0.25, -0.05, 0.0, 0.1)
        .l(0.75, 0.9).c(0.5, 1.1, 0.38, 0.7, 0.38, 0.5).c(0.38, 0.3, 0.5, -0.05, 0.75, 0.1),
        lambda p, r: p.m(0.0, 1.0).l(0.7, 0.0).l(0.7, 1.0).l(0.0, 0.0),
    ]
    f['y'] = [
        lambda p, r: p.m(0.0, 1.0).l(0.02, 0.35).c(0.05, -0.05, 0.7, -0.1, 0.72, 0.45).l(0.72, 1.0).l(0.72, -0.55)
        .c(0.72, -1.0, 0.15, -1.0, 0.18, -0.7).c(0.22, -0.4, 0.6, -0.2, 0.95, 0.05),
        lambda p, r: p.m(0.0, 1.0).l(0.35, 0.0).m(0.75, 1.0).l(0.2, -0.9),
        lambda p, r: p.m(0.0, 1.0).l(0.02, 0.35).c(0.05, -0.05, 0.7, -0.1, 0.72, 0.45).m(0.72, 1.0).l(0.72, -0.5)
        .c(0.72, -0.95, 0.3, -1.0, 0.1, -0.7),
    ]
    f['z'] = [
        lambda p, r: p.m(0.0, 1.0).l(0.7, 1.0).l(0.0, 0.0).l(0.75, 0.0),
        lambda p, r: p.m(0.0, 0.9).c(0.2, 1.05, 0.65, 1.05, 0.6, 0.72).c(0.55, 0.45, 0.3, 0.45, 0.25, 0.45)
        .c(0.55, 0.4, 0.7, 0.1, 0.6, -0.3).c(0.5, -0.8, 0.2, -0.9, 0.15, -0.7).c(0.1, -0.5, 0.6, -0.3, 0.85, 0.0),
        lambda p, r: p.m(0.0, 0.95).c(0.2, 1.05, 0.5, 0.95, 0.7, 1.0).l(0.0, 0.0).c(0.25, 0.1, 0.5, -0.05, 0.75, 0.05),
    ]
    return f


# ---- Capitals and digits: cap height 1.7 ----

def upper_forms():
    H = 1.7
    f = {}
    f['A'] = [
        lambda p, r: p.m(0.5, H).l(0.0, 0.0).m(0.5, H).l(1.0, 0.0).m(0.2, 0.6).l(0.8, 0.6),
        lambda p, r: p.m(0.0, 0.0).l(0.5, H).l(1.0, 0.0).m(0.2, 0.6).l(0.8, 0.6),
        lambda p, r: p.m(0.2, 0.6).l(0.8, 0.6).m(0.5, H).l(0.0, 0.0).m(0.5, H).l(1.0, 0.0),
        lambda p, r: p.m(0.5, H).l(1.0, 0.0).m(0.5, H).l(0.0, 0.0).m(0.22, 0.65).l(0.78, 0.65),
    ]
    f['B'] = [
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).c(0.85, H + 0.05, 0.85, 0.85, 0.05, 0.88)
        .c(1.0, 0.9, 1.0, -0.05, 0.0, 0.0),
        lambda p, r: p.m(0.0, 0.0).l(0.0, H).c(0.85, H + 0.05, 0.85, 0.85, 0.05, 0.88)
        .c(1.0, 0.9, 1.0, -0.05, 0.0, 0.0),
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).c(0.8, H, 0.8, 0.88, 0.05, 0.88).m(0.05, 0.88)
        .c(0.95, 0.9, 0.95, 0.0, 0.0, 0.0),
    ]
    f['C'] = [lambda p, r: p.arc(0.55, H / 2, 0.55, H / 2, r.uniform(35, 55), r.uniform(305, 325), start=True)]
    f['D'] = [
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).c(1.15, H, 1.15, 0.0, 0.0, 0.0),
        lambda p, r: p.m(0.0, 0.0).l(0.0, H).c(1.15, H, 1.15, 0.0, 0.0, 0.0),
    ]
    f['E'] = [
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).l(0.8, H).m(0.0, 0.85).l(0.7, 0.85).m(0.0, 0.0).l(0.85, 0.0),
        lambda p, r: p.m(0.8, H).l(0.0, H).l(0.0, 0.0).l(0.85, 0.0).m(0.0, 0.85).l(0.7, 0.85),
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).l(0.85, 0.0).m(0.0, H).l(0.8, H).m(0.0, 0.85).l(0.7, 0.85),
        lambda p, r: p.m(0.8, H - 0.1).c(0.5, H + 0.1, 0.05, H, 0.1, 1.25).c(0.12, 0.95, 0.4, 0.88, 0.55, 0.88)
        .c(0.2, 0.88, 0.0, 0.7, 0.0, 0.4).c(0.0, 0.0, 0.6, -0.05, 0.85, 0.15),
    ]
    f['F'] = [
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).l(0.8, H).m(0.0, 0.85).l(0.65, 0.85),
        lambda p, r: p.m(0.8, H).l(0.0, H).l(0.0, 0.0).m(0.0, 0.85).l(0.65, 0.85),
    ]
    f['G'] = [
        lambda p, r: p.arc(0.55, H / 2, 0.55, H / 2, 40, 350, start=True).l(1.05, 0.75).l(0.6, 0.75),
        lambda p, r: p.arc(0.55, H / 2, 0.55, H / 2, 40, 355, start=True).m(0.6, 0.75).l(1.05, 0.75).l(1.05, 0.0),
    ]
    f['H'] = [
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.85, H).l(0.85, 0.0).m(0.0, 0.85).l(0.85, 0.85),
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, 0.85).l(0.85, 0.85).m(0.85, H).l(0.85, 0.0),
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.85, H).l(0.85, 0.0).l(0.85, 0.85).l(0.0, 0.85),
    ]
    f['I'] = [
        lambda p, r: p.m(0.0, H).l(0.6, H).m(0.3, H).l(0.3, 0.0).m(0.0, 0.0).l(0.6, 0.0),
    ]
    f['J'] = [
        lambda p, r: p.m(0.7, H).l(0.7, 0.5).c(0.7, -0.1, 0.05, -0.15, 0.0, 0.4),
        lambda p, r: p.m(0.3, H).l(1.0, H).m(0.7, H).l(0.7, 0.5).c(0.7, -0.1, 0.05, -0.15, 0.0, 0.4),
    ]
    f['K'] = [
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.85, H).l(0.05, 0.75).l(0.9, 0.0),
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.85, H).l(0.05, 0.75).m(0.35, 1.0).l(0.9, 0.0),
    ]
    f['L'] = [lambda p, r: p.m(0.0, H).l(0.0, 0.0).l(0.8, 0.0)]
    f['M'] = [
        lambda p, r: p.m(0.0, 0.0).l(0.05, H).l(0.5, 0.3).l(0.95, H).l(1.0, 0.0),
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).l(0.5, 0.3).l(1.0, H).l(1.0, 0.0),
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).l(0.5, 0.3).m(0.5, 0.3).l(1.0, H).m(1.0, H).l(1.0, 0.0),
    ]
    f['N'] = [
        lambda p, r: p.m(0.0, 0.0).l(0.0, H).l(0.85, 0.0).l(0.85, H),
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).l(0.85, 0.0).m(0.85, H).l(0.85, 0.0),
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).l(0.85, 0.0).l(0.85, H),
    ]
    f['O'] = [
        lambda p, r: p.arc(0.6, H / 2, r.uniform(0.5, 0.65), H / 2, 95, 455, start=True),
        lambda p, r: p.arc(0.6, H / 2, r.uniform(0.5, 0.65), H / 2, 90, -275, start=True),
    ]
    f['P'] = [
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).c(0.95, H + 0.05, 0.95, 0.7, 0.0, 0.75),
        lambda p, r: p.m(0.0, 0.0).l(0.0, H).c(0.95, H + 0.05, 0.95, 0.7, 0.0, 0.75),
    ]
    f['Q'] = [
        lambda p, r: p.arc(0.6, H / 2, 0.6, H / 2, 95, 455, start=True).m(0.65, 0.4).l(1.1, -0.1),
        lambda p, r: p.arc(0.6, H / 2, 0.6, H / 2, 95, 455, start=True).m(0.8, 0.2).c(0.9, 0.0, 1.0, -0.05, 1.2, 0.0),
    ]
    f['R'] = [
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).c(0.95, H + 0.05, 0.95, 0.75, 0.0, 0.8).l(0.9, 0.0),
        lambda p, r: p.m(0.0, 0.0).l(0.0, H).c(0.95, H + 0.05, 0.95, 0.75, 0.0, 0.8).l(0.9, 0.0),
        lambda p, r: p.m(0.0, H).l(0.0, 0.0).m(0.0, H).c(0.95, H + 0.05, 0.95, 0.75, 0.0, 0.8).m(0.35, 0.8).l(0.9, 0.0),
    ]
    f['S'] = [
        lambda p, r: p.m(0.85, H - 0.2).c(0.7, H + 0.05, 0.05, H + 0.05, 0.08, 1.25).c(0.1, 0.8, 0.85, 0.95, 0.88, 0.45)
        .c(0.9, -0.05, 0.15, -0.1, 0.0, 0.25),
    ]
    f['T'] = [
        lambda p, r: p.m(0.0, H).l(0.9, H).m(0.45, H).l(0.45, 0.0),
        lambda p, r: p.m(0.45, H).l(0.45, 0.0).m(0.0, H).l(0.9, H),
    ]
    f['U'] = [lambda p, r: p.m(0.0, H).l(0.0, 0.5).c(0.0, -0.15, 0.85, -0.15, 0.85, 0.5).l(0.85, H)]
    f['V'] = [lambda p, r: p.m(0.0, H).l(0.45, 0.0).l(0.9, H)]
    f['W'] = [
        lambda p, r: p.m(0.0, H).l(0.3, 0.0).l(0.6, 1.2).l(0.9, 0.0).l(1.2, H),
        lambda p, r: p.m(0.0, H).l(0.3, 0.0).l(0.6, 1.2).m(0.6, 1.2).l(0.9, 0.0).l(1.2, H),
    ]
    f['X'] = [
        lambda p, r: p.m(0.0, H).l(0.9, 0.0).m(0.9, H).l(0.0, 0.0),
        lambda p, r: p.m(0.9, H).l(0.0, 0.0).m(0.0, H).l(0.9, 0.0),
    ]
    f['Y'] = [
        lambda p, r: p.m(0.0, H).l(0.45, 0.85).m(0.9, H).l(0.45, 0.85).l(0.45, 0.0),
        lambda p, r: p.m(0.0, H).l(0.45, 0.85).l(0.9, H).m(0.45, 0.85).l(0.45, 0.0),
        lambda p, r: p.m(0.0, H).l(0.45, 0.85).m(0.9, H).l(0.0, 0.0),
    ]
    f['Z'] = [
        lambda p, r: p.m(0.0, H).l(0.9, H).l(0.0, 0.0).l(0.95, 0.0),
        lambda p, r: p.m(0.0, H).l(0.9, H).l(0.0, 0.0).l(0.95, 0.0).m(0.2, 0.85).l(0.75, 0.85),
    ]
    return f


def digit_forms():
    H = 1.7
    f = {}
    f['0'] = [
        lambda p, r: p.arc(0.45, H / 2, r.uniform(0.38, 0.48), H / 2, 95, 460, start=True),
        lambda p, r: p.arc(0.45, H / 2, r.uniform(0.38, 0.48), H / 2, 90, -275, start=True),
        lambda p, r: p.arc(0.45, H / 2, 0.45, H / 2, 95, 460, start=True).m(0.85, H + 0.1).l(0.05, -0.1),
    ]
    f['1'] = [
        lambda p, r: p.m(0.4, H).l(0.4, 0.0),
        lambda p, r: p.m(0.05, H - 0.35).l(0.45, H).l(0.45, 0.0),
        lambda p, r: p.m(0.05, H - 0.35).l(0.45, H).l(0.45, 0.0).m(0.1, 0.0).l(0.8, 0.0),
    ]
    f['2'] = [
        lambda p, r: p.m(0.05, H - 0.35).c(0.15, H + 0.1, 0.9, H + 0.1, 0.85, H - 0.45).c(0.8, 0.8, 0.2, 0.4, 0.0, 0.0)
        .l(0.9, 0.0),
        lambda p, r: p.m(0.05, H - 0.35).c(0.15, H + 0.1, 0.9, H + 0.1, 0.85, H - 0.45).c(0.8, 0.8, 0.2, 0.4, 0.05, 0.1)
        .c(-0.05, 0.25, 0.3, 0.3, 0.3, 0.15).c(0.35, -0.05, 0.7, 0.0, 0.95, 0.05),
    ]
    f['3'] = [
        lambda p, r: p.m(0.05, H - 0.25).c(0.25, H + 0.1, 0.85, H + 0.1, 0.8, 1.25).c(0.78, 0.95, 0.5, 0.9, 0.35, 0.9)
        .c(0.95, 0.9, 0.95, 0.0, 0.45, 0.0).c(0.25, 0.0, 0.1, 0.1, 0.0, 0.25),
        lambda p, r: p.m(0.05, H).l(0.85, H).l(0.35, 0.95).c(0.95, 1.0, 0.95, 0.0, 0.45, 0.0)
        .c(0.25, 0.0, 0.1, 0.1, 0.0, 0.25),
    ]
    f['4'] = [
        lambda p, r: p.m(0.65, H).l(0.0, 0.5).l(0.95, 0.5).m(0.7, 1.1).l(0.7, 0.0),
        lambda p, r: p.m(0.3, H).l(0.05, 0.55).l(0.95, 0.55).m(0.7, 1.3).l(0.7, 0.0),
        lambda p, r: p.m(0.65, 0.0).l(0.65, H).l(0.0, 0.5).l(0.95, 0.5),
        lambda p, r: p.m(0.3, H).l(0.05, 0.55).l(0.95, 0.55).m(0.7, H).l(0.7, 0.0),
    ]
    f['5'] = [
        lambda p, r: p.m(0.15, H).l(0.1, 0.95).c(0.4, 1.15, 0.9, 1.0, 0.88, 0.5).c(0.85, -0.1, 0.2, -0.05, 0.0, 0.2)
        .m(0.15, H).l(0.85, H),
        lambda p, r: p.m(0.85, H).l(0.15, H).l(0.1, 0.95).c(0.4, 1.15, 0.9, 1.0, 0.88, 0.5)
        .c(0.85, -0.1, 0.2, -0.05, 0.0, 0.2),
    ]
    f['6'] = [
        lambda p, r: p.m(0.75, H).c(0.3, H - 0.2, 0.0, 1.0, 0.05, 0.45).c(0.1, -0.1, 0.85, -0.1, 0.85, 0.45)
        .c(0.85, 1.0, 0.15, 1.0, 0.08, 0.5),
        lambda p, r: p.m(0.6, H).l(0.08, 0.45).c(0.1, -0.1, 0.85, -0.1, 0.85, 0.45).c(0.85, 1.0, 0.15, 1.0, 0.1, 0.5),
    ]
    f['7'] = [
        lambda p, r: p.m(0.0, H).l(0.9, H).l(0.35, 0.0),
        lambda p, r: p.m(0.0, H).l(0.9, H).l(0.35, 0.0).m(0.3, 0.85).l(0.85, 0.85),
        lambda p, r: p.m(0.0, H - 0.2).l(0.0, H).l(0.9, H).c(0.6, 1.0, 0.45, 0.5, 0.4, 0.0),
    ]
    f['8'] = [
        lambda p, r: p.m(0.8, H - 0.25).c(0.7, H + 0.05, 0.1, H + 0.05, 0.12, 1.3).c(0.15, 1.0, 0.85, 0.8, 0.88, 0.4)
        .c(0.9, -0.05, 0.05, -0.05, 0.05, 0.4).c(0.05, 0.8, 0.8, 1.0, 0.8, 1.3).c(0.8, H + 0.05, 0.3, H, 0.3, H - 0.1),
        lambda p, r: p.m(0.2, H - 0.25).c(0.3, H + 0.05, 0.9, H + 0.05, 0.88, 1.3).c(0.85, 1.0, 0.15, 0.8, 0.12, 0.4)
        .c(0.1, -0.05, 0.95, -0.05, 0.95, 0.4).c(0.95, 0.8, 0.2, 1.0, 0.2, 1.3).c(0.2, H + 0.05, 0.7, H, 0.7, H - 0.1),
        lambda p, r: p.arc(0.47, 1.3, 0.32, 0.4, 90, 450, start=True).arc(0.47, 0.45, 0.42, 0.45, 90, 450, start=True),
    ]
    f['9'] = [
        lambda p, r: p.m(0.85, 1.3).c(0.8, H + 0.1, 0.05, H + 0.1, 0.05, 1.2).c(0.05, 0.7, 0.85, 0.7, 0.85, 1.2)
        .l(0.85, 0.0),
        lambda p, r: p.m(0.85, 1.3).c(0.8, H + 0.1, 0.05, H + 0.1, 0.05, 1.2).c(0.05, 0.7, 0.85, 0.7, 0.85, 1.2)
        .c(0.85, 0.6, 0.6, 0.1, 0.3, 0.0),
        lambda p, r: p.m(0.85, 1.3).c(0.8, H + 0.1, 0.05, H + 0.1, 0.05, 1.2).c(0.05, 0.7, 0.85, 0.7, 0.85, 1.2)
        .m(0.85, H).l(0.85, 0.0),
    ]
    return f


def transform(strokes, r, unit, origin, slant_range=(-6, 22)):
    """Slant (degrees drawn from `slant_range`), rotation, aspect, a smooth warp, per-stroke shifts; then
    pixels (y down) at `unit` pixels per unit, the baseline's left end at `origin`."""
    slant = math.tan(math.radians(r.uniform(*slant_range)))
    rot = math.radians(r.uniform(-5, 5))
    aspect = r.uniform(0.8, 1.25)
    wa, wf, wp = r.uniform(0, 0.04), r.uniform(1.5, 3.5), r.uniform(0, 2 * math.pi)
    out = []
    for s in strokes:
        dx, dy = (r.uniform(-0.04, 0.04), r.uniform(-0.04, 0.04)) if len(strokes) > 1 else (0, 0)
        pts = []
        for x, y in s:
            x, y = x * aspect + dx, y + dy
            x += wa * math.sin(wf * y + wp)
            y += wa * math.sin(wf * x + wp)
            x += slant * y
            x, y = x * math.cos(rot) - y * math.sin(rot), x * math.sin(rot) + y * math.cos(rot)
            pts.append((origin[0] + x * unit, origin[1] - y * unit))
        out.append(pts)
    return out


def resample(points, spacing, r):
    """Points every `spacing` pixels along the polyline (the pen's speed varies a little), with a few tenths
    of a pixel of noise, rounded; repeated points dropped."""
    out = [points[0]]
    walked, next_at = 0.0, spacing
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        d = math.hypot(x1 - x0, y1 - y0)
        while d > 0 and walked + d >= next_at:
            t = (next_at - walked) / d
            out.append((x0 + (x1 - x0) * t, y0 + (y1 - y0) * t))
            next_at += spacing * r.uniform(0.6, 1.4)
        walked += d
    out.append(points[-1])
    pixels = []
    for x, y in out:
        p = (round(x + r.gauss(0, 0.3)), round(y + r.gauss(0, 0.3)))
        if not pixels or p != pixels[-1]:
            pixels.append(p)
    return pixels


def full_width(ch):
    return chr(ord(ch) + 0xFEE0)


class Writer:
    """How this writer places a sample: the box sizes, the pen's wobble, the x-height and baseline in the box,
    the slant, the point spacing. make_samples2.py's writer changes some of them."""
    script = 'make_samples.py'
    sizes = [60, 80, 100, 140, 200, 320]  # the writing box's side in pixels
    wobble = 0.035
    shift = 0.08  # the ink's centre moves up to this share of the box sideways
    slant_range = (-6, 22)
    spacing = (1.0, 6.0)

    def place(self, r, size, k, lower):
        """Pixels per unit and the baseline's depth in the box, both in pixels, for the k-th sample."""
        unit = size * (r.uniform(0.26, 0.34) if lower else r.uniform(0.38, 0.46))
        return unit, size * (0.7 if lower else 0.86)


def write_set(out, name, forms, per_char, rnd, lower, writer=Writer()):
    folder = out / name
    folder.mkdir(parents=True, exist_ok=True)
    for old in folder.glob('*.txt'):
        old.unlink()
    for ch, variants in forms.items():
        for k in range(per_char):
            form = k % len(variants)
            r = random.Random(rnd.random())
            size = r.choice(writer.sizes)
            left, top = r.randint(0, 400), r.randint(0, 300)
            pen = Pen(r, writer.wobble)
            variants[form](pen, r)
            unit, depth = writer.place(r, size, k, lower)
            baseline = top + depth
            xs = [x for s in pen.strokes for x, _ in s]
            width = (max(xs) - min(xs)) * unit
            origin = (left + size / 2 - width / 2 - min(xs) * unit + r.uniform(-writer.shift, writer.shift) * size,
                      baseline)
            strokes = transform(pen.strokes, r, unit, origin, writer.slant_range)
            spacing = r.uniform(*writer.spacing) * max(1.0, size / 100)
            lines = [f'# {ch} form {form + 1}: made by {writer.script}',
                     f'expect {full_width(ch)}', f'box {left} {top} {left + size} {top + size}']
            for s in strokes:
                lines.append(' '.join(f'{x},{y}' for x, y in resample(s, spacing, r)))
            tag = f'{ch}_' if lower or not ch.isalpha() else f'{ch}{ch}_'
            (folder / f'{tag}{k + 1}.txt').write_text('\n'.join(lines) + '\n')


def run(description, folder, default_seed, sets, writer=Writer()):
    """The command line of a sample script: reads --seed and --out, then writes each (folder, forms, samples per
    character, lower case) of `sets` in turn from one random source seeded by --seed; --out defaults to
    `folder`."""
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument('--seed', type=int, default=default_seed)
    parser.add_argument('--out', type=pathlib.Path, default=folder)
    args = parser.parse_args()
    rnd = random.Random(args.seed)
    for name, forms, per_char, lower in sets:
        write_set(args.out, name, forms, per_char, rnd, lower, writer)


def main():
    run(__doc__.split('\n')[0], pathlib.Path(__file__).resolve().parent, 11,
        [('lower', lower_forms(), 6, True), ('upper', upper_forms(), 4, False), ('digits', digit_forms(), 6, False)])


if __name__ == '__main__':
    main()
