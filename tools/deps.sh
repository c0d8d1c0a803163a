#!/bin/sh
# Checks the Debian packages that building and testing TRIEX need and installs
# the missing ones: with apt-get when run as root, otherwise prints the one
# apt-get line to run and fails. Called by the Makefile before every build.
#
#   tools/deps.sh          # check, install when root
#   tools/deps.sh --list   # print the package list
set -eu

PACKAGES="g++ cmake make libgtest-dev libgmock-dev libbenchmark-dev \
libboost-math-dev libcli11-dev nlohmann-json3-dev pybind11-dev python3-dev \
python3-numpy python3-scipy python3-matplotlib python3-mpmath python3-pytest pkgconf \
libeigen3-dev gemmi-dev tao-pegtl-dev zlib1g-dev python3-gemmi pymol-data"

if [ "${1:-}" = "--list" ]; then
  echo $PACKAGES
  exit 0
fi

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "triex: missing Debian packages; install them with:" >&2
  echo "  sudo apt-get install -y$missing" >&2
  exit 1
fi

echo "triex: installing Debian packages:$missing" >&2
export DEBIAN_FRONTEND=noninteractive
# The package lists of a fresh machine may be empty or stale.
apt-get install -y --no-install-recommends $missing >/dev/null 2>&1 ||
  { apt-get update -qq && apt-get install -y -qq --no-install-recommends $missing; }
