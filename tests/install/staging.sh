#!/usr/bin/env bash
# Installs a build into a staging folder (cmake --install with DESTDIR) and uses it as its users
# would: every file where it belongs, the desktop files and metainfo valid, the manual pages
# clean, an outside C program built with pkg-config and an outside CMake project built with
# find_package(qv725), both run against the installed simulated controller, and the installed
# program keeping its settings in the user's configuration folder.
# Usage: tests/install/staging.sh BUILD_DIR   (a build of everything, tests not needed)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=common.sh
. "$here/common.sh"
[ $# -eq 1 ] && [ -f "$1/CMakeCache.txt" ] || fail "usage: $0 BUILD_DIR (a configured build)"
build=$(cd "$1" && pwd)

work=$(mktemp -d /tmp/kelvane-staging.XXXXXX)
chmod 755 "$work"
kelvane_pid=
cleanup() {
  stop_sim
  [ -z "$kelvane_pid" ] || kill -KILL "$kelvane_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

stage=$work/stage
DESTDIR=$stage cmake --install "$build" >"$work/install.log" ||
  { cat "$work/install.log" >&2; fail "cmake --install failed"; }
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
prefix=$(cache_value CMAKE_INSTALL_PREFIX)
root=$stage$prefix
libdir=$root/$(cache_value CMAKE_INSTALL_LIBDIR)
udevdir=$stage$(cache_value KELVANE_UDEV_RULES_DIR)

# Every file where the layout says.
expected=(
  "$root/bin/kelvane" "$root/bin/qv725ctl" "$root/bin/qv725-sim" "$root/bin/qv725-read"
  "$libdir/libqv725.so.1.0.0" "$libdir/libqv725.so.1" "$libdir/libqv725.so"
  "$root/include/qv725/qv725.h" "$libdir/pkgconfig/qv725.pc"
  "$libdir/cmake/qv725/qv725Config.cmake" "$libdir/cmake/qv725/qv725ConfigVersion.cmake"
  "$libdir/cmake/qv725/qv725Targets.cmake"
  "$root/share/applications/kelvane.desktop" "$root/share/kelvane/kelvane-autostart.desktop"
  "$root/share/metainfo/io.github.kelvane.Kelvane.metainfo.xml"
  "$root/share/icons/hicolor/scalable/apps/kelvane.svg" "$udevdir/60-qv725.rules"
  "$root/share/bash-completion/completions/qv725ctl"
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("$root/share/icons/hicolor/${size}x${size}/apps/kelvane.png")
done
for page in kelvane qv725ctl qv725-sim qv725-read; do
  expected+=("$root/share/man/man1/$page.1")
done
for f in "${expected[@]}"; do
  [ -e "$f" ] || fail "not installed: ${f#"$stage"}"
done
pass "${#expected[@]} files installed where they belong"
soname=$(objdump -p "$libdir/libqv725.so.1.0.0" | awk '$1 == "SONAME" { print $2 }')
[ "$soname" = "libqv725.so.1" ] || fail "the library's soname is '$soname', not libqv725.so.1"
[ "$(readlink "$libdir/libqv725.so")" = "libqv725.so.1" ] || fail "libqv725.so does not link to libqv725.so.1"
pass "soname libqv725.so.1"

# Desktop integration as the desktop and software centres read it.
for f in "$root/share/applications/kelvane.desktop" "$root/share/kelvane/kelvane-autostart.desktop"; do
  desktop-file-validate "$f" || fail "desktop-file-validate $f"
done
grep -qx 'Exec=kelvane --minimized' "$root/share/kelvane/kelvane-autostart.desktop" ||
  fail "the autostart file does not start the program minimized"
appstreamcli validate --no-net "$root/share/metainfo/io.github.kelvane.Kelvane.metainfo.xml" ||
  fail "appstreamcli validate"
pass "desktop files and metainfo validate"
check_man_pages "$root"/share/man/man1/*.1

# An outside program on the installed library. A relocatable tree's qv725.pc names its folders
# from where it lies; otherwise it names the final prefix, which lies under the staging folder.
sysroot=$stage
grep -q '^prefix=\${pcfiledir}' "$libdir/pkgconfig/qv725.pc" && sysroot=
build_outside "$here/outside" "$work" "$libdir/pkgconfig" "$root" "$sysroot"
export LD_LIBRARY_PATH=$libdir
runtime=$work/run
start_sim "$root/bin/qv725-sim" "$runtime"
run_outside "$libdir" "$work" "$runtime"
# A relocatable tree's programs find the library by their run path alone.
if [ -z "$sysroot" ]; then
  LD_LIBRARY_PATH='' check_library_is "$libdir" "$root/bin/qv725-read"
  out=$(env -u LD_LIBRARY_PATH XDG_RUNTIME_DIR="$runtime" "$root/bin/qv725-read") ||
    fail "installed qv725-read failed: $out"
  pass "installed qv725-read reads the controller, finding the library by its run path"
else
  check_library_is "$libdir" "$root/bin/qv725-read"
  out=$(XDG_RUNTIME_DIR=$runtime "$root/bin/qv725-read") || fail "installed qv725-read failed: $out"
  pass "installed qv725-read reads the controller"
fi
stop_sim

# The installed program, run by a user who may not write its folder, keeps its settings in
# that user's configuration folder: it makes the folder at start and writes the file when it
# is asked to end.
user=nobody
home=$work/home
mkdir -p "$home" "$work/run-$user"
chown "$user" "$home" "$work/run-$user"
chmod 700 "$work/run-$user"
# A command line, not a function, so that the program started in the background is the very
# process whose id $! gives.
as_user=(setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups env -i
  PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/config"
  XDG_RUNTIME_DIR="$work/run-$user" LD_LIBRARY_PATH="$libdir" QT_QPA_PLATFORM=offscreen)
if "${as_user[@]}" test -w "$root/bin"; then
  fail "$user may write $root/bin; the settings check needs a folder it may not write"
fi
"${as_user[@]}" "$root/bin/kelvane" >"$work/kelvane.log" 2>&1 &
kelvane_pid=$!
for _ in $(seq 300); do
  [ -d "$home/config/kelvane" ] && break
  kill -0 "$kelvane_pid" 2>/dev/null || break
  sleep 0.1
done
[ -d "$home/config/kelvane" ] || { cat "$work/kelvane.log" >&2; fail "kelvane made no folder in \$XDG_CONFIG_HOME"; }
kill -TERM "$kelvane_pid"
for _ in $(seq 300); do
  kill -0 "$kelvane_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$kelvane_pid" 2>/dev/null && fail "kelvane did not end on SIGTERM"
wait "$kelvane_pid" || true
kelvane_pid=
[ -s "$home/config/kelvane/kelvane.ini" ] ||
  { cat "$work/kelvane.log" >&2; fail "kelvane wrote no \$XDG_CONFIG_HOME/kelvane/kelvane.ini"; }
[ ! -e "$root/bin/kelvane.ini" ] || fail "kelvane wrote kelvane.ini beside itself"
pass "installed kelvane keeps its settings in \$XDG_CONFIG_HOME/kelvane/kelvane.ini"
echo "staging install: all checks passed"
