#!/usr/bin/env python3
"""Composes lines of handwriting from KanjiVG characters for the engine's line development set.

Each line takes 2 to 6 characters of a phrase from PHRASES and writes them horizontally (left to right) or
vertically (top to bottom), with tight spacing (boxes touching or overlapping a little) or wide spacing.
Every character gets its own size, offset across the line, per-stroke shifts and point noise, all from a
fixed seed, so the set is reproducible. Small kana and punctuation keep KanjiVG's placement in the box
(low for horizontal writing); vertical lines move them to the right and top of the box, as they are
written there. ー is turned upright in vertical lines.

    compose_lines.py --kanjivg DIR --out OUT_DIR [--count 60] [--seed 7]

Writes OUT_DIR/NN_h_tight.txt etc. in the stroke file format (README.md beside this script).
KanjiVG (http://kanjivg.tagaini.net) is CC BY-SA 3.0; the output carries the same licence.
"""
import argparse
import os
import random
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from kanjivg_to_strokes import resample, strokes_of  # noqa: E402

PHRASES = [
    "がっこうへいく。", "きょうはあめ、", "ちょっとまって", "しゃしんをとる", "やっぱりそうだ。",
    "きゅうしょく", "山田さんの字", "日本の学校", "水と火と木", "先生、ありがとう。", "右手で字をかく",
    "早く休む。", "大きな川", "まっすぐ行く", "きっぷを買う", "いっしょに見る", "本をよむ、",
    "目と口と耳", "小さな花", "女の人", "ノートをかく", "テスト、ケーキ", "コーヒー", "スープ",
    "きょうの天気", "じゅぎょう", "ひゃくえん", "あさって", "ゆっくり", "人口", "休日の雨。",
    "子どもの本", "一日の円", "二人でいく", "三つの石", "文字を書く", "学生", "月よう日", "ちゃいろ",
]

SMALL = set("ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ")
PUNCT = set("、。")


def place(ch, vertical):
    """(dx, dy, transpose) in KanjiVG units for writing `ch` in a line of the given direction."""
    if not vertical:
        return 0.0, 0.0, False
    if ch in SMALL:
        return 14.0, -22.0, False
    if ch in PUNCT:
        return 62.0, -62.0, False
    if ch == "ー":
        return 0.0, 0.0, True
    return 0.0, 0.0, False


def compose(rnd, kanji_dir, text, vertical, tight):
    """The strokes of the line and the number of strokes of each character."""
    size = rnd.uniform(70, 120)
    strokes, counts = [], []
    pos = 20.0
    for ch in text:
        s = size * rnd.uniform(0.9, 1.1)
        scale = s / 109.0
        across = rnd.gauss(0, size * 0.04)
        dx, dy, transpose = place(ch, vertical)
        counts.append(len(strokes_of(kanji_dir, ch)))
        for stroke in strokes_of(kanji_dir, ch):
            sx, sy = rnd.gauss(0, s * 0.015), rnd.gauss(0, s * 0.015)
            pts = []
            for x, y in stroke:
                if transpose:
                    x, y = y, x
                x, y = (x + dx) * scale + sx, (y + dy) * scale + sy
                pts.append((pos + x, 20 + across + y) if not vertical else (20 + across + x, pos + y))
            pts = resample(pts, 3)
            noise = s * 0.004
            strokes.append([(round(x + rnd.gauss(0, noise)), round(y + rnd.gauss(0, noise))) for x, y in pts])
        gap = rnd.uniform(-0.08, 0.04) if tight else rnd.uniform(0.3, 0.6)
        pos += s * (1 + gap)
    return strokes, counts


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--kanjivg", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--count", type=int, default=60)
    ap.add_argument("--seed", type=int, default=7)
    a = ap.parse_args()
    rnd = random.Random(a.seed)
    os.makedirs(a.out, exist_ok=True)
    for n in range(a.count):
        phrase = PHRASES[n % len(PHRASES)] if n < len(PHRASES) else rnd.choice(PHRASES)
        length = min(len(phrase), rnd.randint(2, 6))
        start = rnd.randint(0, len(phrase) - length)
        text = phrase[start:start + length]
        vertical = n % 4 >= 2
        tight = n % 2 == 0
        strokes, counts = compose(rnd, a.kanjivg, text, vertical, tight)
        name = "%02d_%s_%s.txt" % (n + 1, "v" if vertical else "h", "tight" if tight else "wide")
        with open(os.path.join(a.out, name), "w", encoding="utf-8") as f:
            f.write("# From KanjiVG (http://kanjivg.tagaini.net), CC BY-SA 3.0; compose_lines.py seed %d\n" % a.seed)
            f.write("# strokes per character: %s\n" % " ".join(str(c) for c in counts))
            f.write("expect %s\n" % text)
            for s in strokes:
                f.write(" ".join("%d,%d" % p for p in s) + "\n")


if __name__ == "__main__":
    sys.exit(main())
