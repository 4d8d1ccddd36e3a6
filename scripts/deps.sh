#!/usr/bin/env bash
# Installs the Debian 12 packages the game and its tests need, if any are missing: directly as
# root, through sudo otherwise. When neither works it names the packages to install and stops.
# Packages given as arguments are wanted as well.
set -euo pipefail
# The maker's site needs Qt HTTP Server (whose CMake package asks for the WebSockets one) and
# the SQLite driver, and the PostgreSQL driver for milka-site hosted for many; xdg-utils lets
# the site button open it in the player's browser. The sound plays through Qt Multimedia; its
# test records a PulseAudio server of its own (parec and pactl are in pulseaudio-utils).
packages=(g++ make cmake pkg-config qt6-base-dev libgtest-dev libgmock-dev fonts-ipafont
          ca-certificates qt6-httpserver-dev qt6-websockets-dev libqt6sql6-sqlite xdg-utils
          qt6-translations-l10n libqt6sql6-psql qt6-multimedia-dev pulseaudio pulseaudio-utils
          "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

cannot() {
  echo "These Debian packages are missing: ${missing[*]}" >&2
  echo "Install them as root (for example: su -c 'apt-get install ${missing[*]}'), then run this again." >&2
  exit 1
}
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  echo "Installing missing Debian packages with sudo: ${missing[*]}"
  as_root=(sudo)
else
  cannot
fi
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update || cannot
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y --no-install-recommends "${missing[@]}" || cannot
