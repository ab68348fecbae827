#!/usr/bin/env bash
# The General page against the kernel: the program watches one veth link; datagrams of
# a known size cross it both ways; the byte and packet labels must then read exactly what
# the kernel counted for that link. Taking the link down must show as disconnected. A link
# added while the program runs gets a window of its own that counts what crosses it.
#   traffic_counters.sh KELVRA_EXE KV_INSPECT_EXE
set -u
kelvra=$1
# shellcheck disable=SC2034 # read by e2e_inspect
E2E_INSPECTOR=$2
# shellcheck source-path=SCRIPTDIR source=../../tools/e2e/lib.sh
source "$(dirname "$0")/../../tools/e2e/lib.sh"
E2E_DEADLINE=150
e2e_init

# Control ids of the General page (src/StatForm/resource.h).
idStatus=1102
idUnit=1110
idByteSent=1111
idByteRecd=1112
idPackSent=1114
idPackRecd=1115
idPicture=1116
STM_GETICON=0x0171
# Ethernet, IPv4 and UDP headers of one datagram on the wire.
headerBytes=42
port=9917

e2e_quiet_link a b
links=$(e2e_exec a ip -o link show | wc -l)
[ "$links" -eq 2 ] || e2e_fail "namespace a holds $links links instead of the loopback and one veth"

# send FROM TO TO_ADDRESS COUNT SIZE: COUNT datagrams of SIZE bytes, each of them received.
send() { e2e_udp_send "$1" "$2" "$3" $port "$4" "$5"; }

# The kernel's counters of the watched link: tx_bytes rx_bytes tx_packets rx_packets.
link="a-eth0"
kernel_counters() {
    local name out=()
    for name in tx_bytes rx_bytes tx_packets rx_packets; do
        out+=("$(e2e_exec a cat "/sys/class/net/$link/statistics/$name")")
    done
    echo "${out[*]}"
}

# label ID: the text of a control of the window, from the last `children` listing.
label() { e2e_label "$controls" "$1"; }

# Reads the window's four counters into shown (same order as kernel_counters), and its
# other labels into $controls.
read_window() {
    controls=$(e2e_inspect a children "$hwnd") || e2e_fail "cannot list the controls of $hwnd"
    shown="$(e2e_number "$(label $idByteSent)") $(e2e_number "$(label $idByteRecd)") $(e2e_number "$(label $idPackSent)") $(e2e_number "$(label $idPackRecd)")"
}

# Waits (bounded) until the window shows what the kernel counts, read after the window.
await_kernel_counts() {
    local deadline=$((SECONDS + $1))
    while :; do
        read_window
        kernel=$(kernel_counters)
        [ "$shown" = "$kernel" ] && return 0
        [ $SECONDS -ge $deadline ] && e2e_fail "after $1 s the window shows '$shown', the kernel counts '$kernel' (bytes sent, received, packets sent, received)"
        sleep 0.5
    done
}

picture() {
    local icon
    icon=$(e2e_inspect a send "$(echo "$controls" | awk -F'\t' -v id=$idPicture '$2 == id { print $1; exit }')" $STM_GETICON 0 0) ||
        e2e_fail "no answer for the picture"
    echo "${icon#result$'\t'}"
}

# carries_traffic B_ADDRESS A_ADDRESS: 40 datagrams of 1,000 bytes out, 25 of 600 bytes
# in; the window's counts must grow by exactly that.
carries_traffic() {
    local before=$shown expected grown was now
    send a b "$1" 40 1000
    send b a "$2" 25 600
    expected="$((40 * (1000 + headerBytes))) $((25 * (600 + headerBytes))) 40 25"
    await_kernel_counts 6
    read -r -a was <<<"$before"
    read -r -a now <<<"$shown"
    grown="$((now[0] - was[0])) $((now[1] - was[1])) $((now[2] - was[2])) $((now[3] - was[3]))"
    e2e_log "after the traffic on $link the window shows '$shown', grown by '$grown'"
    [ "$grown" = "$expected" ] || e2e_fail "$link carried '$grown' instead of '$expected': other traffic on it?"
}

