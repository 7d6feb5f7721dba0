#!/usr/bin/env bash
# The Win32 serial port end to end: Wine maps COM1, through its registry, to a pseudo-terminal
# whose far end is the project's embosser simulator (the Linux build). The Windows tool prints a
# sample through --port COM1, the Linux tool the same through the terminal's path; the simulator
# must see the same bytes (byte count, decoded sheets, pictures) and the line settings it expects
# both times. Two copies outgrow the simulator's buffer, so Xoff holds the Windows writes.
# Usage: serial_port_under_wine.sh WINE WINDOWS_CLI LINUX_CLI SAMPLES_DIR
set -uo pipefail
source "$(dirname "$0")/arguments.sh"
simulator_pid=
cleanup() {
  [ -n "$simulator_pid" ] && kill "$simulator_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
wineserver=$(dirname "$(readlink -f "$wine")")/wineserver
[ -x "$wineserver" ] || wineserver=wineserver

# Copies of the tools, each with its NEF.ini beside it: COM1, 19200 baud, Xon/Xoff, 8 data bits,
# no parity, one stop bit. The simulator reads the same settings as the line it expects.
mkdir "$work/linux" "$work/windows"
cp "$linux_cli" "$work/linux/redadado-cli"
cp "$windows_cli" "$work/windows/redadado-cli.exe"
for system in linux windows; do echo "8 0 0 4 0 0 0" >"$work/$system/NEF.ini"; done
cp "$samples/taketori.bse" "$work/"

# COM1 of the Wine prefix is the simulator's link. Wine applies the mapping when it starts.
"$wine" reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$work/COM1" /f >/dev/null 2>&1
"$wineserver" -w
# A wineserver of its own, so that what it prints on leaving stays out of the tool's messages.
"$wineserver" -p5 >/dev/null 2>&1

emboss() {  # emboss SYSTEM PORT: one simulator session while SYSTEM's tool prints to PORT
  local system=$1 port=$2
  "$work/linux/redadado-cli" emboss-sim --link "$work/COM1" --pictures "$work/sheets-$system" \
    --sessions 1 >"$work/simulator-$system.txt" 2>&1 &
  simulator_pid=$!
  for _ in $(seq 100); do [ -e "$work/COM1" ] && break; sleep 0.1; done
  local status=0
  if [ "$system" = linux ]; then
    (cd "$work" && timeout 120 "$work/linux/redadado-cli" print taketori.bse --copies 2 \
      --port "$port") >"$work/print-$system.txt" 2>&1 || status=$?
  else
    (cd "$work" && timeout 120 "$wine" "$work/windows/redadado-cli.exe" print taketori.bse \
      --copies 2 --port "$port") >"$work/print-$system.txt" 2>&1 || status=$?
  fi
  for _ in $(seq 100); do kill -0 "$simulator_pid" 2>/dev/null || break; sleep 0.1; done
  kill "$simulator_pid" 2>/dev/null
  wait "$simulator_pid" 2>/dev/null
  simulator_pid=
  echo "$system: print exit $status"
  cat "$work/print-$system.txt"
  grep -v "^仮想点字プリンター" "$work/simulator-$system.txt" | sed "s|sheets-$system|SHEETS|"
  return "$status"
}

failures=0
emboss linux "$work/COM1" || failures=$((failures + 1))
emboss windows COM1 || failures=$((failures + 1))
linux=$(grep -v "^仮想点字プリンター" "$work/simulator-linux.txt" | sed "s|sheets-linux|SHEETS|")
windows=$(grep -v "^仮想点字プリンター" "$work/simulator-windows.txt" | sed "s|sheets-windows|SHEETS|")
if [ -z "$linux" ] || [ "$linux" != "$windows" ]; then
  echo "FAILED: the simulator saw different sessions"
  failures=$((failures + 1))
fi
# A session that went well is the one summary line: any line after it is a problem it found.
if [ "$(wc -l <<<"$windows")" -ne 1 ]; then
  echo "FAILED: the simulator found problems with the Windows session"
  failures=$((failures + 1))
fi
if ! diff -r "$work/sheets-linux" "$work/sheets-windows"; then
  echo "FAILED: the sheets differ"
  failures=$((failures + 1))
fi
exit $((failures > 0))
