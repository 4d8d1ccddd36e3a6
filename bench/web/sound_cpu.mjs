// What the page's sound costs: the CPU time of all of headless Chromium's processes over the
// same stretch of a race, whipped as a player whips, with the sound playing against the same
// page never started (muted from the first visit, so it makes no audio graph), against that page
// beside the least a sounding page costs (an audio context playing a silent source), and against
// a page muted during the race (its audio context asleep). Also how often the output ran short and how
// far ahead it ended up being fed (a whip's delay beyond the device's own).
//
//   scripts/web-build.sh build-web
//   tests/audio/with_sound_server.sh node bench/web/sound_cpu.mjs --play build-web/play \
//       [--seconds 20] [--runs 3] [--executable chromium]
//
// Under with_sound_server.sh the browser plays into a sound server of its own (a null sink), as
// on a desktop; without it Chromium plays into nothing, which costs a little less. Each run is a
// fresh browser and profile; the modes alternate, and the medians are printed.
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import {
  caption, keyFor, launch, options, playToTheRace, site, temporaryDir,
} from '../../tests/browser/harness.mjs';

const o = options();
const seconds = Number(o.seconds ?? 20);
const runs = Number(o.runs ?? 3);
const TICK = 100;  // clock ticks a second, as /proc counts them on Linux
const modes = ['none', 'floor', 'sound', 'muted'];
const said = {
  none: 'muted from the start (no audio graph)', floor: "Web Audio's floor (a silent source)",
  sound: 'sound playing', muted: 'muted mid-race',
};

// Every process's parent and CPU time (user + system, in ticks).
function processes() {
  const all = new Map();
  for (const name of readdirSync('/proc')) {
    if (!/^\d+$/.test(name)) continue;
    try {
      const stat = readFileSync(`/proc/${name}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      all.set(Number(name), { parent: Number(fields[1]), ticks: Number(fields[11]) + Number(fields[12]) });
    } catch {
      // Gone meanwhile.
    }
  }
  return all;
}

// The CPU ticks of a process and all it started.
function treeTicks(root) {
  const all = processes();
  const ticks = new Map();
  const inTree = (pid) => {
    for (let p = pid, hops = 0; p > 1 && hops < 64; p = all.get(p)?.parent ?? 0, hops++) if (p === root) return true;
    return false;
  };
  for (const [pid, p] of all) if (inTree(pid)) ticks.set(pid, p.ticks);
  return ticks;
}

// Which of Chromium's processes it is: the browser, the page's renderer, the audio service…
function kindOf(pid) {
  try {
    const line = readFileSync(`/proc/${pid}/cmdline`, 'utf8');
    const sub = line.match(/--utility-sub-type=([\w.]+)/)?.[1];
    if (sub) return sub.replace(/\.mojom\./, ' ').split(' ')[0];
    return line.match(/--type=([\w-]+)/)?.[1] ?? 'browser';
  } catch {
    return 'gone';
  }
}

// Seconds of CPU between two looks, in all and by kind of process.
function spent(before, after) {
  let total = 0;
  const by = {};
  for (const [pid, ticks] of after) {
    const used = (ticks - (before.get(pid) ?? 0)) / TICK;
    total += used;
    const kind = kindOf(pid);
    by[kind] = (by[kind] ?? 0) + used;
  }
  return { total, by };
}

const profiles = temporaryDir('milka-bench-');
let runsMade = 0;

async function run(mode, served) {
  const browser = await launch('chromium', join(profiles, String(++runsMade)), o.executable);
  try {
    const page = await browser.newPage();
    if (mode === 'none' || mode === 'floor') {
      await page.evaluateOnNewDocument(() => localStorage.setItem('milka.muted', '1'));
    }
    // The least any page playing sound costs: a context at the game's rate, a silent source
    // playing into it, started by a key as browsers require.
    if (mode === 'floor') {
      await page.evaluateOnNewDocument(() => document.addEventListener('keydown', () => {
        if (globalThis.floor) return;
        globalThis.floor = new AudioContext({ sampleRate: 48000, latencyHint: 'interactive' });
        const source = floor.createConstantSource();
        source.offset.value = 0;
        source.connect(floor.destination);
        source.start();
      }, true));
    }
    await page.setViewport({ width: 760, height: 560 });
    await page.goto(`${served.base}/play/`);
    await page.waitForFunction(() => globalThis.milkaPage !== undefined, { timeout: 20000 });
    await playToTheRace(page);
    if (mode === 'muted') await page.keyboard.press('F6');
    // Past the gates, so that the stretch measured is the race itself.
    await new Promise((r) => setTimeout(r, 3000));
    const state = await page.evaluate(() => (globalThis.floor ?? milkaPage.sound.context)?.state ?? 'none');
    const pid = browser.process().pid;
    const before = treeTicks(pid);
    const end = Date.now() + seconds * 1000;
    while (Date.now() < end) {
      const key = keyFor(await caption(page, 12));
      if (key && await caption(page, 11) !== await caption(page, 12)) await page.keyboard.press(key);
      await new Promise((r) => setTimeout(r, 60));
    }
    const { total: cpu, by } = spent(before, treeTicks(pid));
    // A whip is heard after what is fed ahead and what the browser queues beyond it.
    const { starved, aheadMs, queuedMs } = await page.evaluate(() => {
      const { starved, aheadMs, context } = milkaPage.sound;
      return { starved, aheadMs, queuedMs: context ? (context.baseLatency + (context.outputLatency || 0)) * 1000 : 0 };
    });
    return { cpu: cpu / seconds, state, starved, aheadMs, queuedMs, by };
  } finally {
    await browser.close();
  }
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const served = await site({ play: o.play });
const results = Object.fromEntries(modes.map((m) => [m, []]));
try {
  for (let i = 0; i < runs; i++) {
    for (const mode of modes) {
      const r = await run(mode, served);
      results[mode].push(r);
      console.log(`run ${i + 1} ${mode}: ${(r.cpu * 100).toFixed(1)}% of a core (audio context: ${r.state}` +
        `${mode === 'sound' ? `, ran short ${r.starved}×, fed ${r.aheadMs} ms ahead, browser's queue ${r.queuedMs.toFixed(0)} ms` : ''}); ` +
        Object.entries(r.by).filter(([, t]) => t > 0).map(([k, t]) => `${k} ${(t / seconds * 100).toFixed(1)}%`).join(', '));
    }
  }
} finally {
  await served.close();
}
const none = median(results.none.map((r) => r.cpu));
console.log(`\nCPU of Chromium's processes over ${seconds} s of a race, median of ${runs}:`);
for (const mode of modes) {
  const cpu = median(results[mode].map((r) => r.cpu));
  console.log(`  ${said[mode].padEnd(40)} ${(cpu * 100).toFixed(1).padStart(6)}% of a core  ${(cpu / none).toFixed(2)}×`);
}
const sound = results.sound;
console.log(`  sound: ran short ${median(sound.map((r) => r.starved))}× per run (median), fed ${median(sound.map((r) => r.aheadMs))} ms ahead at the end, ` +
  `the browser's own queue ${median(sound.map((r) => r.queuedMs)).toFixed(0)} ms beyond`);
