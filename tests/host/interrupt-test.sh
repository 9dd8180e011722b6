#!/usr/bin/env bash
# Ctrl-C: the first one stops the running script through the session's
# interrupted flag (status 1, the engine's cancellation text at the end of the
# console); a second one ends the host at once.
#
# Nothing here depends on how fast the machine is: each step waits for a sign
# that the previous one took effect (a line of output, the host's handler of
# Ctrl-C being used up), with limits far above any real need, so a loaded
# machine only makes the test slower.
#   interrupt-test.sh HOST ROOT
source "$(dirname "$0")/lib.sh" "$1" "$2"
cd "$work"

# A limit for things that take milliseconds on an idle machine.
patience=120

# until_true SECONDS COMMAND...: retries the command until it succeeds or
# the time is up; the status says which.
until_true() {
  local deadline=$(( $(date +%s) + $1 ))
  shift
  until "$@"; do
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 0.02
  done
}

# Starts the host on a script in the background; waits until the script has
# printed "started" (so the run is under way and Ctrl-C is caught).
start_run() {
  "$host" run "$1" > out.txt 2> err.txt &
  pid=$!
  if ! until_true "$patience" grep -q started out.txt; then
    fail "$1 did not start"
    kill -KILL "$pid" 2> /dev/null
    wait "$pid" 2> /dev/null
    return 1
  fi
}

# Waits for the host to end (killing it after the limit); sets status.
wait_for_end() {
  if ! until_true "$patience" eval '! kill -0 "$pid" 2> /dev/null'; then
    fail "the host did not end within $patience s"
    kill -KILL "$pid"
  fi
  wait "$pid"
  status=$?
}

# Whether process $1 still catches SIGINT: the host's handler resets itself
# when it runs, so this turns false once the first Ctrl-C was taken.
catches_interrupt() {
  local caught
  caught=$(awk '/^SigCgt:/ { print $2 }' "/proc/$1/status" 2> /dev/null) || return 1
  [ -n "$caught" ] && (( (16#$caught >> 1) & 1 ))
}

for body in 'repeat forever begin end' \
            'repeat forever begin set x to 1; add 1 to x; end' \
            'set n to 0; repeat while n >= 0 begin add 1 to n; end'; do
  printf 'print "started";\n%s\n' "$body" > loop.mvs
  start_run loop.mvs || continue
  kill -INT "$pid"
  wait_for_end
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

# Whether the main thread of process $1 waits in a write to a pipe (the
# kernel's name for where it sleeps, or the number of the system call it is
# in: 1 is write on x86-64).
stuck_writing() {
  local where call
  where=$(cat "/proc/$1/wchan" 2> /dev/null)
  call=$(cut -d' ' -f1 "/proc/$1/syscall" 2> /dev/null)
  [[ "$where" == *pipe_write* ]] || { [ "$(uname -m)" = x86_64 ] && [ "$call" = 1 ]; }
}

# A second Ctrl-C ends the host even when it cannot stop the run: here its
# standard output is a pipe that nobody empties, so the host is stuck writing
# and never gets to forward the first Ctrl-C. The first is sent once the host
# is stuck, the second only once the first was taken: two pending Ctrl-Cs
# would merge into one.
printf 'print "started";\nset t to "x";\nrepeat 20 times begin add t to t; end\nprint t;\nrepeat forever begin end\n' > stuck.mvs
mkfifo pipe
"$host" run stuck.mvs > pipe 2> err.txt &
pid=$!
exec 3< pipe
read -r -t "$patience" -u 3 first || fail "stuck run did not start"
expect_eq "first line of the stuck run" started "$first"
until_true "$patience" stuck_writing "$pid" || fail "the host did not get stuck writing"
kill -INT "$pid"
until_true "$patience" eval '! catches_interrupt "$pid"' ||
  fail "the host did not take the first Ctrl-C"
kill -0 "$pid" 2> /dev/null || fail "the first Ctrl-C ended a host stuck in output"
kill -INT "$pid" 2> /dev/null
wait_for_end
expect_eq "status after a second Ctrl-C (ended by SIGINT)" 130 "$status"
exec 3<&-

finish
