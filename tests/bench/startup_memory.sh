#!/usr/bin/env bash
# What the program's windows cost: for 1 and for 8 idle interfaces in a network
# namespace, the program's resident memory once every status window exists, the memory
# each further window adds, and how long after the start each window has begun. The
# start sequence's trace labels (OutputDebugString, which Wine reports on its "seh" channel, with a time) name
# the steps; the costliest are listed. tools/bench runs this; it is no test.
#   startup_memory.sh KELVRA_EXE KV_INSPECT_EXE [RUNS]
# KELVRA_BENCH_SIZES chooses other numbers of interfaces ("1 8"; the first 1 or even);
# KELVRA_BENCH_TRACE=FILE keeps the timed labels of the first run at the largest.
set -u
kelvra=$1
# shellcheck disable=SC2034 # read by e2e_inspect
E2E_INSPECTOR=$2
runs=${3:-3}
read -r -a sizes <<<"${KELVRA_BENCH_SIZES:-1 8}"
goalMb=32
goalPerWindowMb=0.5
goalBegun=1.0
# shellcheck source-path=SCRIPTDIR source=../../tools/e2e/lib.sh
source "$(dirname "$0")/../../tools/e2e/lib.sh"
E2E_DEADLINE=$((${#sizes[@]} * (runs * 60 + 60)))
[[ $runs =~ ^[1-9][0-9]*$ ]] || e2e_fail "RUNS must be a whole number, not '$runs'"
e2e_init

# run_once NS INTERFACES: sets rss (kB) and cpu (the program's CPU seconds until then)
# once every window exists, and leaves the program's Wine trace in $E2E_LAST_OUT.err.
run_once() {
    local pid windows program
    e2e_fresh_settings "$1"
    WINEDEBUG=-all,+timestamp,warn+seh,+loaddll e2e_wine_bg "$1" 'C:\kelvra\kelvra.exe'
    pid=$E2E_LAST_PID
    windows=$(e2e_inspect "$1" wait TStatsForm "=$2" 40) || e2e_fail "not $2 status windows within 40 s"
    program=$(e2e_wine_pid "$1" kelvra.exe) || e2e_fail "no process of kelvra.exe"
    rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$program/status")
    cpu=$(awk -v hz="$(getconf CLK_TCK)" '{ sub(/^.*\) /, ""); printf "%.2f\n", ($12 + $13) / hz }' "/proc/$program/stat")
    e2e_stop "$1" "$(echo "$windows" | head -n 1 | cut -f1)" "$pid" 30 || e2e_fail "kelvra.exe did not end cleanly"
}

# steps < TRACE: one line per trace label of the program, "SECONDS LABEL", counted from
# the moment Wine loaded the program; the time until the next label is that step's.
steps() {
    sed -n -e 's/^\([0-9.]*\):[0-9a-f:]*:trace:loaddll:.*Loaded L".*\\\\kelvra\.exe".*/\1 (loaded)/p' \
        -e 's/^\([0-9.]*\):[0-9a-f:]*:warn:seh:OutputDebugStringA "\(.*\)"$/\1 \2/p' |
        awk 'NR == 1 { start = $1 } NR > 1 { t = $1; sub(/^[^ ]* /, ""); printf "%.3f %s\n", t - start, $0 }'
}

declare -A rssOf begunOf cpuOf
stepLog=$E2E_WORK/steps
: >"$stepLog"
for n in "${sizes[@]}"; do
    ns=m$n
    if [ "$n" -eq 1 ]; then
        e2e_netns_create "$ns"
        e2e_netns_create "${ns}peer"
        e2e_ipv6_off "$ns"
        e2e_veth v0a "$ns" v0b "${ns}peer"
    else
        e2e_netns_create "$ns"
        e2e_idle_links "$ns" $((n / 2))
    fi
    links=$(e2e_exec "$ns" ip -o link show | wc -l)
    [ "$links" -eq $((n + 1)) ] || e2e_fail "namespace $ns holds $links links instead of the loopback and $n"
    e2e_install "$ns" "$kelvra"
    rssList=()
    begunList=()
    cpuList=()
    for ((r = 0; r < runs; r++)); do
        run_once "$ns" "$n"
        trace=$(steps <"$E2E_LAST_OUT.err")
        begins=$(grep -c 'BeginForm  end$' <<<"$trace")
        [ "$begins" -eq "$n" ] || e2e_fail "$begins windows began in the trace, not $n (is the trace there?)"
        rssList+=("$rss")
        cpuList+=("$cpu")
        begunList+=("$(grep 'BeginForm  end$' <<<"$trace" | tail -n 1 | cut -d' ' -f1)")
        [ "$n" -eq "${sizes[-1]}" ] && echo "$trace" >>"$stepLog.$r"
    done
    # The median of the runs.
    rssOf[$n]=$(printf '%s\n' "${rssList[@]}" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
    begunOf[$n]=$(printf '%s\n' "${begunList[@]}" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
    cpuOf[$n]=$(printf '%s\n' "${cpuList[@]}" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
    e2e_log "$n interfaces: resident ${rssList[*]} kB, last window begun ${begunList[*]} s after the start, CPU ${cpuList[*]} s"
done

small=${sizes[0]}
large=${sizes[-1]}
echo
echo "The program's windows, the median of $runs runs (stripped kelvra.exe under Wine):"
awk -v s="$small" -v l="$large" -v rs="${rssOf[$small]}" -v rl="${rssOf[$large]}" -v bs="${begunOf[$small]}" \
    -v bl="${begunOf[$large]}" -v cs="${cpuOf[$small]}" -v cl="${cpuOf[$large]}" -v goalMb="$goalMb" -v goalPer="$goalPerWindowMb" -v goalBegun="$goalBegun" 'BEGIN {
    per = (rl - rs) / (l - s) / 1024
    printf "  %-48s %8.1f MB\n", "resident with " s " interface(s)", rs / 1024
    printf "  %-48s %8.1f MB   goal %d MB: %s\n", "resident with " l " interfaces", rl / 1024, goalMb, rl / 1024 <= goalMb ? "met" : "NOT met"
    printf "  %-48s %8.2f MB   goal %.1f MB: %s\n", "each further window", per, goalPer, per <= goalPer ? "met" : "NOT met"
    printf "  %-48s %8.2f s\n", "last window begun, " s " interface(s)", bs
    printf "  %-48s %8.2f s    goal %.1f s: %s\n", "last window begun, " l " interfaces", bl, goalBegun, bl <= goalBegun ? "met" : "NOT met"
    printf "  %-48s %8.2f s\n", "program CPU until then, " s " interface(s)", cs
    printf "  %-48s %8.2f s\n", "program CPU until then, " l " interfaces", cl
}'
# The steps by their total over the windows of the first run at the larger size; the
# time before the first label is the program's own set-up and its first window, the time
# between one window's last label and the next one's first is making that window.
echo "  Costliest steps with $large interfaces (seconds over all windows, first run):"
awk '{ t = $1; label = $0; sub(/^[^ ]* /, "", label)
       if (NR == 1) { cost["(from the load until the first window begins)"] += t }
       else cost[(prev ~ /BeginForm  end$/ ? "(making the next window)" : prev)] += t - last
       last = t; prev = label }
     END { for (k in cost) printf "%8.3f  %s\n", cost[k], k }' "$stepLog.0" | sort -rn | head -n 8 | sed 's/^/  /'
[ -n "${KELVRA_BENCH_TRACE:-}" ] && cp "$stepLog.0" "$KELVRA_BENCH_TRACE"
exit 0
