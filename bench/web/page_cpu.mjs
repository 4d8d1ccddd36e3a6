// What showing the game costs in the browser, beside a plain canvas page showing the same scenes:
// the processor time of all of headless Chromium's processes (utime + stime from /proc, the
// browser's whole process tree, renderers and GPU process included) over SECONDS of the title and
// of a race, gliding on, at 1x in a 760x560 window. The comparator is bench/web/bare/: first the
// game's page is watched for SCENE_PERIODS periods on each scene and its model taken at every one
// (labels, fitted runs, pictures with their pixels, markers, controls); the bare page then shows
// those periods in turn every 200 ms with plain fillRect/fillText/drawImage, the moved pictures
// sliding on each animation frame, and nothing else. The two run alternately, each in a fresh
// browser on a fresh profile, left SETTLE seconds to start before the window; medians of RUNS.
// The race is the page's first race run in real time, no whip pressed (nothing drives the page
// inside the window); it runs for about 45 s, and a run whose race ended inside the window is
// said so and not counted.
//
//   node bench/web/page_cpu.mjs [--build build-test] [--web build-web] [--runs 3] [--seconds 20]
//                               [--settle 3] [--executable CHROMIUM] [--scenes "title race"]
//                               [--shots DIR] [--profile 1]
//
// With --shots, each run's last moment is kept as DIR/SCENE-game.png and DIR/SCENE-bare.png, to
// see that the two pages show the same. With --profile 1, the busiest calls of each page's main
// thread in the window are printed (the profiler's own cost then counts in the figures).
//
// Build milka-site (cmake --build build-test --target milka-site) and the page
// (scripts/web-build.sh build-web) first. bench/web/run.sh runs it with the others.
import { join } from 'node:path';
import {
  launch, openGame, playToTheRace, screen, screenOf, site, temporaryDir,
} from '../../tests/browser/harness.mjs';
import {
  figure, load, makersSite, median, root, settings, sleep, spentByKind, treeCpu,
} from './common.mjs';

const SCENE_PERIODS = 50;
// The race is taken from its sixth second on, when the field is running.
const TAKEN_AFTER_MS = { title: 1000, race: 6000 };
const s = settings({ runs: 3 });
const settle = Number(s.settle ?? 3) * 1000;
const scenes = (s.scenes ?? 'title race').split(' ');
const served = await makersSite(s);
const plain = await site({ play: join(root, 'bench/web/bare') });
const game = `${served.base}/play/`;

// The game's page on the scene: the title as it opens, or its first race begun.
async function gameOn(browser, scene) {
  const page = await openGame(browser, game);
  await page.waitForFunction(() => performance.getEntriesByName('milka-title-drawn').length > 0);
  // Muted before any key, so the page makes no sound at all: the bare page has none to make, and
  // what the sound costs is sound_cpu.mjs's to say.
  await page.evaluate(() => milkaPage.sound.setMuted(true));
  if (scene === 'race') await playToTheRace(page);
  return page;
}

