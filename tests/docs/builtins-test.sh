#!/usr/bin/env bash
# The generated reference of the built-in functions holds every signature that
# `morvane functions` lists, each under its own heading, and nothing else.
#   builtins-test.sh HOST REFERENCE.md
source "$(dirname "$0")/../host/lib.sh" "$1" ""
reference="$2"

[ -s "$reference" ] || { fail "the reference was generated"; finish; }
# The built-ins only, without the plug-ins that ship with the host.
"$host" functions --no-default-plugins > "$work/functions.txt" || fail "morvane functions"
# The functions, by their declarations, and the headings of the reference.
grep -oE '^[A-Za-z]+\.[A-Za-z0-9_]+\(' "$work/functions.txt" | tr -d '(' | sort -u > "$work/listed.txt"
sed -n 's/^### //p' "$reference" | sort > "$work/headings.txt"
expect_file "one heading per function" "$(cat "$work/listed.txt")"$'\n' "$work/headings.txt"
[ "$(wc -l < "$work/listed.txt")" -ge 20 ] || fail "the listing holds the built-in functions"
# Every signature (overloads included) appears once, declaration and all.
expect_eq "signatures" "$(grep -c '^/\*$' "$work/functions.txt")" "$(grep -c '^```text$' "$reference")"
# The declarations, line for line and in the same order (the comment blocks
# of the listing hold the descriptions, which the reference shows as text).
awk '/^\/\*$/ { skip = 1; next } /^\*\/$/ { skip = 0; next } !skip && NF' \
  "$work/functions.txt" > "$work/declared.txt"
awk '/^```text$/ { inside = 1; next } /^```$/ { inside = 0 } inside' "$reference" > "$work/shown.txt"
diff -u "$work/declared.txt" "$work/shown.txt" > /dev/null || fail "the declarations are copied whole"
finish
