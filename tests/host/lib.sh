# Shared by the host tests: a scratch folder and failure reporting.
#   source lib.sh HOST ROOT
host="$1"
root="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# expect_eq WHAT EXPECTED ACTUAL
expect_eq() {
  if [ "$2" != "$3" ]; then
    fail "$1: expected [$2], got [$3]"
  fi
}

# expect_file WHAT EXPECTED_TEXT FILE: the file holds exactly the text.
expect_file() {
  if ! diff -u --label expected --label actual <(printf '%s' "$2") "$3"; then
    fail "$1"
  fi
}

finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
}
