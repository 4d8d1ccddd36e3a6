// What the page's benchmarks share: where the built site, page and tools are, the browser's
// processor time read from /proc, medians, and the one line per figure that run.sh gathers into
// its table. The site, the browsers and the game's page come from the page's tests' own harness.
import { execFileSync } from 'node:child_process';
import { existsSync, readFileSync, readdirSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { options, site } from '../../tests/browser/harness.mjs';

// Every browser's profile is removed when the process ends, each by a listener of its own.
process.setMaxListeners(0);

export const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');

// --build DIR (the native build: milka-site, journal_trace), --web DIR (the module's build, its
// page in play/), --executable CHROMIUM, --runs N, --seconds S: each with a default.
export function settings(defaults = {}) {
  const o = { build: 'build-test', web: 'build-web', ...defaults, ...options() };
  const build = resolve(o.build), web = resolve(o.web);
  const wanted = { siteProgram: join(build, 'src/site/milka-site'), play: join(web, 'play') };
  for (const [what, path] of Object.entries(wanted)) {
    if (!existsSync(path)) {
      console.error(`no ${path} (${what}): build milka-site, and the page with scripts/web-build.sh`);
      process.exit(2);
    }
  }
  return { ...o, build, web, ...wanted, runs: Number(o.runs ?? 10), seconds: Number(o.seconds ?? 20) };
}

// milka-site on 127.0.0.1 serving the assembled page, as a host runs it.
export const makersSite = (s) => site({ program: s.siteProgram, play: s.play });

// --- Processor time ------------------------------------------------------------------------------

const TICKS = Number(execFileSync('getconf', ['CLK_TCK']).toString().trim()) || 100;

// Every process's parent and processor time (its own, and its waited-for children's, so a
// renderer that ended inside the window still counts), in ms.
function processes() {
  const all = new Map();
  for (const name of readdirSync('/proc')) {
    if (!/^\d+$/.test(name)) continue;
    let stat;
    try {
      stat = readFileSync(`/proc/${name}/stat`, 'utf8');
    } catch {
      continue;  // ended while the list was read
    }
    const f = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
    const ticks = Number(f[11]) + Number(f[12]) + Number(f[13]) + Number(f[14]);
    all.set(Number(name), { parent: Number(f[1]), ms: (ticks * 1000) / TICKS });
  }
  return all;
}

// Chromium's name for what a process of its tree does: browser, renderer, gpu-process, utility.
function kindOf(pid) {
  try {
    const line = readFileSync(`/proc/${pid}/cmdline`, 'utf8');
    return line.match(/--type=([a-z-]+)/)?.[1] ?? 'browser';
  } catch {
    return 'gone';
  }
}

// The processor time of pid and all its descendants so far, in ms, in all and by kind of process.
export function treeCpu(pid) {
  const all = processes();
  const inTree = (p) => {
    for (let at = p, hops = 0; at > 1 && hops < 64; at = all.get(at)?.parent ?? 0, hops++) {
      if (at === pid) return true;
    }
    return false;
  };
  const byKind = {};
  let ms = 0;
  for (const [p, { ms: own }] of all) {
    if (!inTree(p)) continue;
    ms += own;
    const kind = kindOf(p);
    byKind[kind] = (byKind[kind] ?? 0) + own;
  }
  return { ms, byKind };
}

export const treeCpuMs = (pid) => treeCpu(pid).ms;

// What each kind of process spent between two readings of treeCpu, as a line.
export function spentByKind(before, after) {
  return Object.entries(after.byKind).map(([kind, ms]) => `${kind} ${Math.round(ms - (before.byKind[kind] ?? 0))}`)
    .join(', ');
}

export const load = () => readFileSync('/proc/loadavg', 'utf8').split(' ').slice(0, 3).join(' ');

// --- Figures -----------------------------------------------------------------------------------

export function median(values) {
  const v = [...values].sort((a, b) => a - b);
  return v.length % 2 ? v[(v.length - 1) / 2] : (v[v.length / 2 - 1] + v[v.length / 2]) / 2;
}

export const spread = (values) => ({ median: median(values), min: Math.min(...values), max: Math.max(...values) });

// One row of run.sh's table: what was measured, its figure, and the aim it is held against.
export function figure(what, value, aim = '') {
  console.log(`FIGURE\t${what}\t${value}\t${aim}`);
}

export const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
