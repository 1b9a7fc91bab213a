#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless. Usage: scripts/test.sh [--sanitize]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/deps.sh"
dir=$("$root/scripts/build.sh" "$@" | tail -n 1)

export QT_QPA_PLATFORM=offscreen
sanitize=0
if [ "${1:-}" = "--sanitize" ]; then
    sanitize=1
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp"
fi
if ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" --timeout 300; then
    exit 0
fi
[ "$sanitize" = 1 ] || exit 1
# Debian 12's LeakSanitizer misreads the dynamic thread-local storage of modules loaded with dlopen in some
# memory layouts (it depends on as little as the length of the working directory): its tracer crashes at exit
# ("Tracer caught signal 11") after every test of the process passed. The failed tests run once more with the
# scan of thread-local storage off; a test that fails again, for any reason, still fails the run.
echo "Running the failed tests again with LeakSanitizer's scan of thread-local storage off"
LSAN_OPTIONS="suppressions=$root/scripts/lsan-notls.supp:use_tls=0" ctest --test-dir "$dir" --output-on-failure --rerun-failed --timeout 300
