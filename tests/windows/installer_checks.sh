# shellcheck shell=bash
# Sourced by the installer tests: installs and uninstalls a Redadado setup silently in the Wine
# prefix WINEPREFIX and checks what each leaves. Needs $wine (64-bit), $wineserver and a fail
# function that reports a problem and counts it.
prefix=${WINEPREFIX:-$HOME/.wine}
installed="$prefix/drive_c/Program Files/Redadado"
start_menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Redadado"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Redadado'
verb_key='HKLM\Software\Classes\SystemFileAssociations\.bse\shell\Redadado.Print'

# install_checked SETUP FILE...: runs SETUP /S; each FILE (relative to the installation) must be
# there, with the Start-menu entry, the uninstall entry and the print verb for both types.
install_checked() {
  local setup=$1 t=$SECONDS f
  shift
  "$wine" "$("$wine" winepath -w "$setup" 2>/dev/null | tr -d '\r')" /S
  "$wineserver" -w
  echo "  installed in $((SECONDS - t)) s: $(find "$installed" -type f | wc -l) files," \
    "$(du -sh "$installed" | cut -f1)"
  for f in "$@" uninstall.exe; do [ -f "$installed/$f" ] || fail "not installed: $f"; done
  [ -f "$start_menu/Redadado.lnk" ] || fail "no Start-menu entry"
  "$wine" reg query "$uninstall_key" /v QuietUninstallString >/dev/null 2>&1 ||
    fail "no uninstall entry"
  for type in bse bes; do
    "$wine" reg query "${verb_key/.bse/.$type}\\command" /ve 2>/dev/null | tr -d '\r' |
      grep -qF '"C:\Program Files\Redadado\redadado.exe" "%1"' || fail "no print verb for .$type"
  done
  # The verb's name as Explorer shows it: 点字印刷, as Wine keeps it in its registry file.
  grep -qiF '@="\x70b9\x5b57\x5370\x5237"' "$prefix/system.reg" || fail "the verb is not 点字印刷"
}

# uninstall_checked: runs the uninstaller with /S; of the installation only the user's NEF.ini
# (written here beforehand) may stay, and nothing of it in the registry or the Start menu.
uninstall_checked() {
  local t=$SECONDS left
  [ -f "$installed/NEF.ini" ] || printf '12 0 0 4 0 0 0' >"$installed/NEF.ini"
  "$wine" "C:\\Program Files\\Redadado\\uninstall.exe" /S
  "$wineserver" -w
  echo "  uninstalled in $((SECONDS - t)) s"
  left=$(cd "$installed" 2>/dev/null && find . | sort | tr '\n' ' ')
  [ "$left" = ". ./NEF.ini " ] || fail "left after the uninstall: $left (only NEF.ini may stay)"
  [ -e "$start_menu" ] && fail "the Start-menu entry is still there"
  "$wine" reg query "$uninstall_key" >/dev/null 2>&1 && fail "the uninstall entry is still there"
  "$wine" reg query "$verb_key" >/dev/null 2>&1 && fail "the print verb is still registered"
}
