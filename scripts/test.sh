#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs every test;
# builds the Release configuration, packs it, has lintian check the Debian package (any error or
# warning fails), installs and starts it; then builds and runs every test again under
# AddressSanitizer and UndefinedBehaviorSanitizer; last, the journal's reader has a minute under
# libFuzzer. Every test keeps to a home of its own; last of all, the runner's home is checked to
# hold nothing of the game's that it did not hold before.
set -euo pipefail
cd "$(dirname "$0")/.."
runners_home_before="$(scripts/test-home.sh list)"
# chromium is the real browser the site's pages are loaded in; libFuzzer comes with clang; the
# hosted site's tests run on a real PostgreSQL server behind a real nginx; emscripten builds the
# browser's module.
scripts/deps.sh chromium clang libclang-rt-14-dev postgresql-15 nginx emscripten
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen

# The servers live in a temporary directory for this run only, stopped however it ends.
servers="$(mktemp -d)"
trap 'scripts/test-servers.sh stop "$servers"' EXIT
eval "$(scripts/test-servers.sh start "$servers")"

# The browser's module first: the native suite holds it against the native build. The page's
# tests drive Debian's browsers through puppeteer-core, which downloads no browser.
scripts/web-build.sh build-web
scripts/deps.sh firefox-esr nodejs
# Debian's nodejs comes without npm; a node that brings its own npm needs no other.
command -v npm >/dev/null || scripts/deps.sh npm
(cd tests/browser && npm ci --no-audit --no-fund)

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMILKA_WERROR=ON -DMILKA_TESTS=ON \
      -DMILKA_WEB_BUILD="$PWD/build-web"
cmake --build build-test -j"$jobs"
ctest --test-dir build-test --output-on-failure -j"$jobs"

scripts/package.sh

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DMILKA_WERROR=ON -DMILKA_TESTS=ON \
      -DMILKA_SANITIZE=ON
cmake --build build-sanitize -j"$jobs"
# Leak checking for the core; Qt and fontconfig keep process-lifetime caches that the leak
# checker cannot tell from leaks, so the Qt suites run with it off.
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ASAN_OPTIONS=detect_leaks=1 build-sanitize/tests/core_tests --gtest_brief=1
ASAN_OPTIONS=detect_leaks=1 build-sanitize/tests/journal_tests --gtest_brief=1
ASAN_OPTIONS=detect_leaks=1 build-sanitize/tests/soak_tests --gtest_brief=1
# The soak: random events through whole careers, every invariant checked after every event.
ASAN_OPTIONS=detect_leaks=1 build-sanitize/tests/soak --events 200000 --seed 1 --frozen-every 2 \
  --trace-out build-sanitize/soak-failure.mdj
ASAN_OPTIONS=detect_leaks=0 build-sanitize/tests/qt_tests --gtest_brief=1
ASAN_OPTIONS=detect_leaks=0 build-sanitize/tests/site/site_tests --gtest_brief=1
# The sound's own thread beside the window's, through a real sound server.
ASAN_OPTIONS=detect_leaks=0 tests/audio/with_sound_server.sh build-sanitize/tests/audio/audio_tests \
  --gtest_brief=1

# Any bytes read as a journal and replayed, starting from the kept journals; only the fuzz target
# and what it needs are built.
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DMILKA_WERROR=ON -DMILKA_TESTS=ON -DMILKA_FUZZ=ON -DMILKA_SANITIZE=ON
cmake --build build-fuzz -j"$jobs" --target journal_fuzz
rm -rf build-fuzz/journal-corpus && mkdir build-fuzz/journal-corpus
cp tests/soak/traces/*.mdj build-fuzz/journal-corpus/
build-fuzz/tests/journal_fuzz -max_total_time=60 -max_len=8192 -print_final_stats=1 \
  -artifact_prefix=build-fuzz/ build-fuzz/journal-corpus

# A player may run the tests on their own machine: their careers, their site and their settings
# stay exactly as they were, and no new ones appear.
runners_home_after="$(scripts/test-home.sh list)"
if [ "$runners_home_after" != "$runners_home_before" ]; then
  echo "The tests changed what the game keeps in $HOME:" >&2
  diff <(printf '%s\n' "$runners_home_before") <(printf '%s\n' "$runners_home_after") >&2 || true
  exit 1
fi
echo "All tests passed, sanitizers, the sound server and the journal's fuzzing included; the"
echo "runner's home holds nothing new of the game's."
