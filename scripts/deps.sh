#!/usr/bin/env bash
# Installs the Debian 12 packages the game and its tests need, if any are missing.
set -euo pipefail
packages=(g++ make cmake pkg-config qt6-base-dev libgtest-dev libgmock-dev fonts-ipafont
          ca-certificates qt6-translations-l10n "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
