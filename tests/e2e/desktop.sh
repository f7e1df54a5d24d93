#!/usr/bin/env bash
# The real program on a virtual X display with a window manager and an X11 tray host: a second
# start brings the running window back instead of opening another one (also out of the tray
# after --minimized), and a display that dies takes no change with it: the program writes its
# settings and ends with 0. With a stand-in D-Bus (StatusNotifierItem) tray host on a private
# session bus, a plain activation (a host's left click) brings the window out of the tray.
# Usage: desktop.sh BIN_DIR [FAKE_TRAY_HOST]   (BIN_DIR holds kelvane and libqv725.so)
set -euo pipefail

bin=$(cd "${1:?usage: desktop.sh BIN_DIR [FAKE_TRAY_HOST]}" && pwd)
fake_host=${2:-}
for tool in Xvfb xdotool trayer openbox; do
  command -v "$tool" >/dev/null || { echo "desktop: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'echo "desktop: line $LINENO failed: $BASH_COMMAND" >&2' ERR
status=0
fail() { echo "desktop: $*" >&2; status=1; }

. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# Whether the program ($1) has ended within $2 tenths of a second.
ended_within() {
  local tries=$2
  while kill -0 "$1" 2>/dev/null; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}
visible_windows() { xdotool search --onlyvisible --name '^Kelvane$' 2>/dev/null | wc -l; }
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }

# No simulated controller: a private runtime folder. The program runs from a copy, so its
# settings file and lock land in the work folder.
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir "$work/prog"
cp "$bin/kelvane" "$bin"/libqv725.so* "$work/prog/"
prog=$work/prog/kelvane

start_display() {
  local tray=${1:-xembed}
  display=$(free_display 150)
  export DISPLAY=:$display
  Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
  xvfb=$!
  pids+=($xvfb)
  retry 100 xdotool getdisplaygeometry || { echo "desktop: Xvfb did not start" >&2; exit 1; }
  # A window manager: minimising a window is its business. On a loaded machine it can take
  # seconds to take over the display (a minimise asked for before then reaches nobody), or
  # end at once when the display is not ready for it: then it is started again.
  local attempt
  for attempt in 1 2 3; do
    openbox --sm-disable >>"$work/wm.log" 2>&1 &
    local wm_pid=$!
    pids+=($wm_pid)
    retry 300 wm_running && break
    kill "$wm_pid" 2>/dev/null || true
  done
  wm_running || { echo "desktop: the window manager did not start" >&2; cat "$work/wm.log" >&2; exit 1; }
  [ "$tray" = xembed ] || return 0
  # The tray must be there before the program looks for it. On a loaded machine the tray can
  # come up slowly, or end when it starts before the window manager answers: then it is
  # started again, three times at most.
  for attempt in 1 2 3; do
    trayer --edge top --align right --widthtype request --height 24 --transparent false \
      >>"$work/trayer.log" 2>&1 &
    local trayer_pid=$!
    pids+=($trayer_pid)
    if retry 300 xdotool search --classname trayer; then
      sleep 0.5
      return 0
    fi
    kill -0 "$trayer_pid" 2>/dev/null && break  # running, but no tray window in 30 s
  done
  echo "desktop: no tray" >&2
  cat "$work/trayer.log" >&2
  exit 1
}
start_display

# --- One instance: a second start shows the first window and ends with 0. ---
"$prog" >"$work/first.log" 2>&1 &
first=$!
pids+=($first)
retry 600 xdotool search --onlyvisible --name '^Kelvane$' || { cat "$work/first.log" >&2; exit 1; }
wid=$(xdotool search --onlyvisible --name '^Kelvane$' | head -n 1)
# The request is sent again when the window is still there after ten seconds: a slow window
# manager may drop a request for a window it is still taking over.
for attempt in 1 2 3; do
  xdotool windowminimize "$wid"
  retry 100 test "$(visible_windows)" -eq 0 && break
done
if [ "$(visible_windows)" -ne 0 ]; then
  fail "the minimised window did not go into the tray"
  cat "$work/first.log" "$work/wm.log" "$work/trayer.log" >&2
