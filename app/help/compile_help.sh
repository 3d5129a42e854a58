#!/usr/bin/env bash
# Compiles the help: compile_help.sh SOURCE_DIR OUTPUT.CHM WORK_DIR
#
# chmcmd records the page of each help context (the [ALIAS]/[MAP] of the
# project) under the project's full path on disk rather than under the page's
# name inside the help file, so HTML Help would look for a page that is not
# there. Run with the project's folder as its root directory (a chroot in a
# user namespace, with chmcmd and the libraries it loads copied in), the
# recorded name is "/ludaro.html", the right one. Where user namespaces are
# not available, the help is compiled the plain way, with a warning.
set -euo pipefail
src=$1 out=$2 work=$3

rm -rf "$work"
mkdir -p "$work"
cp "$src"/XADE.hhp "$src"/*.hhc "$src"/*.html "$src"/*.css "$work"/

chmcmd=$(readlink -f "$(command -v chmcmd)")
cp "$chmcmd" "$work/chmcmd"
libraries=$(ldd "$chmcmd" | grep -o '/[^ ]*' || true)
libc=$(grep '/libc\.so' <<<"$libraries" || true)
# Loaded at run time for the compressing thread, so ldd does not list it.
[ -n "$libc" ] && [ -e "$(dirname "$libc")/libpthread.so.0" ] && libraries+=$'\n'"$(dirname "$libc")/libpthread.so.0"
for library in $libraries; do
  mkdir -p "$work$(dirname "$library")"
  cp -L "$library" "$work$library"
done

if ! (cd "$work" && unshare -r chroot . /chmcmd --verbosity 1 XADE.hhp >chmcmd.log 2>&1); then
  echo "warning: no user namespace for chmcmd; help context 3 will not find its page" >&2
  (cd "$work" && chmcmd --verbosity 1 XADE.hhp >chmcmd.log 2>&1) || { cat "$work/chmcmd.log" >&2; exit 1; }
fi
# The same sources give the same bytes: the help carries the time of the
# release's commit (SOURCE_DATE_EPOCH), else that of the help's last change,
# instead of the time it was compiled.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$src" log -1 --format=%ct -- . 2>/dev/null || true)}
[ -z "$epoch" ] || python3 "$src/stamp_chm.py" "$work/XADE.CHM" "$epoch"
cp "$work/XADE.CHM" "$out"