// SCENE_PERIODS periods of what the game's page shows, as the bare page draws them.
function takeScene(page) {
  return page.evaluate(async (count) => {
    const drawn = performance.getEntriesByType('resource').map((e) => e.name)
      .find((n) => /\/draw\.[0-9a-f]+\.js$/.test(n));
    const { colour, cssFont, pixels } = await import(drawn);
    const m = milkaPage.module;
    const painter = milkaPage.painter;
    const canvas = document.getElementById('form');
    const k = canvas.width / pixels(milkaPage.form.width);
    const device = (c) => {
      const x = Math.round(pixels(c.x) * k), y = Math.round(pixels(c.y) * k);
      return [x, y, Math.round(pixels(c.x + c.w) * k) - x, Math.round(pixels(c.y + c.h) * k) - y];
    };
    const rect = (element) => {
      const r = element.getBoundingClientRect();
      return { x: r.left, y: r.top, w: r.width, h: r.height, font: element.style.font };
    };
    const sprites = {};
    const sprite = (p) => {
      const key = `${p.kind}/${p.coat}/${p.left}/${p.frame}`;
      if (key in sprites) return key;
      const w = m._milka_sprite_width(p.kind), h = m._milka_sprite_height(p.kind);
      const at = m._milka_sprite(p.kind, p.coat, p.left, p.frame) >>> 2;
      const rgba = [];
      for (const v of m.HEAPU32.slice(at, at + w * h)) {
        rgba.push((v >>> 16) & 255, (v >>> 8) & 255, v & 255, v >>> 24);
      }
      sprites[key] = { w, h, rgba };
      return key;
    };
    const take = () => {
      const form = milkaPage.form;
      const order = [9];
      for (let n = 1; n < form.labels.length; n++) if (n !== 9) order.push(n);
      const labels = [];
      for (const n of order) {
        const l = form.labels[n];
        if (!l) continue;
        const fit = form.layout?.[n];
        const font = fit?.runs.length ? cssFont(fit.font[0] === 1, fit.font[1], fit.font[2] === 1) : '';
        const ascent = font ? painter.measurer.ascent(font) : 0;
        const runs = (font ? fit.runs : []).filter(([text]) => text)
          .map(([text, dx, dy]) => [text, pixels(l.x) + dx, pixels(l.y) + dy + ascent]);
        labels.push({ box: device(l), back: l.transparent ? null : colour(l.back), fore: colour(l.fore), font, runs });
      }
      const images = [];
      for (let n = 1; n < form.images.length; n++) {
        const p = form.images[n];
        if (!p || !p.kind) continue;
        const g = painter.glides.get(n);
        images.push({
          key: sprite(p), from: g ? Math.round(pixels(g.from) * k) : null,
          box: [p.x, p.y, p.w, p.h].map((twips) => Math.round(pixels(twips) * k)),
        });
      }
      const markers = (form.markers?.list ?? []).map((marker) => ({
        rect: marker.rect, plate: colour(marker.colour),
        runs: [[marker.number, true], [marker.gap, false]].map(([run, bold]) => {
          const font = cssFont(form.markers.font[0] === 1, form.markers.font[1], bold);
          return [run[0], run[1], run[2] + painter.measurer.ascent(font), font];
        }),
      }));
      return { back: colour(form.back), labels, images, markers };
    };
    // Taken at the end of each of the page's periods, when what the period changed has just been
    // synced and the pictures it moved have just begun to glide.
    const frames = [];
    const store = milkaPage.store;
    const commit = store.commit;
    await new Promise((done) => {
      store.commit = function commitAndTake() {
        commit.call(store);
        frames.push(take());
        if (frames.length < count) return;
        store.commit = commit;
        done();
      };
    });
    return {
      k, frames, sprites, body: getComputedStyle(document.body).backgroundColor,
      canvas: { ...rect(canvas), width: canvas.width, height: canvas.height },
      buttons: [...document.querySelectorAll('#commands button')].map((b) => ({ ...rect(b), text: b.textContent })),
      text1: rect(document.getElementById('text1')),
    };
  }, SCENE_PERIODS);
}

