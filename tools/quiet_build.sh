#!/bin/bash
# Builds the program for `make run`, quietly: configures BUILD the first time,
# then builds the target triex, showing one line of progress on standard
# error (rewritten in place on a terminal, written once elsewhere). The full
# output of each step goes to BUILD/configure.log and BUILD/run-build.log and
# is shown only when the step fails.
#
#   tools/quiet_build.sh BUILD JOBS
set -u
build=$1
jobs=$2
mkdir -p "$build"

# step: the start of a step, on a line of its own where no terminal shows
# the progress; progress: the line rewritten in place on a terminal
# (carriage return, the text cut to the terminal's width, the rest cleared).
if [ -t 2 ]; then
  width=$(($(tput cols 2>/dev/null || echo 80) - 1))
  progress() { printf '\r%s\033[K' "${1:0:$width}" >&2; }
  step() { progress "$1"; }
  finish() { printf '\r\033[K' >&2; }
else
  progress() { :; }
  step() { printf '%s\n' "$1" >&2; }
  finish() { :; }
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
  step "triex: configuring $build (log in $build/configure.log)"
  if ! cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >"$build/configure.log" 2>&1; then
    finish
    cat "$build/configure.log" >&2
    exit 1
  fi
fi

log=$build/run-build.log
step "triex: building the program (log in $log)"
# Progress lines of the Makefile generator ("[ 45%] Building CXX object
# .../shape/carlson.cpp.o") and of Ninja ("[12/80] ...").
cmake --build "$build" --target triex -j "$jobs" 2>&1 | tee "$log" | while IFS= read -r line; do
  if [[ $line =~ ^\[\ *([0-9]+)%\]\ (.*)$ ]]; then
    percent=${BASH_REMATCH[1]} what=${BASH_REMATCH[2]}
  elif [[ $line =~ ^\[([0-9]+)/([0-9]+)\]\ (.*)$ ]]; then
    percent=$((100 * BASH_REMATCH[1] / BASH_REMATCH[2])) what=${BASH_REMATCH[3]}
  else
    continue
  fi
  object=${what##* }
  progress "triex: building the program (log in $log): $percent% ${object##*/}"
done
status=${PIPESTATUS[0]}
finish
if [ "$status" -ne 0 ]; then
  cat "$log" >&2
  exit "$status"
fi
