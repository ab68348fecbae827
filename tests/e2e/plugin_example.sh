#!/usr/bin/env bash
# The program with the example plug-in beside it, watching one quiet veth link: the
# Network page says there is no network information (Wine's providers answer "no
# network") and nothing breaks; the plug-in's command is the last of the extra-commands
# menu, and its window shows the link's interface index and the kernel's byte counts.
#   plugin_example.sh KELVRA_EXE KV_INSPECT_EXE
set -u
kelvra=$1
# shellcheck disable=SC2034 # read by e2e_inspect
E2E_INSPECTOR=$2
# shellcheck source-path=SCRIPTDIR source=../../tools/e2e/lib.sh
source "$(dirname "$0")/../../tools/e2e/lib.sh"
# More steps than most: more of the test's 180 s, leaving the cleanup its time.
E2E_DEADLINE=150
e2e_init

# Control ids (src/StatForm/resource.h) and messages.
idPages=1010
idCommands=1218
idNetworkList=1400
idNetStat=1402
WM_KEYDOWN=0x0100
VK_RETURN=0x0D
VK_UP=0x26
VK_RIGHT=0x27
BM_CLICK=0x00F5
TCM_GETCURSEL=0x130B
plugin=${KELVRA_BUILD:-$(dirname "$kelvra")}/Plugins/kv_example.dll
[ -f "$plugin" ] || e2e_fail "no example plug-in at $plugin"

e2e_quiet_link a b
e2e_install a "$kelvra"
prefix=$(e2e_prefix_for a) || e2e_fail "no prefix for a"
mkdir -p "$prefix/drive_c/kelvra/Plugins"
cp "$plugin" "$prefix/drive_c/kelvra/Plugins/" || e2e_fail "cannot install the plug-in"
e2e_fresh_settings a

e2e_wine_bg a 'C:\kelvra\kelvra.exe'
pid=$E2E_LAST_PID
windows=$(e2e_inspect a wait TStatsForm 1 "$E2E_START_WAIT") || e2e_fail "no status window within $E2E_START_WAIT s"
hwnd=$(echo "$windows" | head -n 1 | cut -f1)

control() { e2e_inspect a control "$hwnd" "$1" || e2e_fail "no control $1 in $hwnd"; }
field() { echo "$1" | cut -f"$2"; }

# The Network page, reached as from the keyboard: three tabs to the right.
pages=$(field "$(control $idPages)" 1)
for _ in 1 2 3; do
    e2e_inspect a post "$pages" $WM_KEYDOWN $VK_RIGHT 0 >/dev/null || e2e_fail "cannot post to the tabs"
done
deadline=$((SECONDS + 10))
until [ "$(e2e_inspect a send "$pages" $TCM_GETCURSEL 0 0)" = "result	3" ]; do
    [ $SECONDS -ge $deadline ] && e2e_fail "the Network page did not come up"
    sleep 0.3
done
# The browse of "no network" ends at once: then the status line is hidden again.
deadline=$((SECONDS + 10))
until [ "$(field "$(control $idNetStat)" 4)" = 0 ]; do
    [ $SECONDS -ge $deadline ] && e2e_fail "the browse status line stays: $(control $idNetStat)"
    sleep 0.3
done
list=$(control $idNetworkList)
[ "$(field "$list" 6)" = "找不到网络信息。" ] || e2e_fail "the provider list reads '$(field "$list" 6)'"
[ "$(field "$list" 5)" = 0 ] || e2e_fail "the provider list is enabled"
e2e_log "Network page: '$(field "$list" 6)', disabled"

# The extra-commands menu, then its last entry.
button=$(field "$(control $idCommands)" 1)
e2e_inspect a post "$button" $BM_CLICK 0 0 >/dev/null || e2e_fail "cannot click the commands button"
e2e_inspect a post "$hwnd" $WM_KEYDOWN $VK_UP 0 >/dev/null || e2e_fail "cannot move in the menu"
e2e_inspect a post "$hwnd" $WM_KEYDOWN $VK_RETURN 0 >/dev/null || e2e_fail "cannot choose in the menu"
shown=$(e2e_inspect a wait TKvExample 1 15) || e2e_fail "the example's window did not open"
example=$(echo "$shown" | cut -f1)

# line NAME: the value of one line of the example's report.
line() { echo "$report" | sed 's/\\r\\n/\n/g' | awk -v n="$1" 'index($0, n ": ") == 1 { print substr($0, length(n) + 3); exit }'; }
index=$(e2e_exec a cat /sys/class/net/a-eth0/ifindex)
deadline=$((SECONDS + 10))
while :; do
    report=$(e2e_inspect a children "$example" | cut -f6)
    rx=$(e2e_exec a cat /sys/class/net/a-eth0/statistics/rx_bytes)
    tx=$(e2e_exec a cat /sys/class/net/a-eth0/statistics/tx_bytes)
    [ "$(line Index)" = "$index" ] && [ "$(line 'Bytes in')" = "$rx" ] && [ "$(line 'Bytes out')" = "$tx" ] && break
    [ $SECONDS -ge $deadline ] && e2e_fail "the example shows index '$(line Index)', bytes in '$(line 'Bytes in')', out '$(line 'Bytes out')'; the kernel: $index, $rx, $tx"
    sleep 0.5
done
[ "$(line Version)" = 1.22 ] || e2e_fail "the example reads version '$(line Version)'"
e2e_log "the example shows index $index, $rx bytes in, $tx bytes out"

e2e_stop a "$hwnd" "$pid" 30
rc=$?
[ $rc -eq 0 ] || e2e_fail "the program ended with exit code $rc"
e2e_log "passed"
