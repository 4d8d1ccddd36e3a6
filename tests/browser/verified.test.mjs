// A career played in the page, on the maker's site itself, is seeded, verified and ranked exactly
// as a desktop one: a new horse takes its seed from the site, is played to its closing A with the
// keys shown, and its journal goes up with the entry; the site replays it, ranks it in the hall
// of fame, and its career page's このレースを見る plays that race in the page to its board.
// Careers that win no top race send nothing: new horses until one does.
//   node verified.test.mjs --play DIR --site-program MILKA_SITE --executable CHROMIUM --shots DIR
import { mkdirSync } from 'node:fs';
import { join } from 'node:path';
import {
  check, entryWords, lastingNote, launch, openGame, options, playOn, screen, screenOf, seeded, site,
  sitePage, temporaryDir, until,
} from './harness.mjs';

// Some one career in seven to ten, as this player plays, sends a time the hall ranks; eighty
// misses are most unlikely.
const HORSES = 80;

const o = options();
const shots = join(o.shots, 'verified');
mkdirSync(shots, { recursive: true });
const served = await site({ play: o.play, program: o['site-program'] });
const browser = await launch('chromium', temporaryDir('milka-verified-'), o.executable);
let failed = false;
try {
  let entered = 0;
  let ranked = null;
  for (let horse = 1; horse <= HORSES && !ranked; horse++) {
    const page = await openGame(browser, `${served.base}/play/?periods=step`);
    let asked = false;
    page.on('request', (r) => { if (new URL(r.url()).pathname === '/pdf.php') asked = true; });
    check(await screenOf(page) === screen.title, `horse ${horse}: a new career starts at the title`);
    check(await until(() => seeded(page)), `horse ${horse}: the new career takes its seed from the site`);
    await playOn(page, (shown) => shown.screen === screen.finished);
    // The closing A asks for a token at once when the career has a time to send.
    // Kept whole before the tab goes, so that the next start sees this career ended.
    const close = async () => {
      await page.evaluate(() => { milkaPage.flush(); return milkaPage.store.idle(); });
      await page.close();
    };
    if (!await until(() => asked, 3000)) {
      console.log(`horse ${horse} won no top race to send`);
      await close();
      continue;
    }
    entered++;
    check(await until(async () => await lastingNote(page) === entryWords.checked, 30000),
      'the closing screen says the site checked the career');
    check(page.errors.length === 0, `the page raised no error (${page.errors.join('; ')})`);
    await page.screenshot({ path: join(shots, `closing-${horse}.png`) });
    const career = await sitePage(served.base, `/karuden/uma?n=${entered}`);
    check(career.status === 200 && career.text.includes('この成績は、サイトが記録を再生して確かめました。'),
      `the site replayed the career and entered it verified (n=${entered})`);
    const top = (await sitePage(served.base, '/karuden/')).text;
    const hall = top.slice(top.indexOf('id="hall"'), top.indexOf('id="careers"'));
    if (hall.includes(`/karuden/uma?n=${entered}"`)) ranked = entered;
    else console.log(`career ${entered} won only top races the hall does not keep`);
    await close();
  }
  check(ranked !== null, `a career played in the page is ranked in the hall of fame (n=${ranked})`);

  // The career's page links each of its races to the page; the link plays it to its board.
  const page = await browser.newPage();
  await page.goto(`${served.base}/karuden/uma?n=${ranked}`);
  const links = await page.$$eval('a', (as) => as.filter((a) => a.textContent === 'このレースを見る')
    .map((a) => a.getAttribute('href')));
  check(links.length > 0 && links.every((l) => /^\/play\/\?n=\d+&race=\d+$/.test(l)),
    `every race of the career links the page (${links.length} races)`);
  const last = links[links.length - 1];
  await Promise.all([page.waitForNavigation(), page.click(`a[href="${last}"]`)]);
  await page.waitForFunction(() => globalThis.milkaPage !== undefined, { timeout: 20000 });
  check(await until(async () => (await page.title()).startsWith('【リプレイ】')), `${last} is watched as a replay`);
  check(await until(async () => [screen.raceCard, screen.race].includes(await screenOf(page))),
    'from its race card');
  // F2 three times: 16×, as a player hurries a replay on.
  for (let i = 0; i < 3; i++) await page.keyboard.press('F2');
  check(await until(async () => await screenOf(page) === screen.results, 180000),
    'the stored race plays on to its results board');
  await page.screenshot({ path: join(shots, 'watched-board.png') });
} catch (e) {
  console.error(e);
  failed = true;
} finally {
  await browser.close();
  await served.close();
}
process.exit(failed ? 1 : 0);
