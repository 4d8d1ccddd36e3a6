// A phone: no keyboard but the one on its screen. A new player taps through the title, breeding,
// naming and the stable with the form's buttons and the page's own symbol keys, and whips a race
// to its board with those keys alone; upright and on its side, nothing to tap is smaller than a
// fingertip, the system keyboard is never asked for, and the race's commentary and whip prompt
// are shown large. Screenshots of naming and the race, both ways round, land in the artefacts.
// On a desktop the page is as it was.
//   node touch.test.mjs --play DIR --shots DIR [--executable CHROMIUM]
//                       [--url BASE | --site-program MILKA_SITE]
import { mkdirSync } from 'node:fs';
import { join } from 'node:path';
import {
  caption, check, launch, openGame, options, scenario, screen, screenOf, site, temporaryDir, until,
} from './harness.mjs';

const o = options();
const shots = join(o.shots, 'touch');
mkdirSync(shots, { recursive: true });
const served = await site({ base: o.url, play: o.play, program: o['site-program'] });
const browser = await launch('chromium', temporaryDir('milka-touch-'), o.executable);
// The browser's own agent, as a phone's browser sends it.
const agent = (await browser.userAgent()).replace('Headless', '');
const phone = (landscape) => ({
  userAgent: agent,
  viewport: {
    width: landscape ? 844 : 390, height: landscape ? 390 : 844, deviceScaleFactor: 3,
    isMobile: true, hasTouch: true, isLandscape: landscape,
  },
});

