#!/usr/bin/env bash
# The portable archive holds exactly the four files in one folder, and the program runs
# from that folder: it starts, shows its window, records the folder and stops.
#   portable.sh KELVRA_EXE KV_INSPECT_EXE
set -u
kelvra=$1
# shellcheck disable=SC2034 # read by e2e_inspect
E2E_INSPECTOR=$2
# shellcheck source-path=SCRIPTDIR source=../../tools/e2e/lib.sh
source "$(dirname "$0")/../../tools/e2e/lib.sh"
# shellcheck source-path=SCRIPTDIR source=../../tools/e2e/release.sh
source "$(dirname "$0")/../../tools/e2e/release.sh"
e2e_init

release_package "$kelvra"
archive=$RELEASE_DIST/kelvra-portable.zip
entries=$(python3 -c 'import sys, zipfile; print("\n".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' "$archive") ||
    e2e_fail "cannot read $archive"
expected=$(printf 'Tarvelo/%s\n' "${RELEASE_SHIPPED[@]}" | sort)
[ "$entries" = "$expected" ] || e2e_fail "the archive holds: $entries"

e2e_links a b 1
prefix=$(e2e_prefix_for a) || e2e_fail "no prefix"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$archive" "$prefix/drive_c" ||
    e2e_fail "cannot unpack $archive"
release_same_files "$prefix/drive_c/Tarvelo"
e2e_fresh_settings a

e2e_wine_bg a 'C:\Tarvelo\kelvra.exe'
release_show_and_stop a "$E2E_LAST_PID"
installPath=$(e2e_inspect a regget "$E2E_SETTINGS_KEY" InstallPath) || e2e_fail "the program recorded no InstallPath"
# shellcheck disable=SC1003 # a backslash at the end, no escaped quote
[ "$installPath" = 'C:\Tarvelo\' ] || e2e_fail "InstallPath is '$installPath'"
e2e_log "passed"
