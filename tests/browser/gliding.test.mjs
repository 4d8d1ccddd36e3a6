// Pictures glide between ticks, as on the desktop: not for a player whose system asks for less
// motion, until F9 turns it on; F9 turns it off again, and the page remembers either way.
//   node gliding.test.mjs --play DIR [--executable CHROMIUM] [--url BASE]
import {
  check, launch, options, scenario, site, temporaryDir, until,
} from './harness.mjs';

const o = options();
const served = await site({ base: o.url, play: o.play, program: o['site-program'] });
const browser = await launch('chromium', temporaryDir('milka-gliding-'), o.executable);
const game = `${served.base}/play/`;

async function open(lessMotion) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(String(e)));
  page.errors = errors;
  if (lessMotion) await page.emulateMediaFeatures([{ name: 'prefers-reduced-motion', value: 'reduce' }]);
  await page.setViewport({ width: 760, height: 560 });
  await page.goto(game);
  await page.waitForFunction(() => globalThis.milkaPage !== undefined, { timeout: 20000 });
  return page;
}

// Whether a picture of the title's horses is seen on its way between two ticks within ms.
const glides = (page, ms = 2000) => until(() => page.evaluate(() => milkaPage.painter.glides.size > 0), ms);
const pressF9 = async (page) => {
  await page.keyboard.press('F9');
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(r)));
};
const remembered = (page) => page.evaluate(() => localStorage.getItem('milka.gliding'));

await scenario(async () => {
  let page = await open(true);
  check(!(await glides(page, 1200)), 'with less motion asked for, the title\'s horses hop from tick to tick');
  await pressF9(page);
  check(await glides(page), 'F9 has them glide');
  check(await remembered(page) === '1', 'and the page remembers it');
  await page.close();

  page = await open(false);
  check(await glides(page), 'gliding stays on in the next page');
  await pressF9(page);
  check(await page.evaluate(() => milkaPage.painter.glides.size === 0), 'F9 stops every glide at once');
  await page.reload();
  await page.waitForFunction(() => globalThis.milkaPage !== undefined, { timeout: 20000 });
  check(!(await glides(page, 1200)) && await remembered(page) === '0', 'and off it stays after a reload');
  check(page.errors.length === 0, `the page raised no error (${page.errors.join('; ')})`);
}, [browser, served]);
