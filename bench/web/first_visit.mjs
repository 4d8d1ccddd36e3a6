// A first visit to the game's page on milka-site over loopback, in Debian's headless Chromium with
// a fresh profile each time (nothing cached, no compiled module kept):
//  - the bytes it fetches, compressed as they came over the wire (each response's
//    encodedDataLength from the browser's own network events, headers included), fonts aside;
//  - from navigation to the first frame that shows the title (the page's 'milka-title-drawn'
//    mark, taken in the frame that paints the title's labels), over RUNS visits, with the
//    medians of the steps on the way (the files fetched, the module instantiated).
//
//   node bench/web/first_visit.mjs [--build build-test] [--web build-web] [--runs 10]
//                                  [--executable CHROMIUM]
//
// Build milka-site (cmake --build build-test --target milka-site) and the page
// (scripts/web-build.sh build-web) first. bench/web/run.sh runs it with the others.
import { launch, temporaryDir } from '../../tests/browser/harness.mjs';
import { figure, load, makersSite, median, settings, spread } from './common.mjs';

const s = settings();
const served = await makersSite(s);
const game = `${served.base}/play/`;

// A new browser on a profile of its own, showing the page at the tests' window size.
async function visit(watch) {
  const browser = await launch('chromium', temporaryDir('milka-bench-visit-'), s.executable);
  const page = await browser.newPage();
  await page.setViewport({ width: 760, height: 560 });
  const done = watch ? await watch(page) : null;
  // When the module has been compiled and instantiated, for the steps on the way to the title.
  await page.evaluateOnNewDocument(() => {
    const instantiate = WebAssembly.instantiateStreaming;
    WebAssembly.instantiateStreaming = function marked(...args) {
      const made = instantiate.apply(this, args);
      made.then(() => performance.mark('bench-module-instantiated'), () => {});
      return made;
    };
  });
  await page.goto(game);
  await page.waitForFunction(() => performance.getEntriesByName('milka-title-drawn').length > 0,
    { timeout: 30000 });
  const steps = await page.evaluate(() => {
    const at = (name) => performance.getEntriesByName(name)[0]?.startTime ?? NaN;
    const fetched = (pattern) => performance.getEntriesByType('resource')
      .find((e) => pattern.test(e.name))?.responseEnd ?? NaN;
    return {
      'page fetched': performance.getEntriesByType('navigation')[0].responseEnd,
      'main.js fetched': fetched(/\/main\.[0-9a-f]+\.js$/),
      'milka.js fetched': fetched(/\/milka\.[0-9a-f]+\.js$/),
      'milka.wasm fetched': fetched(/\/milka\.[0-9a-f]+\.wasm$/),
      'module instantiated': at('bench-module-instantiated'),
      'title drawn': at('milka-title-drawn'),
    };
  });
  const fetched = done ? await done() : null;
  await browser.close();
  return { ms: steps['title drawn'], steps, fetched };
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
    const encoding = (r.encoding || 'identity').padEnd(8);
    console.log(`  ${String(r.bytes).padStart(8)}  ${encoding} ${r.status} ${name}`);
  }
  const fonts = first.fetched.length - counted.length;
  const aside = fonts ? `, ${fonts} fonts aside` : '';
  console.log(`  ${String(total).padStart(8)}  total, ${counted.length} responses${aside}`);
  figure('first visit: bytes fetched (compressed, fonts aside)', `${(total / 1024).toFixed(1)} KB`, '<= 200 KB');

  const visits = [];
  for (let i = 0; i < s.runs; i++) visits.push(await visit());
  const times = visits.map((v) => v.ms);
  const t = spread(times);
  console.log(`\nnavigation to the title drawn, cold, ${s.runs} visits: ${times.map(Math.round).join(' ')} ms`);
  console.log('on the way, medians from navigation:');
  for (const step of Object.keys(visits[0].steps)) {
    console.log(`  ${median(visits.map((v) => v.steps[step])).toFixed(0).padStart(6)} ms  ${step}`);
  }
  figure(`cold visit: navigation to title drawn (median of ${s.runs}; min-max)`,
    `${t.median.toFixed(0)} ms (${t.min.toFixed(0)}-${t.max.toFixed(0)})`, '<= 300 ms');
  console.log(`load after: ${load()}`);
} finally {
  await served.close();
}
