// After one visit the game needs no network: Chromium finds the page installable (its manifest,
// icons and service worker in order); then, with the maker's site stopped and the page offline,
// the page comes back from its worker, begins a new career (told at once that the site is out of
// reach, so the horse will stand unverified), plays a race to its results board, keeps the
// journal as it goes, and after another reload still offline goes on with that same career. A new
// version of the game on the site then reaches the page at its next visit, its worker takes over
// once the old version's tab is closed and drops the old files, and the career goes on under it,
// offline again. The site's own answers (seeds, tokens, its pages) are never kept.
//   node offline.test.mjs --play DIR --site-program MILKA_SITE [--executable CHROMIUM]
import { cpSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import {
  check, entryWords, keptJournal, launch, makersSite, openGame, options, passingNote, playToTheRace, raceToTheBoard,
  scenario, screen, screenOf, seeded, site, temporaryDir, until,
} from './harness.mjs';

const o = options();
// The site is stopped halfway, so it is always this test's own.
const served = await site({ play: o.play, program: o['site-program'] });
const game = `${served.base}/play/`;
let next = { close: async () => {} };
const browser = await launch('chromium', temporaryDir('milka-offline-'), o.executable);
// What a page offline may say in its console: the requests that found no site.
const unreached = (text) => /ERR_CONNECTION_REFUSED|ERR_INTERNET_DISCONNECTED/.test(text);

await scenario(async () => {
  let page = await openGame(browser, game);
  check(await until(() => seeded(page)), 'the first visit\'s career takes the site\'s seed');
  await page.evaluate(() => navigator.serviceWorker.ready);
  const cdp = await page.createCDPSession();
  const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
  check(installabilityErrors.length === 0,
    `Chromium finds the page installable (${JSON.stringify(installabilityErrors)})`);
  const { errors: manifestErrors, data } = await cdp.send('Page.getAppManifest');
  const manifest = JSON.parse(data);
  check(manifestErrors.length === 0 && manifest.name === 'ミルカダービー' && manifest.display === 'standalone' &&
    manifest.orientation === 'landscape', 'its manifest names the game, standalone and landscape');
  const icons = await page.evaluate(async (list) => Promise.all(list.map(async (icon) => {
    const image = new Image();
    image.src = icon.src;
    await image.decode();
    return `${image.naturalWidth}x${image.naturalHeight}` === icon.sizes;
  })), manifest.icons.map((icon) => ({ src: new URL(icon.src, `${game}x`).href, sizes: icon.sizes })));
  check(icons.length === 2 && icons.every(Boolean), 'its two icons are pictures of the sizes it says');

  await served.close();
  check(await fetch(game).then(() => false, () => true), 'the site is stopped: nothing answers');
  await cdp.send('Network.emulateNetworkConditions',
    { offline: true, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });

  await page.reload();
  await page.waitForFunction(() => globalThis.milkaPage !== undefined, { timeout: 20000 });
  check(await page.evaluate(() => navigator.serviceWorker.controller !== null), 'the page came from its worker');
  check(await until(async () => await passingNote(page) === entryWords.offlineSeed),
    'a new career is told at once that the site is out of reach');
  check(!await seeded(page), 'and plays on unseeded');
  await playToTheRace(page);
  await raceToTheBoard(page);
  check(await screenOf(page) === screen.results, 'a race is run to its results board offline');
  const played = await keptJournal(page);
  check(played.stored.length > 0 && played.trace === played.liveTrace, 'the journal is kept as the career goes');

  await page.reload();
  await page.waitForFunction(() => globalThis.milkaPage !== undefined, { timeout: 20000 });
  const again = await keptJournal(page);
  // The board's timers may have written on between the two reads: the journal only grows.
  const grown = (before, after) => before.stored.every((byte, i) => after.stored[i] === byte);
  check(again.name === played.name && grown(played, again),
    'reloaded offline, the page goes on with the same career, nothing of it lost');
  check(page.errors.every(unreached), `the page raised no error (${page.errors.join('; ')})`);

  // The next version: the same files, the index changed and so a new worker, at the same address.
  const newer = join(temporaryDir('milka-offline-next-'), 'play');
  cpSync(o.play, newer, { recursive: true });
  for (const twin of ['index.html.gz', 'sw.js.gz']) rmSync(join(newer, twin));
  writeFileSync(join(newer, 'index.html'),
    readFileSync(join(newer, 'index.html'), 'utf8').replace('</body>', '<!-- the next version --></body>'));
  const worker = readFileSync(join(newer, 'sw.js'), 'utf8');
  const version = worker.match(/^const VERSION = '([0-9a-f]{12})';$/m)?.[1];
  check(version !== undefined, 'the built worker names its version');
  writeFileSync(join(newer, 'sw.js'), worker.replace(`'${version}'`, "'0123456789ab'"));
  next = await makersSite(o['site-program'], newer, new URL(served.base).host);
  await cdp.send('Network.emulateNetworkConditions',
    { offline: false, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });
  const isNext = () => page.evaluate(() => document.documentElement.outerHTML.includes('the next version'));
  await page.reload();
  await page.waitForFunction(() => globalThis.milkaPage !== undefined, { timeout: 20000 });
  check(await isNext(), 'online again, the page is the site\'s new version at once');
  check(await until(() => page.evaluate(async () => (await navigator.serviceWorker.getRegistration())?.waiting !== null)),
    'its worker waits while a tab of the old one is open');
  const kept = async () => page.evaluate(async () => (await caches.keys()).filter((k) => k.startsWith('milka-play-')));
  check((await kept()).length === 2, 'and the old files are still kept beside the new');
  // The site's own answers, asked through the worker, are never kept: only the page's files are.
  const cached = await page.evaluate(async () => {
    await Promise.all(['/seed.php', '/karuden/', '/pdf.php'].map((path) => fetch(path).then((r) => r.text())));
    const urls = [];
    for (const name of await caches.keys()) {
      for (const request of await (await caches.open(name)).keys()) urls.push(new URL(request.url).pathname);
    }
    return urls;
  });
  check(cached.length > 0 && cached.every((path) => /^\/play\/([^/]+\.[0-9a-f]{12}\.[a-z0-9]+)?$/i.test(path)),
    `the caches hold the page's files and none of the site's answers (${cached.length} kept)`);
  await page.close();
  page = await openGame(browser, game);
  check(await until(async () => JSON.stringify(await kept()) === '["milka-play-0123456789ab"]'),
    'the old tab closed, the new worker takes over and the old files go');
  await next.close();
  await page.reload();
  await page.waitForFunction(() => globalThis.milkaPage !== undefined, { timeout: 20000 });
  check(await isNext(), 'offline, the page is the new version');
  const later = await keptJournal(page);
  check(later.name === played.name && grown(again, later), 'and goes on with the same career');
}, [browser, { close: () => next.close() }, served]);
