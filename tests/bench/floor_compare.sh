#!/usr/bin/env bash
# What the program at rest costs beside the floor: for 8 and for 32 idle interfaces, the
# CPU time (user + system, from /proc) per minute of floor_probe and of kelvra.exe, each
# together with the Wine processes of its prefix, measured one after the other in the
# same namespace and prefix. Nothing crosses the links: they have no addresses and no
# IPv6. tools/bench runs this; it is no test.
#   floor_compare.sh KELVRA_EXE FLOOR_PROBE_EXE KV_INSPECT_EXE [SECONDS]
set -u
kelvra=$1
floor=$2
# shellcheck disable=SC2034 # read by e2e_inspect
E2E_INSPECTOR=$3
seconds=${4:-30}
warm=5
sizes=(8 32)
goal=2
# shellcheck source-path=SCRIPTDIR source=../../tools/e2e/lib.sh
source "$(dirname "$0")/../../tools/e2e/lib.sh"
# Two measurements of SECONDS per size, and per size about a minute for the links, the
# prefix, the starts and stops.
E2E_DEADLINE=$((${#sizes[@]} * (2 * (seconds + warm) + 75)))
E2E_BG_TIMEOUT=$((seconds + warm + 60))
[[ $seconds =~ ^[1-9][0-9]*$ ]] || e2e_fail "SECONDS must be a whole number of seconds, not '$seconds'"
e2e_init
hz=$(getconf CLK_TCK)

# cpu_snapshot NS: "PID START TICKS" for every process of the namespace's prefix; the
# start time tells a reused pid from the process it replaced.
cpu_snapshot() {
    local pid
    for pid in $(e2e_prefix_pids "$1"); do
        awk -v pid="$pid" '{ sub(/^.*\) /, ""); print pid, $20, $12 + $13 }' "/proc/$pid/stat" 2>/dev/null
    done
}

# measure NS PID: sleeps SECONDS; prints the CPU milliseconds per minute of process PID
# and of the rest of the prefix's processes over that time. A process that ended inside
# the interval is lost to the count; none should.
measure() {
    local before after t0 t1
    before=$(cpu_snapshot "$1")
    t0=$(date +%s.%N)
    sleep "$seconds"
    after=$(cpu_snapshot "$1")
    t1=$(date +%s.%N)
    awk -v pid="$2" -v hz="$hz" -v t0="$t0" -v t1="$t1" -v before="$before" '
        BEGIN {
            n = split(before, lines, "\n")
            for (i = 1; i <= n; i++) {
                split(lines[i], field, " ")
                was[field[1] " " field[2]] = field[3]
            }
        }
        { used = $3 - (($1 " " $2) in was ? was[$1 " " $2] : 0)
          if ($1 == pid) own += used; else rest += used }
        END { scale = 60 * 1000 / hz / (t1 - t0); printf "%.0f %.0f\n", own * scale, rest * scale }' <<<"$after"
}

# await_line FILE PATTERN SECONDS: until a line of FILE matches; prints it.
await_line() {
    local deadline=$((SECONDS + $3)) line
    until line=$(grep -m1 "$2" "$1" 2>/dev/null); do
        [ $SECONDS -ge $deadline ] && e2e_fail "no '$2' from $1 within $3 s"
        sleep 0.1
    done
    echo "$line"
}

# run_floor NS INTERFACES: sets floorOwn and floorWine.
run_floor() {
    local pid probe started
    e2e_wine_bg "$1" 'C:\kelvra\floor_probe.exe' $((warm + seconds + 3))
    pid=$E2E_LAST_PID
    started=$(await_line "$E2E_LAST_OUT.out" '^started' 20)
    [[ $started == "started rows=$(($2 + 1)) "* ]] ||
        e2e_fail "floor_probe sees '$started', expected $(($2 + 1)) rows with the loopback's"
    probe=$(e2e_wine_pid "$1" floor_probe.exe) || e2e_fail "no process of floor_probe.exe"
    sleep $warm
    read -r floorOwn floorWine < <(measure "$1" "$probe")
    e2e_wait_exit "$pid" 20 || e2e_fail "floor_probe failed: $(cat "$E2E_LAST_OUT.err")"
}

# run_monitor NS INTERFACES: sets monitorOwn and monitorWine.
run_monitor() {
    local pid windows program
    e2e_wine_bg "$1" 'C:\kelvra\kelvra.exe'
    pid=$E2E_LAST_PID
    windows=$(e2e_inspect "$1" wait TStatsForm "=$2" 40) || e2e_fail "not $2 status windows within 40 s"
    program=$(e2e_wine_pid "$1" kelvra.exe) || e2e_fail "no process of kelvra.exe"
    sleep $warm
    read -r monitorOwn monitorWine < <(measure "$1" "$program")
    e2e_stop "$1" "$(echo "$windows" | head -n 1 | cut -f1)" "$pid" 30 || e2e_fail "kelvra.exe did not end cleanly"
}

results=()
for n in "${sizes[@]}"; do
    ns=n$n
    e2e_netns_create "$ns"
    e2e_idle_links "$ns" $((n / 2))
    links=$(e2e_exec "$ns" ip -o link show | wc -l)
    [ "$links" -eq $((n + 1)) ] || e2e_fail "namespace $ns holds $links links instead of the loopback and $n"
    e2e_install "$ns" "$kelvra" "$floor"
    e2e_fresh_settings "$ns"
    e2e_log "$n interfaces: the floor for $seconds s"
    run_floor "$ns" "$n"
    e2e_log "$n interfaces: the monitor for $seconds s"
    run_monitor "$ns" "$n"
    results+=("$n $floorOwn $floorWine $monitorOwn $monitorWine")
done

printf '%s\n' "${results[@]}" | awk -v s="$seconds" -v goal="$goal" '
    BEGIN {
        printf "\nAt rest beside the floor (one GetIfTable and one GetAdaptersInfo a second), CPU\n"
        printf "milliseconds per minute over %d s each, user + system from /proc (10 ms steps);\n", s
        printf "each figure is the program plus the Wine processes of its prefix (in brackets)\n"
        printf "%10s %24s %24s %8s\n", "interfaces", "floor", "monitor", "ratio"
        met = 1
    }
    {
        floor = $2 + $3
        monitor = $4 + $5
        # A floor of nothing is no measurement: no ratio, and no goal met.
        ratio = floor > 0 ? sprintf("%.1fx", monitor / floor) : "-"
        if (floor == 0 || monitor > goal * floor)
            met = 0
        printf "%10d %10d (%5d + %5d) %10d (%5d + %5d) %8s\n", $1, floor, $2, $3, monitor, $4, $5, ratio
        sizes = sizes (sizes == "" ? "" : " and ") $1
    }
    END { printf "Goal: within %dx of the floor at %s interfaces: %s\n", goal, sizes, met ? "met" : "NOT met" }'
