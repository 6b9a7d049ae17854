#!/usr/bin/env bash
# Installs what the build needs, builds, and runs every test.
# Usage: scripts/test.sh [build-folder] [extra cmake options...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shift || true
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$build" "$@"
cd "$build"
ctest --output-on-failure -j "$(nproc)"
