#!/usr/bin/env bash
# The installer's own behaviour, without Qt: the project's NSIS script around a stand-in stage
# (the Windows tool as redadado.exe, files in folders as the deployment has them) installs
# silently under Wine with its Start-menu entry, uninstall entry and 点字印刷 verb, and the silent
# uninstaller takes away everything it installed but the user's NEF.ini.
# Usage: installer_under_wine.sh WINE WINDOWS_CLI SOURCE_DIR
set -uo pipefail
wine=$1 cli=$2 source_dir=$3
if ! command -v makensis >/dev/null; then
  echo "makensis is missing (Debian's nsis; scripts/install-deps windows)"
  exit 77
fi
wineserver=$(dirname "$(readlink -f "$wine")")/wineserver
[ -x "$wineserver" ] || wineserver=wineserver
work=$(mktemp -d)
trap 'rm -rf "$work" "${installed:-/nonexistent}"' EXIT
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
source "$(dirname "$0")/installer_checks.sh"

mkdir -p "$work/stage/platforms" "$work/stage/licenses"
cp "$cli" "$work/stage/redadado.exe"
echo "[Paths]" >"$work/stage/qt.conf"
cp "$cli" "$work/stage/platforms/qwindows.dll"
echo "licence" >"$work/stage/licenses/SOURCE.txt"
"$source_dir/packaging/windows/make-installer" "$work/stage" "$work/redadado-setup.exe" ||
  fail "makensis failed"
install_checked "$work/redadado-setup.exe" redadado.exe qt.conf platforms/qwindows.dll \
  licenses/SOURCE.txt
uninstall_checked
exit $((failures > 0))
