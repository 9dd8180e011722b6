#!/usr/bin/env bash
# Names that lead to no regular file: a device that never ends, a pipe that
# blocks until someone writes to it, a folder. Running, checking or colouring
# such a script, including one, loading a value from one, asking for its size
# or loading it as a plug-in ends promptly with a clear error. Every command
# runs under timeout, so a hang fails the test instead of stopping it.
#   inputs-test.sh HOST ROOT
source "$(dirname "$0")/lib.sh" "$1" "$2"
cd "$work"
mkfifo pipe
mkdir folder

# bounded WHAT EXPECTED_STATUS COMMAND...: runs the command with a time
# limit far above its need and checks its status (124 means it hung).
bounded() {
  local what="$1" expected="$2"
  shift 2
  timeout 60 "$@" > out.txt 2> err.txt
  local status=$?
  [ "$status" -ne 124 ] || fail "$what: still running after 60 s"
  expect_eq "$what: status" "$expected" "$status"
}

for name in /dev/zero /dev/urandom pipe folder; do
  for command in run check lex; do
    bounded "$command $name" 3 "$host" "$command" "$name"
    grep -q "morvane: the script $name is" err.txt ||
      fail "$command $name: the reason on standard error: [$(cat err.txt)]"
  done
done
grep -q "is not a regular file" <("$host" run pipe 2>&1) || fail "a pipe is not a regular file"

# Includes: an include error on the console, and the script goes on.
for name in /dev/zero /dev/urandom pipe; do
  bounded "include $name" 0 "$host" run -e "#include '$name'
print \"after\";"
  expect_file "include $name: console" \
    "Include Error: file '$name' is not a regular file, at line 1"$'\nafter\n' out.txt
done

# Value files, and the size of what is no file.
for name in /dev/zero pipe; do
  bounded "load $name" 1 "$host" run -e "print file \"$name\";"
  grep -q "file \"$name\" is not a regular file." err.txt ||
    fail "load $name: the reason in the error record: [$(cat err.txt)]"
done
for name in folder pipe /dev/zero; do
  bounded "File.Size of $name" 1 "$host" run -e "print File.Size(\"$name\");"
  grep -q "Could not read the size of '$name': it is" err.txt ||
    fail "File.Size of $name: the reason in the error record: [$(cat err.txt)]"
done
printf 'abc' > three.txt
bounded "File.Size of a file" 0 "$host" run -e 'print File.Size("three.txt");'
expect_file "File.Size of a file: console" $'3\n' out.txt

# Plug-ins: refused before the system's loader sees them.
for name in pipe /dev/zero folder; do
  bounded "--plugin $name" 3 "$host" run --plugin "$name" -e 'print "ran";'
  grep -q "PlugIn could not be loaded. The file .*is" err.txt ||
    fail "--plugin $name: the reason on standard error: [$(cat err.txt)]"
  expect_file "--plugin $name: the script does not run" "" out.txt
done

finish
