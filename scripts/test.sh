#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless. Usage: scripts/test.sh [--sanitize]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/deps.sh"
dir=$("$root/scripts/build.sh" "$@" | tail -n 1)

export QT_QPA_PLATFORM=offscreen
repeat=()
if [ "${1:-}" = "--sanitize" ]; then
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp"
    # LeakSanitizer's own tracer now and then crashes at process exit on a loaded machine ("Tracer caught
    # signal 11") after every test of the process passed; a test that fails the same way twice still fails.
    repeat=(--repeat until-pass:2)
fi
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" --timeout 300 "${repeat[@]}"
