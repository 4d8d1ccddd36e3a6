// A career's entry from the page, on the maker's site itself. Begun under a seed the site issued,
// its journal goes with the entry: the site replays it and enters it verified, and the career's
// page links each race, which plays in the page to its board. A new career whose site gives no
// seed (out of reach, busy, or answering anything but a seed) plays on unseeded, told at once when
// the site was out of reach; at the closing A, whatever became of its journal the entry goes on,
// and the closing screen says in Japanese why it stands unverified: the career began while the
// site was away, or the site refused the journal (its reason shown); or, the site down at the
// entry, that nothing was entered and the career is still kept.
//   node entry.test.mjs --play DIR --site-program MILKA_SITE --executable CHROMIUM
//                              --trace JOURNAL_TRACE
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import {
  check, entryWords, lastingNote, launch, options, passingNote, playOn, pressUntil, scenario, screen, screenOf, seeded, site, sitePage, temporaryDir, until,
} from './harness.mjs';

const o = options();
const served = await site({ play: o.play, program: o['site-program'] });
const game = `${served.base}/play/?periods=step`;
const work = temporaryDir('milka-faults-');

// A browser of its own, whose page has what fail answered as the site's failure.
async function pageFailing(fail) {
  const browser = await launch('chromium', temporaryDir('milka-faults-browser-'), o.executable);
  const page = await browser.newPage();
  page.errors = [];
  page.on('pageerror', (e) => page.errors.push(String(e)));
  await page.setRequestInterception(true);
  page.on('request', (r) => {
    const how = fail(new URL(r.url()).pathname);
    if (how === 'down') r.abort('connectionrefused');
    else if (how) r.respond(how);
    else r.continue();
  });
  return { browser, page };
}

async function opened(page) {
  await page.goto(game);
  await page.waitForFunction(() => globalThis.milkaPage !== undefined, { timeout: 20000 });
}

await scenario(async () => {
  // --- No seed at the start -------------------------------------------------------------------
  const noSeed = [
    { what: 'the site out of reach', answer: 'down', told: true },
    { what: 'the site busy', answer: { status: 503, contentType: 'text/plain', body: 'ただいま受付できません。' } },
    { what: 'an answer that is no seed', answer: { status: 200, contentType: 'text/plain', body: '00112233445566778899AABBCCDDEEFF' } },
  ];
  for (const c of noSeed) {
    const { browser, page } = await pageFailing((path) => (path === '/seed.php' ? c.answer : null));
    try {
      await opened(page);
      check(await until(async () => await passingNote(page) === entryWords.offlineSeed, 4000) === Boolean(c.told),
        `${c.what}: ${c.told ? '' : 'not '}told at once that the horse will stand unverified`);
      await playOn(page, (shown) => shown.screen === screen.breeding);
      check(await screenOf(page) === screen.breeding, `${c.what}: the new career plays on`);
      check(!await seeded(page), `${c.what}: unseeded`);
    } finally {
      await browser.close();
    }
  }

  // --- At the closing A ------------------------------------------------------------------------
  // Careers of the careful player that send, up to their career-over screen, on this site.
  const closing = (seed) => {
    const file = join(work, `closing-${seed}.mdj`);
    execFileSync(o.trace, ['--closing', served.base, seed, file]);
    return readFileSync(file);
  };
  // A seed the site issued for this career, as a new career asks for one.
  const issued = (await (await fetch(`${served.base}/seed.php`)).text()).trim();
  const cases = [
    { what: 'begun under the site\'s seed', seed: issued, down: false, stored: true, verified: true,
      said: (note) => note === entryWords.checked },
    { what: 'begun while the site was away', seed: '-', down: false, stored: true,
      said: (note) => note === entryWords.unseeded },
    { what: 'a journal the site refuses (a seed it never issued)', seed: '0123456789abcdef0123456789abcdef',
      down: false, stored: true,
      said: (note) => note.startsWith(entryWords.refused) && note.endsWith(entryWords.unverified) &&
        note.length > entryWords.refused.length + entryWords.unverified.length },
    { what: 'the site down at the entry', seed: '00112233445566778899aabbccddeeff', down: true,
      stored: false, said: (note) => note === entryWords.unreachable },
  ];
  let stored = 0;
  let verified = null;
  for (const c of cases) {
    const journal = closing(c.seed);
    let down = false;
    const { browser, page } = await pageFailing((path) =>
      (down && ['/pdf.php', '/journal.php', '/vbvb55.php'].includes(path) ? 'down' : null));
    try {
      // The career kept in this browser, as the page keeps one; the page goes on with it.
      await opened(page);
      await page.evaluate((bytes) => new Promise((resolve, reject) => {
        const open = indexedDB.open('milka-derby', 1);
        open.onsuccess = () => {
          const t = open.result.transaction('chunks', 'readwrite');
          t.objectStore('chunks').put({ name: '29991231-235959-faults.mdj', seq: 0, bytes: new Uint8Array(bytes) });
          t.oncomplete = resolve;
          t.onerror = () => reject(t.error);
        };
        open.onerror = () => reject(open.error);
      }), Array.from(journal));
      await opened(page);
      check(await screenOf(page) === screen.careerOver, `${c.what}: the career is back at its end`);
      await pressUntil(page, 'F5', () => page.evaluate(() => !milkaPage.still.paused), 3);
      down = c.down;
      await playOn(page, (shown) => shown.screen === screen.finished);
      check(await until(async () => c.said(await lastingNote(page)), 30000),
        `${c.what}: the closing screen says so (${await lastingNote(page)})`);
      check(page.errors.length === 0, `${c.what}: the page raised no error (${page.errors.join('; ')})`);
      if (c.stored) {
        stored++;
        const career = await sitePage(served.base, `/karuden/uma?n=${stored}`);
        const words = c.verified ? 'この成績は、サイトが記録を再生して確かめました。'
          : 'この成績は記録による照合がないため';
        check(career.status === 200 && career.text.includes(words),
          `${c.what}: the entry went on, and stands ${c.verified ? 'verified' : 'unverified'}`);
        if (c.verified) verified = stored;
      }
      check((await sitePage(served.base, `/karuden/uma?n=${stored + 1}`)).status === 404,
        `${c.what}: nothing else was entered`);
    } finally {
      await browser.close();
    }
  }

  // The verified career's page links each of its races to the page; the link plays it to its board.
  const browser = await launch('chromium', temporaryDir('milka-watch-browser-'), o.executable);
  try {
    const page = await browser.newPage();
    await page.goto(`${served.base}/karuden/uma?n=${verified}`);
    const links = await page.$$eval('a', (as) => as.filter((a) => a.textContent === 'このレースを見る')
      .map((a) => a.getAttribute('href')));
    check(links.length > 0 && links.every((l) => /^\/play\/\?n=\d+&race=\d+$/.test(l)),
      `every race of the verified career links the page (${links.length} races)`);
    const last = links[links.length - 1];
    await Promise.all([page.waitForNavigation(), page.click(`a[href="${last}"]`)]);
    await page.waitForFunction(() => globalThis.milkaPage !== undefined, { timeout: 20000 });
    check(await until(async () => (await page.title()).startsWith('【リプレイ】')),
      `${last} is watched as a replay`);
    // F2 three times: 16×, as a player hurries a replay on.
    for (let i = 0; i < 3; i++) await page.keyboard.press('F2');
    check(await until(async () => await screenOf(page) === screen.results, 180000),
      'the stored race plays on to its results board');
  } finally {
    await browser.close();
  }
}, [served]);
