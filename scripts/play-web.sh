#!/usr/bin/env bash
# Builds the browser game and starts the maker's site with it on this machine, then prints the
# address to open in any browser. The site keeps its database where milka-site keeps it
# (~/.local/share/milka-site/); Ctrl+C stops it.
#   scripts/play-web.sh [PORT]      (8080 unless given)
set -euo pipefail
cd "$(dirname "$0")/.."
port="${1:-8080}"
scripts/deps.sh emscripten
scripts/web-build.sh build-web
cmake -S . -B build-play -DCMAKE_BUILD_TYPE=Release -DMILKA_TESTS=OFF
cmake --build build-play -j"$(nproc)" --target milka-site
echo
echo "ミルカダービー in the browser: http://127.0.0.1:$port/play/   (Ctrl+C stops the site)"
echo
exec build-play/src/site/milka-site --listen "127.0.0.1:$port" --play "$PWD/build-web/play"
