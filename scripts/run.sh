#!/usr/bin/env bash
# Installs what the build needs, builds, and starts Marvane. Arguments are passed to Marvane.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
# Without a display, Qt's offscreen platform lets the program start.
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  export QT_QPA_PLATFORM=offscreen
fi
exec "$root/build/marvane" "$@"
