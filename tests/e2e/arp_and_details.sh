#!/usr/bin/env bash
# The ARP table window and the adapter details window against the kernel: after traffic
# between the program's namespace and its peer, the ARP window lists the peer's address
# with the MAC the kernel resolved for it, and the details window shows the link's own
# MAC and address. (Adding, removing and flushing entries change nothing under Wine, so
# the scripted-platform tests cover them.)
#   arp_and_details.sh KELVRA_EXE KV_INSPECT_EXE
set -u
kelvra=$1
# shellcheck disable=SC2034 # read by e2e_inspect
E2E_INSPECTOR=$2
# shellcheck source-path=SCRIPTDIR source=../../tools/e2e/lib.sh
source "$(dirname "$0")/../../tools/e2e/lib.sh"
# More steps than most: more of the test's 180 s, leaving the cleanup its time.
E2E_DEADLINE=150
e2e_init

# Control ids (src/StatForm/resource.h, src/DetailForm/resource.h, src/frmARPlst/resource.h).
idBtnDetails=1215
idBtnCommands=1218
idDetailList=6102
idDetailClose=6103
idArpList=6202
BM_CLICK=0x00F5
WM_KEYDOWN=0x0100
VK_RETURN=0x0D
VK_DOWN=0x28
port=9918

e2e_netns_create a
e2e_netns_create b
e2e_ipv6_off a
e2e_ipv6_off b
e2e_links a b 1

# One datagram from a to b: a resolves b's address, as any first packet would.
e2e_exec a python3 -c "
import socket
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.sendto(b'x', ('10.201.1.1', $port))
" || e2e_fail "cannot send from a"
peerMac=""
for _ in $(seq 50); do
    peerMac=$(e2e_exec a ip neigh show 10.201.1.1 dev a-eth0 | awk '/lladdr/ { print $3; exit }')
    [ -n "$peerMac" ] && break
    sleep 0.1
done
[ -n "$peerMac" ] || e2e_fail "a did not resolve 10.201.1.1"
ownMac=$(e2e_exec a cat /sys/class/net/a-eth0/address)
# As the windows write them: upper case, dash-separated.
shownPeer=$(echo "$peerMac" | tr 'a-f:' 'A-F-')
shownOwn=$(echo "$ownMac" | tr 'a-f:' 'A-F-')
e2e_log "peer 10.201.1.1 is $peerMac, a-eth0 is $ownMac"

e2e_install a "$kelvra"
e2e_fresh_settings a
e2e_wine_bg a 'C:\kelvra\kelvra.exe'
pid=$E2E_LAST_PID
hwnd=$(e2e_inspect a wait TStatsForm 1 "$E2E_START_WAIT" | cut -f1) || e2e_fail "no status window within $E2E_START_WAIT s"
[ -n "$hwnd" ] || e2e_fail "no status window"

# control WINDOW ID: the handle of a control of the window.
control() { e2e_inspect a control "$1" "$2" | cut -f1; }

# The details window: "详细资料(&D)..." opens it modally; the click is posted, since
# the button's handler runs until the window closes.
e2e_inspect a post "$(control "$hwnd" $idBtnDetails)" $BM_CLICK 0 0 >/dev/null || e2e_fail "cannot press the details button"
detail=$(e2e_inspect a wait TNetDetail 1 10 | cut -f1) || e2e_fail "no details window within 10 s"
rows=$(e2e_inspect a rows "$(control "$detail" $idDetailList)") || e2e_fail "cannot read the details"
e2e_log "details:"$'\n'"$rows"
value() { echo "$rows" | awk -F'\t' -v name="$1" '$3 == name { print $4; exit }'; }
[ "$(value 物理地址)" = "$shownOwn" ] || e2e_fail "the physical address reads '$(value 物理地址)', a-eth0 has $shownOwn"
[ "$(value 'IP 地址')" = "10.201.1.2" ] || e2e_fail "the address reads '$(value 'IP 地址')', expected 10.201.1.2"
[ "$(value 子网掩码)" = "255.255.255.0" ] || e2e_fail "the mask reads '$(value 子网掩码)'"
e2e_inspect a post "$(control "$detail" $idDetailClose)" $BM_CLICK 0 0 >/dev/null
e2e_inspect a wait TNetDetail =0 10 >/dev/null || e2e_fail "the details window did not close"

# The ARP window: the first entry of the extra-commands menu, chosen from the keyboard.
e2e_inspect a post "$(control "$hwnd" $idBtnCommands)" $BM_CLICK 0 0 >/dev/null || e2e_fail "cannot open the commands menu"
sleep 1
e2e_inspect a post "$hwnd" $WM_KEYDOWN $VK_DOWN 0 >/dev/null
e2e_inspect a post "$hwnd" $WM_KEYDOWN $VK_RETURN 0 >/dev/null
arpWindow=$(e2e_inspect a wait TArpListForm 1 10 | cut -f1) || e2e_fail "no ARP window within 10 s"
arpRows=$(e2e_inspect a rows "$(control "$arpWindow" $idArpList)") || e2e_fail "cannot read the ARP list"
e2e_log "ARP list:"$'\n'"$arpRows"
listed=$(echo "$arpRows" | awk -F'\t' '$3 == "10.201.1.1" { print $4; exit }')
[ "$listed" = "$shownPeer" ] || e2e_fail "10.201.1.1 is listed with '$listed', the kernel resolved $shownPeer"

e2e_stop a "$hwnd" "$pid" 30
rc=$?
[ $rc -eq 0 ] || e2e_fail "the program ended with exit code $rc"
e2e_log "passed"
