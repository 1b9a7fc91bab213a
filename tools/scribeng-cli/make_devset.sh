#!/bin/sh
# Regenerates the engine's development set in tests/data/scribeng from KanjiVG stroke data.
#     make_devset.sh KANJIVG_KANJI_DIR OUT_DIR
# Single characters are written 80 pixels high with a little jitter; lines of three and six characters
# 100 pixels high with 40 pixels between the character boxes.
set -eu
kanji=$1
out=$2
here=$(dirname "$0")
gen() { python3 "$here/kanjivg_to_strokes.py" --kanjivg "$kanji" "$@"; }
mkdir -p "$out"
n=0
for c in あ い う お か き く け こ さ し た つ て と な の ま み め も や よ り ん \
         山 川 田 日 月 木 水 火 人 口 目 学 校 本 字 電 道 \
         0 1 2 3 4 5 6 7 8 9; do
    n=$((n + 1))
    gen --size 80 --jitter 1.5 --seed "$n" "$c" > "$out/single_$(printf %02d $n).txt"
done
gen --size 100 --gap 40 --jitter 1 --seed 101 山川口 > "$out/line3_a.txt"
gen --size 100 --gap 40 --jitter 1 --seed 102 あさひ > "$out/line3_b.txt"
gen --size 100 --gap 40 --jitter 1 --seed 103 日本語 > "$out/line3_c.txt"
gen --size 100 --gap 40 --jitter 1 --seed 104 123 > "$out/line3_d.txt"
gen --size 100 --gap 40 --jitter 1 --seed 105 学校の先生 > "$out/line5_a.txt"
gen --size 100 --gap 40 --jitter 1 --seed 106 電車で本を読む > "$out/line7_a.txt"
gen --size 100 --gap 40 --jitter 1 --seed 107 水と火と木と > "$out/line6_a.txt"
gen --size 100 --gap 40 --jitter 1 --seed 108 山田さんの字 > "$out/line6_b.txt"
gen --size 100 --gap 40 --jitter 1 --seed 110 忘山 > "$out/line2_a.txt"
# Digits written edge to edge, and the line set: horizontal and vertical lines with tight and wide spacing.
gen --size 90 --gap 0 --jitter 1 --seed 109 1010 > "$out/digits_tight.txt"
python3 "$here/compose_lines.py" --kanjivg "$kanji" --out "$out/lines" --count 60 --seed 7
