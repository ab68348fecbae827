#!/usr/bin/env bash
# Trace route against the kernel: the monitor's namespace a routes through the router
# namespace r to the far host b (10.201.2.2) and to a host s (10.201.3.2) that answers no
# echo. A private hosts file names b. The trace window must list the router, then the far
# host with its name; towards s the silent hop reads "请求超时。" and closing the window
# then ends the trace.
#   trace_route.sh KV_TRACEWIN_EXE KELVRA_DLL
set -u
tracewin=$1
probe=$2
[ "$(id -u)" -eq 0 ] || { echo "e2e: network namespaces need root: skipped" >&2; exit 77; }
# A mount namespace of our own, so the private hosts file and resolver reach every
# program of this test and nothing else.
if [ -z "${KV_TRACE_UNSHARED-}" ]; then
    KV_TRACE_UNSHARED=1 exec unshare -m --propagation private bash "$0" "$@"
fi
# shellcheck source-path=SCRIPTDIR source=../../tools/e2e/lib.sh
source "$(dirname "$0")/../../tools/e2e/lib.sh"
e2e_init

e2e_private_names $'127.0.0.1 localhost\n10.201.2.2 far-host.kvtest\n'

for ns in a r b s; do
    e2e_netns_create $ns
    e2e_ipv6_off $ns
done
e2e_veth a-eth0 a r-a r
e2e_veth r-b r b-eth0 b
e2e_veth r-s r s-eth0 s
e2e_addr a a-eth0 10.201.1.2/24
e2e_addr r r-a 10.201.1.1/24
e2e_addr r r-b 10.201.2.1/24
e2e_addr b b-eth0 10.201.2.2/24
e2e_addr r r-s 10.201.3.1/24
e2e_addr s s-eth0 10.201.3.2/24
e2e_exec r sysctl -qw net.ipv4.ip_forward=1 || e2e_fail "no forwarding in r"
e2e_exec a ip route add default via 10.201.1.1 || e2e_fail "no route in a"
e2e_exec b ip route add default via 10.201.2.1 || e2e_fail "no route in b"
e2e_exec s ip route add default via 10.201.3.1 || e2e_fail "no route in s"
e2e_exec s sysctl -qw net.ipv4.icmp_echo_ignore_all=1 || e2e_fail "s still answers echoes"
# Nothing of a may leave it but through r.
[ "$(e2e_exec a ip -o link show | wc -l)" -eq 2 ] || e2e_fail "namespace a holds more than lo and a-eth0"

e2e_install a "$tracewin" "$probe"

# trace TARGET ROWS: the rows of a trace window to TARGET, closed as a user would once it
# lists ROWS rows or has finished.
trace() {
    e2e_wine a 'C:\kelvra\kv_tracewin.exe' "$1" "$2" || e2e_fail "the trace program failed towards $1"
}

# The far host: the router, then the host with its name from the private hosts file.
got=$(trace 10.201.2.2 30)
e2e_log "route to the far host:"$'\n'"$got"
[ "$(echo "$got" | wc -l)" -eq 2 ] || e2e_fail "expected two hops to the far host"
echo "$got" | sed -n 1p | grep -qE $'^1\t[0-9]+ ms\t10\\.201\\.1\\.1\t' || e2e_fail "hop 1 is not the router"
[ "$(echo "$got" | sed -n 2p | cut -f1,3,4)" = $'2\t10.201.2.2\tfar-host.kvtest' ] ||
    e2e_fail "hop 2 is not the far host with its name"

# The silent host: its hop times out and the trace goes on; closing the window at the
# second row ends the trace at the next hop, and nothing is added after the close.
got=$(trace 10.201.3.2 2)
e2e_log "route to the silent host:"$'\n'"$got"
[ "$(echo "$got" | sed -n 2p)" = $'2\t*\t\t请求超时。' ] || e2e_fail "the silent hop does not read 请求超时。"
[ "$(echo "$got" | wc -l)" -eq 2 ] || e2e_fail "rows were added after the window was closed"
e2e_log "ok"
