#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) and runs each for a while.
# Usage: scripts/fuzz.sh [seconds per target, default 30] [extra cmake options...]
# Environment: MARVANE_FUZZ_BUILD (build folder, default build-fuzz), MARVANE_FUZZ_TARGETS (the targets to run,
# default all). Each target's corpus grows in <build>/corpus/<target>; the checked-in regression inputs in
# fuzz/regressions/<target> and the shared sample files beside the project are read as further, read-only
# corpus folders, so every earlier crash is replayed first. A crash, leak, hang or failed check leaves its input
# in <build>/artifacts and makes the script fail after the other targets ran.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
shift || true
build=${MARVANE_FUZZ_BUILD:-$root/build-fuzz}
testdata=$root/../shared/testdata

"$root/scripts/install-deps.sh"
need=()
for pkg in clang-14 libclang-rt-14-dev; do
  [[ $(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true) == "install ok installed" ]] || need+=("$pkg")
done
if [[ ${#need[@]} -gt 0 ]]; then
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DMARVANE_FUZZ=ON \
  -DMARVANE_BUILD_TESTS=OFF -DMARVANE_BUILD_BENCH=OFF -DMARVANE_SKIP="appearance;mixer;songlog;console;app" \
  "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"

# target, largest input, seed folder under the shared samples
targets=(
  "fuzz_profilefile 16384 playlists"
  "fuzz_playlist_m3u 16384 playlists"
  "fuzz_playlist_pls 16384 playlists"
  "fuzz_midifile 16384 audio/midi"
  "fuzz_decode 16384 audio"
)
wanted=${MARVANE_FUZZ_TARGETS:-}
# Leaks count as failures here, whatever the caller set for its other runs.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=1"
# The playlist targets write the input to a file and save lists: in memory, so the disk does not set the pace.
[[ -w /dev/shm ]] && export TMPDIR=${TMPDIR:-/dev/shm}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$build/artifacts" "$build/logs"
failed=()
for entry in "${targets[@]}"; do
  read -r target maxlen seeds <<<"$entry"
  [[ -z "$wanted" || " $wanted " == *" $target "* ]] || continue
  corpus=("$build/corpus/$target")
  mkdir -p "${corpus[0]}"
  [[ -d "$root/fuzz/regressions/$target" ]] && corpus+=("$root/fuzz/regressions/$target")
  [[ -d "$testdata/$seeds" ]] && corpus+=("$testdata/$seeds")
  log=$build/logs/$target.log
  echo "== $target: ${seconds} s"
  if nice -n 10 "$build/fuzz/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
      -max_len="$maxlen" -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" "${corpus[@]}" \
      >"$log" 2>&1; then
    grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 || true
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log" || true
    echo "corpus: $(find "${corpus[0]}" -type f | wc -l) files"
  else
    echo "!! $target failed; see $log and $build/artifacts"
    grep -E 'ERROR|SUMMARY|Test unit written' "$log" | head -5 || true
    failed+=("$target")
  fi
done
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "Fuzzing found faults in: ${failed[*]}"
  exit 1
fi
