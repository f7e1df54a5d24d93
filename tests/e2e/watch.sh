#!/usr/bin/env bash
# Watching the machine in the real program on a virtual X display with a tray host and the
# simulated controller: without alarms the tray icon carries no red mark; with a channel's
# temperature alarm set below its temperature it does (and a notification is shown); a
# recording started through "Record to file..." keeps only whole rows when the program is
# killed. Screenshots of the alarm go to OUT_DIR.
# Usage: watch.sh BIN_DIR [OUT_DIR]   (BIN_DIR holds kelvane, libqv725.so, qv725-sim, qv725ctl)
set -euo pipefail

bin=$(cd "${1:?usage: watch.sh BIN_DIR [OUT_DIR]}" && pwd)
out=${2:-artifacts/screenshots}
mkdir -p "$out"
out=$(cd "$out" && pwd)

for tool in Xvfb xdotool trayer import convert; do
  command -v "$tool" >/dev/null || { echo "watch: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

display=$(free_display 120)
export DISPLAY=:$display
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
pids+=($!)
retry 100 xdotool getdisplaygeometry || { echo "watch: Xvfb did not start" >&2; exit 1; }
trayer --edge top --align right --widthtype request --height 24 --transparent false \
  >"$work/trayer.log" 2>&1 &
pids+=($!)

export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkfifo "$work/sim.fifo"
"$bin/qv725-sim" --name watch >"$work/sim.fifo" 2>"$work/sim.log" &
pids+=($!)
read -r ready _ <"$work/sim.fifo" || true
[ "${ready:-}" = ready ] || { echo "watch: the simulated controller did not start" >&2; exit 1; }

mkdir "$work/prog"
cp "$bin/kelvane" "$bin"/libqv725.so* "$work/prog/"

# Starts the program and waits for its window; sets $kelvane and $wid.
start() {
  "$work/prog/kelvane" >>"$work/kelvane.log" 2>&1 &
  kelvane=$!
  pids+=($kelvane)
  retry 600 xdotool search --onlyvisible --name '^Kelvane$' ||
    { echo "watch: no Kelvane window" >&2; cat "$work/kelvane.log" >&2; exit 1; }
  wid=$(xdotool search --onlyvisible --name '^Kelvane$' | head -n 1)
  xdotool windowmove "$wid" 40 60
}

# Pixels of the alarm mark's red in the tray area at the top right corner.
red_pixels() {
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop 48x24+976+0 +repage txt:- | grep -c '#DC0000' || true
}

status=0
start
sleep 4
if [ "$(red_pixels)" -ne 0 ]; then
  echo "watch: the tray icon carries a red mark without any alarm" >&2
  status=1
fi
xdotool windowfocus --sync "$wid"
xdotool key alt+x
wait "$kelvane" || true

# Channel 3's temperature alarm at 20 °C, below the simulator's temperatures.
"$bin/qv725ctl" set 3 talarm=20 ta=on >/dev/null
start
sleep 3
import -window root "$out/6-alarm-notification.png"
if [ "$(red_pixels)" -lt 10 ]; then
  echo "watch: no red mark on the tray icon during an alarm" >&2
  status=1
fi

# Record to file... is the second item of the File menu; its save dialog takes the path.
xdotool windowfocus --sync "$wid"
xdotool key alt+f
sleep 0.5
xdotool key Down Return
if retry 200 xdotool search --onlyvisible --name '^Record to file$'; then
  dialog=$(xdotool search --onlyvisible --name '^Record to file$' | head -n 1)
  xdotool windowfocus --sync "$dialog"
  xdotool key ctrl+a
  xdotool type --delay 20 "$work/recording.csv"
  xdotool key Return
  sleep 5
  kill -9 "$kelvane"
  wait "$kelvane" 2>/dev/null || true
  # Header plus at least three rows, every line with its 19 fields and its CR LF.
  rows=$(wc -l <"$work/recording.csv")
  if [ "$rows" -lt 4 ]; then
    echo "watch: the recording holds $rows lines after 5 s" >&2
    status=1
  fi
  if ! awk -F, '{ if (NF != 19 || $0 !~ /\r$/) bad++ } END { exit bad > 0 }' "$work/recording.csv" ||
    [ "$(tail -c 1 "$work/recording.csv" | od -An -c | tr -d ' ')" != '\n' ]; then
    echo "watch: the recording of the killed program ends with an incomplete row" >&2
    cat -A "$work/recording.csv" | tail -n 3 >&2
    status=1
  fi
else
  echo "watch: Record to file... opened no save dialog" >&2
  status=1
fi
exit $status
