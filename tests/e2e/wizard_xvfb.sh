#!/bin/sh
# The real plinthor in a real X server, driven by xdotool as a person would drive it: type the six
# values with Tab and Enter, Finish, and find the files on disk; Cancel and Esc write nothing.
# Saves a screenshot of each page.
#   wizard_xvfb.sh PLINTHOR CALLER SKELETON SHOTS_DIR
set -eu
plinthor=$(realpath "$1")
caller=$(realpath "$2")
skeleton=$(realpath "$3")
shots=$(realpath -m "$4")
here=$(dirname "$0")
. "$here/xvfb.sh"

work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
mkdir -p "$shots"
start_xvfb
title="Veridane - Template Generation Wizard"

# Clicks the point (x, y) of the window given in dialog units of its 214 x 135 client area.
click_at() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove --window "$1" $(($2 * WIDTH / 214)) $(($3 * HEIGHT / 135)) click 1
}

new_run() {
    rm -rf "$work/run" && mkdir -p "$work/run/skels" && cp "$skeleton" "$work/run/skels/template.skl"
    (cd "$work/run" && exec "$plinthor" >"$work/stdout" 2>"$work/stderr") &
    pid=$!
    wid=$(wait_window "$title")
    [ -n "$wid" ] || { echo "no window"; exit 1; }
    xdotool windowfocus --sync "$wid"
    sleep 0.3
}

# Finish: the six values typed, in lower case where the entries capitalise.
new_run
import -window "$wid" "$shots/page1.png"
key_and_wait "$wid" Return
xdotool type --delay 20 "ledger report"
xdotool key Tab
xdotool type --delay 20 "ledgr"
sleep 0.2
import -window "$wid" "$shots/page2.png"
key_and_wait "$wid" Return
xdotool type --delay 20 "fortran"
xdotool key Tab
xdotool type --delay 20 "f90"
xdotool key Tab
xdotool type --delay 20 "inc"
xdotool key Tab
xdotool type --delay 20 "md"
sleep 0.2
import -window "$wid" "$shots/page3.png"
key_and_wait "$wid" Return
import -window "$wid" "$shots/page4.png"
xdotool key Return
wait_exit "$pid" 20
[ "$exit_status" = 0 ] || { echo "plinthor ended with $exit_status"; cat "$work/stderr"; exit 1; }

# The same values through the library directly must give the same files, byte for byte.
mkdir -p "$work/expected/skels" && cp "$skeleton" "$work/expected/skels/template.skl"
(cd "$work/expected" && "$caller" "Ledger Report" ledgr Fortran f90 inc md >"$work/expected.stdout")
for f in "$work"/expected/ledgr*; do
    cmp "$f" "$work/run/$(basename "$f")" || { echo "differs: $(basename "$f")"; exit 1; }
done
[ "$(ls "$work/run" | grep -c '^ledgr')" = "$(ls "$work/expected" | grep -c '^ledgr')" ]
grep -q "Ledger Report" "$work/run/ledgr.txt"
echo "Finish: the files of the skeleton are written"

# Cancel and Esc, after typing, write nothing and end normally.
for leave in cancel escape; do
    new_run
    key_and_wait "$wid" Return
    xdotool type --delay 20 "never written"
    xdotool key Tab
    xdotool type --delay 20 "never"
    if [ $leave = cancel ]; then click_at "$wid" 156 126; else xdotool key Escape; fi
    wait_exit "$pid" 20
    [ "$exit_status" = 0 ] || { echo "$leave: plinthor ended with $exit_status"; exit 1; }
    [ -z "$(ls "$work/run" | grep -v '^skels$')" ] || { echo "$leave wrote files"; ls "$work/run"; exit 1; }
done
echo "Cancel and Esc: nothing written"
