#!/usr/bin/env bash
# Installs the Debian 12 packages a task needs, and only the missing ones.
#   install-deps.sh build   compiler, CMake, Ninja
#   install-deps.sh release the Windows builds, Wine to test them and NSIS
#   install-deps.sh test    everything the test suite uses
#   install-deps.sh bench   the test suite's packages and the scaling run's peers and plot
set -euo pipefail

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# Whether this kernel runs 32-bit x86 programs: a 93-byte i386 program that
# only exits. Some virtual machines' kernels are built without that support;
# there the 32-bit Wine cannot start, and once installed its launcher is the
# one Debian's `wine` picks, which breaks every Wine run, 64-bit ones too.
kernel_runs_i386() {
  local probe
  probe=$(mktemp)
  printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\061\333\315\200' >"$probe"
  chmod +x "$probe"
  local status=0
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  return $status
}

build=(build-essential cmake ninja-build)
release=("${build[@]}" git python3 libgtest-dev g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
         wine wine64 fp-utils nsis)
# wine32 runs the 32-bit build, the one that ships; its package is i386.
if kernel_runs_i386; then
  release+=(wine32:i386)
elif dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  echo "This kernel cannot run 32-bit x86 programs: removing wine32, which would stop every Wine run" >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq wine32:i386 >/dev/null
fi
test=("${release[@]}" libbenchmark-dev clang xvfb xdotool x11-utils imagemagick
      fpc python3-dbfread python3-dbf libdbd-xbase-perl libchm-bin unzip file)
bench=("${test[@]}" gdal-bin gnuplot-nox bc valgrind linux-perf)

case "${1:-test}" in
  build) wanted=("${build[@]}") ;;
  release) wanted=("${release[@]}") ;;
  test) wanted=("${test[@]}") ;;
  bench) wanted=("${bench[@]}") ;;
  *) echo "usage: $0 build|release|test|bench" >&2; exit 64 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
if [[ " ${missing[*]} " == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
