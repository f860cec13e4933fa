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

# A fixed piece of work first: a virtual machine whose host is busy runs
# everything below slower, and this line shows it. Compare two runs'
# figures only when their reference times agree.
reference() {
    s=$(date +%s%N)
    awk 'BEGIN { for (i = 0; i < 2000000; i++) x += i % 7; print x > "/dev/null" }'
    echo "reference work (a fixed awk loop): $(( ($(date +%s%N) - s) / 1000000 )) ms"
}
reference

# Start to the first picture sent, the median of five starts; the program
# says when it sent it.
first_paint() {
    : >"$runtime/stderr"
    start=$(date +%s%N)
    (cd "$media" && SHIZI_REPORT_FIRST_PAINT=1 exec ./shizi) 2>"$runtime/stderr" &
    app=$!
    while ! grep -q '^first paint at' "$runtime/stderr"; do sleep 0.05; done
    cpu="$cpu $(awk '/^first paint at/ { print $6; exit }' "$runtime/stderr")"
    times="$times $(awk -v s="$start" '/^first paint at/ { split($4, t, "."); printf "%.1f", (t[1] * 1e9 + t[2] - s) / 1e6; exit }' "$runtime/stderr")"
}
times= cpu=
for run in 1 2 3 4 5; do
    first_paint
    [ $run = 5 ] || { kill $app; wait $app 2>/dev/null || true; }
done
median() { echo "$@" | tr ' ' '\n' | sort -n | sed -n 3p; }
echo "start to the painted menu: $(median $times) ms (median of$times), of which processor time $(median $cpu) ms"

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
# As installed: the media set with the program stripped of its debug data.
stripped=$runtime/shizi.stripped
strip -o "$stripped" "$media/shizi"
total=$(( $(du -sk "$media" | cut -f1) - $(du -sk "$media/shizi" | cut -f1) + $(du -sk "$stripped" | cut -f1) ))
echo "installed size, program and media: $(awk -v k=$total 'BEGIN { printf "%.1f MiB", k / 1024 }') ($(du -sh "$media/sound" | cut -f1) sound, $(du -sh "$media/tav_KJ" | cut -f1) character pictures, program $(du -sh "$stripped" | cut -f1) stripped)"
