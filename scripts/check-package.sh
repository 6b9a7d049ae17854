#!/usr/bin/env bash
# Installs a Marvane package into a fresh Debian 12 root file system, starts the program there headless from its
# installed path, checks that it finds its help page and its bundled Faces, and removes the package again.
#
# The root is made with mmdebstrap from the Debian sources this machine uses, which downloads a few hundred
# megabytes: this check runs by hand, not in CI. It needs root (chroot and mounts).
#
# How the resources are seen to be found: "marvane --help" names the help page the program would open, and says
# "(missing)" when it is not there; a first start seeds the user's Faces folder from the bundled Faces, so the
# Sample Face appearing in ~/.local/share/Marvane/Faces shows that the running program found them. The start
# uses Qt's offscreen platform and a PulseAudio null sink (installed in the root for the check only), so that
# neither a missing sound card nor a missing mixer stops start-up with a message box.
#
# Usage: scripts/check-package.sh [package.deb]   (default: the newest build-package/marvane_*.deb)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deb=$(realpath "${1:-$(ls -t "$root"/build-package/marvane_*.deb | head -n 1)}")
[[ $(id -u) -eq 0 ]] || { echo "run as root (chroot)" >&2; exit 2; }
command -v mmdebstrap >/dev/null || apt-get install -y -qq --no-install-recommends mmdebstrap

# The host's Debian sources, one-line or deb822 style.
sources=()
[[ -s /etc/apt/sources.list ]] && sources+=(/etc/apt/sources.list)
for file in /etc/apt/sources.list.d/*.sources /etc/apt/sources.list.d/*.list; do
  [[ -s $file ]] && grep -q 'debian' "$file" && sources+=("$file")
done
[[ ${#sources[@]} -gt 0 ]] || sources=(http://deb.debian.org/debian)

work=$(mktemp -d /tmp/marvane-check-XXXXXX)
target=$work/root
cleanup() {
  for mount in dev/pts dev proc; do umount -l "$target/$mount" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
step() { printf '\n== %s\n' "$*"; }
in_root() { chroot "$target" env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }

step "a fresh Debian 12 root (mmdebstrap --variant=apt bookworm) from ${sources[*]}"
mmdebstrap --quiet --variant=apt bookworm "$target" "${sources[@]}"
mount -t proc proc "$target/proc"
mount --bind /dev "$target/dev"
mount --bind /dev/pts "$target/dev/pts"
cp /etc/resolv.conf "$target/etc/resolv.conf"
cp "$deb" "$target/tmp/"
in_root apt-get update -qq

step "apt-get install ./$(basename "$deb")"
in_root apt-get install -y -q "/tmp/$(basename "$deb")" 2>&1 | grep -E 'newly installed|^Setting up marvane|^E:'
in_root dpkg -L marvane | grep -E '^/usr/(bin|lib/marvane|share/(marvane|applications|metainfo|icons))/' | grep -E '\.|bin/' | sort

step "marvane --version; marvane --help (no display, no settings file)"
in_root /usr/bin/marvane --version
in_root /usr/bin/marvane --help
in_root /usr/bin/marvane --help | grep -q '^Manual: /usr/share/marvane/mvnhelp.html$'
[[ ! -e $target/root/.config/Marvane ]] && echo "no settings folder after --help and --version"

step "headless start from /usr/bin/marvane (offscreen, PulseAudio null sink), 10 s"
in_root apt-get install -y -qq --no-install-recommends pulseaudio >/dev/null 2>&1
cat >"$target/tmp/asound.conf" <<'CONF'
pcm.!default { type pulse server "unix:/tmp/pulse/native" }
ctl.!default { type pulse server "unix:/tmp/pulse/native" }
CONF
mkdir -p "$target/tmp/pulse"
in_root pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n \
  --load="module-native-protocol-unix socket=/tmp/pulse/native auth-anonymous=1" \
  --load="module-null-sink sink_name=check_sink rate=44100 channels=2 norewinds=1" 2>/dev/null &
pulse=$!
sleep 2
status=0
in_root env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=/tmp/run ALSA_CONFIG_PATH=/tmp/asound.conf \
  timeout 10 /usr/bin/marvane || status=$?
kill "$pulse" 2>/dev/null || true
wait "$pulse" 2>/dev/null || true
echo "exit status $status (124: still running when timeout ended it)"
[[ $status -eq 124 ]]
echo "user's Faces seeded from /usr/share/marvane/Faces:"
(cd "$target/root/.local/share/Marvane/Faces" && find . -type f | sort)
[[ -f $target/root/.local/share/Marvane/Faces/Sample/backpic.bmp ]]
echo "settings written at start-up: $(grep -c = "$target/root/.config/Marvane/Marvane.ini") keys"

step "apt-get purge marvane; apt-get autoremove --purge"
in_root apt-get purge -y -q marvane | grep -E '^(Removing|Purging)'
in_root apt-get autoremove --purge -y -q | grep -cE '^Removing' | sed 's/$/ automatically installed packages removed/'
in_root dpkg-query -W -f='${Status}\n' marvane 2>&1 || true
leftovers=$(cd "$target" && find usr etc var -iname '*marvane*' 2>/dev/null || true)
echo "files of the package left under /usr, /etc, /var: ${leftovers:-none}"
[[ -z $leftovers ]]
echo
echo "check passed"
