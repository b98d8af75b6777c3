#!/bin/sh
# The release's zip writer read back by Debian's unzip, a reader of its own: every entry's CRC,
# its bytes, its name, the names in the byte order of their names, the method (deflated where that
# is smaller, else stored), the one time given and the permissions of a plain file. And the reader
# itself, on a copy with one byte of an entry changed, reports a bad CRC.
#   release_zip_test.sh RELEASE_ZIP
set -u
release_zip=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}
# unzip under a time limit, as every program a test starts.
unzip_bounded() {
    timeout -k 5 60 unzip "$@"
}

# The files: text that deflates, bytes that do not (so are stored), an empty file, names given
# out of their order, in capitals and small letters, one in a folder.
files=$work/files
mkdir -p "$files/Gauges"
i=0
while [ "$i" -lt 200 ]; do
    echo "gauge$i=radio!tuneset, 10, 10, 476   // the same line again and again"
    i=$((i + 1))
done >"$files/panel.cfg"
head -c 4096 /dev/urandom >"$files/Gauges/radio.gau"
: >"$files/empty.txt"
printf 'Radio and autopilot\r\n' >"$files/README.txt"
printf '<html></html>\n' >"$files/Manual.html"
printf 'B\n' >"$files/B"
printf 'a\n' >"$files/a"
given="panel.cfg empty.txt a Gauges/radio.gau README.txt B Manual.html"
# 2023-11-14 22:13:20 UTC
zip=$work/release.zip
# shellcheck disable=SC2086  # the names, one word each
timeout -k 5 60 "$release_zip" "$zip" 1700000000 "$files" $given || fail "release_zip ended with status $?"
[ -s "$zip" ] || { echo "FAIL: no zip written"; exit 1; }

out=$(unzip_bounded -t "$zip" 2>&1)
status=$?
[ "$status" -eq 0 ] || fail "expected unzip -t to find no error, got status $status: $out"
echo "$out" | grep -q "^No errors detected in compressed data of " || fail "expected no errors from unzip -t, got: $out"
for name in $given; do
    echo "$out" | grep -qE "^ +testing: $name +OK\$" || fail "expected the entry $name tested OK, got: $out"
done

expected=$(printf '%s\n' $given | LC_ALL=C sort)
listed=$(unzip_bounded -Z1 "$zip")
[ "$listed" = "$expected" ] || fail "expected the entries in the byte order of their names:
$expected
got:
$listed"

for name in $given; do
    unzip_bounded -p "$zip" "$name" >"$work/read" || fail "$name: unzip -p ended with status $?"
    cmp -s "$work/read" "$files/$name" || fail "$name: the bytes read back are not the file's"
done

# zipinfo's line of each entry: permissions, version, system, size, kind, method, date, time, name
check_entry() {
    line=$(unzip_bounded -Z "$zip" "$1" | grep " $1\$")
    set -- "$1" "$2" $line
    [ "$3" = "-rw-r--r--" ] || fail "$1: expected the permissions -rw-r--r--, got $3"
    [ "$5" = unx ] || fail "$1: expected an entry made on Unix, got $5"
    case "$8" in
        $2) ;;
        *) fail "$1: expected the method $2, got $8" ;;
    esac
}
check_entry panel.cfg 'def?'   # deflated, its level said in the flags (none)
check_entry Gauges/radio.gau stor
check_entry empty.txt stor
times=$(unzip_bounded -Z -T "$zip" | awk '/^-/ { print $7 }' | sort -u)
[ "$times" = "20231114.221320" ] || fail "expected every entry at 20231114.221320, got: $times"

# One byte of the stored entry's data changed: the reader reports its CRC.
cp "$zip" "$work/damaged.zip"
offset=$(grep -abo "Gauges/radio.gau" "$work/damaged.zip" | head -n 1 | cut -d: -f1)
offset=$((offset + 16 + 100))
byte=$(od -An -tu1 -j "$offset" -N1 "$work/damaged.zip" | tr -d ' ')
printf "$(printf '\\%03o' $(((byte + 1) % 256)))" |
    dd of="$work/damaged.zip" bs=1 seek="$offset" conv=notrunc 2>/dev/null
damaged=$(unzip_bounded -t "$work/damaged.zip" 2>&1)
[ $? -ne 0 ] && echo "$damaged" | grep -q "bad CRC" ||
    fail "expected unzip -t to report the changed entry's CRC, got: $damaged"

# The date field holds 1980 to 2107: the last second it holds is written (in two-second units,
# 23:59:58), and the next is refused rather than written as a date of 1980.
last=$work/last.zip
timeout -k 5 60 "$release_zip" "$last" 4354819199 "$files" a || fail "release_zip at 2107-12-31 23:59:59 ended with status $?"
last_time=$(unzip_bounded -Z -T "$last" | awk '/^-/ { print $7 }')
[ "$last_time" = "21071231.235958" ] || fail "expected the entry at 21071231.235958, got: $last_time"
next=$work/next.zip
refusal=$(timeout -k 5 60 "$release_zip" "$next" 4354819200 "$files" a 2>&1)
status=$?
[ "$status" -eq 1 ] || fail "expected 2108-01-01 00:00:00 refused with status 1, got $status"
[ "$refusal" = "release_zip: not a time from 1980 to 2107: 4354819200" ] ||
    fail "expected the refusal to name the time, got: $refusal"
[ ! -e "$next" ] || fail "expected no zip written for 2108, got one dated $(unzip_bounded -Z -T "$next" | awk '/^-/ { print $7 }')"

[ "$failed" -eq 0 ] || exit 1
echo "ok: the zip's $(echo "$given" | wc -w) entries read back by unzip, in order, each with its CRC"
