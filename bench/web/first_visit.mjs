// A first visit to the game's page on milka-site over loopback, in Debian's headless Chromium with
// a fresh profile each time (nothing cached, no compiled module kept):
//  - the bytes it fetches, compressed as they came over the wire (each response's
//    encodedDataLength from the browser's own network events, headers included), fonts aside;
//  - from navigation to the first frame that shows the title (the page's 'milka-title-drawn'
//    mark, taken in the frame that paints the title's labels), over RUNS visits.
//
//   node bench/web/first_visit.mjs [--build build-test] [--web build-web] [--runs 10]
//                                  [--executable CHROMIUM]
//
// Build milka-site (cmake --build build-test --target milka-site) and the page
// (scripts/web-build.sh build-web) first. bench/web/run.sh runs it with the others.
import { launch, temporaryDir } from '../../tests/browser/harness.mjs';
import { figure, load, makersSite, settings, spread } from './common.mjs';

const s = settings();
const served = await makersSite(s);
const game = `${served.base}/play/`;

// A new browser on a profile of its own, showing the page at the tests' window size.
async function visit(watch) {
  const browser = await launch('chromium', temporaryDir('milka-bench-visit-'), s.executable);
  const page = await browser.newPage();
  await page.setViewport({ width: 760, height: 560 });
  const done = watch ? await watch(page) : null;
  await page.goto(game);
  await page.waitForFunction(() => performance.getEntriesByName('milka-title-drawn').length > 0,
    { timeout: 30000 });
  const ms = await page.evaluate(() => performance.getEntriesByName('milka-title-drawn')[0].startTime);
  const fetched = done ? await done() : null;
  await browser.close();
  return { ms, fetched };
}

// Every response the page had, by name, as the network events tell it.
async function networkOf(page) {
  const cdp = await page.createCDPSession();
  await cdp.send('Network.enable');
  const seen = new Map();
  cdp.on('Network.responseReceived', ({ requestId, type, response }) => {
    seen.set(requestId, {
      url: response.url, type, status: response.status,
      encoding: response.headers['content-encoding'] ?? response.headers['Content-Encoding'] ?? '',
    });
  });
  cdp.on('Network.loadingFinished', ({ requestId, encodedDataLength }) => {
    const r = seen.get(requestId);
    if (r) r.bytes = encodedDataLength;
  });
  return async () => {
    // Whatever the page still asks for once the title is up (its icon) has its moment.
    await new Promise((r) => setTimeout(r, 1000));
    return [...seen.values()].filter((r) => r.bytes !== undefined);
  };
}

try {
  console.log(`load before: ${load()}`);
  const first = await visit(networkOf);
  const counted = first.fetched.filter((r) => r.type !== 'Font');
  console.log('\nfirst visit, bytes over the wire:');
  let total = 0;
  for (const r of counted) {
    total += r.bytes;
    const name = new URL(r.url).pathname.replace(/^\/play\//, '') || 'index.html';
    console.log(`  ${String(r.bytes).padStart(8)}  ${(r.encoding || 'identity').padEnd(8)} ${r.status} ${name}`);
  }
  const fonts = first.fetched.length - counted.length;
  console.log(`  ${String(total).padStart(8)}  total, ${counted.length} responses${fonts ? `, ${fonts} fonts aside` : ''}`);
  figure('first visit: bytes fetched (compressed, fonts aside)', `${(total / 1024).toFixed(1)} KB`, '<= 200 KB');

  const times = [];
  for (let i = 0; i < s.runs; i++) times.push((await visit()).ms);
  const t = spread(times);
  console.log(`\nnavigation to the title drawn, cold, ${s.runs} visits: ${times.map((v) => v.toFixed(0)).join(' ')} ms`);
  figure(`cold visit: navigation to title drawn (median of ${s.runs}; min-max)`,
    `${t.median.toFixed(0)} ms (${t.min.toFixed(0)}-${t.max.toFixed(0)})`, '<= 300 ms');
  console.log(`load after: ${load()}`);
} finally {
  await served.close();
}
