#!/usr/bin/env bash
# The host's commands and options: version, help, usage errors, check, lex,
# inline scripts, the function listing and plug-in loading.
#   commands-test.sh HOST ROOT
source "$(dirname "$0")/lib.sh" "$1" "$2"
cd "$work"

# --version and --help
expect_eq "version" "morvane 3.0a" "$("$host" --version)"
"$host" --help > help.txt; expect_eq "help status" 0 $?
grep -q '^usage: morvane run' help.txt || fail "help shows the usage"
"$host" run --help > /dev/null; expect_eq "run --help status" 0 $?

# Usage errors: status 3 and a message on standard error.
"$host" > out.txt 2> err.txt; expect_eq "no command" 3 $?
[ -s err.txt ] || fail "no command: a message on standard error"
"$host" frobnicate x.mvs 2> /dev/null; expect_eq "unknown command" 3 $?
"$host" run 2> /dev/null; expect_eq "run without a script" 3 $?
"$host" run a.mvs b.mvs 2> /dev/null; expect_eq "run with two scripts" 3 $?
"$host" run --bogus a.mvs 2> /dev/null; expect_eq "unknown option" 3 $?
"$host" run --windows 2> /dev/null; expect_eq "--windows without a folder" 3 $?
"$host" run -e 'print 1;' a.mvs 2> /dev/null; expect_eq "-e and a file" 3 $?
"$host" run missing-file.mvs > out.txt 2> err.txt; expect_eq "missing script" 3 $?
grep -q 'missing-file.mvs' err.txt || fail "missing script: named on standard error"
[ -s out.txt ] && fail "missing script: nothing on standard output"
mkdir -p folder.mvs
"$host" run folder.mvs 2> /dev/null; expect_eq "a folder as the script" 3 $?

# run -e: the text is the script, the current directory its folder.
printf 'set included to "from the current folder";\n' > here.mvinc
"$host" run -e "#include 'here.mvinc'
print included;" > out.txt 2> err.txt
expect_eq "run -e status" 0 $?
expect_file "run -e output" $'from the current folder\n' out.txt
expect_file "run -e error output" "" err.txt

# A script file's folder is the script's folder, whatever the current one.
mkdir -p sub
printf 'set where to "beside the script";\n' > sub/near.mvinc
printf "#include 'near.mvinc'\nprint where;\n" > sub/main.mvs
"$host" run sub/main.mvs > out.txt 2> err.txt
expect_file "include beside the script" $'beside the script\n' out.txt

# check: the console on standard output, the records on standard error.
printf 'set x to 1;\nrepeat 3 times begin add x to x; end\nprint x;\n' > good.mvs
"$host" check good.mvs > out.txt 2> err.txt
expect_eq "check of a good script" 0 $?
expect_file "check console" $'Syntax Check Complete : No Errors found.\n' out.txt
expect_file "check records" "" err.txt
printf 'print 1;\nprint y;\n' > bad.mvs
"$host" check bad.mvs > out.txt 2> err.txt
expect_eq "check of a bad script" 2 $?
expect_file "check console with errors" "" out.txt
expect_file "check records with errors" \
  $' at line 2: ( ;)\nSyntax Error: Identifier has not been initialized.\n        y\n\n' err.txt
"$host" check -e 'print 2;' > out.txt; expect_eq "check -e" 0 $?

# lex: one "begin end kind" line per colouring span. The session's text ends
# with the line end the include pass adds.
printf 'set x to 5;\nprint "hi"; // c\nset width to 1;\n' > colours.mvs
"$host" lex colours.mvs > out.txt 2> err.txt
expect_eq "lex status" 0 $?
expect_file "lex spans" \
'1 3 6
4 4 3
5 5 8
6 6 3
7 8 6
9 9 3
10 10 5
11 11 9
12 12 3
13 17 6
18 18 3
19 22 1
23 23 9
24 24 3
25 29 2
30 32 6
33 33 3
34 38 6
39 39 3
40 41 6
42 42 3
43 43 5
44 44 9
45 45 3
46 46 3
' out.txt
expect_file "lex errors" "" err.txt
printf 'print $;\n' > lexbad.mvs
"$host" lex lexbad.mvs > out.txt 2> err.txt
expect_eq "lex status with a lexical error" 0 $?
expect_file "lexical error on standard error" $'Lexical Error: invalid token, at line 1\n' err.txt

