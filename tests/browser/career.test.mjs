// A new player in a real browser: from the title through breeding (a sire and a dam chosen, a
// name typed), the stable and the race card to a race whipped with every key shown, up to the
// results board. The journal the page kept in the browser's database then replays natively to
// the very trace the module gives for it.
//   node career.test.mjs --browser chromium|firefox --play DIR --trace JOURNAL_TRACE --shots DIR
//                        [--executable BROWSER] [--url BASE | --site-program MILKA_SITE]
//                        (BASE: a site serving the page at /play/; MILKA_SITE: milka-site, started
//                        to serve it; neither: the test's own server)
import { execFileSync } from 'node:child_process';
import { mkdirSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import {
  check, keptJournal, launch, openGame, options, playToTheRace, raceToTheBoard, scenario, screen, screenOf, site, temporaryDir,
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

  await playToTheRace(page, shoot);
  const whips = await raceToTheBoard(page, { midway: () => shoot('race') });
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
}, [browser, served]);
