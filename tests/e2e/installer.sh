#!/usr/bin/env bash
# The installer in a fresh prefix, run silently: it installs the four files, the Start
# menu entry and the uninstall entry; the installed program starts, shows its window and
# stops; a second install while the program runs stops it first and keeps the user's
# settings; the silent uninstall stops the program, removes every installed file and the
# entry, and keeps the settings.
#   installer.sh KELVRA_EXE KV_INSPECT_EXE
set -u
kelvra=$1
# shellcheck disable=SC2034 # read by e2e_inspect
E2E_INSPECTOR=$2
# shellcheck source-path=SCRIPTDIR source=../../tools/e2e/lib.sh
source "$(dirname "$0")/../../tools/e2e/lib.sh"
# shellcheck source-path=SCRIPTDIR source=../../tools/e2e/release.sh
source "$(dirname "$0")/../../tools/e2e/release.sh"
# Within the test's 300 s, leaving the cleanup time to finish.
E2E_DEADLINE=220
# The installer that ships is a 32-bit program, as is everything it installs. Where no
# 32-bit program runs, the same script is built as a 64-bit installer of the 64-bit files.
if [ "$KELVRA_ARCH" != i686 ]; then
    export KELVRA_INSTALLER_TARGET=amd64-unicode
    e2e_log "this machine runs no 32-bit Windows programs: testing a 64-bit build of the installer"
fi
e2e_init

release_package "$kelvra"
e2e_links a b 1
prefix=$(e2e_prefix_for a) || e2e_fail "no prefix"
cp "$RELEASE_DIST/kelvra-setup.exe" "$prefix/drive_c/kelvra-setup.exe"
uninstallKey='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvelo'
e2e_fresh_settings a

install() {
    local rc
    E2E_WINE_TIMEOUT=60 e2e_wine a 'C:\kelvra-setup.exe' /S >/dev/null 2>&1
    rc=$?
    [ $rc -eq 0 ] || e2e_fail "the silent install ended with $rc"
}
entry() { e2e_inspect a regget "$uninstallKey" "$1"; }

install
location=$(entry InstallLocation) || e2e_fail "no uninstall entry $uninstallKey"
e2e_log "installed into $location"
dir=$(release_unix_path a "$location")
release_same_files "$dir"
[ -f "$dir/uninstall.exe" ] || e2e_fail "no uninstaller in $dir"
[ "$(find "$dir" -type f | wc -l)" -eq 5 ] || e2e_fail "$dir holds other files: $(find "$dir" -type f)"
[ "$(entry DisplayVersion)" = 1.22 ] || e2e_fail "DisplayVersion is '$(entry DisplayVersion)'"
[ "$(entry DisplayIcon)" = "$location\\kelvra.exe,0" ] || e2e_fail "DisplayIcon is '$(entry DisplayIcon)'"
quiet=$(entry QuietUninstallString) || e2e_fail "no QuietUninstallString"
[ "$quiet" = "\"$location\\uninstall.exe\" /CurrentUser /S" ] || e2e_fail "QuietUninstallString is '$quiet'"
shortcut=$(find "$prefix/drive_c/users" -path '*Start Menu/Programs/Tarvelo.lnk')
[ -n "$shortcut" ] || e2e_fail "no Start menu entry"

e2e_wine_bg a "$location\\kelvra.exe"
release_show_and_stop a "$E2E_LAST_PID"
installPath=$(e2e_inspect a regget "$E2E_SETTINGS_KEY" InstallPath) || e2e_fail "the program recorded no InstallPath"
[ "$installPath" = "$location\\" ] || e2e_fail "InstallPath is '$installPath'"

# The user's own settings, and the program running while the second install comes.
e2e_reg a add "$E2E_SETTINGS_KEY" /v CTrcWidth /t REG_DWORD /d 600 /f || e2e_fail "cannot write a setting"
e2e_wine_bg a "$location\\kelvra.exe"
pid=$E2E_LAST_PID
e2e_inspect a wait TStatsForm 1 "$E2E_START_WAIT" >/dev/null || e2e_fail "no status window before the second install"
install
e2e_wait_exit "$pid" 30
rc=$?
[ $rc -eq 0 ] || e2e_fail "the running program ended with $rc when the second install stopped it"
release_same_files "$dir"
[ "$(e2e_inspect a regget "$E2E_SETTINGS_KEY" CTrcWidth)" = 600 ] || e2e_fail "the second install lost a setting"
[ "$(e2e_inspect a regget "$E2E_SETTINGS_KEY" FirstTime)" = 1 ] || e2e_fail "the second install lost FirstTime"

# The uninstaller copies itself away and returns at once: wait (bounded) for its work.
e2e_wine_bg a "$location\\kelvra.exe"
pid=$E2E_LAST_PID
e2e_inspect a wait TStatsForm 1 "$E2E_START_WAIT" >/dev/null || e2e_fail "no status window before the uninstall"
e2e_wine a "$location\\uninstall.exe" /CurrentUser /S >/dev/null 2>&1 || e2e_fail "the uninstaller did not start"
e2e_wait_exit "$pid" 30
rc=$?
[ $rc -eq 0 ] || e2e_fail "the running program ended with $rc when the uninstall stopped it"
deadline=$((SECONDS + 30))
while [ -e "$dir" ] || entry DisplayName >/dev/null 2>&1; do
    [ $SECONDS -ge $deadline ] && e2e_fail "after 30 s the uninstall left: $(find "$dir" 2>/dev/null) $(entry DisplayName)"
    sleep 0.5
done
[ -z "$(find "$prefix/drive_c/users" -name Tarvelo.lnk)" ] || e2e_fail "the Start menu entry is still there"
[ "$(e2e_inspect a regget "$E2E_SETTINGS_KEY" CTrcWidth)" = 600 ] || e2e_fail "the silent uninstall removed the settings"
e2e_log "passed"
