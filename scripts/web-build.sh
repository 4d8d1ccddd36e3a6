#!/usr/bin/env bash
# Builds the browser's module (the core, the journal and the midend in WebAssembly) with Debian's
# emscripten into the directory given (build-web unless named).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh emscripten
out="${1:-build-web}"
# Debian's emscripten finds its JavaScript tools among Debian's node modules, whichever node runs.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"
emcmake cmake -S src/web -B "$out" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out" -j"$(nproc)"
