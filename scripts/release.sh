#!/usr/bin/env bash
# Builds the Windows release of the checked-out commit into dist/:
#   Ludaro-<version>-win32.zip, Ludaro-<version>-win64.zip   the program, its command line,
#       help, LEEME.txt and LICENCIA.txt at the top level of each zip
#   Ludaro-<version>-instalar.exe   the 32-bit files, installed beside Horalia.ini
#   SHA256SUMS
# Both architectures are built in Release and their unit tests run under Wine
# first, by scripts/test-windows.sh in the same build folders (--skip-tests
# leaves that to a caller who has just run them on the same sources). Two runs on the same commit give the same bytes, wherever the
# clone lives.
#   release.sh [--skip-tests]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/windows-builds.sh

run_tests=yes
case "${1:-}" in
  "") ;;
  --skip-tests) run_tests=no ;;
  *) echo "usage: $0 [--skip-tests]" >&2; exit 64 ;;
esac

scripts/install-deps.sh release
jobs=${JOBS:-$(nproc)}
# Every time stamp that ends up in a file is the commit's.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export TZ=UTC LC_ALL=C

dist=$PWD/dist
rm -rf "$dist"
mkdir -p "$dist"

version=""
for arch in win32 win64; do
  # The folders of scripts/test-windows.sh: a release right after the tests
  # packs the very files they ran.
  windows_build_settings "$arch"
  folder=$build
  [ "$run_tests" = yes ] && scripts/test-windows.sh "$arch"
  echo "== building $arch in $folder" >&2
  cmake -G Ninja -S . -B "$folder" -DCMAKE_TOOLCHAIN_FILE="$PWD/$toolchain" -DCMAKE_BUILD_TYPE=Release >/dev/null
  # Compiled again, so that it carries the commit's time whenever it was built before.
  rm -f "$folder/app/XADE.CHM"
  ninja -C "$folder" -j"$jobs" Ludaro ludaro-cli ludaro_help
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$folder/CMakeCache.txt")

  stage=$folder/stage
  rm -rf "$stage"
  mkdir -p "$stage"
  cp "$folder/app/Ludaro.exe" "$folder/cli/ludaro-cli.exe" "$folder/app/XADE.CHM" "$stage/"
  # Notepad shows the accents of a UTF-8 text only with its byte order mark.
  { printf '\xef\xbb\xbf'; sed "s/@VERSION@/$version/g" packaging/LEEME.txt; } | sed 's/$/\r/' >"$stage/LEEME.txt"
  sed 's/$/\r/' LICENSE >"$stage/LICENCIA.txt"
  touch -d "@$SOURCE_DATE_EPOCH" "$stage"/*
  python3 scripts/make_zip.py "$dist/Ludaro-$version-$arch.zip" \
    "$stage/Ludaro.exe" "$stage/ludaro-cli.exe" "$stage/XADE.CHM" "$stage/LEEME.txt" "$stage/LICENCIA.txt"
done

echo "== installer" >&2
scripts/make_installer.sh "$version" build-win32/stage "$dist/Ludaro-$version-instalar.exe"

(cd "$dist" && sha256sum "Ludaro-$version-win32.zip" "Ludaro-$version-win64.zip" "Ludaro-$version-instalar.exe" >SHA256SUMS)
echo "== release $version in $dist" >&2
cat "$dist/SHA256SUMS"