// The page's main thread sampled by the browser's profiler; stopped, the calls that took most
// of it by themselves, as lines.
async function profile(page) {
  const cdp = await page.createCDPSession();
  await cdp.send('Profiler.enable');
  await cdp.send('Profiler.setSamplingInterval', { interval: 500 });
  await cdp.send('Profiler.start');
  // And the frames each page paints: the game's painter's calls, the bare page's own count.
  await page.evaluate(() => {
    globalThis.paintsSeen = () => globalThis.bare?.paints ?? globalThis.benchPaints;
    const painter = globalThis.milkaPage?.painter;
    if (!painter) return;
    const paint = painter.paint;
    globalThis.benchPaints = 0;
    painter.paint = function counted(...args) {
      globalThis.benchPaints++;
      return paint.apply(this, args);
    };
  });
  const paints = await page.evaluate(() => paintsSeen());
  return async () => {
    const painted = await page.evaluate(() => paintsSeen()) - paints;
    const { profile: p } = await cdp.send('Profiler.stop');
    const nodes = new Map(p.nodes.map((n) => [n.id, n.callFrame]));
    const self = new Map();
    p.samples.forEach((id, i) => {
      const f = nodes.get(id);
      const name = `${f.functionName || '(anonymous)'} ${f.url.split('/').pop()}:${f.lineNumber + 1}`;
      self.set(name, (self.get(name) ?? 0) + (p.timeDeltas[i] ?? 0) / 1000);
    });
    const busiest = [...self].sort((a, b) => b[1] - a[1]).slice(0, 12)
      .map(([name, ms]) => `    ${ms.toFixed(0).padStart(6)} ms  ${name}`);
    return [`    ${(painted / s.seconds).toFixed(1)} frames painted a second`, ...busiest].join('\n');
  };
}

// One run: a fresh browser brought to the scene, left to settle, then watched; its processes'
// ms of processor time over the window, or null when the game left the scene inside it.
async function measure(kind, scene, taken) {
  const browser = await launch('chromium', temporaryDir('milka-bench-cpu-'), s.executable);
  try {
    let page;
    if (kind === 'game') {
      page = await gameOn(browser, scene);
    } else {
      page = await browser.newPage();
      await page.setViewport({ width: 760, height: 560 });
      await page.goto(`${plain.base}/play/`);
      await page.waitForFunction(() => globalThis.bare !== undefined);
      await page.evaluate((t) => bare.show(t), taken[scene]);
    }
    await sleep(settle);
    const pid = browser.process().pid;
    const profiler = s.profile ? await profile(page) : null;
    const before = treeCpu(pid);
    await sleep(s.seconds * 1000);
    const after = treeCpu(pid);
    const spent = after.ms - before.ms;
    if (profiler) {
      console.log(`  ${scene}, ${kind}: ${Math.round(spent)} ms (${spentByKind(before, after)})`);
      console.log(`  the page's busiest calls:\n${await profiler()}`);
    }
    if (s.shots) await page.screenshot({ path: join(s.shots, `${scene}-${kind}.png`) });
    if (kind === 'game' && scene === 'race' && await screenOf(page) !== screen.race) {
      console.log(`  (a race ended inside the window: not counted)`);
      return null;
    }
    return spent;
  } finally {
    await browser.close();
  }
}

try {
  console.log(`load before: ${load()}`);
  // The scenes, taken once from the game's own page.
  const taken = {};
  for (const scene of scenes) {
    const browser = await launch('chromium', temporaryDir('milka-bench-take-'), s.executable);
    const page = await gameOn(browser, scene);
    await sleep(TAKEN_AFTER_MS[scene]);
    taken[scene] = await takeScene(page);
    await browser.close();
  }
  for (const scene of scenes) {
    const runs = { game: [], bare: [] };
    for (let i = 0; i < s.runs; i++) {
      for (const kind of ['game', 'bare']) {
        const ms = await measure(kind, scene, taken);
        if (ms !== null) runs[kind].push(ms);
      }
    }
    const listed = (kind) => runs[kind].map(Math.round).join(' ');
    console.log(`${scene}: game ${listed('game')} ms; bare ${listed('bare')} ms, per ${s.seconds} s`);
    if (!runs.game.length) continue;
    const g = median(runs.game), b = median(runs.bare);
    figure(`CPU over ${s.seconds} s of the ${scene}: game page / bare page (medians of ${runs.game.length})`,
      `${Math.round(g)} / ${Math.round(b)} ms = ${(g / b).toFixed(2)}x`, '<= 1.1x');
  }
  console.log(`load after: ${load()}`);
} finally {
  await plain.close();
  await served.close();
}
