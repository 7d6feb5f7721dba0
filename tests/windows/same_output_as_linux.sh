#!/usr/bin/env bash
# The Windows build (under Wine) and the Linux build of the same commit print, read, convert and
# draw the same documents into the same bytes: standard output, standard error, exit status and
# every file they write.
# Usage: same_output_as_linux.sh WINE WINDOWS_CLI LINUX_CLI SAMPLES_DIR
set -uo pipefail
source "$(dirname "$0")/arguments.sh"
trap 'rm -rf "$work"' EXIT
failures=0

# Each system works in a folder of its own with the same relative names, so messages that name a
# file read the same.
for system in linux windows; do
  mkdir -p "$work/$system"
  cp "$samples"/taketori.bse "$samples"/kaze.bse "$samples"/tenji.bes "$work/$system/"
done

run() {  # run SYSTEM NAME ARGS...: output and status into the system's folder
  local system=$1 name=$2
  shift 2
  local status=0
  if [ "$system" = linux ]; then
    (cd "$work/linux" && "$linux_cli" "$@" >"$name.out" 2>"$name.err") || status=$?
  else
    (cd "$work/windows" && "$wine" "$windows_cli" "$@" >"$name.out" 2>"$name.err") || status=$?
  fi
  echo "$status" >"$work/$system/$name.status"
}

case_number=0
same() {  # same ARGS...: both systems run the tool with ARGS
  case_number=$((case_number + 1))
  run linux "case$case_number" "$@"
  run windows "case$case_number" "$@"
}

same info taketori.bse
same info kaze.bse
same info tenji.bes
same info absent.bse
same read taketori.bse
same read tenji.bes --dots
same read kaze.bse --page 2
same convert tenji.bes converted.bse
same print taketori.bse --output taketori-default.bin
same print taketori.bse --side front --pages 1-2 --copies 2 --dots large-double --output a.bin
same print taketori.bse --side back --dots 1 --output back.bin
same print taketori.bse --side both-in-order --back no --output in-order.bin
same print taketori.bse --side single --output single.bin
same print kaze.bse --output kaze.bin
same print kaze.bse --side both --pages 2-2 --output kaze-both.bin
same print tenji.bes --output tenji.bin
same print taketori.bse --pictures pictures-taketori
same print tenji.bes --dots large --pictures pictures-tenji

if ! diff -r "$work/linux" "$work/windows"; then
  echo "FAILED: the Windows build's output differs from the Linux build's"
  failures=$((failures + 1))
fi
count=$(find "$work/linux" -type f | wc -l)
echo "$case_number commands compared, $count files each"

# The help lists only what the platform builds: no pseudo-terminal simulator on Windows, and no
# Qt pictures (view, overview) in a build without Qt.
help=$("$wine" "$windows_cli" --help 2>&1)
usage=$("$wine" "$windows_cli" frobnicate 2>&1)
for text in "$help" "$usage"; do
  if grep -qE "emboss-sim|^ +(view|overview) " <<<"$text"; then
    echo "FAILED: the Windows tool names a command that its build lacks:"
    echo "$text"
    failures=$((failures + 1))
  fi
done
if ! grep -qE "^ +print " <<<"$help"; then
  echo "FAILED: the Windows help lacks the print command"
  failures=$((failures + 1))
fi
exit $((failures > 0))
