#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DMILKA_TESTS=OFF
cmake --build build -j"$(nproc)" --target milka-derby
exec build/milka-derby
