#!/usr/bin/env bash
# The installed Windows application under 64-bit Wine, driven with real keys as a user drives it.
# A throwaway Wine prefix with Japanese font replacements; the installer runs silently (/S); COM1
# is mapped through Wine's registry to a pseudo-terminal with the project's embosser simulator.
# The start-up notice, Alt+B with a document of a Japanese name pasted into the file dialog, Alt+P,
# the confirmation and the back-side question: the simulator must receive exactly the sheets and
# bytes that the command-line tool makes of the same document. Then the settings dialog sets a
# slow embosser's speed, Esc during a print brings the resume dialog, the speed is saved in
# NEF.ini at quit, and, where the kernel
# runs 32-bit programs, the speech guide through the 32-bit helper to stand-in reader libraries.
# Last the silent uninstall, which must leave nothing installed behind (the user's NEF.ini stays).
# Needs an X display with a window manager (scripts/run-windows-app-test gives one).
# Usage: installed_app_under_wine.sh SETUP LINUX_CLI SAMPLES_DIR STAND_IN_READERS_32 OUT_DIR
set -uo pipefail
setup=$(realpath "$1") cli=$(realpath "$2") samples=$(realpath "$3") readers=$4 out=$5
mkdir -p "$out"
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=wineserver
simulator_pid='' app_pid='' clipboard_pid=''
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$clipboard_pid" ] && kill "$clipboard_pid" 2>/dev/null
  [ -n "$simulator_pid" ] && kill "$simulator_pid" 2>/dev/null
  "$wineserver" -k >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