# functions: the signature texts, all or of one namespace or function.
"$host" functions > out.txt 2> err.txt; expect_eq "functions status" 0 $?
expect_file "functions: nothing on standard error" "" err.txt
grep -q "Math" out.txt || fail "functions lists the Math namespace"
"$host" functions Math Maximum > one.txt 2> err.txt; expect_eq "functions with a name" 0 $?
grep -q "Maximum" one.txt || fail "functions Math Maximum shows the function"
[ "$(wc -l < one.txt)" -lt "$(wc -l < out.txt)" ] || fail "one function lists less than all"
"$host" functions NoSuchSpace > out.txt 2> err.txt; expect_eq "functions of an unknown namespace" 3 $?
expect_file "unknown namespace message" $'morvane: NameSpace doesn\'t exist\n' err.txt

# A plug-in that cannot be loaded: status 3, a message, no run.
"$host" run --plugin "$work/no-such-plugin.so" -e 'print "ran";' > out.txt 2> err.txt
expect_eq "bad plug-in status" 3 $?
[ -s err.txt ] || fail "bad plug-in: a message on standard error"
expect_file "bad plug-in: the script does not run" "" out.txt

# The plug-ins that ship with morvane load by default, from the plugins
# folder beside the host; --no-default-plugins leaves them out.
grep -q -- '--no-default-plugins' help.txt || fail "help mentions --no-default-plugins"
"$host" functions ImageFilter > out.txt 2> err.txt
expect_eq "functions of the shipped plug-in" 0 $?
grep -q "ImageFilter.Convolute(" out.txt || fail "functions lists ImageFilter.Convolute"
"$host" functions --no-default-plugins ImageFilter > out.txt 2> err.txt
expect_eq "functions without the shipped plug-ins" 3 $?
"$host" run -e 'print ImageFilter.Median({{0.1, 0.9, 0.2}})[0];' > out.txt 2> err.txt
expect_eq "run with the shipped plug-in" 0 $?
expect_file "the shipped plug-in's result" $'0.2\t0.2\t0.2\n' out.txt
"$host" run --no-default-plugins -e 'print ImageFilter.Median({{0.1}});' > out.txt 2> err.txt
expect_eq "a shipped function left out is no function" 2 $?

# MORVANE_PLUGIN_PATH adds folders; a broken file there is skipped with a
# warning, the good ones still load and the run goes on.
mkdir -p extra empty
printf 'not a library' > extra/broken.so
printf 'not a library either' > extra/ignored.txt
cp "$(dirname "$host")/plugins/imagefilter.so" extra/imagefilter.so
MORVANE_PLUGIN_PATH="$work/empty::$work/missing:$work/extra" \
  "$host" run -e 'print ImageFilter.Median({{0.5}})[0];' > out.txt 2> err.txt
expect_eq "broken plug-in in the path: status" 0 $?
expect_file "broken plug-in in the path: the run goes on" $'0.5\n' out.txt
grep -q "warning: skipped the plug-in $work/extra/broken.so" err.txt ||
  fail "broken plug-in in the path: a warning names it"
[ "$(wc -l < err.txt)" -eq 1 ] || fail "only the broken file is warned about: $(cat err.txt)"
MORVANE_PLUGIN_PATH="$work/extra" "$host" run --no-default-plugins -e 'print 1;' > out.txt 2> err.txt
expect_file "--no-default-plugins leaves the path alone too" "" err.txt

finish
