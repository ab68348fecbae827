# shellcheck shell=bash
# The downloads for the end-to-end tests of the installer and the portable archive.
# Source after lib.sh and e2e_init:
#
#   release_package KELVRA_EXE       # sets RELEASE_FILES (the four files) and RELEASE_DIST
#
# The files come from the build folder; one the build does not make (yet) is replaced by
# a stand-in of the same name, and the log says which.

RELEASE_SHIPPED=(kelvra.exe kelvra.dll Plugins/kv_example.dll kelvra.chm)
RELEASE_FILES=
RELEASE_DIST=

release_package() {
    local exe=$1 f
    RELEASE_FILES=$E2E_WORK/files
    RELEASE_DIST=$E2E_WORK/dist
    mkdir -p "$RELEASE_FILES/Plugins"
    cp "$exe" "$RELEASE_FILES/kelvra.exe" || e2e_fail "no program $exe"
    for f in "${RELEASE_SHIPPED[@]:1}"; do
        if [ -f "$E2E_BUILD/$f" ]; then
            cp "$E2E_BUILD/$f" "$RELEASE_FILES/$f"
        else
            e2e_log "the build has no $f: packaging a stand-in"
            echo "stand-in for $f" >"$RELEASE_FILES/$f"
        fi
    done
    KELVRA_DIST=$RELEASE_DIST "$E2E_ROOT/tools/package" "$RELEASE_FILES" >&2 || e2e_fail "tools/package failed"
}

# release_unix_path NS WINPATH: where a C:\ path of the namespace's prefix lies.
release_unix_path() {
    local path=$2
    [[ $path =~ ^[Cc]:\\ ]] || e2e_fail "'$path' is not on drive C:"
    path=${path:3}
    echo "$E2E_WORK/wine-$1/drive_c/${path//\\//}"
}

# release_same_files DIR: DIR holds the four packaged files, byte for byte.
release_same_files() {
    local f
    for f in "${RELEASE_SHIPPED[@]}"; do
        cmp -s "$RELEASE_FILES/$f" "$1/$f" || e2e_fail "$1/$f is missing or differs from the packaged one"
    done
}

# release_show_and_stop NS PID: the program's status window answers, shows on a click
# of its tray icon, and the stop message ends the program with success.
release_show_and_stop() {
    local windows hwnd rc
    windows=$(e2e_inspect "$1" wait TStatsForm 1 25) || e2e_fail "no status window within 25 s"
    hwnd=$(echo "$windows" | head -n 1 | cut -f1)
    # The tray icon's callback (WM_APP + 0x100) with a left click's button-up.
    e2e_inspect "$1" send "$hwnd" 0x8100 1 0x202 >/dev/null || e2e_fail "the tray click did not reach $hwnd"
    [ "$(e2e_inspect "$1" windows TStatsForm | head -n 1 | cut -f2)" = 1 ] || e2e_fail "the status window did not show"
    e2e_stop "$1" "$hwnd" "$2" 30
    rc=$?
    [ $rc -eq 0 ] || e2e_fail "the program ended with exit code $rc"
}
