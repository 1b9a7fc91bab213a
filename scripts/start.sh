#!/usr/bin/env bash
# Installs what is missing, builds, registers this build's control modules for this user and starts the
# board on the desktop (X11 or Wayland: Qt picks its platform plugin from the session). Arguments are passed
# to the board (a font face name for the clean copy).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/deps.sh"
dir=$("$root/scripts/build.sh" | tail -n 1)
bin="$dir/bin"

# The board registers modules the registry lacks by itself; registering here also moves a registration that
# points at another build to this one.
for module in "$bin"/libveil.so "$bin"/libveiladd.so "$bin"/libpenmate.so "$bin"/libquillbox.so; do
    [ -f "$module" ] && "$bin/regctl" "$module" >/dev/null
done

exec "$bin/slatewise" "$@"
