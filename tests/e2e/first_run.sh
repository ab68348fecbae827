#!/usr/bin/env bash
# The first start for a user on XP: with no settings key the program asks the "Startup"
# question once; answered, it carries on with its windows and has remembered the offer.
# (From Vista on there is nothing to ask: the system has no icon per connection.)
#   first_run.sh KELVRA_EXE KV_INSPECT_EXE
set -u
kelvra=$1
# shellcheck disable=SC2034 # read by e2e_inspect
E2E_INSPECTOR=$2
# shellcheck source-path=SCRIPTDIR source=../../tools/e2e/lib.sh
source "$(dirname "$0")/../../tools/e2e/lib.sh"
# More steps than most: more of the test's 180 s, leaving the cleanup its time.
E2E_DEADLINE=150
e2e_init

e2e_links a b 2
e2e_install a "$kelvra"
settings=$E2E_SETTINGS_KEY
e2e_reg a delete "$settings" /f
# The prefix plays XP (64-bit Wine knows it as winxp64).
xp=winxp
[ "$WINEARCH" = win64 ] && xp=winxp64
e2e_reg a add 'HKCU\Software\Wine' /v Version /d "$xp" /f || e2e_fail "cannot make the prefix Windows XP"

t0=$SECONDS
e2e_wine_bg a 'C:\kelvra\kelvra.exe'
pid=$E2E_LAST_PID

# The message box is a dialog of the system's class, found by its title.
question() { e2e_inspect a windows '#32770' | awk -F'\t' '$4 == "Startup"'; }
box=
for _ in $(seq 1 50); do
    box=$(question)
    [ -n "$box" ] && break
    sleep 0.5
done
[ -n "$box" ] || e2e_fail "no Startup question within $E2E_START_WAIT s"
[ "$(echo "$box" | wc -l)" -eq 1 ] || e2e_fail "the question was asked more than once: $box"
hwnd=$(echo "$box" | cut -f1)
e2e_log "question after $((SECONDS - t0)) s"
text=$(e2e_inspect a children "$hwnd" | awk -F'\t' '$3 == "Static" && $6 ~ /built in network icons/')
[ -n "$text" ] || e2e_fail "the question does not read as it should"
# "FirstTime" is written before the question.
[ "$(e2e_inspect a regget "$settings" FirstTime)" = 1 ] || e2e_fail "FirstTime not set while asking"

# Yes, as the button would: on this machine no adapter has a connection key to change.
e2e_inspect a post "$hwnd" 0x111 6 0 >/dev/null || e2e_fail "cannot answer the question"
windows=$(e2e_inspect a wait TStatsForm 2 "$E2E_START_WAIT") || e2e_fail "no two status windows after the answer"
[ -z "$(question)" ] || e2e_fail "the question is still open"
kill -0 "$pid" 2>/dev/null || e2e_fail "the program ended"

e2e_stop a "$(echo "$windows" | head -n 1 | cut -f1)" "$pid" 30
rc=$?
[ $rc -eq 0 ] || e2e_fail "the program ended with exit code $rc"
[ "$(e2e_inspect a regget "$settings" FirstTime)" = 1 ] || e2e_fail "FirstTime is not 1 afterwards"
e2e_log "passed in $((SECONDS - t0)) s"
