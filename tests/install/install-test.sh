#!/usr/bin/env bash
# The installed tree as its users meet it: `cmake --install` into a scratch
# prefix, then a small host and the example plug-in built against it with
# pkg-config and with find_package, and the installed morvane running a
# script that calls the plug-in. The tree is then moved, and still works.
#   install-test.sh BUILD_DIR SOURCE_DIR
source "$(dirname "$0")/../host/lib.sh" "" "$2"
build="$1"
prefix="$work/prefix"
export CCACHE_DISABLE=1   # the tiny builds below gain nothing from it

cmake --install "$build" --prefix "$prefix" > "$work/install.log" 2>&1 \
  || { cat "$work/install.log"; fail "cmake --install"; finish; }

# The files, with the library's soname and version.
for file in bin/morvane lib/libmorvane.so.3.0.1 lib/libmorvane.so.3 lib/libmorvane.so \
            include/morvane/MvHost.h include/morvane/MvPlugin.h include/morvane/MvParserGuards.h \
            lib/cmake/Morvane/MorvaneConfig.cmake lib/cmake/Morvane/MorvaneConfigVersion.cmake \
            lib/pkgconfig/morvane.pc share/man/man1/morvane.1.gz; do
  [ -e "$prefix/$file" ] || fail "installed: $file"
done
expect_eq "soname" "libmorvane.so.3" \
  "$(objdump -p "$prefix/lib/libmorvane.so.3.0.1" | awk '$1 == "SONAME" { print $2 }')"
cmp -s <(gzip -dc "$prefix/share/man/man1/morvane.1.gz") "$2/man/morvane.1" \
  || fail "the installed manual page is the page of the tree"
# The guide, with the generated reference in place of the page pointing at it.
if [ -d "$build/docs" ]; then   # unless configured with -DMORVANE_BUILD_DOCS=OFF
  for file in tutorial.md language/statements.md host-api.md plugins.md builtins.md; do
    [ -e "$prefix/share/doc/morvane/$file" ] || fail "installed: share/doc/morvane/$file"
  done
  grep -q '^### Math.Maximum$' "$prefix/share/doc/morvane/builtins.md" \
    || fail "the installed built-in reference is the generated one"
fi
if [ -d "$build/docs/html" ]; then
  [ -e "$prefix/share/doc/morvane/html/tutorial.html" ] || fail "installed: the guide in HTML"
fi
expect_eq "the soname link" "libmorvane.so.3.0.1" "$(readlink "$prefix/lib/libmorvane.so.3")"
# Only the public headers are installed, every one that hosts and plug-ins include.
expect_eq "installed headers" "$(cd "$2/include/morvane" && ls *.h)" \
  "$(cd "$prefix/include/morvane" && ls)"

# The installed host runs from its own tree, not from the build's.
"$prefix/bin/morvane" --version > "$work/version.txt" 2>&1
expect_eq "installed morvane --version" "morvane 3.0a" "$(cat "$work/version.txt")"
ldd "$prefix/bin/morvane" | grep -q "$prefix/bin/../lib/libmorvane.so.3" \
  || fail "the installed host uses the installed library: $(ldd "$prefix/bin/morvane" | grep morvane)"

# The plug-ins that ship with the host: installed beside the library, loaded
# by the installed host unless it is told not to.
[ -e "$prefix/lib/morvane/plugins/imagefilter.so" ] || fail "installed: the default plug-in"
"$prefix/bin/morvane" functions ImageFilter Median > "$work/median.txt" 2>&1
grep -q '^ImageFilter.Median($' "$work/median.txt" \
  || fail "the installed host loads its default plug-in: $(head -3 "$work/median.txt")"
"$prefix/bin/morvane" functions --no-default-plugins ImageFilter > "$work/none.txt" 2>&1
grep -q 'ImageFilter\.' "$work/none.txt" && fail "--no-default-plugins leaves the default plug-in out"

