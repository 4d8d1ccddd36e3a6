#!/usr/bin/env bash
# Builds the browser's module (the core, the journal and the midend in WebAssembly) with Debian's
# emscripten into the directory given (build-web unless named), then assembles the page in its
# play/: index.html, and every other file under a name that holds its content's hash
# (NAME.HASH.EXT), so a site may keep them in caches for ever; each beside a gzip twin. The
# service worker (sw.js) keeps its name, and is told this version and its files.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh emscripten
out="${1:-build-web}"
# Debian's emscripten finds its JavaScript tools among Debian's node modules, whichever node runs.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"
emcmake cmake -S src/web -B "$out" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out" -j"$(nproc)"

# Dependencies first: a file's hash covers the hashed names of the files it refers to.
# The icons (icon-SIZE.png) are drawn here, from the module's own art.
order=(icon.svg icon-192.png icon-512.png manifest.webmanifest milka.wasm milka.js keys.js draw.js net.js reader.js store.js view.js sound-worklet.js sound.js touch.js main.js style.css)
for file in web/*; do
  name="$(basename "$file")"
  case "$name" in index.html | sw.js) continue ;; esac
  if [[ " ${order[*]} " != *" $name "* ]]; then
    echo "web-build.sh: web/$name is not in the page's file order" >&2
    exit 1
  fi
done

play="$out/play"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$out/milka.wasm" "$out/milka.js" web/* "$work/"
node scripts/web-icons.mjs "$(realpath "$out/milka.js")" "$work" 192 512
rm -rf "$play"
mkdir -p "$play"
renames=()
rename_in() {
  local target="$1" r
  for r in "${renames[@]}"; do sed -i -E "$r" "$target"; done
}
for name in "${order[@]}"; do
  # The module's own files stay exactly as emscripten made them; the page tells it where its
  # wasm is.
  case "$name" in milka.*) ;; *) rename_in "$work/$name" ;; esac
  hash="$(sha256sum "$work/$name" | cut -c1-12)"
  hashed="${name%.*}.$hash.${name##*.}"
  mv "$work/$name" "$play/$hashed"
  # A reference is the name in quotes, with or without ./ before it.
  renames+=("s#([\"'])(\\./)?${name//./\\.}([\"'])#\\1\\2${hashed}\\3#g")
done
rename_in "$work/index.html"
mv "$work/index.html" "$play/index.html"
# The worker's version is the index's and its files': any change to the page makes a new worker.
hashed_files=()
for name in "$play"/*; do
  [ "$(basename "$name")" = index.html ] || hashed_files+=("$(basename "$name")")
done
version="$( (cat "$play/index.html"; printf '%s\n' "${hashed_files[@]}") | sha256sum | cut -c1-12)"
listed="$(printf "'%s', " "${hashed_files[@]}")"
sed -e "s/^const VERSION = 'unbuilt';$/const VERSION = '$version';/" \
    -e "s/^const FILES = \[\];$/const FILES = [${listed%, }];/" "$work/sw.js" > "$play/sw.js"
grep -q "^const VERSION = '$version';" "$play/sw.js" || { echo "web-build.sh: sw.js takes no version" >&2; exit 1; }
for file in "$play"/*; do
  case "$file" in
    *.js | *.wasm | *.css | *.html | *.svg | *.json | *.webmanifest) gzip -9 -n -k -f "$file" ;;
  esac
done
echo "The page: $play"
