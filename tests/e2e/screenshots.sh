#!/usr/bin/env bash
# Runs the real program on a virtual X display with a tray host and the simulated controller,
# takes a screenshot of each page (and of the whole screen with the tray icon), adds a second
# preset through its name dialog (a picture of the dialog and of the list with two presets),
# then closes the program with Alt+X and checks that it ended cleanly and wrote its settings
# file with both presets.
# Usage: screenshots.sh BIN_DIR [OUT_DIR]   (BIN_DIR holds kelvane, libqv725.so and qv725-sim)
set -euo pipefail

bin=$(cd "${1:?usage: screenshots.sh BIN_DIR [OUT_DIR]}" && pwd)
out=${2:-artifacts/screenshots}
mkdir -p "$out"
out=$(cd "$out" && pwd)

for tool in Xvfb xdotool trayer import; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# A display number nobody uses.
display=$(free_display 99)
export DISPLAY=:$display
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
pids+=($!)
retry 100 xdotool getdisplaygeometry || { echo "screenshots: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }

# A tray host, so the program's tray icon has a place to go.
trayer --edge top --align right --widthtype request --height 24 --transparent false \
  >"$work/trayer.log" 2>&1 &
pids+=($!)

# The simulated controller, private to this run.
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkfifo "$work/sim.fifo"
"$bin/qv725-sim" --name shots >"$work/sim.fifo" 2>"$work/sim.log" &
pids+=($!)
read -r ready _ <"$work/sim.fifo" || true
[ "${ready:-}" = ready ] || { echo "screenshots: the simulated controller did not start" >&2; exit 1; }

# The program runs from a copy, so its settings file lands in the work folder.
mkdir "$work/prog"
cp "$bin/kelvane" "$bin"/libqv725.so* "$work/prog/"
"$work/prog/kelvane" >"$work/kelvane.log" 2>&1 &
kelvane=$!
pids+=($kelvane)

# Generous bounds on things that happen at a child's own pace (a sanitizer build starts slowly).
retry 600 xdotool search --onlyvisible --name '^Kelvane$' ||
  { echo "screenshots: no Kelvane window" >&2; cat "$work/kelvane.log" >&2; exit 1; }
wid=$(xdotool search --onlyvisible --name '^Kelvane$' | head -n 1)
xdotool windowmove "$wid" 40 40
xdotool windowfocus --sync "$wid"

# Let a few polling cycles fill the read-outs, the history and the scope.
sleep 6

shot() { import -window "$wid" "$out/$1.png"; }
shot 1-common
for page in 2-channel 3-history 4-presets; do
  xdotool windowfocus --sync "$wid"
  xdotool key ctrl+Tab
  # On the History page the pointer rests on its tab, so the status bar shows the tab's hint.
  if [ "$page" = 3-history ]; then
    xdotool mousemove --window "$wid" 180 36
  else
    xdotool mousemove 900 700
  fi
  sleep 1.5
  shot "$page"
done
import -window root "$out/0-screen.png"

# A second preset: Insert on the Presets page opens the name dialog with "Name 2" selected;
# typing replaces it and Enter takes it. The new row is selected and not bold.
xdotool windowfocus --sync "$wid"
xdotool key Insert
if retry 200 xdotool search --onlyvisible --name '^Add preset$'; then
  dialog=$(xdotool search --onlyvisible --name '^Add preset$' | head -n 1)
  xdotool windowmove "$dialog" 120 200
  sleep 0.5
  import -window "$dialog" "$out/4b-add-preset.png"
  xdotool windowfocus --sync "$dialog"
  xdotool type --delay 30 'Quiet nights'
  xdotool key Return
  sleep 1
  xdotool mousemove 900 700
  sleep 0.5
  shot 4c-presets-two
else
  echo "screenshots: Insert opened no 'Add preset' dialog" >&2
  exit 1
fi

xdotool windowfocus --sync "$wid"
xdotool key alt+x
status=0
for _ in $(seq 1 300); do
  kill -0 "$kelvane" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$kelvane" 2>/dev/null; then
  echo "screenshots: Alt+X did not close the program" >&2
  status=1
else
  wait "$kelvane" || { echo "screenshots: the program ended with $?" >&2; status=1; }
fi
if ! grep -q '^\[Presets\]' "$work/prog/kelvane.ini" 2>/dev/null; then
  echo "screenshots: no settings file written at exit" >&2
  status=1
# The stored list starts with two presets, "Default" first ("Quiet nights" in hexadecimal).
elif ! grep -q '^List=0202060744656661756C74.*0C5175696574206E6967687473' "$work/prog/kelvane.ini"; then
  echo "screenshots: the added preset is not in the settings file" >&2
  status=1
fi
cat "$work/kelvane.log"

# A damaged preset list: the program shows the error, ends with code 0 and leaves the file as
# it was.
printf '[General]\r\nLeft=5\r\n[Presets]\r\nList=0201060744\r\n' >"$work/prog/kelvane.ini"
cp "$work/prog/kelvane.ini" "$work/damaged.ini"
"$work/prog/kelvane" >"$work/damaged.log" 2>&1 &
damaged=$!
pids+=($damaged)
if retry 600 xdotool search --onlyvisible --name '^Kelvane$'; then
  box=$(xdotool search --onlyvisible --name '^Kelvane$' | head -n 1)
  sleep 0.5
  import -window "$box" "$out/5-damaged-presets.png"
  xdotool windowfocus --sync "$box"
  xdotool key Return
  code=0
  wait "$damaged" || code=$?
  if [ "$code" -ne 0 ]; then
    echo "screenshots: with damaged presets the program ended with $code" >&2
    status=1
  fi
  if ! cmp -s "$work/prog/kelvane.ini" "$work/damaged.ini"; then
    echo "screenshots: the damaged settings file was rewritten" >&2
    status=1
  fi
else
  echo "screenshots: no error box for damaged presets" >&2
  status=1
fi

ls "$out"
exit $status
