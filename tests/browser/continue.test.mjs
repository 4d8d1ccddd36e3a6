// A career survives the page (and a screen reader follows its race): reloaded mid-race, and the browser killed mid-race, the page comes
// back to the same race, paused, with the note saying so, having lost at most the last period.
// A second tab waits for the first. Then a race of a kept journal is watched from the site's link, and what cannot be watched (a
// journal the site does not have, a file that is no journal, a browser that keeps nothing or
// refuses to keep more) is said so in Japanese, and the game plays on.
//   node continue.test.mjs --play DIR [--executable CHROMIUM] [--url BASE | --site-program MILKA_SITE]
import { mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import {
  check, fingerprint, keptJournal, lastingNote, launch, openGame, options, passingNote, playToTheRace, pressUntil, scenario, screen, screenOf, site, temporaryDir, until,
} from './harness.mjs';

const o = options();
const journals = {};
const served = await site({ base: o.url, play: o.play, journals, program: o['site-program'] });
const profile = temporaryDir('milka-continue-');
const game = `${served.base}/play/`;
let browser = await launch('chromium', profile, o.executable);
const events = (trace) => Number(trace.split(' ')[0]);
const lastOf = (trace) => trace.split(' ')[2];
const whipOnce = async (page) => {
  await until(async () => (await page.evaluate(() => milkaPage.form.labels[12].caption)) !== '', 20000);
  await page.keyboard.press('ArrowLeft');
};

await scenario(async () => {
  let page = await openGame(browser, game);
  await playToTheRace(page);
  await whipOnce(page);
  const before = await keptJournal(page);

  // Reloaded mid-race: the same race, paused where the journal ends, with the note.
  await page.reload();
  await page.waitForFunction(() => globalThis.milkaPage !== undefined);
  check(await screenOf(page) === screen.race, 'after a reload the race is shown again');
  check((await lastingNote(page)).includes('前回の続き'), 'the note says the career goes on from before');
  check(await page.evaluate(() => milkaPage.still.paused), 'the race stands paused');
  const reloaded = await keptJournal(page);
  check(events(reloaded.trace) >= events(before.liveTrace), 'nothing written before the reload is lost');
  check(await fingerprint(page) === lastOf(reloaded.trace), 'the race stands exactly where its journal ends');

  // A second tab of the game waits for the first rather than write the same career beside it.
  const second = await browser.newPage();
  await second.goto(game);
  check(await until(async () => (await lastingNote(second)).includes('別のタブ')),
    'a second tab says the game is open in another');
  check(await second.evaluate(() => globalThis.milkaPage === undefined), 'and does not start it');
  await second.close();

  // F5 goes on.
  await page.keyboard.press('F5');
  check(await until(async () => (await lastingNote(page)) === ''), 'F5 takes the note away');
  check(!(await page.evaluate(() => milkaPage.still.paused)), 'and the race runs again');
  await whipOnce(page);
  // A screen reader follows the race: the live region's words in the accessibility tree are the
  // commentary label's, line after line.
  const heard = new Set();
  const spokenNow = async () => {
    const region = await page.accessibility.snapshot({ root: await page.$('#spoken'), interestingOnly: false });
    const words = [];
    const walk = (node) => {
      if (node.role === 'StaticText') words.push(node.name);
      (node.children ?? []).forEach(walk);
    };
    if (region) walk(region);
    return words.join('');
  };
  await until(async () => {
    const spoken = await spokenNow();
    const shown = (await page.evaluate(() => milkaPage.form.labels[39].caption)).replace(/[ \u3000]+/g, ' ').trim();
    if (spoken && spoken === shown) heard.add(spoken);
    return heard.size >= 2;
  }, 15000);
  check(heard.size >= 2, `the accessibility tree speaks the commentary as it changes (${[...heard].join(' / ')})`);
  await until(async () => events((await keptJournal(page)).liveTrace) > events(reloaded.trace) + 10, 10000);

  // Killed mid-race: at most the period being written is lost.
  const live = await keptJournal(page);
  browser.process().kill('SIGKILL');
  await new Promise((r) => browser.once('disconnected', r));
  browser = await launch('chromium', profile, o.executable);
  page = await openGame(browser, game);
  check(await screenOf(page) === screen.race, 'after the browser was killed the race is shown again');
  check((await lastingNote(page)).includes('前回の続き'), 'paused under the same note');
  const revived = await keptJournal(page);
  const lost = events(live.liveTrace) - events(revived.trace);
  check(lost <= 5, `at most one period of five ticks is lost (${lost} events)`);
  check(await fingerprint(page) === lastOf(revived.trace), 'the race stands where the kept journal ends');
  check(page.errors.length === 0, `the page raised no error (${page.errors.join('; ')})`);
  await page.close();

  // The site's link to a race of a career: the first race, watched from its card (a journal
  // only the test's own server holds; entry.test.mjs watches one the maker's site stored).
  if (served.own) {
    journals['7'] = join(mkdtempSync(join(tmpdir(), 'milka-watch-')), 'uma.mdj');
    writeFileSync(journals['7'], Buffer.from(revived.stored));
    page = await openGame(browser, `${game}?n=7&race=1`);
    check(await until(async () => (await page.title()).startsWith('【リプレイ】')), 'the race is watched as a replay');
    check(await until(async () => [screen.raceCard, screen.race].includes(await screenOf(page))),
      'from its race card');
    await page.close();
  }
  if (!o.url) {
    // A journal the site does not have: said so, and the career goes on instead.
    page = await openGame(browser, `${game}?n=404&race=1`);
    check((await passingNote(page)).includes('読み込めませんでした'), 'a journal the site lacks is said so');
    check(await until(async () => (await lastingNote(page)).includes('前回の続き')), 'and the career is there as it was');

    // A file that is no journal: said so, and nothing of the career changes.
    const shown = await fingerprint(page);
    const foreign = join(mkdtempSync(join(tmpdir(), 'milka-foreign-')), 'notes.mdj');
    writeFileSync(foreign, 'これは記録ではありません');
    const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#open')]);
    await chooser.accept([foreign]);
    check(await until(async () => (await passingNote(page)).includes('ミルカダービーの記録ではありません')),
      'a file that is no journal is said so');
    check(await fingerprint(page) === shown, 'and the career stands as it was');
    check(page.errors.length === 0, `the page raised no error (${page.errors.join('; ')})`);
    await page.close();
  }

  // A browser that keeps nothing (no IndexedDB): said so, and the game plays all the same.
  let unkept = await browser.newPage();
  await unkept.evaluateOnNewDocument(() => Object.defineProperty(window, 'indexedDB', { value: undefined }));
  await unkept.goto(game);
  await unkept.waitForFunction(() => globalThis.milkaPage !== undefined);
  check((await passingNote(unkept)).includes('記録を保存できない'), 'a browser that keeps nothing is said so');
  await pressUntil(unkept, 'Enter', async () => await screenOf(unkept) === screen.breeding);
  check(await screenOf(unkept) === screen.breeding, 'and the game plays on');
  await unkept.close();

  // Storage refused mid-career (the quota): the game says so once and plays on.
  unkept = await browser.newPage();
  await unkept.evaluateOnNewDocument(() => {
    const put = IDBObjectStore.prototype.put;
    IDBObjectStore.prototype.put = function refusing(...args) {
      if (globalThis.refuse) throw new DOMException('full', 'QuotaExceededError');
      return put.apply(this, args);
    };
  });
  await unkept.goto(game);
  await unkept.waitForFunction(() => globalThis.milkaPage !== undefined);
  await unkept.evaluate(() => { globalThis.refuse = true; });
  await unkept.keyboard.press('F5');
  check(await until(async () => (await passingNote(unkept)).includes('ブラウザに記録を保存できなくなった')),
    'storage refused mid-career is said so, in the browser\'s words');
  check(await unkept.evaluate(() => milkaPage.store.failed), 'and nothing more is written');
  await unkept.close();
}, [browser, served]);
