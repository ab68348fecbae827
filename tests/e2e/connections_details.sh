#!/usr/bin/env bash
# The Connections and Details pages against the kernel: in the program's namespace a
# socket listens and two connections run to and from a peer namespace over a veth; the
# Connections page must list them as LISTEN and ESTABLISHED rows with their addresses
# and ports, read again when the page comes back into view, and the Details page must
# show the namespace's own TCP and IP counters (/proc/net/snmp there).
#   connections_details.sh KELVRA_EXE KV_INSPECT_EXE
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
idList=1600
idActCon=1232
idPasCon=1234
idCon=1236
idReset=1238
idFailed=1240
idTTL=1242
idDatagram=1244
idDGError=1246
WM_KEYDOWN=0x0100
VK_LEFT=0x25
VK_RIGHT=0x27
hold=90

e2e_quiet_link a b
local_ip=10.201.1.2
peer_ip=10.201.1.1

e2e_tcp a listen "$local_ip" 8080 listen-a $hold
e2e_tcp b listen "$peer_ip" 9090 listen-b $hold
e2e_tcp a connect "$peer_ip" 9090 out $hold
outPort=$(cat "$E2E_WORK/out")

e2e_install a "$kelvra"
e2e_fresh_settings a
e2e_show_status a
pid=$E2E_LAST_PID hwnd=$E2E_HWND controls=$E2E_CONTROLS
pages=$(e2e_control "$controls" $idPages)
list=$(e2e_control "$controls" $idList)
if [ -z "$pages" ] || [ -z "$list" ]; then
    e2e_fail "no page control or connections list among the controls"
fi

# press KEY COUNT: arrow keys to the page control, as the user moves between tabs.
press() {
    local i
    for ((i = 0; i < $2; i++)); do
        e2e_inspect a post "$pages" $WM_KEYDOWN "$1" 0 >/dev/null || e2e_fail "cannot press a key"
    done
}

# The TCP and IP figures of namespace a, in the order of the page's eight labels.
kernel_figures() {
    # shellcheck disable=SC2016 # awk's own variables
    e2e_exec a awk '
        $1 == "Tcp:" && !tcp { for (i = 2; i <= NF; i++) th[i] = $i; tcp = 1; next }
        $1 == "Tcp:" { for (i = 2; i <= NF; i++) t[th[i]] = $i }
        $1 == "Ip:" && !ip { for (i = 2; i <= NF; i++) ih[i] = $i; ip = 1; next }
        $1 == "Ip:" { for (i = 2; i <= NF; i++) p[ih[i]] = $i }
        END { printf "%s %s %s %s %s %s %s %s\n", t["ActiveOpens"], t["PassiveOpens"], t["CurrEstab"],
                     t["EstabResets"], t["AttemptFails"], p["DefaultTTL"], p["InReceives"],
                     (p["InHdrErrors"] + p["InAddrErrors"]) % 4294967296 }' /proc/net/snmp
}
shown_figures() {
    local out=() id
    controls=$(e2e_inspect a children "$hwnd") || e2e_fail "cannot list the controls of $hwnd"
    for id in $idActCon $idPasCon $idCon $idReset $idFailed $idTTL $idDatagram $idDGError; do
        out+=("$(e2e_label "$controls" "$id")")
    done
    echo "${out[*]}"
}

press $VK_RIGHT 2 # Details
deadline=$((SECONDS + 10))
while :; do
    shown=$(shown_figures)
    kernel=$(kernel_figures)
    [ "$shown" = "$kernel" ] && break
    [ $SECONDS -ge $deadline ] && e2e_fail "the Details page shows '$shown', the kernel counts '$kernel'"
    sleep 0.5
done
e2e_log "Details page: '$shown' as the kernel counts"
read -r -a figures <<<"$shown"
if [ "${figures[0]}" -lt 1 ] || [ "${figures[2]}" -lt 1 ]; then
    e2e_fail "no active open or current connection in '$shown'"
fi

# rows: the list's rows as "CELL CELL CELL CELL CELL", one a line: the addresses, ports and
# state; the program columns after them are left out.
rows() {
    local out
    out=$(e2e_inspect a rows "$list") || e2e_fail "cannot read the list's rows"
    [ -z "$out" ] || echo "$out" | cut -f3-7 | tr '\t' ' '
}
expect_row() {
    echo "$1" | grep -qxF "$2" || e2e_fail "no row '$2' among:
$1"
}

press $VK_RIGHT 3 # Connections
deadline=$((SECONDS + 10))
until [ -n "$(rows)" ]; do
    [ $SECONDS -ge $deadline ] && e2e_fail "the connections list stayed empty"
    sleep 0.3
done
listed=$(rows)
expect_row "$listed" "$local_ip 8080 0.0.0.0 0 LISTEN"
expect_row "$listed" "$local_ip $outPort $peer_ip 9090 ESTABLISHED"
# What Wine tells of the programs behind sockets of Linux programs is noted, not asserted.
e2e_log "program columns of the listener: $(e2e_inspect a rows "$list" | grep -F "$local_ip	8080	0.0.0.0" |
    cut -f8- | tr '\t' ' ')"

# A connection made while the page shows appears once the page comes back into view.
e2e_tcp b connect "$local_ip" 8080 in $hold
inPort=$(cat "$E2E_WORK/in")
sleep 0.5
listed=$(rows)
echo "$listed" | grep -qF "$peer_ip $inPort" && e2e_fail "the list changed while its page stayed in view"
press $VK_LEFT 1
press $VK_RIGHT 1
deadline=$((SECONDS + 10))
until rows | grep -qxF "$local_ip 8080 $peer_ip $inPort ESTABLISHED"; do
    [ $SECONDS -ge $deadline ] && e2e_fail "the incoming connection did not appear after the page came back:
$(rows)"
    sleep 0.3
done
e2e_log "Connections page: $(rows | wc -l) rows, the listener and both connections among them"

e2e_stop a "$hwnd" "$pid" 30
rc=$?
[ $rc -eq 0 ] || e2e_fail "the program ended with exit code $rc"
