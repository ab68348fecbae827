# shellcheck shell=bash
# Network-namespace harness for the end-to-end tests. Source it from a bash script:
#
#   source tools/e2e/lib.sh
#   e2e_init                         # root check (exit 77 = skipped), trap, work folder
#   e2e_netns_create a               # namespace "kve2e-<pid>-a" with its loopback up
#   e2e_veth a-eth0 a b-eth0 b       # veth pair, one end per namespace, both up
#   e2e_addr a a-eth0 10.201.1.2/24
#   e2e_exec b python3 ...           # a host command inside a namespace
#   e2e_install a "$exe"             # copies files into C:\kelvra\ of a's prefix
#   e2e_wine_bg a 'C:\kelvra\kelvra.exe'; pid=$E2E_LAST_PID
#   E2E_INSPECTOR=$inspector; e2e_inspect a windows TStatsForm
#   e2e_stop a "$hwnd" "$pid" 30     # the stop message, then the program's exit code
#
# Namespaces are named after the test's process id, so parallel runs never meet. Every
# namespace that runs Wine gets its own copy of the base prefix, and that prefix's
# wineserver is started inside the namespace: the wineserver does the interface reads and
# sends packets in the namespace it runs in, and a Wine program attaches to the running
# server of its prefix whatever namespace that server is in. So before every Wine program
# e2e_assert_contained makes sure no server of the prefix runs elsewhere, and refuses
# otherwise. e2e_cleanup (on exit, also after a failure or a signal) stops those servers,
# deletes the namespaces and the prefix copies; a run that was killed outright is swept up
# by the next one. Every wait is bounded, and a watchdog ends the whole run after
# E2E_DEADLINE seconds, early enough for the cleanup to finish within ctest's timeout.

E2E_SKIP=77
E2E_TAG=kve2e
E2E_TMP=/tmp
E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$E2E_ROOT/tools/arch"
E2E_BUILD=${KELVRA_BUILD:-$E2E_ROOT/build}
E2E_BASE_PREFIX=${KELVRA_WINEPREFIX:-$E2E_BUILD/wine-test}
E2E_ID=$E2E_TAG-$$
E2E_WORK=
E2E_WATCHDOG=
E2E_PIDS=()
E2E_LAST_PID=
E2E_LAST_OUT=
E2E_ENV=()
E2E_DEADLINE=${E2E_DEADLINE:-100}
E2E_WINE_TIMEOUT=${E2E_WINE_TIMEOUT:-30}
E2E_BG_TIMEOUT=${E2E_BG_TIMEOUT:-120}
# How long a first status window may take: the first Wine program of a run on a cold
# disk cache has taken over 25 s.
E2E_START_WAIT=${E2E_START_WAIT:-60}
E2E_INSPECTOR=${E2E_INSPECTOR:-}

e2e_log() { echo "e2e: $*" >&2; }
e2e_fail() {
    echo "e2e: FAIL: $*" >&2
    exit 1
}

# The full name of the short namespace name a test uses.
e2e_ns() { echo "$E2E_ID-$1"; }

e2e_init() {
    if [ "$(id -u)" -ne 0 ] || ! ip netns add "$E2E_ID-probe" 2>/dev/null; then
        e2e_log "network namespaces need root: skipped"
        exit $E2E_SKIP
    fi
    ip netns del "$E2E_ID-probe"
    e2e_sweep
    trap e2e_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    E2E_WORK=$(mktemp -d "$E2E_TMP/$E2E_ID.XXXXXX")
    e2e_start_watchdog
    "$E2E_ROOT/tools/wine-prefix" "$E2E_BASE_PREFIX" null || e2e_fail "no base prefix $E2E_BASE_PREFIX"
}

