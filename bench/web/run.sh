#!/bin/sh
# The browser game's benchmarks, one after another, and a table of their figures at the end: a
# first visit's bytes and time to the title drawn (first_visit.mjs), the processor time of the
# title and a race against a plain canvas page (page_cpu.mjs), and a whole career replayed in the
# page against natively (replay.mjs). Headless Chromium against milka-site on 127.0.0.1.
#
#   bench/web/run.sh [BUILD_DIR [WEB_DIR]]
#
# BUILD_DIR (build-test) holds milka-site and journal_trace, WEB_DIR (build-web) the page built by
# scripts/web-build.sh. Every other argument after them goes to each script (--runs N, …). The
# machine's load is printed before and after: figures taken beside other work are worth less.
set -eu
cd "$(dirname "$0")/../.."
build=${1:-build-test}
web=${2:-build-web}
[ $# -gt 0 ] && shift
[ $# -gt 0 ] && shift
log=$(mktemp)
trap 'rm -f "$log"' EXIT
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
for script in first_visit page_cpu replay; do
  echo "== $script"
  node "bench/web/$script.mjs" --build "$build" --web "$web" "$@" | grep -v '^ok: ' | tee -a "$log"
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
grep '^FIGURE' "$log" | awk -F '\t' '
  { rows[NR] = $0; if (length($2) > w) w = length($2) }
  END {
    printf "%-" w "s  %s\n", "measure", "figure (aim)"
    for (i = 1; i <= NR; i++) {
      split(rows[i], f, "\t")
      printf "%-" w "s  %s%s\n", f[2], f[3], f[4] == "" ? "" : "  (aim " f[4] ")"
    }
  }'
