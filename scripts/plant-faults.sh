#!/usr/bin/env bash
# Plants deliberate faults in the program, one at a time, and checks that the tests catch each of them.
#
# Usage: scripts/plant-faults.sh [build-folder] [extra ctest options...]
#
# For every fault: the source file is copied aside, the fault is written into it, the build folder is brought
# up to date (ninja rebuilds only what depends on the file), the tests run (ctest; the failed ones once more, so
# that a test that fails only now and then cannot pass for a catch), and the file is put back. One line per fault
# says "caught" and by which test programs, or "MISSED" (every test passed); "BROKEN" means the faulty program did
# not build. The source is restored on every exit, Ctrl+C included. Exits non-zero when a fault was missed or
# broke the build, or when the tests fail without a fault.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shift || true
build=$(cd "$build" && pwd)
ctest_options=("$@")
cd "$root"

# Each fault: name, file name (looked up under src/, wherever it lives), exact original text, replacement.
faults=()
fault() { faults+=("$1" "$2" "$3" "$4"); }

fault "volume law: integer division in the step" volumelaw.cpp \
  'RoundHalfEven(product / 300.0)' 'RoundHalfEven(product / 300)'
fault "volume law: one attenuation step too few" volumelaw.cpp \
  'i <= step; ++i' 'i < step; ++i'
fault "volume law: wrong offset" volumelaw.cpp \
  'attenuation -= 431.0;' 'attenuation -= 413.0;'

fault "chooser: gives up one bad file early" nextsongchooser.cpp \
  'badCount > kBadCandidateLimit' 'badCount >= kBadCandidateLimit'
fault "chooser: keeps one played song too many" nextsongchooser.cpp \
  'played.size() >= host_.NoRep()' 'played.size() > host_.NoRep()'
fault "chooser: recent songs compared with letter case" nextsongchooser.cpp \
  'song.compare(drawn, Qt::CaseInsensitive)' 'song.compare(drawn, Qt::CaseSensitive)'
fault "chooser: list end ignores the loop switch" nextsongchooser.cpp \
  'host_.SetAutoPilotOn(host_.AutoPilotLoop());' 'host_.SetAutoPilotOn(false);'

fault "profile file: CR LF lines kept as LF" profilefile.cpp \
  'if (length == 2) return kCrLf;' 'if (length == 2) return kLf;'
fault "profile file: the last of duplicate keys counts" profilefile.cpp \
  'for (qsizetype i = static_cast<qsizetype>(section.lines.size()) - 1; i >= 0; --i) {' \
  'for (qsizetype i = 0; i < static_cast<qsizetype>(section.lines.size()); ++i) {'
fault "profile file: closing quote kept in values" profilefile.cpp \
  'value.mid(1, value.size() - 2)' 'value.mid(1, value.size() - 1)'

fault "crossfader: left and right levels swapped" minicrossfader.cpp \
  'rightLevel_ = Level(position_);
  leftLevel_ = Level(kMaxPosition - position_);' 'rightLevel_ = Level(kMaxPosition - position_);
  leftLevel_ = Level(position_);'
fault "crossfader: levels truncated instead of rounded" minicrossfader.cpp \
  'static_cast<int>(std::nearbyint(twips / kTwipsPerLevel))' 'static_cast<int>(std::floor(twips / kTwipsPerLevel))'
fault "crossfader: level spread over the whole travel" minicrossfader.cpp \
  'kTwipsPerLevel = 11.4;' 'kTwipsPerLevel = 22.8;'

fault "playlist writer: plain lines end in LF" playlistfile.cpp \
  'bytes.append(text.toUtf8()).append("\r\n");' 'bytes.append(text.toUtf8()).append("\n");'
fault "playlist writer: .pls count one short" playlistfile.cpp \
  'QString::number(items.size()));' 'QString::number(items.size() - 1));'
fault "playlist writer: names in the folder written whole" playlistfile.cpp \
  'return entryFolder == folder ? name : entry;' 'return entryFolder != folder ? name : entry;'
fault "playlist writer: .pls values cut at the read limit" playlistfile.cpp \
  '.left(kPlsWriteLimit));' '.left(kPlsReadLimit));'

backup_dir=$(mktemp -d)
planted_file=""
restore() {
  if [[ -n "$planted_file" ]]; then
    cp "$backup_dir/original" "$planted_file"
    planted_file=""
  fi
}
on_exit() {
  local status=$?
  restore
  rm -rf "$backup_dir"
  exit "$status"
}
trap on_exit EXIT
trap 'echo "interrupted: source restored" >&2; exit 130' INT TERM

# The one file called $1 under src/; fails when there is none or more than one.
locate() {
  local found
  mapfile -t found < <(find src -name "$1" -type f)
  if [[ ${#found[@]} -ne 1 ]]; then
    echo "error: expected one src file named $1, found ${#found[@]}" >&2
    exit 2
  fi
  echo "${found[0]}"
}

build_quietly() { cmake --build "$build" >"$backup_dir/build.log" 2>&1; }
# Runs the tests, then the failed ones again; prints the tests that failed both times.
failing_tests() {
  ctest --test-dir "$build" "${ctest_options[@]}" >"$backup_dir/test.log" 2>&1 && return 0
  ctest --test-dir "$build" --rerun-failed "${ctest_options[@]}" >"$backup_dir/rerun.log" 2>&1 && return 0
  local names
  names=$(grep -E '^\s*[0-9]+ - .* \(' "$backup_dir/rerun.log" | sed -E 's/^\s*[0-9]+ - //; s/ \(.*//' |
    paste -sd, - || true)
  echo "${names:-some test (see ctest --rerun-failed)}"
}

# Every original text must be there exactly once before anything is changed.
for ((i = 0; i < ${#faults[@]}; i += 4)); do
  file=$(locate "${faults[i + 1]}")
  text=$(cat "$file"; printf x)
  text=${text%x}
  rest=${text//"${faults[i + 2]}"/}
  count=$(((${#text} - ${#rest}) / ${#faults[i + 2]}))
  if [[ $count -ne 1 ]]; then
    echo "error: fault \"${faults[i]}\": original text found $count times in $file" >&2
    exit 2
  fi
done

echo "building and running the tests without a fault..."
if ! build_quietly; then
  cat "$backup_dir/build.log" >&2
  echo "error: the program does not build as it is" >&2
  exit 2
fi
failed=$(failing_tests)
if [[ -n "$failed" ]]; then
  echo "error: the tests fail without any fault planted: $failed" >&2
  exit 2
fi

caught=0
missed=0
broken=0
for ((i = 0; i < ${#faults[@]}; i += 4)); do
  name=${faults[i]}
  file=$(locate "${faults[i + 1]}")
  cp "$file" "$backup_dir/original"
  planted_file=$file
  text=$(cat "$file"; printf x)
  text=${text%x}
  printf '%s' "${text/"${faults[i + 2]}"/"${faults[i + 3]}"}" >"$file"
  if ! build_quietly; then
    result="BROKEN (does not build)"
    broken=$((broken + 1))
  else
    failed=$(failing_tests)
    if [[ -z "$failed" ]]; then
      result="MISSED"
      missed=$((missed + 1))
    else
      result="caught by $failed"
      caught=$((caught + 1))
    fi
  fi
  restore
  printf '%-72s %s\n' "$name ($(basename "$file"))" "$result"
done

echo "rebuilding the restored source..."
build_quietly || echo "warning: the restored source did not build" >&2
total=$((${#faults[@]} / 4))
echo "summary: $caught of $total faults caught, $missed missed, $broken did not build"
[[ $missed -eq 0 && $broken -eq 0 ]]
