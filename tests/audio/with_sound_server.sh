#!/bin/sh
# Runs a command against a sound server of its own: a PulseAudio daemon with one null sink,
# whose monitor the command may record, in a temporary directory that goes with it. Works as
# root (as CI runs) and as anyone else; no system sound server is touched, and neither the
# server nor the command keeps anything in the runner's home.
set -eu
dir="$(mktemp -d)"
pid=""
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  rm -rf "$dir"
}
trap cleanup EXIT INT TERM
export HOME="$dir" XDG_RUNTIME_DIR="$dir" PULSE_RUNTIME_PATH="$dir/pulse" \
       PULSE_STATE_PATH="$dir/state" PULSE_SERVER="unix:$dir/native" \
       XDG_DATA_HOME="$dir/.local/share" XDG_CONFIG_HOME="$dir/.config" \
       XDG_CACHE_HOME="$dir/.cache" XDG_STATE_HOME="$dir/.local/state"
mkdir -p "$PULSE_RUNTIME_PATH" "$PULSE_STATE_PATH"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
  --log-target=stderr \
  -L "module-null-sink sink_name=milka_test rate=48000 channels=1" \
  -L "module-native-protocol-unix socket=$dir/native auth-anonymous=1" 2>"$dir/server.log" &
pid=$!
tries=0
until pactl info >/dev/null 2>&1; do
  tries=$((tries + 1))
  if [ "$tries" -gt 300 ]; then
    echo "The test sound server did not start:" >&2
    cat "$dir/server.log" >&2
    exit 1
  fi
  sleep 0.1
done
export MILKA_TEST_SINK=milka_test
"$@"
