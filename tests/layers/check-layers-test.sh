#!/usr/bin/env bash
# Shows that the layer check catches what it is for: over a small tree with includes that
# go upward, sideways between controls and desktop, and upward by a relative path, it must
# fail and name exactly those file:line places, and leave alone the includes that go
# downward, stay in their folder, are commented out or reach no folder of the program.
#
#     check-layers-test.sh <check-layers> <fixture tree> <expected report>
set -uo pipefail
check=$1 fixture=$2 expected=$3
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

report=$("$check" "$fixture" 2>/dev/null)
status=$?
[ "$status" -eq 1 ] || fail "over the fixture the check exits with $status, not 1"
if ! diff -u "$expected" <(printf '%s\n' "$report"); then
  fail "the check names other places than $expected (diff above: - expected, + named)"
fi

"$check" "$fixture/no-such-folder" >/dev/null 2>&1
status=$?
[ "$status" -eq 2 ] || fail "over a missing folder the check exits with $status, not 2"

[ "$failures" -eq 0 ] || exit 1
echo "the layer check names every upward include of the fixture and nothing else"
