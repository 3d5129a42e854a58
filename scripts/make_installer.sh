#!/usr/bin/env bash
# Builds the installer from a stage folder (Ludaro.exe, ludaro-cli.exe,
# XADE.CHM, LEEME.txt, LICENCIA.txt), with the file times already fixed.
#   make_installer.sh VERSION STAGE OUTPUT.exe [TARGET]
# TARGET is NSIS's (x86-unicode, the default and the release's, or amd64-unicode).
set -euo pipefail
if [ $# -lt 3 ]; then
  echo "usage: $0 VERSION STAGE OUTPUT.exe [TARGET]" >&2
  exit 64
fi
version=$1 stage=$(realpath "$2") output=$(realpath -m "$3") target=${4:-}
cd "$(dirname "$0")/.."
defines=(-DVERSION="$version" -DSTAGE="$stage" -DSOURCE="$PWD" -DOUTFILE="$output")
[ -n "$target" ] && defines+=(-DTARGET="$target")
makensis -V2 -INPUTCHARSET UTF8 "${defines[@]}" packaging/instalar.nsi >&2
