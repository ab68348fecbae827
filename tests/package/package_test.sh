#!/usr/bin/env bash
# tools/package with the files the build ships: the archive holds exactly the four files
# in one folder, the program and each download stay within 1.5 MB, the installer and the
# program carry the version of src/res/version.h, and a missing file stops the
# packaging, named.
#   package_test.sh KELVRA_EXE KELVRA_DLL KV_EXAMPLE_DLL KELVRA_CHM
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "package: FAIL: $*" >&2
    exit 1
}

files=$work/files
mkdir -p "$files/Plugins"
if ! cp "$1" "$files/kelvra.exe" || ! cp "$2" "$files/kelvra.dll" || ! cp "$3" "$files/Plugins/kv_example.dll" ||
    ! cp "$4" "$files/kelvra.chm"; then
    fail "the build lacks a shipped file"
fi
KELVRA_DIST=$work/dist "$root/tools/package" "$files" >/dev/null || fail "tools/package failed"

entries=$(python3 -c 'import sys, zipfile; print("\n".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' \
    "$work/dist/kelvra-portable.zip") || fail "no readable archive"
expected=$(printf 'Tarvelo/%s\n' kelvra.chm kelvra.dll kelvra.exe Plugins/kv_example.dll | sort)
[ "$entries" = "$expected" ] || fail "the archive holds: $entries"
limit=$((1536 * 1024))
for f in "$1" "$work/dist/kelvra-setup.exe" "$work/dist/kelvra-portable.zip"; do
    size=$(stat -c %s "$f")
    [ "$size" -le $limit ] || fail "$(basename "$f") is $size bytes, more than $limit"
done

header=$root/src/res/version.h
version=$(sed -n 's/^#define KELVRA_VERSION_MAJOR \([0-9]*\)$/\1/p' "$header").$(sed -n 's/^#define KELVRA_VERSION_MINOR \([0-9]*\)$/\1/p' "$header")
# The version resources hold their texts in UTF-16.
has_version_text() {
    python3 -c 'import sys; sys.exit(0 if sys.argv[2].encode("utf-16-le") + b"\0\0" in open(sys.argv[1], "rb").read() else 1)' "$1" "$2"
}
has_version_text "$work/dist/kelvra-setup.exe" "$version" || fail "the installer does not carry version $version"
has_version_text "$1" "$version" || fail "the program does not carry version $version"

rm "$files/kelvra.chm"
if KELVRA_DIST=$work/dist2 "$root/tools/package" "$files" >/dev/null 2>"$work/err"; then
    fail "packaging went on without kelvra.chm"
fi
grep -q 'kelvra\.chm' "$work/err" || fail "the failure does not name kelvra.chm: $(cat "$work/err")"
[ ! -e "$work/dist2/kelvra-setup.exe" ] || fail "a failed packaging left an installer"
echo "package: passed"