failures=0 started=$SECONDS
step() { echo "[$((SECONDS - started)) s] $*"; }
fail() {
  echo "FAILED: $*"
  import -window root "$out/failure-$failures.png" 2>/dev/null
  failures=$((failures + 1))
}
winpath() { "$wine" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
source "$(dirname "$0")/installer_checks.sh"

# A visible window whose title matches, within the seconds given.
window() {
  local id
  for _ in $(seq $((${2:-30} * 10))); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}
gone() {
  for _ in $(seq $((${2:-30} * 10))); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}
# Keys to the window with the title given, once it shows and has the keyboard.
keys_to() {
  local id
  if ! id=$(window "$1" "${WAIT:-30}"); then
    fail "no window \"$1\" for the keys $*"
    return 1
  fi
  xdotool windowactivate --sync "$id" >/dev/null 2>&1 || xdotool windowfocus --sync "$id"
  sleep 0.3
  shift
  xdotool key --clearmodifiers --delay 80 "$@"
  sleep 0.3
}
# One simulator session on COM1's terminal, at the baud rate given (115200: as NEF.ini says);
# its report goes to simulator-N.txt.
simulate() {
  "$cli" emboss-sim --link "$work/COM1" --pictures "$work/sheets-$1" --baud "${2:-115200}" \
    --sessions 1 >"$work/simulator-$1.txt" 2>&1 &
  simulator_pid=$!
  for _ in $(seq 100); do [ -e "$work/COM1" ] && break; sleep 0.1; done
}
simulated() {  # waits for the session's end
  for _ in $(seq $((${2:-120} * 10))); do kill -0 "$simulator_pid" 2>/dev/null || break; sleep 0.1; done
  kill "$simulator_pid" 2>/dev/null && fail "simulator session $1 did not end"
  wait "$simulator_pid" 2>/dev/null
  simulator_pid=
  sed 's/^/  simulator: /' "$work/simulator-$1.txt"
}
# Alt+B, then the document's Windows path pasted into the file dialog's name field and Return.
# Pasted, not typed: xdotool types a character outside the keyboard map by remapping a spare key,
# and Wine drops such keys now and then, so a typed Japanese name arrives with holes in it.
choose_document() {
  local path
  path=$(winpath "$document")
  [ -n "$clipboard_pid" ] && kill "$clipboard_pid" 2>/dev/null
  printf '%s' "$path" | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
  clipboard_pid=$!
  for _ in $(seq 50); do
    [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$path" ] && break
    sleep 0.1
  done
  keys_to "Redadado" alt+b
  if window "ＢＳＥファイルの選択" 20 >/dev/null; then
    sleep 0.5
    keys_to "ＢＳＥファイルの選択" ctrl+a ctrl+v Return
    gone "ＢＳＥファイルの選択" 10 || fail "the file dialog stayed"
  else
    fail "no file dialog"
  fi
  kill "$clipboard_pid" 2>/dev/null
  clipboard_pid=
}
start_app() {
  (cd "$work" && exec "$wine" "C:\\Program Files\\Redadado\\redadado.exe") >"$work/app.txt" 2>&1 &
  app_pid=$!
}
quit_app() {
  keys_to "Redadado" alt+q
  for _ in $(seq 200); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$app_pid" 2>/dev/null; then
    fail "the application did not quit"
    kill "$app_pid"
  fi
  wait "$app_pid" 2>/dev/null
  app_pid=
}

step "Wine prefix"
WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot --init >/dev/null 2>&1
# Native controls draw Japanese with these faces: map them to the Debian font that has it.
for face in "MS UI Gothic" "MS Gothic" "MS PGothic" "Meiryo UI" "Yu Gothic UI" "MS Shell Dlg" \
  "MS Shell Dlg 2" "Tahoma"; do
  "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ \
    /d "IPAPGothic" /f >/dev/null 2>&1
done
"$wine" reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$work/COM1" /f >/dev/null 2>&1
"$wineserver" -w

step "install: redadado-setup.exe /S"
install_checked "$setup" redadado.exe redadado-speech32.exe Qt6Core.dll Qt6Gui.dll \
  Qt6Widgets.dll platforms/qwindows.dll qtbase_ja.qm qt.conf licenses/SOURCE.txt
# 115200 baud on COM1, as the simulator paces itself.
printf '12 0 0 4 0 0 0' >"$installed/NEF.ini"

# A document with a Japanese name, and what the command-line tool makes of it.
document="$work/竹取物語.bse"
cp "$samples/taketori.bse" "$document"
"$cli" print "$document" --output "$work/expected.bin" >/dev/null 2>&1
"$cli" print "$document" --pictures "$work/expected-sheets" >/dev/null 2>&1
expected_bytes=$(stat -c %s "$work/expected.bin")

step "start: the A4 notice"
simulate 1
t=$SECONDS
start_app
if window "ＮＥＦからお知らせ" 60 >/dev/null; then
  echo "  the notice after $((SECONDS - t)) s"
  keys_to "ＮＥＦからお知らせ" Return
  gone "ＮＥＦからお知らせ" 10 || fail "the notice stayed"
else
  fail "no start-up notice"
fi
window "Redadado" 20 >/dev/null || fail "no main window"
sleep 1
import -window root "$out/main-window.png" && echo "  screenshot: $out/main-window.png"

step "Alt+B, the document's path pasted into the file dialog"
choose_document

step "Alt+P, the confirmation, the back-side question"
keys_to "Redadado" alt+p
keys_to "確認" Return
gone "確認" 10
# The fronts go first; the question comes before the backs.
WAIT=120 keys_to "確認" alt+y
simulated 1 120
grep -q "接続 1: $expected_bytes バイト受信" "$work/simulator-1.txt" ||
  fail "the simulator did not receive the tool's $expected_bytes bytes"
diff -r "$work/expected-sheets" "$work/sheets-1" >/dev/null || fail "the sheets differ from the tool's"

step "the settings dialog: an embosser at 1200 baud"
# A page takes about 15 s at this speed, so the Esc below meets the run; the line's patience
# follows the speed set here, so the slow embosser is not taken for a held one.
keys_to "Redadado" alt+s
keys_to "設定" Tab Up Up Up Up Up Up Up Up Up Return
gone "設定" 10 || fail "the settings dialog stayed"

step "Esc during a print: the resume dialog, stop"
simulate 2 1200
choose_document
keys_to "Redadado" alt+p
keys_to "確認" Return
window "印刷情報" 30 >/dev/null || fail "no progress window"
# Esc to the run's window with the keyboard (Wine takes real key events only). Once the run has
# it, the escape notice shows until the page in hand is finished; only an Esc that was lost is
# pressed again, so none reaches the resume dialog.
for _ in $(seq 10); do
  if id=$(window "印刷情報" 1); then xdotool windowactivate --sync "$id" >/dev/null 2>&1; fi
  xdotool key Escape
  window '^　お知らせ$|印刷の再開・中断' 5 >/dev/null && break
done
if window "印刷の再開・中断" 60 >/dev/null; then
  keys_to "印刷の再開・中断" Return
  gone "印刷の再開・中断" 10 || fail "the resume dialog stayed"
else
  fail "Esc never brought the resume dialog"
fi
simulated 2 60
grep -q "接続 1: " "$work/simulator-2.txt" || fail "the interrupted print never reached the simulator"
grep -q "ボーレートが違います" "$work/simulator-2.txt" && fail "the print did not use the speed set"

step "quit: the speed saved in NEF.ini"
quit_app
saved=$(cat "$installed/NEF.ini" 2>/dev/null)
[ "$saved" = "3 0 0 4 0 0 0" ] || fail "NEF.ini after quit: \"$saved\", expected \"3 0 0 4 0 0 0\""

step "the speech guide through the 32-bit helper"
helper_runs=no
if [ -f "$readers/pctkusr.dll" ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  helper_runs=yes
fi
if [ $helper_runs = no ]; then
  echo "  SKIPPED: the kernel runs no 32-bit programs here (or no 32-bit stand-in readers):" \
    "Wine cannot start the 32-bit helper"
else
  cp "$readers/pctkusr.dll" "$readers/SOUNDP.DLL" "$installed/"
  for choice in 1 2; do
    rm -f "$work/calls.txt"
    printf '13 0 0 4 0 0 %s' "$choice" >"$installed/NEF.ini"
    REDADADO_READER_LOG=$(winpath "$work/calls.txt") start_app
    keys_to "ＮＥＦからお知らせ" Return
    gone "ＮＥＦからお知らせ" 10
    for _ in $(seq 18); do keys_to "Redadado" Tab; done
    quit_app
    python3 - "$work/calls.txt" "$choice" <<'PY' || fail "the guide's texts through the helper, choice $choice"
import sys
calls = open(sys.argv[1]).read().split("\n") if len(sys.argv) > 1 else []
choice = sys.argv[2]
export = "PCTKPRead" if choice == "1" else "SoundMessage"
said = [bytes.fromhex(c.split(" ")[1]).decode("cp932") for c in calls
        if c.startswith(export + " ")]
print("  choice", choice, "said:", " / ".join(said))
# The buttons in the window's tab order, from the first button round to the quit button.
order = ["ＢＳＥファイル選択のボタン　ビー", "ＢＥＳファイル選択のボタン　イー",
         "文章ファイルを呼び出してください", "部数　1", "部数のアップダウン", "ビューのボタン　ブイ",
         "登録のボタン　ティー", "印刷のボタン　ピー", "設定のボタン　エス", "終了のボタン　キュー"]
position = 0
for text in said:
    if position < len(order) and text == order[position]:
        position += 1
if position != len(order):
    sys.exit(f"missing from the tab order: {order[position]}")
PY
  done
  rm -f "$installed/pctkusr.dll" "$installed/SOUNDP.DLL"
fi

step "uninstall: uninstall.exe /S"
uninstall_checked

step "done: $failures failure(s)"
exit $((failures > 0))