fi
"$prog" >"$work/second.log" 2>&1 &
second=$!
pids+=($second)
if ended_within "$second" 300; then
  code=0
  wait "$second" || code=$?
  [ "$code" -eq 0 ] || fail "the second start ended with $code"
else
  fail "the second start kept running"
fi
retry 100 test "$(visible_windows)" -eq 1 || fail "the second start did not bring the window back"
kill -0 "$first" 2>/dev/null || fail "the first program ended"

# --- A lost display: a name typed into channel 1 is in the settings file afterwards. ---
xdotool windowactivate --sync "$wid" 2>/dev/null || xdotool windowfocus --sync "$wid"
xdotool mousemove --window "$wid" 80 232 click --repeat 3 1 || fail "cannot click channel 1's name"
xdotool type --delay 20 'Pump loop' || fail "cannot type channel 1's name"
sleep 0.5
kill "$xvfb"
if ended_within "$first" 300; then
  code=0
  wait "$first" || code=$?
  [ "$code" -eq 0 ] || fail "after the display died the program ended with $code, not 0"
else
  fail "the program outlived its display"
  kill "$first" 2>/dev/null || true
fi
grep -q '^Name0=Pump loop' "$work/prog/kelvane.ini" 2>/dev/null ||
  fail "the name typed before the display died is not in the settings file"
cat "$work/first.log"
wait "$xvfb" 2>/dev/null || true

# --- --minimized: starts in the tray; a second start brings it out. ---
for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
start_display
"$prog" --minimized >"$work/minimized.log" 2>&1 &
hidden=$!
pids+=($hidden)
retry 600 xdotool search --name '^Kelvane$' || { cat "$work/minimized.log" >&2; exit 1; }
sleep 2
[ "$(visible_windows)" -eq 0 ] || fail "--minimized showed the window"
"$prog" 2>"$work/second-minimized.log" || fail "the second start ended with $?"
if ! retry 100 test "$(visible_windows)" -eq 1; then
  fail "the second start did not bring the window out of the tray"
  cat "$work/second-minimized.log" "$work/minimized.log" >&2
fi
kill "$hidden"
ended_within "$hidden" 300 || fail "SIGTERM did not end the program"
code=0
wait "$hidden" || code=$?
[ "$code" -eq 0 ] || fail "after SIGTERM the program ended with $code"

# --- A D-Bus tray: its plain activation (a left click) restores the window. ---
if [ -n "$fake_host" ] && command -v dbus-daemon >/dev/null; then
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  start_display none
  dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus.address" 4>"$work/bus.pid"
  pids+=($(cat "$work/bus.pid"))
  export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus.address")
  mkfifo "$work/host.in"
  "$fake_host" <"$work/host.in" >"$work/host.out" 2>&1 &
  pids+=($!)
  exec 5>"$work/host.in"
  retry 100 grep -q '^ready' "$work/host.out" || { cat "$work/host.out" >&2; exit 1; }
  "$prog" >"$work/dbus.log" 2>&1 &
  dbus_prog=$!
  pids+=($dbus_prog)
  retry 600 xdotool search --onlyvisible --name '^Kelvane$' || { cat "$work/dbus.log" >&2; exit 1; }
  retry 100 grep -q '^item ' "$work/host.out" || fail "the icon did not register with the D-Bus tray"
  wid=$(xdotool search --onlyvisible --name '^Kelvane$' | head -n 1)
  xdotool windowminimize "$wid"
  retry 100 test "$(visible_windows)" -eq 0 || fail "the window did not go into the D-Bus tray"
  echo activate >&5
  retry 50 grep -q '^sent activate' "$work/host.out" || fail "the D-Bus host sent no activation"
  if ! retry 100 test "$(visible_windows)" -eq 1; then
    fail "a left click on the D-Bus tray did not restore the window"
    cat "$work/host.out" "$work/dbus.log" >&2
  fi
  exec 5>&-
  kill "$dbus_prog"
  ended_within "$dbus_prog" 300 || fail "SIGTERM did not end the program"
fi

exit $status
