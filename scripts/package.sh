#!/usr/bin/env bash
# Builds the Debian package of Marvane (marvane_<version>_<arch>.deb) with CPack, in a build folder of its own
# without tests or benchmarks, after checking the launcher and the metainfo file with Debian's validators.
# The package's dependencies on shared libraries are computed by dpkg-shlibdeps from the program as built.
#
# Usage: scripts/package.sh [build-folder] [extra cmake options...]   (default build folder: build-package)
# Prints the path of the package on its last line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-package}
shift || true
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$build" -DMARVANE_BUILD_TESTS=OFF -DMARVANE_BUILD_BENCH=OFF "$@"
build=$(cd "$build" && pwd)
desktop-file-validate "$root"/resources/desktop/*.desktop
appstreamcli validate --no-net "$build"/share/metainfo/*.metainfo.xml
rm -f "$build"/marvane_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/marvane_*.deb)
dpkg-deb --field "$deb" Package Version Architecture Depends Recommends Installed-Size
echo "$deb"