# Sends this script TERM after E2E_DEADLINE seconds; ends with the script.
e2e_start_watchdog() {
    local script=$$
    (
        trap 'exit 0' TERM
        me=$BASHPID
        end=$((SECONDS + E2E_DEADLINE))
        while [ "$(awk '{ print $4 }' "/proc/$me/stat")" = "$script" ]; do
            if [ $SECONDS -ge $end ]; then
                echo "e2e: FAIL: still running after $E2E_DEADLINE s" >&2
                kill -TERM "$script"
                exit 0
            fi
            sleep 1
        done
    ) &
    E2E_WATCHDOG=$!
}

e2e_netns_create() {
    local ns
    ns=$(e2e_ns "$1")
    ip netns add "$ns" || e2e_fail "cannot create namespace $ns"
    ip -n "$ns" link set lo up
}

# e2e_veth NAME_A NS_A NAME_B NS_B: made inside NS_A, so no name passes through the host.
e2e_veth() {
    local nsA nsB
    nsA=$(e2e_ns "$2")
    nsB=$(e2e_ns "$4")
    ip -n "$nsA" link add "$1" type veth peer name "$3" netns "$nsB" || e2e_fail "cannot create veth $1/$3"
    ip -n "$nsA" link set "$1" up
    ip -n "$nsB" link set "$3" up
}

# e2e_addr NS IFNAME CIDR
e2e_addr() { ip -n "$(e2e_ns "$1")" addr add "$3" dev "$2" || e2e_fail "cannot add $3 to $2"; }

# e2e_exec NS COMMAND...: a host command inside the namespace (traffic, counters).
e2e_exec() {
    local ns
    ns=$(e2e_ns "$1")
    shift
    ip netns exec "$ns" "$@"
}

# The namespace's own prefix, copied from the base prefix on first use. Its path follows
# from the namespace's name, so the cleanup finds it even when made inside a subshell.
e2e_prefix_for() {
    local prefix=$E2E_WORK/wine-$1
    if [ ! -d "$prefix" ]; then
        rm -rf "$prefix.tmp"
        # The packaged Wine keeps the name of the prefix's server folder in the prefix: the
        # copy must get a folder of its own, which the cleanup then removes.
        if ! cp -a "$E2E_BASE_PREFIX" "$prefix.tmp" || ! rm -f "$prefix.tmp/wineserver" ||
            ! mv "$prefix.tmp" "$prefix"; then
            rm -rf "$prefix.tmp"
            echo "e2e: cannot copy the base prefix $E2E_BASE_PREFIX" >&2
            return 1
        fi
    fi
    echo "$prefix"
}

# e2e_install NS FILE...: puts files into C:\kelvra\ of the namespace's prefix.
e2e_install() {
    local prefix
    prefix=$(e2e_prefix_for "$1") || e2e_fail "no prefix for $1"
    shift
    mkdir -p "$prefix/drive_c/kelvra"
    cp "$@" "$prefix/drive_c/kelvra/" || e2e_fail "cannot install $*"
}

# A wineserver works in its prefix's server folder "server-<dev>-<inode>" (hex). Prints
# the pids of the processes whose working directory that is.
e2e_server_pids() {
    local prefix=$1 tag cwd pid
    tag=$(stat -c 'server-%d-%i' "$prefix" 2>/dev/null | awk -F- '{ printf "server-%x-%x", $2, $3 }')
    [ -n "$tag" ] || return 0
    for pid in /proc/[0-9]*; do
        cwd=$(readlink "$pid/cwd" 2>/dev/null) || continue
        cwd=${cwd% (deleted)}
        [ "${cwd##*/}" = "$tag" ] && echo "${pid#/proc/}"
    done
}

# e2e_wait_server PREFIX: a started wineserver detaches before it has moved into its
# folder; waits (5 s at most) until it can be found there. Fails when it cannot.
e2e_wait_server() {
    local deadline=$((SECONDS + 5))
    until [ -n "$(e2e_server_pids "$1")" ]; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.05
    done
}

e2e_net_id() { stat -L -c %i "$1" 2>/dev/null; }

