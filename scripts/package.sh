#!/usr/bin/env bash
# Builds the Release configuration with warnings as errors, packs it as a Debian package, has
# lintian check it (any error or warning fails), installs that package as a user would (apt-get,
# as root or through sudo), checks what it put on the system and starts the installed game for
# a few seconds on the offscreen platform.
#
# MILKA_TEST_INSTALL=0 unpacks the package into a scratch directory instead of installing it,
# for a machine whose installed software must stay as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
# qt6-wayland here too, so installing the package needs nothing apt has not yet seen.
scripts/deps.sh file dpkg-dev desktop-file-utils appstream qt6-wayland lintian

id=example.milkaria.MilkaDerby
build=build-release
# No browser game's tree of the build machine's: the installed game's site serves none.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DMILKA_WERROR=ON -DMILKA_TESTS=OFF \
      -DMILKA_WEB_BUILD=
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/milka-derby_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/milka-derby_*.deb)
deb="${debs[0]}"
echo "Built $deb"

fail() {
  echo "package check: $*" >&2
  exit 1
}

# What the binary links comes from dpkg-shlibdeps; the fonts and the Wayland plugin are ours.
depends="$(dpkg-deb -f "$deb" Depends)"
for wanted in fonts-ipafont qt6-wayland libqt6sql6-sqlite qt6-translations-l10n libqt6widgets6; do
  [[ ", $depends," == *", $wanted"[\ ,]* ]] || fail "Depends lacks $wanted: $depends"
done

# Debian's own checks of a package: what it holds, where, and how the program was built.
# Informational notes are shown but pass.
lintian --display-info --fail-on error,warning "$deb" || fail "lintian has errors or warnings for $deb"

if [ "${MILKA_TEST_INSTALL:-1}" = 0 ]; then
  root="$(mktemp -d)"
  trap 'rm -rf "$root"' EXIT
  dpkg-deb -x "$deb" "$root"
else
  root=""
  sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  # --reinstall: a package of the same version left by an earlier run is replaced, not kept.
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --reinstall "./$deb"
  # The menu entry starts it by name from a user's PATH (Debian's, which has /usr/games).
  on_path="$(PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games command -v milka-derby)"
  [ "$on_path" = /usr/games/milka-derby ] || fail "milka-derby on a user's PATH is '$on_path'"
fi

share="$root/usr/share"
game="$root/usr/games/milka-derby"
[ -x "$game" ] || fail "no $game"
doc="$share/doc/milka-derby"
[ -f "$doc/copyright" ] || fail "no $doc/copyright"
[ -f "$share/man/man6/milka-derby.6.gz" ] || fail "no manual page milka-derby(6)"
# The changelog's newest entry is the package's own version.
newest="$(zcat "$doc/changelog.gz" | sed -n 1p)"
[[ "$newest" == "milka-derby ($(dpkg-deb -f "$deb" Version)) "* ]] ||
  fail "the changelog's newest entry is not the package's version: $newest"
desktop="$share/applications/$id.desktop"
metainfo="$share/metainfo/$id.metainfo.xml"
[ -f "$desktop" ] || fail "no $desktop"
[ -f "$metainfo" ] || fail "no $metainfo"
desktop-file-validate "$desktop"
appstreamcli validate --no-net "$metainfo"
grep -qx "Icon=$id" "$desktop" || fail "the menu entry does not name the icon $id"
for size in 16 32 48 64 128 256; do
  icon="$share/icons/hicolor/${size}x${size}/apps/$id.png"
  [ -f "$icon" ] || fail "no $icon"
  # A PNG keeps its width and height as 32-bit big-endian numbers at bytes 16 to 23.
  read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$icon")
  width=$(((w1 << 24) | (w2 << 16) | (w3 << 8) | w4))
  height=$(((h1 << 24) | (h2 << 16) | (h3 << 8) | h4))
  [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "$icon is ${width}x$height"
done

# The game runs from here on in a home of this script's own: the career it begins must not be
# one that the runner's next real start of the game continues.
# --version answers without a desktop, with the package's own version.
scripts/test-home.sh run "$game" --version | grep -qF "$(dpkg-deb -f "$deb" Version)" || fail "--version does not name the package's version"

# Still running after five seconds (timeout's 124) means it started and kept going.
log="$(mktemp)"
status=0
QT_QPA_PLATFORM=offscreen scripts/test-home.sh run timeout -k 5 5 "$game" >"$log" 2>&1 ||
  status=$?
if [ "$status" -ne 124 ]; then
  cat "$log" >&2
  fail "the installed game stopped with status $status within five seconds"
fi
rm -f "$log"
echo "Package checked: $deb"
