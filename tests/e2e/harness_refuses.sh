#!/usr/bin/env bash
# The harness runs no Wine program in a namespace while a wineserver of that namespace's
# prefix runs in another network namespace: the program's network work would happen there.
#   harness_refuses.sh KELVRA_EXE KV_INSPECT_EXE   (the arguments are not used)
set -u
# shellcheck source-path=SCRIPTDIR source=../../tools/e2e/lib.sh
source "$(dirname "$0")/../../tools/e2e/lib.sh"
e2e_init

e2e_netns_create a
prefix=$(e2e_prefix_for a) || e2e_fail "no prefix"
# A bare server in the host's namespace, as a start outside `ip netns exec` would leave it.
e2e_env a
"${E2E_ENV[@]}" wineserver -p 30 || e2e_fail "cannot start the outside server"
e2e_wait_server "$prefix" || e2e_fail "the outside server is not found by its folder"

if output=$( (e2e_wine a cmd /c exit) 2>&1); then
    e2e_fail "a Wine program ran beside an outside server"
fi
echo "$output" | grep -q "REFUSED" || e2e_fail "no refusal: $output"

# Nothing but the server ever used the prefix.
servers=$(e2e_server_pids "$prefix")
for environ in /proc/[0-9]*/environ; do
    pid=${environ#/proc/}
    pid=${pid%/environ}
    if { tr '\0' '\n' <"$environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$prefix"; then
        echo "$servers" | grep -qx "$pid" || e2e_fail "process $pid runs in the prefix"
    fi
done
e2e_log "refused as it should"
