#!/usr/bin/env bash
# Ctrl-C stops a long convolution: the filter looks for a stop before every
# output row, so the run ends after at most one more row instead of after
# the whole image. The rows here are slow (a million taps per pixel) and the
# image has thousands of them, so a filter that ignored the stop would run
# far past the limit below; nothing depends on the machine's speed.
#   filter-interrupt-test.sh HOST ROOT
source "$(dirname "$0")/lib.sh" "$1" "$2"
cd "$work"

patience=120

until_true() {
  local deadline=$(( $(date +%s) + $1 ))
  shift
  until "$@"; do
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 0.02
  done
}

cat > convolve.mvs <<'SCRIPT'
set f to {{0.5}};
set width of f to 1000;
set height of f to 2000;
set k to {{0.000001}};
set height of k to 1000001;
print "started";
set g to ImageFilter.Convolute(f, k);
print "finished";
SCRIPT

"$host" run convolve.mvs > out.txt 2> err.txt &
pid=$!
if until_true "$patience" grep -q started out.txt; then
  # Give the convolution time to begin its rows.
  sleep 1
  kill -INT "$pid"
  if ! until_true "$patience" eval '! kill -0 "$pid" 2> /dev/null'; then
    fail "the convolution did not stop within $patience s"
    kill -KILL "$pid"
  fi
  wait "$pid"
  expect_eq "status of the stopped run" 1 "$?"
  out="$(cat out.txt)"
  case "$out" in
    *finished*) fail "the convolution ran to its end: [$out]" ;;
    started*"Execution cancelled by user."|started*"Execution Terminated by User.") ;;
    *) fail "the output does not end with the cancellation text: [$out]" ;;
  esac
  expect_file "no error record" "" err.txt
else
  fail "the script did not start"
  kill -KILL "$pid" 2> /dev/null
  wait "$pid" 2> /dev/null
fi

finish
