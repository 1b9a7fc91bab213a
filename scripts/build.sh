#!/usr/bin/env bash
# Configures and builds Slatewise. Usage: scripts/build.sh [--sanitize]
# The normal build goes to build/, the sanitizer build (ASan + UBSan + LSan) to build-sanitize/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

dir="$root/build"
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DSLATEWISE_WERROR=ON)
if [ "${1:-}" = "--sanitize" ]; then
    dir="$root/build-sanitize"
    flags=(-DCMAKE_BUILD_TYPE=Debug -DSLATEWISE_SANITIZE=ON -DSLATEWISE_BENCHMARKS=OFF -DSLATEWISE_WERROR=ON)
fi

cmake -S "$root" -B "$dir" -G Ninja "${flags[@]}" >&2
cmake --build "$dir" -j "$(nproc)" >&2
echo "$dir"