await scenario(async () => {
  const page = await openGame(browser, `${served.base}/play/`, 1, phone(false));
  const settle = () => page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
  const turn = async (landscape) => {
    await page.setViewport(phone(landscape).viewport);
    await settle();
  };
  const shoot = async (name) => {
    for (const landscape of [false, true]) {
      await turn(landscape);
      await page.screenshot({ path: join(shots, `${name}-${landscape ? 'landscape' : 'portrait'}.png`) });
      await smallest(name, landscape);
    }
    await turn(false);
  };
  // Everything a finger may tap, as large as a fingertip in both directions.
  const smallest = async (name, landscape) => {
    const small = await page.evaluate(() => [...document.querySelectorAll('button, label.tool')]
      .filter((b) => b.checkVisibility({ visibilityProperty: true }))
      .map((b) => ({ what: b.getAttribute('aria-label') ?? b.textContent, r: b.getBoundingClientRect() }))
      .filter(({ r }) => r.width < 44 || r.height < 44)
      .map(({ what, r }) => `${what} ${r.width}x${r.height}`));
    check(small.length === 0, `${name}, ${landscape ? 'on its side' : 'upright'}: nothing to tap under 44 px (${small.join(', ')})`);
  };
  // Taps the middle of an element's box, as a finger does.
  const tap = async (handle) => {
    const box = await handle.boundingBox();
    await page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
  };
  // Whether the key was there to tap: the race may have just ended.
  const tapKey = async (symbol) => {
    const key = await page.$(`#keys.serving .key[data-symbol="${symbol}"]`);
    if (key) await tap(key);
    return key !== null;
  };
  const tapButton = async (words) => {
    const handles = await page.$$('#commands button:not(.away)');
    for (const h of handles) if ((await h.evaluate((b) => b.textContent)) === words) return tap(h);
    throw new Error(`no button ${words}`);
  };
  // A button tapped until the game shows what is wanted (a tap within the buttons' pacing is not
  // taken, as on the desktop).
  const tapUntil = async (words, wanted, tries = 40) => {
    for (let i = 0; i < tries; i++) {
      if (await wanted()) return;
      await tapButton(words);
      if (await until(wanted, 500)) return;
    }
    throw new Error(`${words} never brought what was wanted`);
  };
  const serving = () => page.$eval('#keys', (k) => k.classList.contains('serving'));
  const starts = (n, text) => async () => (await caption(page, n)).startsWith(text);
  const at = (s) => async () => await screenOf(page) === s;

  check(await page.evaluate(() => document.body.classList.contains('touch')), 'a touch screen gets the pad');
  check(await page.$eval('#text1', (t) => t.inputMode) === 'none', 'the text box never opens the system keyboard');
  check(!await serving(), 'no symbol keys at the title');
  await smallest('the title', false);
  await tapUntil('Ａボタン', at(screen.breeding));
  check(!await serving(), 'no symbol keys while a sire is chosen');
  await tapUntil('Ａボタン', starts(27, '母馬を選び下さい'));
  await tapUntil('Ａボタン', starts(29, '2文字以上'));
  check(await until(serving), 'the symbol keys come up for the name');
  for (const symbol of 'milka') check(await tapKey(symbol), `the key ${symbol} is there to tap`);
  // A mouse on a touch screen (a tablet's) presses the keys as well.
  const up = await (await page.$('#keys .key[data-symbol="↑"]')).boundingBox();
  await page.mouse.click(up.x + up.width / 2, up.y + up.height / 2);
  check(await until(async () => await caption(page, 27) === 'milka↑'), 'the name is typed with the keys on the screen, tapped or clicked');
  check(await page.$eval('#echo .first', (e) => e.textContent) === 'milka↑', 'the name shows large by the keys');
  await shoot('naming');
  await tapUntil('Ａボタン', starts(29, 'この馬の名前は'));
  check(await until(async () => !await serving()), 'the keys go once the name is given');
  await tapUntil('Ａボタン', at(screen.stable));
  for (let month = 0; await screenOf(page) !== screen.raceCard; month++) {
    if (month === 6) throw new Error('the horse never came to race');
    try {
      await tapUntil('Ａボタン', at(screen.raceCard), 6);
    } catch {
      await tapUntil('Ｂボタン', at(screen.pasture));
      await tapUntil('Ａボタン', at(screen.stable));
    }
  }
  check(!await serving(), 'no symbol keys on the race card');
  await tapUntil('Ａボタン', at(screen.race));
  check(await until(serving), 'the symbol keys come up for the race');

  // The whips the horse has left, as the race shows them.
  const whips = async () => Number((await caption(page, 36)).replace(/\D/g, '')) || 0;
  let first = 0, last = 0;
  let taps = 0, echoed = false, shot = false, whipsWhenTapped = 0;
  for (let i = 0; await screenOf(page) !== screen.results; i++) {
    if (i > 6000) throw new Error('the race never reached its board');
    const [whip, typed] = [await caption(page, 12), await caption(page, 11)];
    const left = await screenOf(page) === screen.race ? await whips() : 0;
    if (left > 0) [first, last] = [first || left, left];
    // A whip spent draws the next symbol, which may be the one just typed: typed again.
    if (whip && (whip !== typed || (left > 0 && left < whipsWhenTapped))) {
      if (!await tapKey(whip)) continue;
      taps++;
      whipsWhenTapped = left;
    }
    // Once the field is running and a whip spent, not at the countdown.
    if (!shot && last < first && await caption(page, 39)) {
      await shoot('race');
      shot = true;
    }
    if (!echoed) {
      const shown = await page.evaluate(() => [document.querySelector('#echo .first').textContent,
        document.querySelector('#echo .second').textContent, milkaPage.form.labels[39]?.caption ?? '',
        milkaPage.form.labels[12]?.caption ?? '']);
      echoed = shown[0] !== '' && shown[0] === shown[2] && shown[1].includes(`ムチの値⇒ ${shown[3]}`);
    }
    await new Promise((r) => setTimeout(r, 60));
  }
  check(shot, 'the race was caught running');
  check(last < first, `the race was whipped with the keys on the screen (${taps} taps, whips ${first} → ${last})`);
  check(echoed, 'the commentary and the whip prompt show large by the keys');
  check(await until(async () => !await serving()), 'the keys go at the results board');
  check(page.errors.length === 0, `the page raised no error (${page.errors.join('; ')})`);

  // Opened again, the career waits paused for F5, which a phone has only on the screen.
  await page.reload();
  await page.waitForFunction(() => globalThis.milkaPage?.still.paused === true, { timeout: 20000 });
  const offered = await page.$$eval('#career-keys button', (bs) => bs.map((b) => b.textContent));
  check(offered.includes('F5 続ける') && offered.includes('Ctrl+N 新しい馬'), `paused, the career's keys are offered (${offered})`);
  await smallest('paused', false);
  await tap((await page.$$('#career-keys button'))[offered.indexOf('F5 続ける')]);
  check(await until(() => page.evaluate(() => !milkaPage.still.paused)), 'F5 on the screen goes on');
  await page.close();

  // A desktop: no pad, the text box as it was, the buttons on the form.
  const desk = await openGame(browser, `${served.base}/play/`);
  check(await desk.evaluate(() => !document.body.classList.contains('touch') &&
    !document.getElementById('text1').hasAttribute('inputmode') &&
    document.getElementById('commands').parentElement.id === 'stage' &&
    getComputedStyle(document.getElementById('pad')).display === 'none'), 'a desktop has no pad');
}, [browser, served]);
