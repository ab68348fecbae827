#!/usr/bin/env bash
# The end of the Windows session stops the program, and every window's settings are
# in the registry by then.
#   session_end.sh KELVRA_EXE KV_INSPECT_EXE
set -u
kelvra=$1
# shellcheck disable=SC2034 # read by e2e_inspect
E2E_INSPECTOR=$2
# shellcheck source-path=SCRIPTDIR source=../../tools/e2e/lib.sh
source "$(dirname "$0")/../../tools/e2e/lib.sh"
E2E_DEADLINE=150
e2e_init

e2e_links a b 2

e2e_install a "$kelvra"
settings=$E2E_SETTINGS_KEY
e2e_fresh_settings a

e2e_wine_bg a 'C:\kelvra\kelvra.exe'
pid=$E2E_LAST_PID
e2e_inspect a wait TStatsForm 2 "$E2E_START_WAIT" >/dev/null || e2e_fail "no two status windows within $E2E_START_WAIT s"

# What a logoff does: every top-level window is asked whether the session may end.
E2E_WINE_TIMEOUT=30 e2e_wine a wineboot --end-session >/dev/null 2>&1
e2e_wait_exit "$pid" 30
rc=$?
[ $rc -eq 0 ] || e2e_fail "the program ended with exit code $rc"

saved=$(e2e_wine a reg query "$settings" /s 2>/dev/null | tr -d '\r')
subkeys=$(echo "$saved" | grep -c '^HKEY_CURRENT_USER.*TCPIP_')
colours=$(echo "$saved" | grep -c 'DownloadLineColor')
e2e_log "settings after the session ended:"
echo "$saved" >&2
[ "$subkeys" -eq 2 ] || e2e_fail "$subkeys window subkeys, expected 2"
[ "$colours" -eq 2 ] || e2e_fail "$colours windows saved their colours, expected 2"
e2e_log "passed"
