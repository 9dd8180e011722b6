#!/usr/bin/env bash
# Runs one script case through the host and compares what it did with what
# the case expects.
#   run-case.sh HOST CASE_DIR NAME
# The case is NAME.mvs in CASE_DIR, run as `HOST run NAME.mvs` with CASE_DIR
# as the working directory and the time zone fixed to UTC. Expected:
#   NAME.out     standard output, byte for byte
#   NAME.err     standard error, byte for byte (absent: must be empty)
#   NAME.status  the exit status (absent: 0)
# A mismatch prints a unified diff and fails.
set -u
host="$1"
dir="$2"
name="$3"

cd "$dir" || exit 2
export TZ=UTC LC_ALL=C

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

"$host" run "$name.mvs" > "$work/out" 2> "$work/err" < /dev/null
status=$?

failed=0
if ! cmp -s "$name.out" "$work/out"; then
  echo "standard output differs from $name.out:"
  diff -u --label expected --label actual "$name.out" "$work/out"
  failed=1
fi
if [ -f "$name.err" ]; then
  expected_err="$name.err"
else
  expected_err=/dev/null
fi
if ! cmp -s "$expected_err" "$work/err"; then
  echo "standard error differs from ${expected_err}:"
  diff -u --label expected --label actual "$expected_err" "$work/err"
  failed=1
fi
expected_status=0
if [ -f "$name.status" ]; then
  expected_status="$(tr -d '[:space:]' < "$name.status")"
fi
if [ "$status" != "$expected_status" ]; then
  echo "exit status $status, expected $expected_status"
  failed=1
fi
exit "$failed"
