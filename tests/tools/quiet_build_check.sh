#!/bin/bash
# tools/quiet_build.sh (make run) with a stand-in cmake: one line a step and
# no compiler output when all goes well; the step's whole log and its status
# when it fails; on a terminal one line rewritten in place, cleared at the end.
set -u
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
cat >"$work/bin/cmake" <<'FAKE'
#!/bin/bash
if [ "$1" = "-S" ]; then
  echo "-- The CXX compiler identification is GNU"
  [ "${FAKE_CONFIGURE:-0}" = 0 ] && touch "$4/CMakeCache.txt"
  exit "${FAKE_CONFIGURE:-0}"
fi
echo "[ 10%] Building CXX object CMakeFiles/triex_shape.dir/shape/carlson.cpp.o"
echo "compiler: a message"
echo "[100%] Linking CXX executable triex"
exit "${FAKE_BUILD:-0}"
FAKE
chmod +x "$work/bin/cmake"
export PATH=$work/bin:$PATH
cd "$work"
failures=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    printf 'FAILED %s:\n--- expected\n%s\n--- got\n%s\n' "$1" "$2" "$3"
    failures=$((failures + 1))
  fi
}

err=$("$script" fresh 2 2>&1 >/dev/null); status=$?
check "a fresh build" "0
triex: configuring fresh (log in fresh/configure.log)
triex: building the program (log in fresh/run-build.log)" "$status
$err"
err=$("$script" fresh 2 2>&1 >/dev/null); status=$?
check "a configured build" "0
triex: building the program (log in fresh/run-build.log)" "$status
$err"
err=$(FAKE_BUILD=2 "$script" fresh 2 2>&1 >/dev/null); status=$?
check "a failed build" "2
triex: building the program (log in fresh/run-build.log)
[ 10%] Building CXX object CMakeFiles/triex_shape.dir/shape/carlson.cpp.o
compiler: a message
[100%] Linking CXX executable triex" "$status
$err"
err=$(FAKE_CONFIGURE=1 "$script" broken 2 2>&1 >/dev/null); status=$?
check "a failed configuration" "1
triex: configuring broken (log in broken/configure.log)
-- The CXX compiler identification is GNU" "$status
$err"
if command -v script >/dev/null; then
  shown=$(COLUMNS=200 script -qec "$script terminal 2" /dev/null | tr '\r' '|' | sed 's/\x1b\[K/~/g')
  check "on a terminal" "|triex: configuring terminal (log in terminal/configure.log)~|triex: building the program (log in terminal/run-build.log)~|triex: building the program (log in terminal/run-build.log): 10% carlson.cpp.o~|triex: building the program (log in terminal/run-build.log): 100% triex~|~" "$shown"
fi
echo "$((5 - failures)) passed, $failures failed"
[ "$failures" = 0 ]
