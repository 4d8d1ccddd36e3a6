#!/bin/sh
# What showing the game costs beside two bare windows, under one Xvfb: the title and a race,
# gliding on and off, at 1x and 2x. "bare" is the baseline's window carried into bare/ (forty
# labels, forty-two pictures, five timers each moving one picture, nothing else); "plain" is
# bare_scene, which shows the game's own title or races from the same model, drawn plainly in one
# paintEvent, so it moves what the game moves. The three run alternately (game, bare, plain,
# game …); each run is left SETTLE seconds to start, then the processor time of its whole
# process (every thread) and of the X server is taken over SECONDS. Prints the medians and the
# game's ratio to each.
#
#   bench/frame_cost.sh BUILD_DIR [SECONDS [RUNS]]
#
# SCENES, GLIDES and SCALES pick a part of the table ("title race", "on off", "1 2"); FRAME_WATCH
# names another build's frame_watch to hold against the same bare window.
set -eu

build=${1:?usage: frame_cost.sh BUILD_DIR [SECONDS [RUNS]]}
seconds=${2:-20}
runs=${3:-3}
settle=${SETTLE:-5}
scenes=${SCENES:-title race}
glides=${GLIDES:-on off}
scales=${SCALES:-1 2}
game=${FRAME_WATCH:-$build/bench/frame_watch}
bare=$build/bench/bare_window
plain=$build/bench/bare_scene
for program in "$game" "$bare" "$plain"; do
  [ -x "$program" ] || { echo "frame_cost.sh: no $program (build frame_watch bare_window bare_scene)" >&2; exit 2; }
done

# A display nobody else holds.
n=${FRAME_COST_DISPLAY:-71}
while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
display=:$n
xvfb=
runs_dir=$(mktemp -d)
trap 'stop_x; rm -rf "$runs_dir"' EXIT INT TERM

# A fresh X server for each row of the table, so that no row inherits what an earlier one left
# in the server (a long table once read no X time at all in its last rows). No screen saver: ten
# minutes in, it would hide the windows and nothing would be drawn.
start_x() {
  Xvfb "$display" -screen 0 1600x1200x24 -nolisten tcp -s 0 -dpms >/dev/null 2>&1 &
  xvfb=$!
  sleep 1
  kill -0 $xvfb 2>/dev/null || { echo "frame_cost.sh: Xvfb did not start on $display" >&2; exit 2; }
}
stop_x() {
  [ -n "$xvfb" ] || return 0
  kill $xvfb 2>/dev/null || true
  wait $xvfb 2>/dev/null || true
  xvfb=
}

# Nanoseconds a process's threads have run, from the scheduler's own accounting.
cpu_ns() {
  cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%d\n", s }'
}

# One run: "PROCESS_MS XSERVER_MS".
measure() {
  scale=$1
  shift
  DISPLAY=$display QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale "$@" >/dev/null 2>&1 &
  pid=$!
  sleep "$settle"
  p0=$(cpu_ns $pid)
  x0=$(cpu_ns $xvfb)
  sleep "$seconds"
  p1=$(cpu_ns $pid)
  x1=$(cpu_ns $xvfb)
  kill $pid 2>/dev/null || true
  wait $pid 2>/dev/null || true
  state=$(cut -d' ' -f3 /proc/$xvfb/stat 2>/dev/null || echo gone)
  case $state in Z | gone) echo "frame_cost.sh: Xvfb went away" >&2; exit 2 ;; esac
  echo $(((p1 - p0) / 1000000)) $(((x1 - x0) / 1000000))
}

median() {
  sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

ratio() {
  awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'
}

length=$((settle + seconds + 5))
echo "per $seconds s, medians of $runs alternated runs; load before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-6s %-5s %-6s %-8s %8s %8s %6s %8s %6s\n' scene glide scale measure game bare ratio plain ratio
for scene in $scenes; do
  for glide in $glides; do
    for scale in $scales; do
      flag=
      [ "$glide" = on ] && flag=--glide
      : >"$runs_dir"/game
      : >"$runs_dir"/bare
      : >"$runs_dir"/plain
      start_x
      i=0
      while [ $i -lt "$runs" ]; do
        measure "$scale" "$game" "$scene" "$glide" "$length" >>"$runs_dir"/game
        measure "$scale" "$bare" --run-seconds "$length" $flag >>"$runs_dir"/bare
        measure "$scale" "$plain" "$scene" "$glide" "$length" >>"$runs_dir"/plain
        i=$((i + 1))
      done
      stop_x
      for column in 1 2; do
        what=process
        [ $column = 2 ] && what=X
        g=$(cut -d' ' -f$column "$runs_dir"/game | median)
        b=$(cut -d' ' -f$column "$runs_dir"/bare | median)
        p=$(cut -d' ' -f$column "$runs_dir"/plain | median)
        printf '%-6s %-5s %-6s %-8s %6s ms %5s ms %6s %5s ms %6s\n' "$scene" "$glide" "${scale}x" \
          "$what" "$g" "$b" "$(ratio "$g" "$b")" "$p" "$(ratio "$g" "$p")"
      done
      if [ -n "${FRAME_COST_RAW:-}" ]; then
        echo "  game runs: $(tr '\n' ',' <"$runs_dir"/game)"
        echo "  bare runs: $(tr '\n' ',' <"$runs_dir"/bare)"
        echo "  plain runs: $(tr '\n' ',' <"$runs_dir"/plain)"
      fi
    done
  done
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
