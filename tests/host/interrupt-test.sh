#!/usr/bin/env bash
# Ctrl-C: the first one stops the running script through the session's
# interrupted flag (status 1, the engine's cancellation text at the end of the
# console); a second one ends the host at once.
#   interrupt-test.sh HOST ROOT
source "$(dirname "$0")/lib.sh" "$1" "$2"
cd "$work"

# Starts the host on a script in the background; waits until the script has
# printed "started" (so the run is under way).
start_run() {
  "$host" run "$1" > out.txt 2> err.txt &
  pid=$!
  for _ in $(seq 200); do
    grep -q started out.txt 2> /dev/null && return 0
    sleep 0.025
  done
  fail "$1 did not start"
  kill -KILL "$pid" 2> /dev/null
  wait "$pid" 2> /dev/null
  return 1
}

# Waits at most $1 seconds for the host to end; sets status.
wait_for_end() {
  local deadline=$(( $(date +%s%N) + $1 * 1000000000 ))
  while kill -0 "$pid" 2> /dev/null; do
    if [ "$(date +%s%N)" -gt "$deadline" ]; then
      fail "the host did not end within $1 s"
      kill -KILL "$pid"
      break
    fi
    sleep 0.02
  done
  wait "$pid"
  status=$?
}

for body in 'repeat forever begin end' \
            'repeat forever begin set x to 1; add 1 to x; end' \
            'set n to 0; repeat while n >= 0 begin add 1 to n; end'; do
  printf 'print "started";\n%s\n' "$body" > loop.mvs
  start_run loop.mvs || continue
  sent=$(date +%s%N)
  kill -INT "$pid"
  wait_for_end 3
  elapsed_ms=$(( ($(date +%s%N) - sent) / 1000000 ))
  [ "$elapsed_ms" -le 1500 ] || fail "[$body] took $elapsed_ms ms to stop"
  expect_eq "[$body] status" 1 "$status"
  out="$(cat out.txt)"
  case "$out" in
    *"Execution cancelled by user."|*"Execution Terminated by User.") ;;
    *) fail "[$body] output does not end with the cancellation text: [$out]" ;;
  esac
  case "$out" in
    started*) ;;
    *) fail "[$body] the output before the cancellation is lost" ;;
  esac
  expect_file "[$body] no error record" "" err.txt
done

# A second Ctrl-C ends the host even when it cannot stop the run: here its
# standard output is a pipe that nobody empties, so the host is stuck writing
# and never gets to forward the first Ctrl-C.
printf 'print "started";\nset t to "x";\nrepeat 20 times begin add t to t; end\nprint t;\nrepeat forever begin end\n' > stuck.mvs
mkfifo pipe
"$host" run stuck.mvs > pipe 2> err.txt &
pid=$!
exec 3< pipe
read -r -t 10 -u 3 first || fail "stuck run did not start"
expect_eq "first line of the stuck run" started "$first"
sleep 0.1
kill -INT "$pid"
sleep 0.3
kill -0 "$pid" 2> /dev/null || fail "the first Ctrl-C ended a host stuck in output"
kill -INT "$pid" 2> /dev/null
wait_for_end 3
expect_eq "status after a second Ctrl-C (ended by SIGINT)" 130 "$status"
exec 3<&-

finish
