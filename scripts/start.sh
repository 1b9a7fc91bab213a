#!/usr/bin/env bash
# Installs what is missing, builds, registers the control modules for this user and starts the board.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/deps.sh"
dir=$("$root/scripts/build.sh" | tail -n 1)
bin="$dir/bin"

for module in "$bin"/libveil.so "$bin"/libveiladd.so "$bin"/libpenmate.so "$bin"/libquillbox.so; do
    [ -f "$module" ] && "$bin/regctl" "$module"
done

if [ -x "$bin/slatewise" ]; then
    exec "$bin/slatewise" "$@"
fi
echo "Built and registered the control modules in $bin."
echo "The board program itself is not built yet: it comes with the board work that follows."
