#!/usr/bin/env bash
# Configures and builds Slatewise. Usage: scripts/build.sh [--sanitize]
# The normal build goes to build/, the sanitizer build (ASan + UBSan + LSan) to build-sanitize/.
# The sanitizer build copies the generated supplementary model and shape templates from build/ (made or
# brought up to date there first, with optimised generators) instead of generating them unoptimised.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

dir="$root/build"
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DSLATEWISE_WERROR=ON)
if [ "${1:-}" = "--sanitize" ]; then
    dir="$root/build-sanitize"
    # -O1: the engine's accuracy tests run real and distorted handwriting through the recognizer, several
    # times slower unoptimised under the sanitizers; -O1 keeps the checks and the stack traces. -g1: the
    # functions and line tables the stack traces need, without the debug information of variables and
    # types, which makes the build slower.
    flags=(-DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g1 -O1" "-DCMAKE_C_FLAGS_DEBUG=-g1 -O1"
        -DSLATEWISE_SANITIZE=ON -DSLATEWISE_BENCHMARKS=OFF -DSLATEWISE_WERROR=ON)
    plain="$root/build"
    if [ ! -f "$plain/CMakeCache.txt" ]; then
        cmake -S "$root" -B "$plain" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSLATEWISE_WERROR=ON >&2
    fi
    cmake --build "$plain" -j "$(nproc)" --target slatewise-supplement-model slatewise-templates >&2
    flags+=(-DSLATEWISE_MODELS_FROM="$plain/bin/models")
fi

cmake -S "$root" -B "$dir" -G Ninja "${flags[@]}" >&2
# The build lists the tests by running their executables; they need no display, also where one is set.
QT_QPA_PLATFORM=offscreen cmake --build "$dir" -j "$(nproc)" >&2
echo "$dir"
