#!/usr/bin/env bash
# Installs the Debian 12 packages a task needs, and only the missing ones.
#   install-deps.sh build   compiler, CMake, Ninja
#   install-deps.sh test    everything the test suite uses
#   install-deps.sh bench   the test suite's packages and the scaling run's peers and plot
set -euo pipefail

build=(build-essential cmake ninja-build)
test=("${build[@]}" libgtest-dev libbenchmark-dev clang
      g++-mingw-w64-x86-64-posix wine wine64 xvfb xdotool x11-utils imagemagick
      fp-utils fpc python3-dbfread python3-dbf libdbd-xbase-perl libchm-bin)
bench=("${test[@]}" gdal-bin gnuplot-nox bc valgrind linux-perf)

case "${1:-test}" in
  build) wanted=("${build[@]}") ;;
  test) wanted=("${test[@]}") ;;
  bench) wanted=("${bench[@]}") ;;
  *) echo "usage: $0 build|test|bench" >&2; exit 64 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}" >&2
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
