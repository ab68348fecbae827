#!/usr/bin/env bash
# IPv6 rows and the program behind a connection on the Connections page, against the
# kernel: two namespaces joined by a veth that carries IPv6 (ULA addresses, no duplicate
# address detection, fixed neighbours) beside IPv4. In the program's namespace an IPv6
# socket listens, and IPv6 connections run to and from the peer; a Windows program
# (kv_tcphold) holds one IPv4 and one IPv6 connection. The page must list the IPv6 rows
# after the IPv4 ones with their compressed addresses and ports, and name the Windows
# program's process (its id and "kv_tcphold.exe") where Wine tells it. Looking up every
# row through the probe library names the peer's addresses of both families (a private
# hosts file, a resolver on the loopback: no lookup leaves the machine). The details
# window lists the adapter's IPv6 address.
#
# What Wine (8.0) reports as a connection's owner: the Windows process that holds the
# socket's descriptor. Sockets of native Linux programs (the python3 ones here) belong to
# no Windows process and show process id 0 without a name; so does a Windows program's
# socket before the program first sends or receives on it (until then only Wine's server
# holds it), which is why kv_tcphold sends a byte. And Wine 8.0 names no owner of any IPv6
# connection (process id 0: its reading of /proc/net/tcp6 takes another column for the
# socket's inode), so the owner is checked on kv_tcphold's IPv4 row and logged, with the
# native sockets' owners, for its IPv6 row.
#   connections_ipv6.sh KELVRA_EXE KV_INSPECT_EXE KV_TCPHOLD_EXE
set -u
kelvra=$1
# shellcheck disable=SC2034 # read by e2e_inspect
E2E_INSPECTOR=$2
tcphold=$3
# A mount namespace of our own, so the private hosts file and resolver reach every
# program of this test and nothing else.
if [ -z "${KV_CONN6_UNSHARED-}" ]; then
    KV_CONN6_UNSHARED=1 exec unshare -m --propagation private bash "$0" "$@"
fi
# shellcheck source-path=SCRIPTDIR source=../../tools/e2e/lib.sh
source "$(dirname "$0")/../../tools/e2e/lib.sh"
E2E_DEADLINE=150
e2e_init
e2e_private_names $'127.0.0.1 localhost\n10.201.1.1 peer4.test\nfd00:7e::2 peer6.test\n'

# Control ids (src/StatForm/resource.h) and messages.
idPages=1010
idList=1600
WM_KEYDOWN=0x0100
WM_CONTEXTMENU=0x007B
VK_UP=0x26
VK_RETURN=0x0D
idBtnDetails=1215
idDetailList=6102
idDetailClose=6103
BM_CLICK=0x00F5
VK_RIGHT=0x27
hold=90

local4=10.201.1.2
peer4=10.201.1.1
local6=fd00:7e::1
peer6=fd00:7e::2

# The link: IPv6 without autoconfiguration, router solicitations, duplicate address
# detection or link-local addresses, and fixed neighbours of both families, so that
# nothing is sent on it but what the test's sockets send.
e2e_netns_create a
e2e_netns_create b
for ns in a b; do
    e2e_exec $ns sysctl -qw net.ipv6.conf.default.accept_ra=0 net.ipv6.conf.default.autoconf=0 \
        net.ipv6.conf.default.router_solicitations=0 net.ipv6.conf.default.accept_dad=0 \
        net.ipv6.conf.default.addr_gen_mode=1 || e2e_fail "cannot set the IPv6 defaults of $ns"
done
e2e_veth a-eth0 a b-eth0 b
e2e_addr a a-eth0 $local4/24
e2e_addr b b-eth0 $peer4/24
e2e_exec a ip -6 addr add $local6/64 dev a-eth0 nodad || e2e_fail "cannot add $local6"
e2e_exec b ip -6 addr add $peer6/64 dev b-eth0 nodad || e2e_fail "cannot add $peer6"
macA=$(e2e_exec a cat /sys/class/net/a-eth0/address)
macB=$(e2e_exec b cat /sys/class/net/b-eth0/address)
for address in $peer4 $peer6; do
    e2e_exec a ip neigh replace "$address" lladdr "$macB" dev a-eth0 nud permanent || e2e_fail "no neighbour $address"
