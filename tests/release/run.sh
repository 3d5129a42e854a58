#!/usr/bin/env bash
# Checks the Windows release of the committed tree:
# - scripts/release.sh here and in a clone of the same commit in another
#   folder give byte-identical files;
# - each zip holds the five files at its top level, the 32-bit programs are
#   PE32 for Intel 80386, LEEME.txt opens with a byte order mark and CRLF;
# - SHA256SUMS matches;
# - the installer, run silently under Wine into a folder with a Horalia.ini,
#   lets Ludaro started as Horalia starts it write its result there, and its
#   uninstaller leaves the folder as it found it (tests/release/test_installer.sh).
# Run after scripts/test-windows.sh win64 and win32, whose build folders it
# reuses (the release of this tree is then the very files they tested).
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/windows-builds.sh
repo=$PWD
work=$repo/build-release-test

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

git diff --quiet HEAD -- || fail "the tree has uncommitted changes: a release is made of a commit"
rm -rf "$work"
mkdir -p "$work/elsewhere/deeper"

echo "== release of this tree" >&2
scripts/release.sh --skip-tests >/dev/null
echo "== release of a clone of $(git rev-parse --short HEAD) in another folder" >&2
git clone -q "$repo" "$work/elsewhere/deeper/clone"
(cd "$work/elsewhere/deeper/clone" && JOBS=${JOBS:-2} scripts/release.sh --skip-tests >/dev/null)

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-win32/CMakeCache.txt)
expected=("Ludaro-$version-instalar.exe" "Ludaro-$version-win32.zip" "Ludaro-$version-win64.zip" SHA256SUMS)
[ "$(cd dist && ls | sort)" = "$(printf '%s\n' "${expected[@]}" | sort)" ] || fail "dist/ holds $(ls dist)"
for file in "${expected[@]}"; do
  cmp "dist/$file" "$work/elsewhere/deeper/clone/dist/$file" || fail "$file differs between the two builds"
done
echo "identical: ${expected[*]}"

(cd dist && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match"

for arch in win32 win64; do
  unpacked=$work/$arch
  mkdir -p "$unpacked"
  (cd "$unpacked" && unzip -q "$repo/dist/Ludaro-$version-$arch.zip")
  [ "$(cd "$unpacked" && find . -mindepth 1 | sort | tr '\n' ' ')" = \
    "./LEEME.txt ./LICENCIA.txt ./Ludaro.exe ./XADE.CHM ./ludaro-cli.exe " ] ||
    fail "the $arch zip holds: $(cd "$unpacked" && find . -mindepth 1)"
  kind="PE32 executable (GUI) Intel 80386"
  [ "$arch" = win64 ] && kind="PE32+ executable (GUI) x86-64"
  file "$unpacked/Ludaro.exe" | grep -q "$kind" || fail "$arch Ludaro.exe is $(file -b "$unpacked/Ludaro.exe")"
  [ "$(head -c3 "$unpacked/LEEME.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "LEEME.txt has no byte order mark"
  ! grep -q $'[^\r]$' <(tail -c +4 "$unpacked/LEEME.txt") || fail "LEEME.txt has a line without CRLF"
  grep -q "Ludaro $version" "$unpacked/LEEME.txt" || fail "LEEME.txt does not name version $version"
  grep -q "Apache License" "$unpacked/LICENCIA.txt" || fail "LICENCIA.txt is not the Apache licence"
done
echo "zips: the five files at the top, PE32 for Intel 80386 in the 32-bit one"

# The release's installer is 32-bit; on a machine that runs no 32-bit program
# the same script is built for amd64 around the 64-bit files and tried instead.
if win32_wine_runs; then
  installer=$repo/dist/Ludaro-$version-instalar.exe gui_build=build-win32
else
  echo "note: this machine runs no 32-bit program: the installer script is tried built for amd64" >&2
  installer=$work/instalar-amd64.exe gui_build=build-win
  scripts/make_installer.sh "$version" build-win/stage "$installer" amd64-unicode
fi
LUDARO_INSTALLER=$installer LUDARO_VERSION=$version tests/gui/run.sh "$gui_build" tests/release/test_installer.sh
