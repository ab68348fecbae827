#!/usr/bin/env bash
# The usage history against the kernel: the program watches one quiet veth link while
# datagrams of a known size cross it. After the minute's write, the history file in the
# prefix's application data folder holds today's bytes as the kernel counted them since
# the window began; the program killed outright and started again goes on with the same
# day from the file, and a clean stop writes the rest. A corrupted file is moved aside
# and the program runs.
#   usage_history.sh KELVRA_EXE KV_INSPECT_EXE
set -u
kelvra=$1
# shellcheck disable=SC2034 # read by e2e_inspect
E2E_INSPECTOR=$2
# shellcheck source-path=SCRIPTDIR source=../../tools/e2e/lib.sh
source "$(dirname "$0")/../../tools/e2e/lib.sh"
# One minute for the first write, three starts of the program and the traffic.
E2E_DEADLINE=220
e2e_init

port=9917
# The General page's byte labels (src/StatForm/resource.h).
idByteSent=1111
idByteRecd=1112
# How long after the window appears its first write may come: the minute, a tick, slack.
writeWait=75

e2e_quiet_link a b

# send FROM TO TO_ADDRESS COUNT SIZE: COUNT datagrams of SIZE bytes, each of them received.
send() { e2e_udp_send "$1" "$2" "$3" $port "$4" "$5"; }

# Both ways across the link: the program's side sends 40 and receives 25 datagrams.
traffic() {
    send a b 10.201.1.1 40 1000
    send b a 10.201.1.2 25 600
}

# "received sent" of the watched link as the kernel counts them.
kernel_bytes() {
    echo "$(e2e_exec a cat /sys/class/net/a-eth0/statistics/rx_bytes) $(e2e_exec a cat /sys/class/net/a-eth0/statistics/tx_bytes)"
}

# "received sent" of a day in a history file, "0 0" without its line.
file_day() {
    tr -d '\r' <"$1" | awk -F, -v day="$2" '$1 == day { r = $2; s = $3 } END { printf "%d %d\n", r, s }'
}

# plus "A B" "C D" -> "A+C B+D"; minus likewise.
plus() { awk -v a="$1" -v b="$2" 'BEGIN { split(a, x, " "); split(b, y, " "); printf "%d %d\n", x[1] + y[1], x[2] + y[2] }'; }
minus() { awk -v a="$1" -v b="$2" 'BEGIN { split(a, x, " "); split(b, y, " "); printf "%d %d\n", x[1] - y[1], x[2] - y[2] }'; }

