#!/bin/sh
# Measures the real program under Xvfb: time to the painted menu, CPU of the
# idle menu, the game hub, a running card game and a running pearl game, the
# X server's CPU and the repaints sent to it beside each, the resident memory,
# and the size of the media set.
# Usage: bench/screens.sh [build folder]   (not part of the tests: it runs
# for about a minute and a half in real time)
set -eu
build=${1:-build}
media=$(cd "$build/media" && pwd)
display=:$((90 + $$ % 100))
runtime=$(mktemp -d)
seconds=20
hz=$(getconf CLK_TCK)

Xvfb "$display" -screen 0 1280x960x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app $xvfb 2>/dev/null; rm -rf "$runtime"' EXIT INT TERM
app=
sleep 1
export DISPLAY=$display XDG_RUNTIME_DIR=$runtime

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# The colour of one screen pixel, as ImageMagick names it.
pixel() { import -window root -crop "1x1+$1+$2" txt:- 2>/dev/null | tail -1 | awk '{print $3}'; }

start=$(date +%s%N)
(cd "$media" && exec ./shizi) 2>/dev/null &
app=$!
# The menu is painted once the middle of the screen is no longer black.
while [ "$(pixel 640 480)" = "#000000" ] || [ -z "$(pixel 640 480)" ]; do :; done
painted=$(( ($(date +%s%N) - start) / 1000000 ))
echo "start to the painted menu: ${painted} ms (polling adds up to about 50 ms)"

measure() {
    sleep 3
    a=$(ticks $app); x=$(ticks $xvfb)
    sleep $seconds
    b=$(ticks $app); y=$(ticks $xvfb)
    awk -v what="$1" -v p=$((b - a)) -v x=$((y - x)) -v hz="$hz" -v s=$seconds 'BEGIN {
        printf "%s: program %.2f %% of a core, X server %.2f %%\n", what, p * 100 / hz / s, x * 100 / hz / s }'
    repaints
}

# Every repaint is one write of requests to the X server (the picture goes
# through shared memory): counted for 5 s apart from the CPU figures, since
# tracing costs time of its own.
repaints() {
    n=$(timeout -s INT 5 strace -f -qq -e trace=write,writev,sendmsg -p $app 2>&1 | grep -c '^' || true)
    echo "  repaints sent to the X server: $(awk -v n="$n" 'BEGIN { printf "%.1f", n / 5 }') a second"
}

sleep 10
echo "resident memory 10 s after start: $(awk '/VmRSS/ {printf "%.1f MiB", $2 / 1024}' /proc/$app/status)"
measure "idle main menu"
xdotool mousemove 98 582 click 1    # 游戏: the game hub
measure "game hub"
xdotool mousemove 640 264 click 1   # circle 1: the card game
sleep 4
xdotool mousemove 1062 194 click 1  # its start button
measure "card game running"
xdotool key Escape                  # back to the menu
sleep 2
xdotool mousemove 98 582 click 1    # the hub again
sleep 3
xdotool mousemove 495 720 click 1   # circle 4: the pearl game, level 1
sleep 4
xdotool mousemove 156 380 click 1   # its start button; the head waits at its corner
measure "pearl game running"
echo "media set with the program: $(du -sh "$media" | cut -f1) ($(du -sh "$media/sound" | cut -f1) sound, program $(du -sh "$media/shizi" | cut -f1), $(du -sh "$media/tav_KJ" | cut -f1) character pictures)"