done
for address in $local4 $local6; do
    e2e_exec b ip neigh replace "$address" lladdr "$macA" dev b-eth0 nud permanent || e2e_fail "no neighbour $address"
done

e2e_tcp a listen $local6 8086 listen6-a $hold
e2e_tcp b listen $peer6 9096 listen6-b $hold
e2e_tcp b listen $peer4 9090 listen4-b $hold
e2e_tcp a connect $peer6 9096 out6 $hold
e2e_tcp b connect $local6 8086 in6 $hold
out6=$(cat "$E2E_WORK/out6")
in6=$(cat "$E2E_WORK/in6")

e2e_install a "$kelvra" "$(dirname "$kelvra")/kelvra.dll" "$tcphold"
e2e_fresh_settings a

# hold_from NAME ADDRESS PORT: the Windows program connects and holds; sets held to its
# "PID LOCALPORT".
hold_from() {
    local deadline=$((SECONDS + 20))
    e2e_wine_bg a 'C:\kelvra\kv_tcphold.exe' "$2" "$3" $hold
    until [ -s "$E2E_LAST_OUT.out" ]; do
        kill -0 "$E2E_LAST_PID" 2>/dev/null || e2e_fail "kv_tcphold to $2 ended: $(cat "$E2E_LAST_OUT.err")"
        [ $SECONDS -ge $deadline ] && e2e_fail "kv_tcphold to $2 did not connect"
        sleep 0.2
    done
    held=$(head -n1 "$E2E_LAST_OUT.out" | tr -d '\r')
    e2e_log "kv_tcphold $1: pid and port $held"
}
hold_from v4 $peer4 9090
read -r pid4 port4 <<<"$held"
hold_from v6 $peer6 9096
read -r pid6 port6 <<<"$held"

e2e_show_status a
pid=$E2E_LAST_PID hwnd=$E2E_HWND controls=$E2E_CONTROLS
pages=$(e2e_control "$controls" $idPages)
list=$(e2e_control "$controls" $idList)
if [ -z "$pages" ] || [ -z "$list" ]; then
    e2e_fail "no page control or connections list among the controls"
fi
for _ in 1 2 3 4 5; do # to the Connections page, as the arrow keys move between tabs
    e2e_inspect a post "$pages" $WM_KEYDOWN $VK_RIGHT 0 >/dev/null || e2e_fail "cannot press a key"
done

# The list's cells, one row a line, separated by tabs.
rows() {
    local out
    out=$(e2e_inspect a rows "$list") || e2e_fail "cannot read the list's rows"
    [ -z "$out" ] || echo "$out" | cut -f3-
}
deadline=$((SECONDS + 10))
until [ -n "$(rows)" ]; do
    [ $SECONDS -ge $deadline ] && e2e_fail "the connections list stayed empty"
    sleep 0.3
done
listed=$(rows)
# expect_row CELLS: the line number of the row with these cells (tab-separated; five
# cells are compared with a row's first five). Fails the test; inside $(...) the caller
# must exit on its failure.
expect_row() {
    local at
    at=$(echo "$listed" | grep -nxF -m1 -- "$1" | cut -d: -f1)
    [ -z "$at" ] && at=$(echo "$listed" | cut -f1-5 | grep -nxF -m1 -- "$1" | cut -d: -f1)
    [ -n "$at" ] || e2e_fail "no row '$1' among:
$listed"
    echo "$at"
}
tab=$'\t'
expect_row "$local6${tab}8086$tab::${tab}0${tab}LISTEN" >/dev/null
expect_row "$local6$tab$out6$tab$peer6${tab}9096${tab}ESTABLISHED" >/dev/null
in6row=$(expect_row "$local6${tab}8086$tab$peer6$tab$in6${tab}ESTABLISHED") || exit 1
expect_row "$local4$tab$port4$tab$peer4${tab}9090${tab}ESTABLISHED$tab$pid4${tab}kv_tcphold.exe" >/dev/null
owned6=$(expect_row "$local6$tab$port6$tab$peer6${tab}9096${tab}ESTABLISHED") || exit 1

