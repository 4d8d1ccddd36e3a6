// How soon the title is drawn when the page comes from its service worker's cache, offline: the
// way a player opens the installed game with no network. One visit on the maker's site (milka-site,
// started here on 127.0.0.1) lets the worker keep the page; the site is then stopped and the page
// set offline, and each run opens a new tab of the game, its memory cache off, and times from the
// navigation's start to the first frame painted after the title screen is in the model. Headless
// Chromium; prints every run and their median.
//
//   cmake --build build-test --target milka-site && scripts/web-build.sh build-web
//   node bench/web/offline_title.mjs --play build-web/play --site-program build-test/src/site/milka-site \
//        [--executable CHROMIUM] [--runs 15]
// (puppeteer-core from tests/browser/node_modules: `npm ci` there first.)
import { resolve } from 'node:path';
import { launch, makersSite, options, temporaryDir } from '../../tests/browser/harness.mjs';

const o = options();
const runs = Number(o.runs ?? 15);
const served = await makersSite(resolve(o['site-program']), resolve(o.play));
const game = `${served.base}/play/`;
const browser = await launch('chromium', temporaryDir('milka-offline-bench-'), o.executable);

// In the page from its first moment: the time of the first frame after the title is in the model.
function watchForTheTitle() {
  const look = () => {
    const page = globalThis.milkaPage;
    if (page && page.module._milka_screen() === 1 && page.form.labels.length > 0) {
      requestAnimationFrame(() => { globalThis.titleDrawnAt = performance.now(); });
      return;
    }
    requestAnimationFrame(look);
  };
  requestAnimationFrame(look);
}

async function timeOne() {
  const page = await browser.newPage();
  await page.setCacheEnabled(false);
  const cdp = await page.createCDPSession();
  await cdp.send('Network.emulateNetworkConditions',
    { offline: true, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });
  await page.evaluateOnNewDocument(watchForTheTitle);
  await page.goto(game);
  await page.waitForFunction(() => globalThis.titleDrawnAt !== undefined, { timeout: 20000 });
  const { ms, controlled } = await page.evaluate(() => ({
    ms: globalThis.titleDrawnAt, controlled: navigator.serviceWorker.controller !== null,
  }));
  // One tab of the game at a time: a second waits for the first to let go of the career.
  await page.close();
  if (!controlled) throw new Error('the page did not come from its worker');
  return ms;
}

try {
  const first = await browser.newPage();
  await first.goto(game);
  await first.waitForFunction(() => globalThis.milkaPage !== undefined, { timeout: 20000 });
  await first.evaluate(() => navigator.serviceWorker.ready);
  await first.close();
  await served.close();

  const times = [];
  for (let i = 0; i < runs; i++) {
    const ms = await timeOne();
    times.push(ms);
    console.log(`run ${i + 1}: ${ms.toFixed(1)} ms`);
  }
  times.sort((a, b) => a - b);
  const median = times.length % 2 ? times[(times.length - 1) / 2]
    : (times[times.length / 2 - 1] + times[times.length / 2]) / 2;
  console.log(`title drawn from the worker's cache, offline: median ${median.toFixed(1)} ms ` +
    `(min ${times[0].toFixed(1)}, max ${times[times.length - 1].toFixed(1)}, ${runs} runs)`);
} finally {
  await browser.close();
  await served.close();
}
