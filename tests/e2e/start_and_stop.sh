#!/usr/bin/env bash
# The program in a namespace with three links besides the loopback: one hidden status
# window per link, a second start that leaves at once without a window, and the stop
# message ending the program with the install path recorded.
#   start_and_stop.sh KELVRA_EXE KV_INSPECT_EXE
set -u
kelvra=$1
# shellcheck disable=SC2034 # read by e2e_inspect
E2E_INSPECTOR=$2
# shellcheck source-path=SCRIPTDIR source=../../tools/e2e/lib.sh
source "$(dirname "$0")/../../tools/e2e/lib.sh"
E2E_DEADLINE=150
e2e_init

e2e_links a b 3
links=$(e2e_exec a ip -o link show | wc -l)
[ "$links" -eq 4 ] || e2e_fail "namespace a holds $links links instead of the loopback and three veths"

e2e_install a "$kelvra"
settings=$E2E_SETTINGS_KEY
e2e_fresh_settings a

t0=$SECONDS
e2e_wine_bg a 'C:\kelvra\kelvra.exe'
pid=$E2E_LAST_PID

# The inspector reads each title through the program's message loop, so once it answers,
# every window of the start-up exists.
windows=$(e2e_inspect a wait TStatsForm 3 "$E2E_START_WAIT") || e2e_fail "no three status windows within $E2E_START_WAIT s"
e2e_log "status windows after $((SECONDS - t0)) s:"
echo "$windows" >&2
[ "$(echo "$windows" | wc -l)" -eq 3 ] || e2e_fail "$(echo "$windows" | wc -l) status windows, expected 3"
[ "$(echo "$windows" | cut -f2 | sort -u)" = 0 ] || e2e_fail "a status window is visible"
[ "$(echo "$windows" | cut -f3 | sort -u | wc -l)" -eq 1 ] || e2e_fail "the windows belong to several processes"

# Started again in the same session: ends by itself, with success, and opens nothing.
t1=$SECONDS
E2E_WINE_TIMEOUT=30 e2e_wine a 'C:\kelvra\kelvra.exe'
rc=$?
e2e_log "second start ended with $rc after $((SECONDS - t1)) s"
[ $rc -eq 0 ] || e2e_fail "second start: exit code $rc (124: still running after 30 s)"
kill -0 "$pid" 2>/dev/null || e2e_fail "the first instance ended"

# Three sampling ticks later there is still no other window.
if e2e_inspect a wait TStatsForm 4 3 >/dev/null 2>&1; then
    e2e_fail "a fourth status window appeared"
fi
[ "$(e2e_inspect a windows TStatsForm)" = "$windows" ] || e2e_fail "the set of status windows changed"

t2=$SECONDS
e2e_stop a "$(echo "$windows" | head -n 1 | cut -f1)" "$pid" 30
rc=$?
e2e_log "stopped with $rc after $((SECONDS - t2)) s"
[ $rc -eq 0 ] || e2e_fail "the program ended with exit code $rc"
e2e_inspect a wait TStatsForm =0 10 >/dev/null || e2e_fail "status windows outlived the program"

installPath=$(e2e_inspect a regget "$settings" InstallPath) || e2e_fail "no InstallPath in $settings"
# shellcheck disable=SC1003 # a backslash at the end, no escaped quote
expected='C:\kelvra\'
[ "$installPath" = "$expected" ] || e2e_fail "InstallPath is '$installPath', expected '$expected'"
e2e_log "passed in $((SECONDS - t0)) s"
