#!/usr/bin/env bash
# Listens for dropouts, by hand (not in CI). AutoPilot plays a list of songs of mixed formats and rates (MP3 at
# 22050 and 48000 Hz, 8-bit and float WAV, MP2, made with the ffmpeg tool) round and round for the given minutes,
# through the real program's PortAudio output into the null sink of a private PulseAudio daemon, while another
# process keeps one core busy. The sink's monitor is recorded; the script then reports every run of exact digital
# silence inside the recording (the songs never hold one) and the program's own count of output underruns, which
# it prints on standard error as it quits. Exits non-zero when it found either.
# Usage: scripts/dropout-check.sh [minutes, default 10] [build folder, default build]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
minutes=${1:-10}
build=${2:-$root/build}
program=$build/bin/marvane
for tool in pulseaudio parecord pactl dbus-daemon dbus-send ffmpeg od awk; do
  command -v "$tool" >/dev/null || { echo "dropout-check: $tool is missing (scripts/install-deps.sh)" >&2; exit 2; }
done
[ -x "$program" ] || { echo "dropout-check: build the program first ($program)" >&2; exit 2; }

work=$(mktemp -d /tmp/marvane-dropouts-XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Songs of 40 s, so that a new one opens every half minute or so. Each is a chord over pink noise: never exactly
# silent, so any run of exact zeros in the recording is a dropout.
song() {  # name rate channels encoder...
  local name=$1 rate=$2 channels=$3
  shift 3
  ffmpeg -hide_banner -loglevel error -nostdin -y \
    -f lavfi -i "aevalsrc=0.3*sin(2*PI*220*t)+0.2*sin(2*PI*331*t):s=$rate:d=40" \
    -f lavfi -i "anoisesrc=c=pink:a=0.1:r=$rate:d=40" \
    -filter_complex "[0][1]amix=inputs=2:normalize=0[a]" -map "[a]" -ac "$channels" "$@" "$work/$name"
  echo "$work/$name" >>"$work/list.m3u"
}
echo "dropout-check: making the songs in $work"
song mp3-22050.mp3 22050 1 -c:a libmp3lame -b:a 64k
song mp3-48000.mp3 48000 2 -c:a libmp3lame -b:a 192k
song u8-44100.wav 44100 2 -c:a pcm_u8
song f32-48000.wav 48000 2 -c:a pcm_f32le
song layer2-44100.mp2 44100 2 -c:a mp2 -b:a 192k
song s16-22050.wav 22050 1 -c:a pcm_s16le
song mp3-44100.mp3 44100 2 -c:a libmp3lame -q:a 2
song layer2-48000.mp2 48000 2 -c:a mp2 -b:a 256k

# The program's own folders: first-run import done, AutoPilot in list order, going round the list.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME/Marvane" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
printf '[1.40]\nFirst Run=False\nRandom=False\nLoop 0=True\n' >"$XDG_CONFIG_HOME/Marvane/Marvane.ini"

# A private PulseAudio daemon with a null sink (norewinds=1: without it streams stall for seconds), reached by ALSA's
# default device through the pulse plugin, and a private session bus to ask the program to quit.
export PULSE_RUNTIME_PATH=$work/pulse PULSE_STATE_PATH=$work/pulse PULSE_SERVER=unix:$work/pulse/native
mkdir -p "$work/pulse"
pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n \
  --load="module-native-protocol-unix socket=$work/pulse/native auth-anonymous=1" \
  --load="module-null-sink sink_name=test_sink rate=44100 channels=2 norewinds=1" 2>"$work/pulse.log" &
pids+=($!)
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
printf 'pcm.!default { type pulse server "%s" }\nctl.!default { type pulse server "%s" }\n' \
  "$PULSE_SERVER" "$PULSE_SERVER" >"$work/asound.conf"
export ALSA_CONFIG_PATH=$work/asound.conf
dbus-daemon --session --nofork --print-address >"$work/bus" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/bus" ] && break; sleep 0.1; done
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS

bash -c 'while :; do :; done' &  # one core kept busy
pids+=($!)
parecord --raw --format=float32le --rate=44100 --channels=2 -d test_sink.monitor "$work/out.raw" &
recorder=$!
pids+=($recorder)
echo "dropout-check: AutoPilot plays for $minutes minutes"
"$program" "$work/list.m3u" 2>"$work/marvane.log" &
marvane=$!
sleep "$((minutes * 60))"
dbus-send --session --type=method_call --dest=org.mpris.MediaPlayer2.marvane /org/mpris/MediaPlayer2 \
  org.mpris.MediaPlayer2.Quit
wait "$marvane" || true
sleep 0.5
kill "$recorder"
wait "$recorder" 2>/dev/null || true

# Runs of at least 32 frames of exact zeros on both channels, between the first sound and the last.
frames=$(($(stat -c %s "$work/out.raw") / 8))
silences=$(od -An -v -tf4 -w8 "$work/out.raw" | awk -v rate=44100 '
  { silent = ($1 == 0 && $2 == 0) }
  !silent { if (heard && run >= 32) printf "  %.3f s: %.1f ms of digital silence\n", (NR - 1 - run) / rate, run * 1000 / rate
            heard = 1; run = 0; next }
  heard { ++run }')
underruns=$(sed -n 's/^audio: \([0-9]*\) output underruns$/\1/p' "$work/marvane.log")
grep '^audio:' "$work/marvane.log" || true
echo "dropout-check: $((frames / 44100)) s recorded"
if [ -n "$silences" ]; then echo "dropout-check: runs of digital silence inside the songs:"; echo "$silences"; fi
echo "dropout-check: silences: $(printf '%s' "$silences" | grep -c . || true), output underruns: ${underruns:-unknown}"
[ -z "$silences" ] && [ "${underruns:-1}" = 0 ]