# Refuses to go on when a wineserver of the namespace's prefix runs in another network
# namespace: a Wine program started now would do its network work through that server.
e2e_assert_contained() {
    local ns prefix want pid have
    ns=$(e2e_ns "$1")
    prefix=$(e2e_prefix_for "$1") || e2e_fail "no prefix for $1"
    want=$(e2e_net_id "/run/netns/$ns")
    [ -n "$want" ] || e2e_fail "namespace $ns is gone"
    for pid in $(e2e_server_pids "$prefix"); do
        have=$(e2e_net_id "/proc/$pid/ns/net") || continue
        if [ "$have" != "$want" ]; then
            echo "e2e: REFUSED: wineserver $pid of $prefix runs outside namespace $ns" >&2
            exit 1
        fi
    done
}

# Sets E2E_ENV to the env command line for Wine in a prefix.
# (No menu builder: a shortcut an installer makes must not reach the host's menus.)
e2e_env_prefix() {
    E2E_ENV=(env WINEPREFIX="$1" WINEARCH="$WINEARCH" WINEDEBUG="${WINEDEBUG:--all}"
        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LC_ALL=C.UTF-8)
}
e2e_env() { e2e_env_prefix "$E2E_WORK/wine-$1"; }

# Starts the prefix's wineserver inside the namespace and keeps it up between programs.
e2e_wineserver_start() {
    local ns prefix
    ns=$(e2e_ns "$1")
    prefix=$(e2e_prefix_for "$1") || e2e_fail "no prefix for $1"
    e2e_assert_contained "$1"
    [ -n "$(e2e_server_pids "$prefix")" ] && return 0
    e2e_env "$1"
    timeout 30 ip netns exec "$ns" "${E2E_ENV[@]}" wineserver -p 60 </dev/null >/dev/null 2>&1 ||
        e2e_fail "wineserver did not start in $ns"
    e2e_wait_server "$prefix" || e2e_fail "the wineserver of $ns cannot be found by its folder"
    e2e_assert_contained "$1"
    # Wine's session processes start with the first program and inherit its output; a
    # caller reading that output would wait for them. Start them here, away from it.
    timeout 60 ip netns exec "$ns" "${E2E_ENV[@]}" wine cmd /c exit </dev/null >/dev/null 2>&1
    e2e_assert_contained "$1"
}

# e2e_wine NS PROGRAM ARGS...: runs a Wine program in the namespace, bounded by
# E2E_WINE_TIMEOUT seconds; returns its exit code (124 on timeout).
e2e_wine() {
    local short=$1 ns
    ns=$(e2e_ns "$short")
    e2e_wineserver_start "$short"
    shift
    e2e_env "$short"
    timeout -k 5 "$E2E_WINE_TIMEOUT" ip netns exec "$ns" "${E2E_ENV[@]}" wine "$@"
}