# await_status TEXT SECONDS
await_status() {
    local deadline=$((SECONDS + $2))
    while :; do
        controls=$(e2e_inspect a children "$hwnd") || e2e_fail "cannot list the controls of $hwnd"
        [ "$(label $idStatus)" = "$1" ] && return 0
        [ $SECONDS -ge $deadline ] && e2e_fail "after $2 s the status reads '$(label $idStatus)', expected '$1'"
        sleep 0.5
    done
}

# Traffic before the program starts: the totals count everything the link has counted,
# not only what passed since the window began.
send a b 10.201.1.1 5 300
send b a 10.201.1.2 3 200

e2e_install a "$kelvra"
e2e_fresh_settings a

t0=$SECONDS
atStart=$(kernel_counters)
e2e_wine_bg a 'C:\kelvra\kelvra.exe'
pid=$E2E_LAST_PID
windows=$(e2e_inspect a wait TStatsForm 1 "$E2E_START_WAIT") || e2e_fail "no status window within $E2E_START_WAIT s"
[ "$(echo "$windows" | wc -l)" -eq 1 ] || e2e_fail "$(echo "$windows" | wc -l) status windows, expected 1"
hwnd=$(echo "$windows" | cut -f1)
e2e_log "window $hwnd after $((SECONDS - t0)) s; the kernel counted '$atStart' at its start"

await_kernel_counts 5
e2e_log "at start the window shows '$shown'"
[ "$(label $idUnit)" = "字节" ] || e2e_fail "the unit reads '$(label $idUnit)', expected 字节"
[ "$(label $idStatus)" = "已连接" ] || e2e_fail "the status reads '$(label $idStatus)', expected 已连接"
carries_traffic 10.201.1.1 10.201.1.2

# Idle ticks change nothing.
sleep 2.5
idle=$shown
await_kernel_counts 0
[ "$shown" = "$idle" ] || e2e_fail "idle ticks changed the counts from '$idle' to '$shown'"
[ "$(e2e_inspect a windows TStatsForm | wc -l)" -eq 1 ] || e2e_fail "a second status window appeared"
idlePicture=$(picture)

e2e_exec a ip link set dev a-eth0 down || e2e_fail "cannot take a-eth0 down"
t1=$SECONDS
await_status "已断开连接" 5
e2e_log "disconnected shown after $((SECONDS - t1)) s"
downPicture=$(picture)
[ "$downPicture" != "$idlePicture" ] || e2e_fail "the picture stayed $idlePicture with the link down"
await_kernel_counts 0

e2e_exec a ip link set dev a-eth0 up || e2e_fail "cannot bring a-eth0 up"
await_status "已连接" 5
[ "$(picture)" = "$idlePicture" ] || e2e_fail "the picture did not return to the idle one ($idlePicture)"
await_kernel_counts 0

# A second link, as quiet as the first, while the program runs.
e2e_veth a-eth1 a b-eth1 b
e2e_addr a a-eth1 10.201.2.2/24
e2e_addr b b-eth1 10.201.2.1/24
e2e_exec a ip neigh replace 10.201.2.1 lladdr "$(e2e_exec b cat /sys/class/net/b-eth1/address)" dev a-eth1 nud permanent ||
    e2e_fail "no neighbour in a"
e2e_exec b ip neigh replace 10.201.2.2 lladdr "$(e2e_exec a cat /sys/class/net/a-eth1/address)" dev b-eth1 nud permanent ||
    e2e_fail "no neighbour in b"
t2=$SECONDS
first=$hwnd
windows=$(e2e_inspect a wait TStatsForm 2 10) || e2e_fail "no window for the added link within 10 s"
hwnd=$(echo "$windows" | cut -f1 | grep -vx "$first")
[ "$(echo "$hwnd" | wc -w)" -eq 1 ] || e2e_fail "expected one new status window, found '$hwnd'"
e2e_log "window $hwnd for the added link after $((SECONDS - t2)) s"
link="a-eth1"
await_kernel_counts 5
await_status "已连接" 5
carries_traffic 10.201.2.1 10.201.2.2

e2e_stop a "$hwnd" "$pid" 30
rc=$?
[ $rc -eq 0 ] || e2e_fail "the program ended with exit code $rc"
e2e_log "passed in $((SECONDS - t0)) s"
