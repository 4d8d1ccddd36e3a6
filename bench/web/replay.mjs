// A whole career's journal replayed in the page against natively: the careful player's career
// under seed 20261209 (journal_trace --play writes it, as the module's test of the same careers
// does), traced event by event (read, replayed, the game's fingerprint after every event) by the
// module in Debian's headless Chromium (milka_trace, timed with performance.now in the page) and
// by the native journal_trace; and, in the page only, replayed to its last event and shown
// (milka_show_at, as the page does to show a moment of a journal). Each RUNS times; medians. The
// page's figure is the time the call took; beside it the processor time the browser's processes
// spent meanwhile, and for journal_trace the processor time of the process (its start taken
// away: one trace against RUNS + 1 traces of the same file in one process).
//
//   node bench/web/replay.mjs [--build build-test] [--web build-web] [--runs 10]
//                             [--executable CHROMIUM]
//
// Build milka-site and journal_trace (cmake --build build-test --target milka-site
// journal_trace) and the page (scripts/web-build.sh build-web) first.
import { execFileSync } from 'node:child_process';
import { existsSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { launch, openGame, temporaryDir } from '../../tests/browser/harness.mjs';
import { figure, load, makersSite, median, settings, treeCpuMs } from './common.mjs';

const s = settings();
const trace = join(s.build, 'tests/journal_trace');
if (!existsSync(trace)) {
  console.error(`no ${trace}: cmake --build ${s.build} --target journal_trace`);
  process.exit(2);
}
const dir = temporaryDir('milka-bench-replay-');
const journal = join(dir, 'careful-career.mdj');
const line = execFileSync(trace, ['--play', '20261209', journal]).toString().trim();
const [events] = line.split(' ');
const bytes = readFileSync(journal);
console.log(`load before: ${load()}`);
console.log(`the career: ${bytes.length} bytes, ${events} events; trace ${line}`);

// journal_trace over the same file `copies` times in one process: its wall and processor time,
// in ms. The shell's `times` gives the processor time of the children it waited for.
function native(copies) {
  const started = performance.now();
  const said = execFileSync('sh', ['-c', '"$0" "$@" >/dev/null; times', trace, ...Array(copies).fill(journal)])
    .toString().trim().split('\n');
  const wall = performance.now() - started;
  const seconds = said[1].split(' ').map((t) => {
    const [, m, sec] = t.match(/(\d+)m([\d.]+)s/);
    return Number(m) * 60 + Number(sec);
  });
  return { wall, cpu: (seconds[0] + seconds[1]) * 1000 };
}

const served = await makersSite(s);
const browser = await launch('chromium', temporaryDir('milka-bench-replay-profile-'), s.executable);
try {
  const page = await openGame(browser, `${served.base}/play/`);
  await page.evaluate((text) => {
    const raw = atob(text);
    const m = milkaPage.module;
    const at = m._malloc(raw.length);
    for (let i = 0; i < raw.length; i++) m.HEAPU8[at + i] = raw.charCodeAt(i);
    globalThis.benchJournal = { at, length: raw.length };
  }, bytes.toString('base64'));
  // One call in the page: its line (for the trace) and the ms it took.
  const inPage = (what) => page.evaluate((kind, count) => {
    const m = milkaPage.module;
    const { at, length } = globalThis.benchJournal;
    const started = performance.now();
    const said = kind === 'trace' ? m.UTF8ToString(m._milka_trace(at, length))
      : String(m._milka_show_at(at, length, count));
    return { ms: performance.now() - started, said };
  }, what, Number(events));
  const pid = browser.process().pid;
  const rows = { trace: [], traceCpu: [], show: [], showCpu: [], native: [], nativeCpu: [] };
  const single = [], many = [];
  for (let i = 0; i < s.runs; i++) {
    for (const kind of ['trace', 'show']) {
      const before = treeCpuMs(pid);
      const { ms, said } = await inPage(kind);
      rows[`${kind}Cpu`].push(treeCpuMs(pid) - before);
      rows[kind].push(ms);
      const wanted = kind === 'trace' ? line : '1';
      if (said !== wanted) throw new Error(`the page's ${kind} said ${said}, not ${wanted}`);
    }
    single.push(native(1));
    many.push(native(s.runs + 1));
  }
  const perTrace = (key) => (median(many.map((r) => r[key])) - median(single.map((r) => r[key]))) / s.runs;
  const ms = (v) => `${v.toFixed(0)} ms`;
  const nativeWall = perTrace('wall'), nativeCpu = perTrace('cpu');
  console.log(`page trace: ${rows.trace.map((v) => v.toFixed(0)).join(' ')} ms`);
  console.log(`page show at the end: ${rows.show.map((v) => v.toFixed(0)).join(' ')} ms`);
  console.log(`native, one trace: ${single.map((r) => r.wall.toFixed(0)).join(' ')} ms wall`);
  console.log(`native, ${s.runs + 1} traces: ${many.map((r) => r.wall.toFixed(0)).join(' ')} ms wall`);
  const pageTrace = median(rows.trace);
  figure(`whole career (${events} events) traced in the page, median of ${s.runs}`,
    `${ms(pageTrace)} (browser CPU ${ms(median(rows.traceCpu))})`);
  figure('whole career traced natively (journal_trace)', `${ms(nativeWall)} (CPU ${ms(nativeCpu)})`);
  const cpuRatio = median(rows.traceCpu) / nativeCpu;
  figure('page / native, trace', `${(pageTrace / nativeWall).toFixed(2)}x (CPU ${cpuRatio.toFixed(2)}x)`);
  figure('whole career replayed and shown in the page (milka_show_at)',
    `${ms(median(rows.show))} (browser CPU ${ms(median(rows.showCpu))})`);
  console.log(`load after: ${load()}`);
} finally {
  await browser.close();
  await served.close();
}
