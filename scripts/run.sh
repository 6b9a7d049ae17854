#!/usr/bin/env bash
# Installs what the build needs, builds Marvane, and starts it. Arguments are passed to Marvane.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
cmake --build "$root/build" --target marvane -j "$(nproc)"
# Without a display, Qt's offscreen platform lets the program start.
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  export QT_QPA_PLATFORM=offscreen
fi
exec "$root/build/bin/marvane" "$@"
