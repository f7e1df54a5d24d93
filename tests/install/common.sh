# shellcheck shell=bash
# Shared by the install tests: checks that fail loudly, the simulated controller, the outside
# program built against an installed library. Sourced, not run.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

pass() {
  echo "ok: $*"
}

# start_sim SIM RUNTIME_DIR: starts the simulated controller SIM publishing its link under
# RUNTIME_DIR/qv725 and waits until it answers; sets sim_pid.
start_sim() {
  local sim=$1 runtime=$2 fifo ready path
  mkdir -p "$runtime"
  chmod 700 "$runtime"
  fifo=$runtime/ready.fifo
  mkfifo "$fifo"
  XDG_RUNTIME_DIR=$runtime "$sim" --name install0 >"$fifo" &
  sim_pid=$!
  read -r -t 30 ready path <"$fifo" || true
  rm -f "$fifo"
  [ "${ready:-}" = "ready" ] || fail "the installed qv725-sim did not start"
  pass "installed qv725-sim answers at $path"
}

stop_sim() {
  if [ -n "${sim_pid:-}" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    sim_pid=
  fi
}

# check_library_is LIBDIR PROGRAM: PROGRAM loads libqv725.so.1 from LIBDIR (run with
# LD_LIBRARY_PATH as the caller has set it), not from a build tree or elsewhere.
check_library_is() {
  local libdir=$1 program=$2 loaded
  loaded=$(ldd "$program" | sed -n 's/^[[:space:]]*libqv725\.so\.1 => \([^ ]*\).*/\1/p')
  [ "$(readlink -f "$loaded")" = "$(readlink -f "$libdir/libqv725.so.1")" ] ||
    fail "$program loads libqv725.so.1 from '${loaded:-nowhere}', not from $libdir"
}

# build_outside SOURCE_DIR WORK PKG_CONFIG_DIR PREFIX [SYSROOT]: builds the outside program twice,
# with pkg-config and with find_package(qv725), as WORK/outside-pc and WORK/outside-cmake.
build_outside() {
  local source=$1 work=$2 pcdir=$3 prefix=$4 sysroot=${5:-} flags
  flags=$(PKG_CONFIG_LIBDIR=$pcdir PKG_CONFIG_SYSROOT_DIR=$sysroot pkg-config --cflags --libs qv725) ||
    fail "pkg-config does not find qv725 in $pcdir"
  # shellcheck disable=SC2086  # the flags are separate words
  cc -std=c11 -Wall -Werror "$source/outside.c" $flags -o "$work/outside-pc" ||
    fail "the outside C program does not build with: pkg-config --cflags --libs qv725 ($flags)"
  pass "outside C program built with pkg-config: $flags"

  cmake -S "$source" -B "$work/outside-build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF >"$work/outside-cmake.log" 2>&1 &&
    cmake --build "$work/outside-build" >>"$work/outside-cmake.log" 2>&1 ||
    { cat "$work/outside-cmake.log" >&2; fail "the outside CMake project does not build with find_package(qv725)"; }
  cp "$work/outside-build/outside" "$work/outside-cmake"
  pass "outside CMake project built with find_package(qv725)"
}

# run_outside LIBDIR WORK RUNTIME_DIR: runs both outside programs against the simulated
# controller of RUNTIME_DIR, with the installed library.
run_outside() {
  local libdir=$1 work=$2 runtime=$3 program out
  for program in "$work/outside-pc" "$work/outside-cmake"; do
    check_library_is "$libdir" "$program"
    out=$(XDG_RUNTIME_DIR=$runtime "$program") || fail "$(basename "$program") failed: $out"
    case $out in
      *QV-725*) pass "$(basename "$program"): $out" ;;
      *) fail "$(basename "$program") did not print the controller's identification: $out" ;;
    esac
  done
}

# check_man_pages FILE...: each page renders without a warning.
check_man_pages() {
  local page warnings
  for page in "$@"; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) ||
      fail "man -l $page failed: $warnings"
    [ -z "$warnings" ] || fail "man -l $page warns: $warnings"
  done
  pass "$# manual pages render without warnings"
}
