# Sourced: the two Windows builds, where each lives and its Wine prefix.

# Sets build and toolchain for win64 or win32 (the Wine architecture is
# wine_prefix_for's, read from the build's cache).
windows_build_settings() {
  case "$1" in
    win64) build=build-win toolchain=cmake/mingw-w64.cmake ;;
    win32) build=build-win32 toolchain=cmake/mingw-w64-i686.cmake ;;
    *) echo "unknown Windows build '$1' (win64 or win32)" >&2; return 64 ;;
  esac
}

# Points Wine at the prefix inside a build folder, creating it on first use
# with the architecture the build's CMake cache names.
wine_prefix_for() {
  local folder=$1
  export WINEPREFIX="$folder/wine" WINEDEBUG=-all
  if grep -q '^CMAKE_TOOLCHAIN_FILE:.*mingw-w64-i686' "$folder/CMakeCache.txt" 2>/dev/null; then
    export WINEARCH=win32
  else
    export WINEARCH=win64
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== creating the $WINEARCH Wine prefix $WINEPREFIX" >&2
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
}

# Whether the 32-bit build can run here: Debian's wine32 is installed and the
# kernel runs its 32-bit loader (install-deps.sh leaves it out where not).
win32_wine_runs() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}
