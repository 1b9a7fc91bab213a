#!/usr/bin/env bash
# Fails when a tracked C or C++ source differs from what clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "clang-format is not installed; format not checked"; exit 0; }
bad=0
while IFS= read -r f; do
    if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
        echo "not formatted: $f"
        bad=1
    fi
done < <(git ls-files '*.cpp' '*.h' '*.c' ':!:third_party/*')
exit $bad
