#!/usr/bin/env bash
# Run by the player, as themself, from a terminal in their desktop session: installs what is
# missing (asking sudo for it), builds the game in build-play/ (which stays the player's) and
# starts it on the player's own display, native Wayland or X11.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ]; then
  echo "Run scripts/play.sh as yourself ($SUDO_USER), without sudo: it asks for sudo only to" >&2
  echo "install missing packages, and root cannot always reach your desktop's display." >&2
  exit 1
fi
if [ "$(id -u)" -eq 0 ]; then
  echo "Note: playing as root; build-play/ will belong to root." >&2
fi
if [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${DISPLAY:-}" ]; then
  echo "No desktop session here (neither WAYLAND_DISPLAY nor DISPLAY is set): run scripts/play.sh" >&2
  echo "from a terminal in your desktop." >&2
  exit 1
fi

scripts/deps.sh qt6-wayland

build=build-play
if [ -e "$build" ] && { [ ! -w "$build" ] || [ -n "$(find "$build" ! -user "$(id -u)" -print -quit)" ]; }; then
  echo "$build/ holds files that are not yours (left by an earlier run as root?)." >&2
  echo "Remove it with: sudo rm -rf $PWD/$build" >&2
  exit 1
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DMILKA_TESTS=OFF
cmake --build "$build" -j"$(nproc)" --target milka-derby

# Wayland natively when the session has it (the X11 plugin as a fallback), X11 otherwise;
# a platform the player chose themself is kept.
if [ -z "${QT_QPA_PLATFORM:-}" ]; then
  if [ -n "${WAYLAND_DISPLAY:-}" ]; then
    export QT_QPA_PLATFORM="wayland;xcb"
  else
    export QT_QPA_PLATFORM=xcb
  fi
fi
exec "$build/milka-derby" "$@"
