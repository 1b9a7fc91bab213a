#!/usr/bin/env bash
# The engine's full evaluation on real writing: evaluate_all.sh BUILD OUT [HANDWRITING]
# Makes the evaluation sets under OUT/data once (other writers, composed lines, lines mixing the written Latin
# into kana and kanji, joined strokes; seeds 1 and 2 for tuning, 3 and 4 held out), reads them and the written Latin with BUILD's scribeng-cli, writes one output
# per set to OUT/ and prints OUT/summary.txt. HANDWRITING defaults to ../shared/data/handwriting beside the
# repository. The sets carry the samples' licence: keep OUT outside the repository.
set -euo pipefail
build=$(cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
hand=${3:-$root/../shared/data/handwriting}
tools=$root/tools/scribeng-cli
cli=$build/bin/scribeng-cli
data=$out/data
folders=(kanji-learner1 hiragana-writer1 katakana-writer1)

if [ ! -d "$data" ]; then
    mkdir -p "$data/lines" "$data/joined" "$data/tune-lines" "$data/tune-joined"
    for s in 1 1.5; do
        for seed in 1 2 3 4; do
            python3 "$tools/vary_writers.py" --out "$data/w$s-$seed" --strength $s --seed $seed \
                "${folders[@]/#/$hand/}" >/dev/null
        done
    done
    compose() { python3 "$tools/compose_real_lines.py" --count 80 "$@" >/dev/null; }
    compose --out "$data/lines/real-kanji" --seed 3 "$hand/kanji-learner1"
    compose --out "$data/lines/real-kana" --seed 4 "$hand/hiragana-writer1" "$hand/katakana-writer1"
    compose --out "$data/lines/real-mixed" --seed 5 "${folders[@]/#/$hand/}"
    compose --out "$data/lines/real-two" --seed 6 --lines 2 "${folders[@]/#/$hand/}"
    compose --out "$data/lines/real-three" --seed 6 --lines 3 "${folders[@]/#/$hand/}"
    for w in 1-3 1.5-4 1-1 1.5-2; do
        dir=$data/lines; [ "$w" = 1-1 ] || [ "$w" = 1.5-2 ] && dir=$data/tune-lines
        seeds=(3 5 6); [ "$dir" = "$data/tune-lines" ] && seeds=(1 2 1)
        compose --out "$dir/w$w-kanji" --seed "${seeds[0]}" "$data/w$w/kanji-learner1"
        compose --out "$dir/w$w-mixed" --seed "${seeds[1]}" "${folders[@]/#/$data/w$w/}"
        compose --out "$dir/w$w-two" --seed "${seeds[2]}" --lines 2 "${folders[@]/#/$data/w$w/}"
    done
    for gap in 0.3 0.15; do
        python3 "$tools/natural_strokes.py" joined $gap --out "$data/joined/real-$gap" "$hand/kanji-learner1" >/dev/null
        for w in 1-3 1-4 1.5-3 1.5-4; do
            python3 "$tools/natural_strokes.py" joined $gap --out "$data/joined/w$w-$gap" \
                "$data/w$w/kanji-learner1" >/dev/null
        done
        for w in 1-1 1-2 1.5-1 1.5-2; do
            python3 "$tools/natural_strokes.py" joined $gap --out "$data/tune-joined/w$w-$gap" \
                "$data/w$w/kanji-learner1" >/dev/null
        done
    done
fi

# Digits and Latin among kana and kanji, as teachers write them: the written Latin's first two writers for
# tuning, the others held out. Made also for an OUT/data made before these sets, leaving its other sets alone.
if [ ! -d "$data/lines/real-latin-kanji" ]; then
    mix() {  # OUT SEED "KIND..." "WRITER..." FOLDER...: runs of those kinds by those writers among the folders
        local runs=() kind n
        for kind in $3; do
            for n in $4; do
                local d=$root/tests/data/scribeng/latin-written${n#1}/$kind  # the first writer's has no number
                if [ -d "$d" ]; then runs+=(--run "$d"); fi
            done
        done
        python3 "$tools/compose_real_lines.py" --count 80 --out "$1" --seed "$2" "${runs[@]}" "${@:5}" >/dev/null
    }
    mix "$data/lines/real-latin-kanji" 7 "digits upper" "3 4 5 6" "$hand/kanji-learner1"
    mix "$data/lines/real-latin-kana" 8 "lower upper" "3 4 5 6" "$hand/hiragana-writer1" "$hand/katakana-writer1"
    mix "$data/lines/w1.5-4-latin-kanji" 7 "digits upper" "3 4 5 6" "$data/w1.5-4/kanji-learner1"
    mix "$data/lines/w1.5-4-latin-kana" 8 "lower upper" "3 4 5 6" "$data/w1.5-4/hiragana-writer1" \
        "$data/w1.5-4/katakana-writer1"
    for w in 1-1 1.5-2; do
        mix "$data/tune-lines/w$w-latin-kanji" 1 "digits upper" "1 2" "$data/w$w/kanji-learner1"
        mix "$data/tune-lines/w$w-latin-kana" 2 "lower upper" "1 2" "$data/w$w/hiragana-writer1" \
            "$data/w$w/katakana-writer1"
    done
fi

twins=$root/tools/modelgen/twins.txt
export QT_QPA_PLATFORM=offscreen
(
    "$cli" --evaluate --failures "${folders[@]/#/$hand/}" >"$out/real.txt" 2>&1 || true
    for w in 1-3 1-4 1.5-3 1.5-4; do "$cli" --evaluate --failures "$data/w$w"/* >"$out/w$w.txt" 2>&1 || true; done
) &
(
    "$cli" --evaluate --failures --alike "$twins" "$data/lines"/* >"$out/lines.txt" 2>&1 || true
    "$cli" --evaluate --failures "$data/joined"/* >"$out/joined.txt" 2>&1 || true
    for n in 1 2 3 4 5 6; do
        latin=$root/tests/data/scribeng/latin-written${n#1}  # the first writer's folder has no number
        "$cli" --evaluate --failures --alike "$twins" \
            $(ls -d "$latin/lower" "$latin/upper" "$latin/digits" 2>/dev/null) >"$out/latin$n.txt" 2>&1 || true
    done
) &
wait

python3 - "$out" >"$out/summary.txt" <<'PY'
import pathlib, sys
out = pathlib.Path(sys.argv[1])
held = ['real', 'w1-3', 'w1-4', 'w1.5-3', 'w1.5-4']
totals = {'single characters (real and other writers)': [0, 0, 0, 0], 'written Latin': [0, 0, 0, 0]}
for name in held + ['lines', 'joined'] + ['latin%d' % n for n in range(1, 7)]:
    f = out / (name + '.txt')
    if not f.exists():
        continue
    for line in f.read_text().splitlines():
        cols = line.split()
        if not line or line.startswith(' ') or cols[0] == 'category':
            continue
        print('%-8s %s' % (name, line))
        if cols[0] == 'total' or not cols[1].isdigit() or int(cols[1]) == 0:
            continue
        key = 'written Latin' if name.startswith('latin') else (
            'single characters (real and other writers)' if name in held else None)
        if key:
            n = int(cols[1])
            t = totals[key]
            t[0] += n
            for i, c in enumerate((cols[2], cols[4], cols[5])):
                t[i + 1] += float(c.rstrip('%')) * n / 100
for key, t in totals.items():
    if t[0]:
        print('%s: %d, free %.1f%%, guided %.1f%%, top-10 %.1f%%' % (key, t[0], *(100 * x / t[0] for x in t[1:])))
PY
cat "$out/summary.txt"
