// The page draws what the desktop draws: one career's journal (played carefully under a fixed
// seed) is stood still at the same moments in the page and in the desktop's canvas — the title,
// the breeding table, the race card, a race with runners marked at the edges, the results board —
// and the two pictures, at 1× and at 2×, are held against each other.
//   node same_picture.test.mjs --browser chromium|firefox --play DIR --trace JOURNAL_TRACE
//                              --same SAME_PICTURE --shots DIR [--executable BROWSER] [--url BASE]
import { execFileSync } from 'node:child_process';
import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import {
  check, launch, openGame, options, scenario, site, temporaryDir,
} from './harness.mjs';

const SEED = '20261209';
// The share of a picture (in per cent) that may differ once blurred. Firefox rounds a font's
// ascent up where Chromium and the desktop round it to the nearest pixel or not at all, so its
// lines stand up to a pixel lower, and its words differ wherever they are drawn.
const MOST_DIFFERING = { chromium: 0.4, firefox: 1.6 };
// At 1× and 2× with the form at its own size; on a phone, landscape and portrait, as large as fits.
const SIZES = [
  { size: '1x', viewport: { width: 760, height: 560, deviceScaleFactor: 1 } },
  { size: '2x', viewport: { width: 760, height: 560, deviceScaleFactor: 2 } },
  { size: 'phone-landscape', viewport: { width: 844, height: 390, deviceScaleFactor: 3 } },
  { size: 'phone-portrait', viewport: { width: 390, height: 844, deviceScaleFactor: 3 } },
];
const scales = {};
const o = options();
const kind = o.browser ?? 'chromium';
const shots = join(o.shots, kind);
mkdirSync(shots, { recursive: true });
const journal = join(shots, 'career.mdj');
execFileSync(o.trace, ['--play', SEED, journal]);
const moments = execFileSync(o.same, ['moments', journal], { encoding: 'utf8' })
  .trim().split('\n').map((line) => line.split(' ')).map(([name, events]) => ({ name, events: Number(events) }));
check(moments.length === 5, `the career has every moment to compare (${moments.map((m) => m.name).join(', ')})`);

const served = await site({ base: o.url, play: o.play, program: o['site-program'] });
const browser = await launch(kind, temporaryDir(`milka-same-${kind}-`), o.executable);
await scenario(async () => {
  const page = await openGame(browser, `${served.base}/play/`);
  // Ctrl+0: the form at its own size, so a CSS pixel is a form pixel.
  await page.keyboard.down('Control');
  await page.keyboard.press('0');
  await page.keyboard.up('Control');
  const bytes = Array.from(readFileSync(journal));
  for (const { name, events } of moments) {
    const shown = await page.evaluate((b, n) => {
      const m = milkaPage.module;
      const at = m._malloc(b.length);
      m.HEAPU8.set(b, at);
      const ok = m._milka_show_at(at, b.length, n);
      m._free(at);
      return ok;
    }, bytes, events);
    check(shown === 1, `the page stands at ${name}, after ${events} events`);
    for (const { size, viewport } of SIZES) {
      await page.setViewport(viewport);
      // An emulated density change tells no media query; a resize has the page lay out again.
      await page.evaluate(() => dispatchEvent(new Event('resize')));
      await page.waitForFunction((v) => {
        const c = document.getElementById('form');
        return c.width === Math.round(c.getBoundingClientRect().width * v.deviceScaleFactor);
      }, {}, viewport);
      await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
      const [png, width] = await page.$eval('#form', (c) => [c.toDataURL('image/png'), c.width]);
      scales[size] = width / 719;
      writeFileSync(join(shots, `page-${name}-${size}.png`), Buffer.from(png.split(',')[1], 'base64'));
      if (size.startsWith('phone')) await page.screenshot({ path: join(shots, `screen-${name}-${size}.png`) });
    }
  }
  check(page.errors.length === 0, `the page raised no error (${page.errors.join('; ')})`);
  let report;
  let same = true;
  try {
    report = execFileSync(o.same, ['compare', journal, shots, String(MOST_DIFFERING[kind]),
      ...Object.entries(scales).map(([size, scale]) => `${size}:${scale}`)], { encoding: 'utf8' });
  } catch (e) {
    report = e.stdout;
    same = false;
  }
  console.log(report.trim());
  check(same, `every moment at 1×, 2× and a phone's size is drawn as the desktop draws it (pictures in ${shots})`);
}, [browser, served]);