# e2e_wine_bg NS PROGRAM ARGS...: the same in the background, bounded by E2E_BG_TIMEOUT;
# E2E_LAST_PID is its pid, for e2e_wait_exit; its output goes to $E2E_LAST_OUT.out and .err.
e2e_wine_bg() {
    local short=$1 ns out
    ns=$(e2e_ns "$short")
    e2e_wineserver_start "$short"
    shift
    out=$E2E_WORK/bg-${#E2E_PIDS[@]}
    e2e_env "$short"
    timeout -k 5 "$E2E_BG_TIMEOUT" ip netns exec "$ns" "${E2E_ENV[@]}" wine "$@" \
        </dev/null >"$out.out" 2>"$out.err" &
    E2E_LAST_PID=$!
    # shellcheck disable=SC2034 # for the tests
    E2E_LAST_OUT=$out
    E2E_PIDS+=("$E2E_LAST_PID")
}

# e2e_inspect NS ARGS...: the inspector (E2E_INSPECTOR, kv_inspect.exe) in the namespace.
e2e_inspect() {
    local short=$1
    shift
    e2e_wine "$short" "$E2E_INSPECTOR" "$@"
}

# e2e_reg NS ARGS...: Wine's reg tool on the namespace's prefix, quietly.
e2e_reg() {
    local short=$1
    shift
    e2e_wine "$short" reg "$@" >/dev/null 2>&1
}

# e2e_stop NS HWND PID SECONDS: hands a status window the stop message 0x2C and waits for
# the program to end; returns its exit code. Wine will not carry 0x2C with lParam 0 to
# another process (it is WM_MEASUREITEM there), so the inspector sends it from a thread
# inside the program.
e2e_stop() {
    e2e_inspect "$1" remote-send "$2" 0x2C 0 0 >/dev/null || e2e_fail "the stop message did not reach $2"
    e2e_wait_exit "$3" "$4"
}

# e2e_wait_exit PID SECONDS: waits for a background program; returns its exit code, or
# fails the test when it is still running at the deadline.
e2e_wait_exit() {
    local pid=$1 deadline=$((SECONDS + $2))
    while kill -0 "$pid" 2>/dev/null; do
        [ $SECONDS -ge $deadline ] && e2e_fail "process $pid still running after $2 s"
        sleep 0.1
    done
    wait "$pid"
}

# e2e_teardown ID WORK: stops the wineservers of the prefixes in WORK, ends what still
# runs in the namespaces ID-*, deletes them and WORK.
e2e_teardown() {
    local id=$1 work=$2 prefix ns pid serverDir deadline
    for prefix in "$work"/wine-*; do
        [ -d "$prefix" ] || continue
        ns=$id-${prefix##*/wine-}
        serverDir=
        [ -f "$prefix/wineserver" ] && serverDir=$E2E_TMP/$(cat "$prefix/wineserver")
        if [ -e "/run/netns/$ns" ]; then
            e2e_env_prefix "$prefix"
            timeout 20 ip netns exec "$ns" "${E2E_ENV[@]}" wineserver -k </dev/null >/dev/null 2>&1
        fi
        deadline=$((SECONDS + 10))
        while [ -n "$(e2e_server_pids "$prefix")" ] && [ $SECONDS -lt $deadline ]; do
            sleep 0.1
        done
        for pid in $(e2e_server_pids "$prefix"); do
            kill -9 "$pid" 2>/dev/null
        done
        [ -n "$serverDir" ] && [ "$serverDir" != "$E2E_TMP/" ] && rm -rf "$serverDir"
    done
    for ns in $(ip netns list | awk '{ print $1 }' | grep "^$id-"); do
        for pid in $(ip netns pids "$ns"); do
            kill -9 "$pid" 2>/dev/null
        done
        ip netns del "$ns"
    done
    [ -n "$work" ] && rm -rf "$work"
}

# Leftovers of runs that were killed before their cleanup could run.
e2e_sweep() {
    local work id pid ns
    for work in "$E2E_TMP/$E2E_TAG"-*.*; do
        [ -d "$work" ] || continue
        id=${work##*/}
        id=${id%%.*}
        pid=${id#"$E2E_TAG"-}
        kill -0 "$pid" 2>/dev/null && continue
        e2e_log "removing the leftovers of run $pid"
        e2e_teardown "$id" "$work"
    done
    for ns in $(ip netns list | awk '{ print $1 }' | grep "^$E2E_TAG-[0-9]*-"); do
        pid=${ns#"$E2E_TAG"-}
        pid=${pid%%-*}
        kill -0 "$pid" 2>/dev/null && continue
        e2e_log "removing the leftovers of run $pid"
        e2e_teardown "$E2E_TAG-$pid" ""
    done
}

e2e_cleanup() {
    local status=$? pid
    trap - EXIT INT TERM
    if [ -n "$E2E_WATCHDOG" ]; then
        kill "$E2E_WATCHDOG" 2>/dev/null
        wait "$E2E_WATCHDOG" 2>/dev/null
    fi
    [ -n "$E2E_WORK" ] && e2e_teardown "$E2E_ID" "$E2E_WORK"
    for pid in "${E2E_PIDS[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    return $status
}

# e2e_links A B COUNT: COUNT veth links between namespaces A and B, made first where they
# do not exist yet; link i is A-eth<i> with 10.201.<i+1>.2/24 in A and B-eth<i> with
# 10.201.<i+1>.1/24 in B.
e2e_links() {
    local a=$1 b=$2 count=$3 i ns
    for ns in "$a" "$b"; do
        [ -e "/run/netns/$(e2e_ns "$ns")" ] || e2e_netns_create "$ns"
    done
    for ((i = 0; i < count; i++)); do
        e2e_veth "$a-eth$i" "$a" "$b-eth$i" "$b"
        e2e_addr "$a" "$a-eth$i" "10.201.$((i + 1)).2/24"
        e2e_addr "$b" "$b-eth$i" "10.201.$((i + 1)).1/24"
    done
}

# e2e_fresh_settings NS: an empty settings key, but with the first-run question (a modal
# box) already dealt with.
E2E_SETTINGS_KEY='HKCU\Software\Quorvel Software\Tarvelo'
e2e_fresh_settings() {
    e2e_reg "$1" delete "$E2E_SETTINGS_KEY" /f
    e2e_reg "$1" add "$E2E_SETTINGS_KEY" /v FirstTime /t REG_DWORD /d 1 /f || e2e_fail "cannot seed $E2E_SETTINGS_KEY"
}

# e2e_quiet_link A B: namespaces A and B joined by one veth (A-eth0 10.201.1.2/24,
# B-eth0 10.201.1.1/24) that carries only what a test sends: no IPv6 (autoconfiguration
# and neighbour discovery would send frames at moments nobody chose) and fixed
# neighbours (no ARP).
e2e_quiet_link() {
    local a=$1 b=$2 ns macA macB
    e2e_netns_create "$a"
    e2e_netns_create "$b"
    e2e_ipv6_off "$a"
    e2e_ipv6_off "$b"
    e2e_veth "$a-eth0" "$a" "$b-eth0" "$b"
    for ns in "$a" "$b"; do
        [ "$(e2e_exec "$ns" cat "/proc/sys/net/ipv6/conf/$ns-eth0/disable_ipv6")" = 1 ] ||
            e2e_fail "IPv6 is on for $ns-eth0"
    done
    e2e_addr "$a" "$a-eth0" 10.201.1.2/24
    e2e_addr "$b" "$b-eth0" 10.201.1.1/24
    macA=$(e2e_exec "$a" cat "/sys/class/net/$a-eth0/address")
    macB=$(e2e_exec "$b" cat "/sys/class/net/$b-eth0/address")
    e2e_exec "$a" ip neigh replace 10.201.1.1 lladdr "$macB" dev "$a-eth0" nud permanent ||
        e2e_fail "no neighbour in $a"
    e2e_exec "$b" ip neigh replace 10.201.1.2 lladdr "$macA" dev "$b-eth0" nud permanent ||
        e2e_fail "no neighbour in $b"
}

# e2e_ipv6_off NS: no IPv6 on the namespace's links, those made later included, so that
# bringing a link up sends nothing (no autoconfiguration, no neighbour discovery).
e2e_ipv6_off() {
    e2e_exec "$1" sysctl -qw net.ipv6.conf.default.disable_ipv6=1 net.ipv6.conf.all.disable_ipv6=1 ||
        e2e_fail "cannot turn IPv6 off in $1"
}

# e2e_idle_links NS PAIRS: PAIRS veth pairs with both ends in NS (v<i>a and v<i>b), so
# 2 * PAIRS interfaces besides the loopback; up, without addresses and without IPv6, so
# that nothing ever crosses them.
e2e_idle_links() {
    local i
    e2e_ipv6_off "$1"
    for ((i = 0; i < $2; i++)); do
        e2e_veth "v${i}a" "$1" "v${i}b" "$1"
    done
}

# e2e_prefix_pids NS: the processes of the namespace's prefix (its wineserver, Wine's
# session processes and the programs), by the WINEPREFIX in their environment.
e2e_prefix_pids() {
    local want proc
    want="WINEPREFIX=$E2E_WORK/wine-$1"
    for proc in /proc/[0-9]*; do
        if { tr '\0' '\n' <"$proc/environ"; } 2>/dev/null | grep -qxF "$want"; then
            echo "${proc#/proc/}"
        fi
    done
}

# e2e_wine_pid NS NAME: the process of the namespace's prefix whose command line holds
# NAME (kelvra.exe): the Windows program itself, not the timeout or env around it.
e2e_wine_pid() {
    local pid
    for pid in $(e2e_prefix_pids "$1"); do
        if { tr '\0' ' ' <"/proc/$pid/cmdline"; } 2>/dev/null | grep -qF "$2"; then
            echo "$pid"
            return 0
        fi
    done
    return 1
}

# e2e_wait_file FILE WHAT: waits (10 s at most) until FILE exists; fails saying WHAT
# did not start.
e2e_wait_file() {
    local deadline=$((SECONDS + 10))
    while [ ! -e "$1" ]; do
        [ $SECONDS -ge $deadline ] && e2e_fail "$2 did not start"
        sleep 0.05
    done
}

# e2e_label CONTROLS ID: the text of the control ID in the output of `e2e_inspect NS
# children HWND`.
e2e_label() { echo "$1" | awk -F'\t' -v id="$2" '$2 == id { print $6; exit }'; }

# e2e_number TEXT: a grouped count as a plain number ("41,680" -> 41680); fails on
# anything else.
e2e_number() {
    [[ $1 =~ ^[0-9]{1,3}(,[0-9]{3})*$ ]] || e2e_fail "'$1' is not a grouped whole number"
    echo "${1//,/}"
}

# e2e_display SIZE: a private Xvfb screen of SIZE (800x600) as DISPLAY; the server goes
# with the cleanup. Namespaces reach it through its socket file.
e2e_display() {
    local n deadline
    DISPLAY=
    for n in $(seq 90 140); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            DISPLAY=:$n
            break
        fi
    done
    [ -n "$DISPLAY" ] || e2e_fail "no free X display"
    Xvfb "$DISPLAY" -screen 0 "$1x24" -nolisten tcp >"$E2E_WORK/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    export DISPLAY
    deadline=$((SECONDS + 10))
    until xdpyinfo >/dev/null 2>&1; do
        kill -0 "${E2E_PIDS[-1]}" 2>/dev/null || e2e_fail "Xvfb on $DISPLAY ended: $(cat "$E2E_WORK/xvfb.log")"
        [ $SECONDS -ge $deadline ] && e2e_fail "Xvfb on $DISPLAY did not come up: $(cat "$E2E_WORK/xvfb.log")"
        sleep 0.1
    done
}

# e2e_x11_desktop NS SIZE: the namespace's prefix draws on DISPLAY, and every program in it
# (the inspector too) joins the one desktop "kelvra" of SIZE, which has a taskbar: windows
# on another desktop are not listed. Written into the registry file before its wineserver
# reads it, with the first-run question already dealt with. Call after e2e_install.
e2e_x11_desktop() {
    local prefix
    # The abstract X socket belongs to the host's network namespace; the programs must
    # reach the display through the socket file.
    e2e_exec "$1" xdpyinfo >/dev/null 2>&1 || e2e_fail "display $DISPLAY cannot be reached from namespace $1"
    prefix=$(e2e_prefix_for "$1") || e2e_fail "no prefix for $1"
    grep -q '^"Graphics"="null"$' "$prefix/user.reg" || e2e_fail "the base prefix does not name the null driver"
    sed -i 's/^"Graphics"="null"$/"Graphics"="x11"/' "$prefix/user.reg"
    cat >>"$prefix/user.reg" <<EOF

[Software\\\\Wine\\\\Explorer] 1700000000
"Desktop"="kelvra"

[Software\\\\Wine\\\\Explorer\\\\Desktops] 1700000000
"kelvra"="$2"

[Software\\\\Wine\\\\Explorer\\\\Desktops\\\\kelvra] 1700000000
"EnableShell"=dword:00000001

[Software\\\\Quorvel Software\\\\Tarvelo] 1700000000
"FirstTime"=dword:00000001
EOF
}

# e2e_private_names HOSTS_TEXT: this script's programs read HOSTS_TEXT as /etc/hosts and
# ask a resolver on the loopback, so no name lookup leaves the machine. The script must
# run in a mount namespace of its own (unshare -m --propagation private).
e2e_private_names() {
    printf '%s' "$1" >"$E2E_WORK/hosts"
    printf 'nameserver 127.0.0.1\n' >"$E2E_WORK/resolv.conf"
    mount --bind "$E2E_WORK/hosts" /etc/hosts || e2e_fail "cannot bind the hosts file"
    mount --bind "$E2E_WORK/resolv.conf" /etc/resolv.conf || e2e_fail "cannot bind resolv.conf"
}

# e2e_tcp NS MODE ADDRESS PORT NAME HOLD: a TCP socket in the namespace for HOLD seconds at
# most (tools/e2e/tcp.py: MODE listen or connect); a connection's local port goes into
# $E2E_WORK/NAME. Waits until the socket is ready; the cleanup ends it.
e2e_tcp() {
    local ready=$E2E_WORK/$5
    e2e_exec "$1" python3 "$E2E_ROOT/tools/e2e/tcp.py" "$2" "$3" "$4" "$ready" "$6" &
    E2E_PIDS+=("$!")
    e2e_wait_file "$ready" "the $5 socket"
}

# e2e_udp_send FROM TO TO_ADDRESS PORT COUNT SIZE: COUNT datagrams of SIZE bytes from one
# namespace to an address in another (tools/e2e/udp.py); fails unless each was received.
e2e_udp_send() {
    local from=$1 to=$2 address=$3 port=$4 count=$5 size=$6 ready got receiver
    ready=$E2E_WORK/udp-ready-$RANDOM
    e2e_exec "$to" python3 "$E2E_ROOT/tools/e2e/udp.py" recv "$address" "$port" "$count" "$ready" >"$ready.got" &
    receiver=$!
    e2e_wait_file "$ready" "the receiver in $to"
    e2e_exec "$from" python3 "$E2E_ROOT/tools/e2e/udp.py" send "$address" "$port" "$count" "$size" ||
        e2e_fail "sending from $from failed"
    wait $receiver
    got=$(cat "$ready.got")
    [ "$got" = "$count" ] || e2e_fail "$to received $got of $count datagrams"
}

# e2e_show_status NS: starts the installed monitor in NS, waits for its first status window
# and shows it with the tray icon's click (its labels are written only while it shows).
# Sets E2E_LAST_PID, E2E_HWND and E2E_CONTROLS (the window's `e2e_inspect NS children`).
e2e_show_status() {
    local windows
    e2e_wine_bg "$1" 'C:\kelvra\kelvra.exe'
    windows=$(e2e_inspect "$1" wait TStatsForm 1 "$E2E_START_WAIT") ||
        e2e_fail "no status window within $E2E_START_WAIT s"
    E2E_HWND=$(echo "$windows" | head -n1 | cut -f1)
    # The tray icon's callback message and a left click's release.
    e2e_inspect "$1" post "$E2E_HWND" 0x8100 0 0x0202 >/dev/null || e2e_fail "cannot show $E2E_HWND"
    E2E_CONTROLS=$(e2e_inspect "$1" children "$E2E_HWND") || e2e_fail "cannot list the controls of $E2E_HWND"
}

# e2e_control CONTROLS ID: the handle of the control ID in the output of `e2e_inspect NS
# children HWND`.
e2e_control() { echo "$1" | awk -F'\t' -v id="$2" '$2 == id { print $1; exit }'; }
