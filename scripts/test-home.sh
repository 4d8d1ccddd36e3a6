#!/usr/bin/env bash
# Keeps the tests out of the home of whoever runs them: the game continues the career it finds
# in its data directory, so a test's career left there would become the player's.
#
#   scripts/test-home.sh run COMMAND...  runs COMMAND with HOME and the XDG directories in a
#                                        fresh temporary directory, removed when it ends; exits
#                                        with COMMAND's status
#   scripts/test-home.sh list            lists what the game, its site and the test programs
#                                        keep in the runner's own home (names, sizes, times), for
#                                        a run to compare before and after: a player's own
#                                        careers may be there, and must stay as they were
set -euo pipefail

case "${1:-}" in
run)
  shift
  [ $# -gt 0 ] || { echo "test-home: run wants a command" >&2; exit 2; }
  home="$(mktemp -d)"
  trap 'rm -rf "$home"' EXIT
  export HOME="$home" XDG_DATA_HOME="$home/.local/share" XDG_CONFIG_HOME="$home/.config" \
         XDG_CACHE_HOME="$home/.cache" XDG_STATE_HOME="$home/.local/state" \
         XDG_RUNTIME_DIR="$home/run"
  mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME"
  # Qt refuses a runtime directory others may enter.
  mkdir -m 0700 "$XDG_RUNTIME_DIR"
  status=0
  "$@" || status=$?
  exit "$status"
  ;;
list)
  # Where Qt puts an application's data, settings, caches and state, by default and as the
  # runner's XDG variables may move them; the test programs' own names, for anything a suite
  # keeps under its program's name.
  bases=("$HOME/.local/share" "$HOME/.config" "$HOME/.cache" "$HOME/.local/state")
  for v in "${XDG_DATA_HOME:-}" "${XDG_CONFIG_HOME:-}" "${XDG_CACHE_HOME:-}" "${XDG_STATE_HOME:-}"; do
    if [ -n "$v" ]; then bases+=("$v"); fi
  done
  for base in "${bases[@]}"; do
    for name in milkaria milka-derby milka-site qt_tests site_tests audio_tests; do
      [ -e "$base/$name" ] || continue
      find "$base/$name" -printf '%p %y %s %T@\n'
    done
  done | sort -u
  ;;
*)
  echo "test-home: run COMMAND... or list" >&2
  exit 2
  ;;
esac
