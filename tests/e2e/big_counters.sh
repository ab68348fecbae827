#!/usr/bin/env bash
# Totals beyond 4 GiB: the program watches one veth link while more than 5 GiB cross it
# each way, most of it while the program is stopped, so that more than 4 GiB pass between
# two of its samples. Once it ticks again, its sent and received byte labels must read
# exactly what the kernel counted. A count kept in 32 bits cannot see a wrap it slept
# through and comes out short by a multiple of 4 GiB.
#   big_counters.sh KELVRA_EXE KV_INSPECT_EXE
set -u
kelvra=$1
# shellcheck disable=SC2034 # read by e2e_inspect
E2E_INSPECTOR=$2
# shellcheck source-path=SCRIPTDIR source=../../tools/e2e/lib.sh
source "$(dirname "$0")/../../tools/e2e/lib.sh"
# Room for a slow link: each send may take 40 s.
E2E_DEADLINE=140
e2e_init

# Control ids of the General page (src/StatForm/resource.h).
idByteSent=1111
idByteRecd=1112
gib=$((1 << 30))
wrap=$((4 * gib))
# While the program runs, then while it is stopped: 5.25 GiB each way in all.
awakeBytes=$((gib / 2))
asleepBytes=$((19 * gib / 4))
port=9918

e2e_quiet_link a b

tcp=$E2E_WORK/tcp.py
cat >"$tcp" <<'EOF'
# An exact byte count over one TCP connection, within a time limit.
#   recv ADDRESS PORT COUNT SECONDS READY_FILE   prints the bytes received
#   send ADDRESS PORT COUNT SECONDS
import socket, sys, time
mode, address, port, count = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
deadline = time.monotonic() + float(sys.argv[5])
chunk = 1 << 20
if mode == "recv":
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind((address, port))
    listener.listen(1)
    listener.settimeout(10)
    open(sys.argv[6], "w").close()
    got = 0
    try:
        conn, _ = listener.accept()
        conn.settimeout(10)
        buffer = bytearray(chunk)
        while got < count and time.monotonic() < deadline:
            n = conn.recv_into(buffer)
            if n == 0:
                break
            got += n
        conn.close()
    except socket.timeout:
        pass
    print(got)
else:
    s = socket.create_connection((address, port), timeout=10)
    data = memoryview(bytes(chunk))
    sent = 0
    while sent < count:
        if time.monotonic() > deadline:
            sys.exit("out of time after %d bytes" % sent)
        n = min(chunk, count - sent)
        s.sendall(data[:n])
        sent += n
    # Waits for the receiver's close, so the connection's last segments have crossed.
    s.shutdown(socket.SHUT_WR)
    s.recv(1)
    s.close()
EOF

# send FROM TO TO_ADDRESS BYTES: BYTES over TCP, all of them received, within 40 s.
send() {
    local from=$1 to=$2 address=$3 bytes=$4 ready=$E2E_WORK/ready-$RANDOM receiver got
    e2e_exec "$to" timeout 50 python3 "$tcp" recv "$address" $port "$bytes" 40 "$ready" >"$ready.got" &
    receiver=$!
    e2e_wait_file "$ready" "the receiver in $to"
    e2e_exec "$from" timeout 50 python3 "$tcp" send "$address" $port "$bytes" 40 || e2e_fail "sending from $from failed"
    wait $receiver
    got=$(cat "$ready.got")
    [ "$got" = "$bytes" ] || e2e_fail "$to received $got of $bytes bytes"
}

both_ways() {
    send a b 10.201.1.1 "$1"
    send b a 10.201.1.2 "$1"
}

# The kernel's 64-bit byte counters of a-eth0: sent received.
kernel_bytes() {
    echo "$(e2e_exec a cat /sys/class/net/a-eth0/statistics/tx_bytes)" \
        "$(e2e_exec a cat /sys/class/net/a-eth0/statistics/rx_bytes)"
}

# Sets shown to the window's byte labels as plain numbers: sent received.
read_shown() {
    local controls
    controls=$(e2e_inspect a children "$hwnd") || e2e_fail "cannot list the controls of $hwnd"
    shown="$(e2e_number "$(e2e_label "$controls" $idByteSent)") $(e2e_number "$(e2e_label "$controls" $idByteRecd)")"
    [[ $shown =~ ^[0-9]+\ [0-9]+$ ]] || e2e_fail "the byte labels read '$shown'"
}

# wraps_short SHOWN KERNEL: what the window lacks, in bytes and as a count of 4 GiB wraps.
wraps_short() {
    local short=$(($2 - $1))
    if [ $((short % wrap)) -eq 0 ]; then
        echo "$short bytes ($((short / wrap)) x 4 GiB)"
    else
        echo "$short bytes (no whole number of 4 GiB)"
    fi
}

# await_kernel_bytes SECONDS: until the window shows what the kernel counts (read after
# the window); a mismatch at the deadline fails, saying by how much the window is short.
await_kernel_bytes() {
    local deadline=$((SECONDS + $1)) kernel s k
    while :; do
        read_shown
        kernel=$(kernel_bytes)
        [ "$shown" = "$kernel" ] && return 0
        if [ $SECONDS -ge $deadline ]; then
            read -r -a s <<<"$shown"
            read -r -a k <<<"$kernel"
            e2e_fail "after $1 s the window shows '$shown' bytes (sent received), the kernel counts" \
                "'$kernel': sent short by $(wraps_short "${s[0]}" "${k[0]}")," \
                "received short by $(wraps_short "${s[1]}" "${k[1]}")"
        fi
        sleep 0.5
    done
}

e2e_install a "$kelvra"
e2e_fresh_settings a

t0=$SECONDS
e2e_wine_bg a 'C:\kelvra\kelvra.exe'
pid=$E2E_LAST_PID
windows=$(e2e_inspect a wait TStatsForm =1 "$E2E_START_WAIT") || e2e_fail "not one status window within $E2E_START_WAIT s"
hwnd=$(echo "$windows" | cut -f1)
program=$(e2e_wine_pid a kelvra.exe) || e2e_fail "no process of kelvra.exe in the prefix"

both_ways $awakeBytes
await_kernel_bytes 5
e2e_log "awake: the window follows the kernel at '$(kernel_bytes)'"

kill -STOP "$program" || e2e_fail "cannot stop process $program"
read -r -a atStop <<<"$(kernel_bytes)"
# In a subshell, so that a failed send still lets the program go on before the end.
(both_ways $asleepBytes)
sent=$?
read -r -a atCont <<<"$(kernel_bytes)"
kill -CONT "$program" || e2e_fail "cannot continue process $program"
[ $sent -eq 0 ] || e2e_fail "the traffic failed while the program was stopped"
passed="$((atCont[0] - atStop[0])) $((atCont[1] - atStop[1]))"
e2e_log "while the program was stopped the kernel counted '$passed' bytes (sent received)"
read -r -a p <<<"$passed"
if [ "${p[0]}" -lt $((9 * gib / 2)) ] || [ "${p[1]}" -lt $((9 * gib / 2)) ]; then
    e2e_fail "only '$passed' bytes passed while the program was stopped"
fi

await_kernel_bytes 6
e2e_log "after the stop the window shows '$(kernel_bytes)' as the kernel does"

e2e_stop a "$hwnd" "$pid" 30
rc=$?
[ $rc -eq 0 ] || e2e_fail "the program ended with exit code $rc"
e2e_log "passed in $((SECONDS - t0)) s"