# pkg-config: version, then a host and the plug-in built by hand, warnings as errors.
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
expect_eq "pkg-config --modversion" "3.0.1" "$(pkg-config --modversion morvane)"
cxx="${CXX:-c++}"
# MORVANE_TEST_CXXFLAGS: the sanitizer flags of the build under test, if any.
read -r -a sanitizer <<< "${MORVANE_TEST_CXXFLAGS:-}"
flags=(-std=c++17 -Wall -Wextra -pedantic -Werror "${sanitizer[@]}")
mkdir -p "$work/pc"
# shellcheck disable=SC2046
"$cxx" "${flags[@]}" $(pkg-config --cflags morvane) "$2/examples/host/mini_host.cpp" \
  -o "$work/pc/mini_host" $(pkg-config --libs morvane) -pthread \
  || fail "pkg-config: building the small host"
# shellcheck disable=SC2046
"$cxx" "${flags[@]}" -fPIC -shared -fvisibility=hidden $(pkg-config --cflags morvane) \
  "$2/plugins/example/example_plugin.cpp" -o "$work/pc/example_plugin.so" \
  $(pkg-config --libs morvane) || fail "pkg-config: building the example plug-in"

# find_package: the example plug-in and the small host, each out of tree.
for project in plugins/example examples/host; do
  name="$(basename "$project")"
  cmake -S "$2/$project" -B "$work/cmake-$name" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS="${MORVANE_TEST_CXXFLAGS:-}" \
    > "$work/cmake-$name.log" 2>&1 \
    && cmake --build "$work/cmake-$name" >> "$work/cmake-$name.log" 2>&1 \
    || { cat "$work/cmake-$name.log"; fail "find_package: building $project"; }
done
for name in example host; do
  grep -q "warning" "$work/cmake-$name.log" && fail "$name builds without warnings"
done
# The package's version: 3.x is accepted, another major number is refused.
mkdir -p "$work/wants4"
printf 'cmake_minimum_required(VERSION 3.16)\nproject(W LANGUAGES CXX)\nfind_package(Morvane 4 CONFIG REQUIRED)\n' \
  > "$work/wants4/CMakeLists.txt"
cmake -S "$work/wants4" -B "$work/wants4/build" -DCMAKE_PREFIX_PATH="$prefix" > /dev/null 2>&1 \
  && fail "find_package(Morvane 4) is refused"

# The installed morvane loads each plug-in and runs the example script.
expected=$'x is now 15\n21 scaled: 42\n21 scaled by 3: 63\nthe second word: be\n'
for plugin in "$work/cmake-example/libmorvane_example_plugin.so" "$work/pc/example_plugin.so"; do
  "$prefix/bin/morvane" run --plugin "$plugin" "$2/plugins/example/example.mvs" \
    > "$work/out.txt" 2> "$work/err.txt"
  expect_eq "morvane run --plugin $(basename "$plugin") status" 0 $?
  expect_file "morvane run --plugin $(basename "$plugin") output" "$expected" "$work/out.txt"
  expect_file "morvane run --plugin $(basename "$plugin") errors" "" "$work/err.txt"
done
# A failing plug-in function is a run error with its message.
"$prefix/bin/morvane" run --plugin "$work/pc/example_plugin.so" \
  -e 'Example.Fail("out of paper", code -> 7);' > /dev/null 2> "$work/err.txt"
expect_eq "a failing plug-in call: status" 1 $?
grep -q "out of paper" "$work/err.txt" || fail "a failing plug-in call: its message"

# The small hosts run the same script with the plug-in.
for host in "$work/pc/mini_host" "$work/cmake-host/mini_host"; do
  LD_LIBRARY_PATH="$prefix/lib" "$host" "$2/plugins/example/example.mvs" \
    "$work/cmake-example/libmorvane_example_plugin.so" > "$work/out.txt" 2> "$work/err.txt"
  expect_eq "$host status" 0 $?
  expect_file "$host output" "$expected" "$work/out.txt"
done
LD_LIBRARY_PATH="$prefix/lib" "$work/pc/mini_host" "$work/missing.mvs" 2> /dev/null
expect_eq "the small host with a missing script" 3 $?

# The tree moved elsewhere: the host and pkg-config follow it.
mv "$prefix" "$work/moved"
"$work/moved/bin/morvane" run -e 'print 6 * 7;' > "$work/out.txt" 2>&1
expect_file "the moved host runs" $'42\n' "$work/out.txt"
expect_eq "pkg-config of the moved tree" "-I$work/moved/lib/pkgconfig/../../include" \
  "$(PKG_CONFIG_PATH="$work/moved/lib/pkgconfig" pkg-config --cflags morvane | sed 's/ *$//')"
finish