# The IPv6 rows come after every IPv4 row.
lastV4=$(echo "$listed" | cut -f1 | grep -nv ':' | tail -n1 | cut -d: -f1)
firstV6=$(echo "$listed" | cut -f1 | grep -n ':' | head -n1 | cut -d: -f1)
[ "$lastV4" -lt "$firstV6" ] || e2e_fail "an IPv4 row (line $lastV4) after the first IPv6 row (line $firstV6):
$listed"
e2e_log "owners as Wine reports them: kv_tcphold's IPv6 connection (pid $pid6) '$(echo "$listed" |
    sed -n "${owned6}p" | cut -f6-)', a native socket's '$(echo "$listed" | sed -n "${in6row}p" | cut -f6-)'"
e2e_log "Connections page: $(echo "$listed" | wc -l) rows, the IPv6 ones and both of kv_tcphold's among them"

# "反向查找所有IP": the peer's names replace its addresses in the rows of both families.
# The list's context menu, opened as by the menu key; its last entry is chosen from the
# keyboard (the menu loop takes the keys of the window's thread).
e2e_inspect a post "$list" $WM_CONTEXTMENU "$list" 0xFFFFFFFF >/dev/null || e2e_fail "cannot open the menu"
sleep 1
e2e_inspect a post "$hwnd" $WM_KEYDOWN $VK_UP 0 >/dev/null || e2e_fail "cannot press a key"
e2e_inspect a post "$hwnd" $WM_KEYDOWN $VK_RETURN 0 >/dev/null || e2e_fail "cannot press a key"
deadline=$((SECONDS + 30))
until rows | grep -qF "$port6${tab}peer6.test${tab}9096${tab}ESTABLISHED$tab" &&
    rows | grep -qF "${tab}peer4.test${tab}9090${tab}ESTABLISHED$tab$pid4$tab"; do
    [ $SECONDS -ge $deadline ] && e2e_fail "the peer's names did not replace its addresses:
$(rows)"
    sleep 0.5
done
e2e_log "lookups: the peer named in the rows of both families"

# The details window lists the adapter's IPv6 address after its IPv4 one. The click is
# posted, since the button's handler runs until the window closes.
control() { e2e_inspect a control "$1" "$2" | cut -f1; }
e2e_inspect a post "$(control "$hwnd" $idBtnDetails)" $BM_CLICK 0 0 >/dev/null || e2e_fail "cannot press the details button"
detail=$(e2e_inspect a wait TNetDetail 1 10 | cut -f1) || e2e_fail "no details window within 10 s"
details=$(e2e_inspect a rows "$(control "$detail" $idDetailList)" | cut -f3-) || e2e_fail "cannot read the details"
expect_in_details() {
    echo "$details" | grep -nxF -m1 -- "$1" | cut -d: -f1 | grep . || e2e_fail "no details row '$1' among:
$details"
}
v4at=$(expect_in_details "IP 地址${tab}$local4") || exit 1
v6at=$(expect_in_details "IPv6 地址${tab}$local6") || exit 1
[ "$v4at" -lt "$v6at" ] || e2e_fail "the IPv6 address stands before the IPv4 one"
e2e_log "details window: $(echo "$details" | grep -F 'IPv6' | tr '\t\n' '  ')"
e2e_inspect a post "$(control "$detail" $idDetailClose)" $BM_CLICK 0 0 >/dev/null
e2e_inspect a wait TNetDetail =0 10 >/dev/null || e2e_fail "the details window did not close"

e2e_stop a "$hwnd" "$pid" 30
rc=$?
[ $rc -eq 0 ] || e2e_fail "the program ended with exit code $rc"
