#!/usr/bin/env bash
# Installs the built Debian packages into a clean root with dpkg, uses them (qv725ctl --help,
# kelvane --version, the manual pages, an outside program built on libqv725-dev and run against
# the packaged simulated controller), then purges them and checks that nothing is left.
# Usage: tests/install/packages.sh DIR   (the folder scripts/package leaves the .deb files in)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=common.sh
. "$here/common.sh"
[ $# -eq 1 ] || fail "usage: $0 DIR (with the .deb files)"
debs=$(cd "$1" && pwd)
version=$(sed -n 's/^set(KELVANE_FILE_VERSION "\(.*\)")$/\1/p' "$here/../../cmake/Version.cmake")
packages=(libqv725-1 libqv725-dev kelvane qv725-tools)
files=()
for p in "${packages[@]}"; do
  f=$(ls "$debs/${p}_${version}_"*.deb 2>/dev/null | head -n 1)
  [ -n "$f" ] || fail "no ${p}_${version} package in $debs"
  files+=("$f")
done

work=$(mktemp -d /tmp/kelvane-packages.XXXXXX)
cleanup() {
  stop_sim
  rm -rf "$work"
}
trap cleanup EXIT

# What the packages need from the system is installed here (the clean root holds only them);
# the program and the tools need the library package through its symbols file.
for f in "${files[@]}"; do
  depends=$(dpkg-deb -f "$f" Depends | tr ',' '\n' | sed '/^ *libqv725-1 /d' | paste -sd, -)
  [ -z "$depends" ] || dpkg-checkbuilddeps -d "$depends" "$here/../../debian/control" ||
    fail "$(basename "$f") needs what this system lacks: $depends"
done
for p in kelvane qv725-tools libqv725-dev; do
  dpkg-deb -f "$(ls "$debs/${p}_${version}_"*.deb)" Depends | grep -q 'libqv725-1 ([>=]* 1' ||
    fail "$p does not depend on libqv725-1"
done
pass "package dependencies are met and name libqv725-1"

root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status"
# The root holds no system packages, so dependencies on them are not looked for there.
dpkg_root() { dpkg --root="$root" --log=/dev/null --force-depends "$@"; }
dpkg_root -i "${files[@]}" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg -i"; }
for p in "${packages[@]}"; do
  dpkg --root="$root" -s "$p" 2>/dev/null | grep -q '^Status: install ok installed' ||
    fail "$p is not installed"
done
pass "the four packages install into a clean root"

usr=$root/usr
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
libdir=$usr/lib/$multiarch
[ -e "$usr/lib/udev/rules.d/60-qv725.rules" ] || fail "kelvane brings no udev rule"
[ -e "$usr/share/applications/kelvane.desktop" ] || fail "kelvane brings no desktop file"
export LD_LIBRARY_PATH=$libdir
check_library_is "$libdir" "$usr/bin/qv725ctl"

out=$("$usr/bin/qv725ctl" --help) || fail "qv725ctl --help failed"
case $out in *Usage*qv725ctl*) ;; *) fail "qv725ctl --help printed no usage: $out" ;; esac
pass "qv725ctl --help"
# --version must print and end at once, without a window or a controller.
out=$(QT_QPA_PLATFORM=offscreen timeout 20 "$usr/bin/kelvane" --version 2>&1) ||
  fail "kelvane --version failed or did not end: $out"
case $out in *Kelvane*"$version"*) ;; *) fail "kelvane --version printed '$out', not Kelvane $version" ;; esac
pass "kelvane --version: $out"
gzip -dc "$usr/share/man/man1/kelvane.1.gz" >/dev/null || fail "kelvane's manual page is missing"
check_man_pages "$usr"/share/man/man1/*.1.gz

build_outside "$here/outside" "$work" "$libdir/pkgconfig" "$usr" "$root"
runtime=$work/run
start_sim "$usr/bin/qv725-sim" "$runtime"
run_outside "$libdir" "$work" "$runtime"
stop_sim

dpkg_root -P "${packages[@]}" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg -P"; }
left=$(find "$root" -mindepth 1 \( -type f -o -type l \) -not -path "$root/var/lib/dpkg/*")
[ -z "$left" ] || fail "files left after purging the packages: $left"
for p in "${packages[@]}"; do
  if dpkg --root="$root" -s "$p" >/dev/null 2>&1; then fail "$p is still known after purging"; fi
done
pass "purged cleanly: no file left"
echo "packages: all checks passed"