e2e_install a "$kelvra"
e2e_fresh_settings a
prefix=$(e2e_prefix_for a) || e2e_fail "no prefix for a"
# The program writes under %APPDATA%; the prefix's user is whoever runs Wine.
folder=$(printf '%s\n' "$prefix"/drive_c/users/*/AppData/Roaming | head -n 1)/Tarvelo/history
[ -d "$(dirname "$(dirname "$folder")")" ] || e2e_fail "no application data folder in the prefix: $folder"

# await_counted: waits (bounded) until the window's byte labels show what the kernel
# counts: the window has sampled everything that crossed the link so far.
await_counted() {
    local controls shown deadline=$((SECONDS + 10))
    while :; do
        controls=$(e2e_inspect a children "$hwnd") || e2e_fail "cannot list the controls of $hwnd"
        shown="$(e2e_number "$(e2e_label "$controls" $idByteRecd)") $(e2e_number "$(e2e_label "$controls" $idByteSent)")"
        [ "$shown" = "$(kernel_bytes)" ] && return 0
        [ $SECONDS -ge $deadline ] && e2e_fail "the window shows '$shown', the kernel counts '$(kernel_bytes)'"
        sleep 0.3
    done
}

# start: the program in the background and its status window; sets pid and hwnd. Returns
# once the window has taken its first sample (traffic before the start has made the
# kernel's counts other than zero): its share begins there.
# traffic_then_stop: traffic, then at once a clean stop, which counts what came since the
# window's last tick before it writes; $more is what the kernel counted meanwhile.
traffic_then_stop() {
    local before rc
    before=$(kernel_bytes)
    traffic
    more=$(minus "$(kernel_bytes)" "$before")
    e2e_stop a "$hwnd" "$pid" 30
    rc=$?
    [ $rc -eq 0 ] || e2e_fail "the program ended with exit code $rc"
}

start() {
    local windows
    e2e_wine_bg a 'C:\kelvra\kelvra.exe'
    pid=$E2E_LAST_PID
    windows=$(e2e_inspect a wait TStatsForm 1 "$E2E_START_WAIT") || e2e_fail "no status window within $E2E_START_WAIT s"
    hwnd=$(echo "$windows" | cut -f1)
    await_counted
}

# The one history file of the link (named after its adapter).
history_file() {
    local files
    files=$(find "$folder" -maxdepth 1 -name '*.csv' 2>/dev/null)
    [ "$(echo "$files" | grep -c .)" -le 1 ] || e2e_fail "more than one history file: $files"
    echo "$files"
}

# Traffic before the first start: counted by the kernel, not by the history.
send a b 10.201.1.1 5 300
t0=$SECONDS
start
began=$SECONDS
atStart=$(kernel_bytes)
traffic
counted=$(minus "$(kernel_bytes)" "$atStart")
e2e_log "the kernel counted '$counted' (received, sent) since the window began"

# The minute's write, with the program running.
file=
while [ -z "$file" ]; do
    file=$(history_file)
    [ -n "$file" ] && break
    [ $((SECONDS - began)) -ge $writeWait ] && e2e_fail "no history file in $folder after $writeWait s"
    sleep 1
done
today=$(date +%F)
sleep 0.5 # past the replacement
written=$(file_day "$file" "$today")
e2e_log "written after $((SECONDS - began)) s: $(basename "$file") holds '$written' for $today"
head -n 1 "$file" | tr -d '\r' | grep -qx '# Tarvelo usage history 1' || e2e_fail "the file begins with '$(head -n 1 "$file")'"
[ "$written" = "$counted" ] || e2e_fail "the file holds '$written' for today, the kernel counted '$counted'"

# Killed outright: started again, the day goes on from the file, and a clean stop
# writes what came since.
kelvraPid=$(e2e_wine_pid a kelvra.exe) || e2e_fail "the program's process is not found"
kill -KILL "$kelvraPid"
# Bash reports the kill of its background job: expected here.
e2e_wait_exit "$pid" 20
start
traffic_then_stop
stopped=$(file_day "$file" "$today")
e2e_log "after the restart and a clean stop the file holds '$stopped' for $today"
[ "$stopped" = "$(plus "$written" "$more")" ] ||
    e2e_fail "the file holds '$stopped', expected '$written' from before the kill plus '$more' since"
[ -z "$(find "$folder" -name '*.tmp')" ] || e2e_fail "a temporary file was left: $(ls "$folder")"

# A corrupted file: moved aside as it was, and the program runs with a new history.
printf '# Tarvelo usage history 1\r\ndate,received,sent\r\n2026-02-30,1,1\r\n' >"$file"
start
bad=$(find "$folder" -maxdepth 1 -name "$(basename "$file").bad-*")
[ "$(echo "$bad" | grep -c .)" -eq 1 ] || e2e_fail "the corrupted file was not moved aside: $(ls "$folder")"
grep -q '2026-02-30' "$bad" || e2e_fail "the file moved aside is not the corrupted one"
[ "$(e2e_inspect a windows TStatsForm | wc -l)" -eq 1 ] || e2e_fail "the program does not run after the corrupted file"
traffic_then_stop
[ -f "$file" ] || e2e_fail "no new history after the corrupted one"
[ "$(file_day "$file" "$today")" = "$more" ] ||
    e2e_fail "the new history holds '$(file_day "$file" "$today")', the kernel counted '$more'"
e2e_log "passed in $((SECONDS - t0)) s"
