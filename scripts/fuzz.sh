#!/usr/bin/env bash
# Fuzzes the readers of outside data with libFuzzer.
#
#   scripts/fuzz.sh [TARGET|all] [SECONDS]    fuzz TARGET (default: every target in turn) for SECONDS each
#                                             (default 600), at the lowest priority
#   scripts/fuzz.sh --merge TARGET            minimise what fuzzing found into fuzz/corpus/TARGET
#   scripts/fuzz.sh --list                    list the targets
#
# Installs clang and its runtime libraries when missing, builds the targets with clang into build-fuzz/
# (ASan + UBSan + coverage; the engine's models come from build/, made there first), and runs each target on
# its corpus fuzz/corpus/TARGET. New inputs go to build-fuzz/fuzz/work/TARGET, crashes and broken invariants
# to build-fuzz/fuzz/findings/TARGET/; add a finding to the corpus once it is fixed, so the corpus replay
# test (ctest -R FuzzReplay) guards it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
targets=(cp932 engine_abi engine_files list_lines pattern_file property_bag registry)

merge=0
case "${1:-}" in
    --list)
        printf '%s\n' "${targets[@]}"
        exit 0
        ;;
    --merge)
        merge=1
        shift
        ;;
esac
target=${1:-all}
seconds=${2:-600}
if [ "$target" = all ]; then
    [ "$merge" = 1 ] && { echo "--merge needs a target" >&2; exit 2; }
    selected=("${targets[@]}")
elif printf '%s\n' "${targets[@]}" | grep -qx "$target"; then
    selected=("$target")
else
    echo "unknown target $target; one of: ${targets[*]}" >&2
    exit 2
fi

"$root/scripts/deps.sh"
missing=()
for p in clang libclang-rt-14-dev; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The engine target recognises with the real models; the generated ones are made by the optimised build.
plain="$root/build"
if [ ! -f "$plain/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$plain" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSLATEWISE_WERROR=ON
fi
nice cmake --build "$plain" -j "$(nproc)" --target slatewise-supplement-model slatewise-templates

dir="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSLATEWISE_FUZZ=ON \
    -DSLATEWISE_TESTS=OFF -DSLATEWISE_BENCHMARKS=OFF -DSLATEWISE_MODELS_FROM="$plain/bin/models" >/dev/null
nice cmake --build "$dir" -j "$(nproc)" --target "${selected[@]/#/fuzz_}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp"
status=0
for t in "${selected[@]}"; do
    exe="$dir/bin/fuzz_$t"
    corpus="$root/fuzz/corpus/$t"
    work="$dir/fuzz/work/$t"
    findings="$dir/fuzz/findings/$t"
    mkdir -p "$corpus" "$work" "$findings"
    if [ "$merge" = 1 ]; then
        "$exe" -merge=1 "$corpus" "$work"
        continue
    fi
    options=(-max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings/" -timeout=20)
    case "$t" in
        engine_abi | engine_files) options+=(-max_len=16384 -rss_limit_mb=4096) ;;
        *) options+=(-max_len=4096) ;;
    esac
    echo "== fuzz_$t for ${seconds}s"
    if ! nice -n 19 "$exe" "${options[@]}" "$work" "$corpus"; then
        echo "== fuzz_$t stopped on a finding: see $findings" >&2
        status=1
    fi
done
exit $status
