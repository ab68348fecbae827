#!/usr/bin/env bash
# The functions the shipped files import, held to the reviewed list: each line of the
# list names a DLL, a function and the first Windows that documents it. An import that
# is not in the list, or whose Windows is later than XP, fails the check until it is
# reviewed (a function Windows XP lacks must be looked up at run time instead).
#   import_check.sh OBJDUMP LIST FILE...
set -u -o pipefail
objdump=$1
list=$2
shift 2
fail=0
# Windows the program may rely on when it starts.
allowed='^(2000|XP)$'
while read -r dll function since; do
    [[ -z $dll || $dll == \#* ]] && continue
    [[ $since =~ $allowed ]] || { echo "imports: $dll $function needs Windows $since, later than XP" >&2; fail=1; }
done <"$list"
reviewed=$(awk '!/^#/ && NF { print toupper($1), $2 }' "$list" | sort -u)
for file in "$@"; do
    # "DLL Name: X" opens each DLL's block; its lines "hint name" follow.
    imports=$("$objdump" -p "$file" | awk '
        /^\tDLL Name: / { dll = toupper($3); next }
        /^$/ { dll = "" }
        dll != "" && /^\t[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_?@]/ { print dll, $3 }' | sort -u) ||
        { echo "imports: cannot read $file" >&2; fail=1; continue; }
    [ -n "$imports" ] || { echo "imports: no imports found in $file" >&2; fail=1; continue; }
    unreviewed=$(comm -23 <(echo "$imports") <(echo "$reviewed"))
    if [ -n "$unreviewed" ]; then
        echo "imports: $(basename "$file") imports functions not in $(basename "$list"):" >&2
        awk '{ print "  " $0 }' <<<"$unreviewed" >&2
        fail=1
    fi
done
[ $fail -eq 0 ] && echo "imports: passed"
exit $fail
