// A new player in a real browser: from the title through breeding (a sire and a dam chosen, a
// name typed), the stable and the race card to a race whipped with every key shown, heard,
// muted and heard again, up to the results board. The journal the page kept in the browser's database then replays natively to
// the very trace the module gives for it.
//   [tests/audio/with_sound_server.sh] node career.test.mjs --browser chromium|firefox --play DIR --trace JOURNAL_TRACE --shots DIR
//                        [--executable BROWSER] [--url BASE | --site-program MILKA_SITE]
//                        (BASE: a site serving the page at /play/; MILKA_SITE: milka-site, started
//                        to serve it; neither: the test's own server)
import { execFileSync } from 'node:child_process';
import { mkdirSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import {
  audioPeak, check, keptJournal, launch, openGame, options, playToTheRace, raceToTheBoard, scenario, screen, screenOf, site, temporaryDir,
} from './harness.mjs';

const o = options();
const kind = o.browser ?? 'chromium';
const shots = join(o.shots, kind);
mkdirSync(shots, { recursive: true });
const served = await site({ base: o.url, play: o.play, program: o['site-program'] });
const browser = await launch(kind, temporaryDir(`milka-${kind}-`), o.executable);
await scenario(async () => {
  const page = await openGame(browser, `${served.base}/play/`);
  // Every screen at 1× and at 2×: what a player sees on an ordinary and on a dense screen.
  const shoot = async (name) => {
    for (const scale of [1, 2]) {
      await page.setViewport({ width: 760, height: 560, deviceScaleFactor: scale });
      await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
      await page.screenshot({ path: join(shots, `${name}-${scale}x.png`) });
    }
  };
  check(await screenOf(page) === screen.title, 'a new player starts at the title');
  check((await page.title()).includes('ミルカダービー'), 'the page is titled by the form');
  // Ctrl+0: the form at its own size, 1×, however large the window.
  await page.keyboard.down('Control');
  await page.keyboard.press('0');
  await page.keyboard.up('Control');
  const shown = await page.$eval('#form', (c) => c.getBoundingClientRect().width);
  check(Math.abs(shown - 719) < 1, `Ctrl+0 shows the form at its own size (${shown} px wide)`);
  await shoot('title');

  // The race is heard, its whips first, and silenced and brought back by F6 and by the speaker
  // in the tool bar, remembered. Run under a sound server of its own (a headless Firefox keeps
  // its audio context suspended without an output device); without one, the page's audio graph
  // is not read.
  const heard = Boolean(process.env.MILKA_TEST_SINK);
  const soundButton = () => page.$eval('#sound', (b) => b.getAttribute('aria-label'));
  const hearTheRace = async () => {
    await shoot('race');
    check(await page.evaluate(() => milkaPage.module._milka_sound_whipped()) === 1,
      'the whip typed cracked in the game\'s sound');
    if (heard) {
      // The first whip may come before the gates open, the hooves only after.
      const peak = await audioPeak(page, 4000);
      check(peak > 0.01, `the race is heard (peak ${peak?.toFixed(3)})`);
    }
    for (const [unmute, press] of [[false, () => page.keyboard.press('F6')], [true, () => page.click('#sound')]]) {
      await press();
      check(await soundButton() === (unmute ? '音を消す' : '音を出す'), `the speaker offers to ${unmute ? 'mute' : 'unmute'} it`);
      check(await page.evaluate(() => localStorage.getItem('milka.muted')) === (unmute ? '0' : '1'),
        'the page remembers whether it is muted');
      if (!heard) continue;
      // Muted, what was already queued plays out first.
      if (!unmute) await new Promise((r) => setTimeout(r, 800));
      const peak = await audioPeak(page, unmute ? 2000 : 300);
      check(unmute ? peak > 0.01 : peak < 1e-4, `${unmute ? 'unmuted, it is heard again' : 'muted, it is silent'} (peak ${peak?.toFixed(5)})`);
    }
  };
  await playToTheRace(page, shoot);
  const whips = await raceToTheBoard(page, { midway: () => hearTheRace() });
  check(whips > 0, `the race was whipped with the keys shown (${whips} keys)`);
  await new Promise((r) => setTimeout(r, 1000));
  await shoot('results');
  check(page.errors.length === 0, `the page raised no error (${page.errors.join('; ')})`);

  // The journal as the browser's database holds it, and as the module replays it.
  const kept = await keptJournal(page);
  check(kept.name.endsWith('.mdj') && kept.stored.length > 0, `the career is kept as ${kept.name}`);
  check(kept.stored.join() === kept.live.join(), 'the database holds every byte the career wrote');
  const file = join(shots, 'kept.mdj');
  writeFileSync(file, Buffer.from(kept.stored));
  const native = execFileSync(o.trace, [file], { encoding: 'utf8' }).trim();
  console.log(`module: ${kept.trace}\nnative: ${native}`);
  check(native === kept.trace, 'the kept journal replays natively to the same career');

  // Muted and two steps quieter, on the next visit: still so, and no key makes it sound.
  await page.keyboard.press('F7');
  await page.keyboard.press('F7');
  await page.keyboard.press('F6');
  await page.reload();
  await page.waitForFunction(() => globalThis.milkaPage !== undefined, { timeout: 20000 });
  await page.keyboard.press('Enter');
  const next = await page.evaluate(() => ({
    label: document.getElementById('sound').getAttribute('aria-label'),
    slider: document.getElementById('volume').value,
    context: milkaPage.sound.context !== null,
  }));
  check(next.label === '音を出す' && next.slider === '5' && !next.context,
    `the next visit is muted, at volume 5, with no audio made (${JSON.stringify(next)})`);
}, [browser, served]);
