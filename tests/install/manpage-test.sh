#!/usr/bin/env bash
# The manual page describes every command and option that `morvane --help`
# lists: each command as an entry of its own, each option by its exact name.
#   manpage-test.sh HOST ROOT
source "$(dirname "$0")/../host/lib.sh" "$1" "$2"
page="$root/man/morvane.1"

"$host" --help > "$work/help.txt" || fail "morvane --help"
# The page as man shows it; without man, the source with its escapes undone.
if command -v man > /dev/null && MANWIDTH=200 man -l "$page" > "$work/raw.txt" 2> /dev/null; then
  sed 's/.\x08//g' "$work/raw.txt" > "$work/page.txt"
else
  sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/^\.[BIR]\{1,2\} /   /' "$page" > "$work/page.txt"
fi

# Commands: the names in the help's "commands:" block.
mapfile -t commands < <(awk '/^commands:/ { inside = 1; next }
  /^[^ ]/ { inside = 0 } inside && /^  [a-z]/ { print $1 }' "$work/help.txt")
# Options: every word of the help that starts with a hyphen.
mapfile -t options < <(grep -oE '(^|[ [(|])--?[a-z][a-z-]*' "$work/help.txt" \
  | sed -E 's/^[ [(|]//' | sort -u)

[ "${#commands[@]}" -ge 4 ] || fail "the help lists the commands (found: ${commands[*]})"
[ "${#options[@]}" -ge 5 ] || fail "the help lists the options (found: ${options[*]})"
for command in "${commands[@]}"; do
  grep -qE "^ +$command( |$)" "$work/page.txt" || fail "the page describes the command $command"
  grep -qE "morvane $command( |$)" "$work/page.txt" || fail "the synopsis shows morvane $command"
done
for option in "${options[@]}"; do
  grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" "$work/page.txt" || fail "the page names the option $option"
done
grep -q -- "--no-default-plugins" "$work/page.txt" || fail "the page names --no-default-plugins"
finish
