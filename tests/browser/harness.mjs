// What the page's tests share: the maker's site itself (milka-site) serving the assembled page,
// or a small static server of their own, or a site's address given; Debian's Chromium and
// Firefox ESR through puppeteer-core; and the game's state read through the page.
import { spawn } from 'node:child_process';
import { createServer } from 'node:http';
import { mkdtempSync, readFileSync, rmSync, statSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { extname, join, normalize } from 'node:path';
import puppeteer from 'puppeteer-core';

export const screen = {
  title: 1, breeding: 2, stable: 3, raceCard: 6, race: 7, results: 8, pasture: 9, careerOver: 10, finished: -11,
};

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8', '.wasm': 'application/wasm', '.json': 'application/json',
  '.svg': 'image/svg+xml', '.mdj': 'application/octet-stream', '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
};

// As strict as the site's: the page's own files and nothing inline, compiling its WebAssembly the
// one thing allowed beyond.
const POLICY = "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self'; " +
  "img-src 'self' blob: data:; connect-src 'self'; object-src 'none'; base-uri 'none'; " +
  "frame-ancestors 'none'";

// --play DIR --url BASE --shots DIR … as an object.
export function options(argv = process.argv.slice(2)) {
  const o = {};
  for (let i = 0; i < argv.length; i += 2) o[argv[i].replace(/^--/, '')] = argv[i + 1];
  return o;
}

// Serves the page folder at /play/ and the journals given at /karuden/uma.mdj?n=N, on 127.0.0.1
// (own: true). With base set, the tests use that site instead and nothing is started; with
// program, that milka-site is started to serve the page.
export async function site({ base, play, journals = {}, program }) {
  if (base) return { base, close: async () => {} };
  if (program) return makersSite(program, play);
  const server = createServer((request, response) => {
    const url = new URL(request.url, 'http://localhost');
    let file = null;
    if (url.pathname === '/karuden/uma.mdj') file = journals[url.searchParams.get('n')] ?? null;
    else if (url.pathname === '/play/') file = join(play, 'index.html');
    else if (url.pathname.startsWith('/play/')) {
      const name = normalize(url.pathname.slice('/play/'.length));
      if (!name.includes('/') && !name.startsWith('.')) file = join(play, name);
    }
    try {
      if (!file || !statSync(file).isFile()) throw new Error('none');
      response.writeHead(200, {
        'Content-Type': types[extname(file)] ?? 'application/octet-stream',
        'Content-Security-Policy': POLICY,
      });
      response.end(readFileSync(file));
    } catch {
      response.writeHead(404, { 'Content-Type': 'text/plain; charset=utf-8' });
      response.end('見つかりません');
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    own: true,
    base: `http://127.0.0.1:${server.address().port}`,
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}

// milka-site as a host runs it, on 127.0.0.1 at a free port (or the address given, as a site
// started again keeps its own), with a database of its own, serving the page's tree at /play/;
// ended with the test.
export async function makersSite(program, play, listen = '127.0.0.1:0') {
  const dir = temporaryDir('milka-site-');
  const child = spawn(program, ['--listen', listen, '--db', join(dir, 'site.sqlite'), '--play', play],
    { stdio: ['ignore', 'pipe', 'inherit'] });
  const ended = new Promise((resolve) => child.once('exit', resolve));
  const base = await new Promise((resolve, reject) => {
    let said = '';
    // Read on to the end, so that nothing it says ever holds it up.
    child.stdout.on('data', (part) => {
      if (said.length > 4096) return;
      said += part;
      const at = said.match(/http:\/\/127\.0\.0\.1:\d+/);
      if (at) resolve(at[0]);
    });
    ended.then(() => reject(new Error(`milka-site ended before it served: ${said}`)));
  });
  return {
    base,
    close: async () => {
      child.kill();
      await ended;
    },
  };
}

export function temporaryDir(prefix) {
  const dir = mkdtempSync(join(tmpdir(), prefix));
  process.on('exit', () => rmSync(dir, { recursive: true, force: true }));
  return dir;
}

// A program by its name, as the shell finds it.
function onPath(name) {
  for (const dir of (process.env.PATH ?? '').split(':')) {
    try {
      if (dir && statSync(join(dir, name)).isFile()) return join(dir, name);
    } catch {
      // Not in this one.
    }
  }
  throw new Error(`${name} is needed: scripts/deps.sh installs it`);
}

// Debian's browsers: chromium, or firefox-esr (executable names the program, when not on PATH).
export async function launch(kind, userDataDir, executable) {
  if (kind === 'firefox') {
    return puppeteer.launch({
      browser: 'firefox', executablePath: executable ?? onPath('firefox-esr'), headless: true,
      userDataDir,
    });
  }
  return puppeteer.launch({
    executablePath: executable ?? onPath('chromium'), headless: true, userDataDir,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run'],
  });
}

// A page of the game, its module running; on a device given, as page.emulate takes it (a phone).
export async function openGame(browser, url, scale = 1, device = null) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(String(e)));
  // A journal the site lacks is a 404 the page answers in words; anything else is a fault.
  page.on('console', (m) => m.type() === 'error' && !m.location()?.url?.includes('/karuden/') &&
    errors.push(m.text()));
  await page.evaluateOnNewDocument(() => document.addEventListener('securitypolicyviolation',
    (e) => console.error(`refused by the page's policy: ${e.violatedDirective}`)));
  if (device) await page.emulate(device);
  else await page.setViewport({ width: 760, height: 560, deviceScaleFactor: scale });
  await page.goto(url);
  await page.waitForFunction(() => globalThis.milkaPage !== undefined, { timeout: 20000 });
  page.errors = errors;
  return page;
}

export const screenOf = (page) => page.evaluate(() => milkaPage.module._milka_screen());
export const caption = (page, n) => page.evaluate((k) => milkaPage.form.labels[k]?.caption ?? '', n);

// Presses key until the game shows what is wanted: a press inside the buttons' pacing is not
// taken, so it is pressed again after a tick or two.
export async function pressUntil(page, key, wanted, tries = 40) {
  for (let i = 0; i < tries; i++) {
    if (await wanted()) return;
    await page.keyboard.press(key);
    const deadline = Date.now() + 500;
    while (Date.now() < deadline) {
      if (await wanted()) return;
      await new Promise((r) => setTimeout(r, 50));
    }
  }
  throw new Error(`${key} never brought what was wanted`);
}

// Waits a while for what the game should come to show; whether it did.
export async function until(wanted, ms = 5000) {
  const deadline = Date.now() + ms;
  for (;;) {
    if (await wanted()) return true;
    if (Date.now() > deadline) return false;
    await new Promise((r) => setTimeout(r, 50));
  }
}

// From the title through breeding, naming, the foal, the stable and the race card to the race's
// start; shoot(name) is called on each screen on the way.
export async function playToTheRace(page, shoot = async () => {}) {
  const shownCaption = (n, text) => async () => await caption(page, n) === text;
  const starts = (n, text) => async () => (await caption(page, n)).startsWith(text);
  await pressUntil(page, 'Enter', async () => await screenOf(page) === screen.breeding);
  check(await until(shownCaption(27, '父馬を選び下さい')), 'the sire is chosen first');
  // The second sire: 下 (Page Down) moves the red cursor a row.
  await pressUntil(page, 'PageDown',
    () => page.evaluate(() => milkaPage.form.labels[18].fore === 0xff1111));
  await shoot('breeding');
  await pressUntil(page, 'Enter', shownCaption(27, '母馬を選び下さい'));
  await pressUntil(page, 'Enter', starts(29, '2文字以上'));
  await page.keyboard.type('milka');
  check(await until(async () => (await caption(page, 27)).toUpperCase() === 'MILKA'),
    'the name typed is shown as it is typed');
  await shoot('naming');
  await pressUntil(page, 'Enter', starts(29, 'この馬の名前は'));
  check((await caption(page, 29)).toUpperCase().includes('MILKA'), 'the foal bears the name typed');
  await shoot('foal');
  await pressUntil(page, 'Enter', async () => await screenOf(page) === screen.stable);
  await shoot('stable');
  // A horse too light to race goes to pasture (B) for a month first, and is back in the stable.
  for (let month = 0; await screenOf(page) !== screen.raceCard; month++) {
    if (month === 6) throw new Error('the horse never came to race');
    try {
      await pressUntil(page, 'Enter', async () => await screenOf(page) === screen.raceCard, 6);
    } catch {
      await pressUntil(page, 'Backspace', async () => await screenOf(page) === screen.pasture);
      await pressUntil(page, 'Enter', async () => await screenOf(page) === screen.stable);
    }
  }
  await shoot('racecard');
  await pressUntil(page, 'Enter', async () => await screenOf(page) === screen.race);
}

// The page's journals read back from the browser's database (after what is pending is written),
// the running career's name, and the module's trace of a journal ("EVENTS SUM LAST").
export function keptJournal(page) {
  return page.evaluate(async () => {
    milkaPage.flush();
    const m = milkaPage.module;
    const name = m.UTF8ToString(m._milka_journal_name());
    const stored = (await milkaPage.store.readBack()).get(name) ?? new Uint8Array(0);
    const length = m._milka_journal_bytes();
    const live = m.HEAPU8.slice(m._milka_taken(), m._milka_taken() + length);
    const trace = (bytes) => {
      const at = m._malloc(Math.max(1, bytes.length));
      m.HEAPU8.set(bytes, at);
      const line = m.UTF8ToString(m._milka_trace(at, bytes.length));
      m._free(at);
      return line;
    };
    return { name, stored: Array.from(stored), live: Array.from(live), trace: trace(stored), liveTrace: trace(live) };
  });
}

// The shown game's fingerprint, as a trace's LAST prints it.
export function fingerprint(page) {
  return page.evaluate(() => {
    const m = milkaPage.module;
    const hex = (v) => v.toString(16).padStart(8, '0');
    return hex(m._milka_fingerprint_hi()) + hex(m._milka_fingerprint_lo());
  });
}

export const lastingNote = (page) => page.$eval('#lasting', (n) => (n.hidden ? '' : n.textContent));
export const passingNote = (page) => page.$eval('#note', (n) => (n.hidden ? '' : n.textContent));

// The key that types the whip symbol shown.
export function keyFor(symbol) {
  const arrows = { '←': 'ArrowLeft', '↑': 'ArrowUp', '→': 'ArrowRight', '↓': 'ArrowDown' };
  if (arrows[symbol]) return arrows[symbol];
  return /^[a-z]$/.test(symbol) ? symbol : null;
}

// Whips with every key shown until the results board is up.
export async function raceToTheBoard(page, { midway } = {}) {
  let typed = 0;
  for (let i = 0; i < 6000; i++) {
    if (await screenOf(page) === screen.results) return typed;
    const key = keyFor(await caption(page, 12));
    if (key && await caption(page, 11) !== await caption(page, 12)) {
      await page.keyboard.press(key);
      typed++;
      if (typed === 1 && midway) await midway();
    }
    await new Promise((r) => setTimeout(r, 60));
  }
  throw new Error('the race never reached its board');
}

// The loudest sample the page's own audio graph sent to the speakers over ms milliseconds (0 to 1),
// or null when the page has made no audio graph.
export function audioPeak(page, ms) {
  return page.evaluate((span) => new Promise((done) => {
    const analyser = milkaPage.sound.analyser;
    if (!analyser) {
      done(null);
      return;
    }
    const samples = new Float32Array(analyser.fftSize);
    let peak = 0;
    const end = performance.now() + span;
    const look = () => {
      analyser.getFloatTimeDomainData(samples);
      for (const v of samples) peak = Math.max(peak, Math.abs(v));
      if (performance.now() < end) setTimeout(look, 20);
      else done(peak);
    };
    look();
  }), ms);
}

export function check(condition, what) {
  if (!condition) throw new Error(`not so: ${what}`);
  console.log(`ok: ${what}`);
}

// --- A career driven a period at a time (the page opened with ?periods=step) -----------------

// The closing screen's words on how the entry fared, as the player reads them.
export const entryWords = {
  checked: '成績はサイトで照合されました。',
  unseeded: 'サイトにつながらない間に始まった馬なので、殿堂には未検証として載ります。',
  notSent: '記録をサイトへ送れなかったため、殿堂には未検証として載ります。',
  unreachable: 'サイトにつながらず、殿堂に登録できませんでした。\nこの馬の記録はこのブラウザに残っています。',
  offlineSeed: 'サイトにつながらないため、この馬は殿堂には未検証として載ります。\nゲームはこのまま遊べます。',
  refused: 'サイトが記録を受け付けませんでした（',
  unverified: '）。殿堂には未検証として載ります。',
};

// One period of the page's own timers, and what the form shows after it.
const step = (page) => page.evaluate(() => {
  milkaPage.period();
  const label = (k) => milkaPage.form.labels[k]?.caption ?? '';
  return {
    screen: milkaPage.module._milka_screen(), whipLabel: label(11), whip: label(12),
    name: label(27), prompt: label(29), paused: milkaPage.still.paused,
  };
});

// Plays on as a player does, one period at a time, until done(shown) says so: the name typed
// when it is asked for, the whip symbol shown typed in every period of a race, and otherwise A
// (Enter) once the buttons' pacing lets it act (a press too early is not taken, and starts the
// pacing again). A horse the stable will not race goes to pasture (B) for a month.
export async function playOn(page, done, periodLimit = 100000) {
  let since = 0;   // periods since the last press, or since the screen changed
  let refused = 0;  // presses of A the stable did not act on
  let last = null;
  let pressed = '';
  const press = async (key) => {
    pressed = key;
    await page.keyboard.press(key);
  };
  for (let n = 0; n < periodLimit; n++) {
    const shown = await step(page);
    if (done(shown)) return shown;
    if (shown.paused && !last?.paused && n > 0) {
      throw new Error(`paused after ${pressed}: ${JSON.stringify(last)} → ${JSON.stringify(shown)}`);
    }
    if (last && shown.screen !== last.screen) {
      since = 0;
      refused = 0;
    }
    last = shown;
    since++;
    if (shown.screen === screen.race) {
      const key = keyFor(shown.whip);
      if (key && shown.whipLabel !== shown.whip) await press(key);
      continue;
    }
    if (shown.screen === screen.breeding && shown.prompt.startsWith('2文字以上') && shown.name.length < 2) {
      await page.keyboard.type('milka');
      since = 0;
      continue;
    }
    if (since < 4) continue;
    since = 0;
    if (shown.screen === screen.stable && refused >= 2) {
      await press('Backspace');
      refused = 0;
      continue;
    }
    if (shown.screen === screen.stable) refused++;
    await press('Enter');
  }
  throw new Error(`the career did not come where it was wanted in ${periodLimit} periods: ${JSON.stringify(last)}`);
}

export const seeded = (page) => page.evaluate(() => milkaPage.module._milka_seeded() === 1);

// A page of the maker's site, as text.
export async function sitePage(base, path) {
  const response = await fetch(`${base}${path}`);
  return { status: response.status, text: await response.text() };
}

// A test's scenario to its end: whatever it throws fails it, and what it opened is closed however
// it ends; the process's status says which.
export async function scenario(run, opened) {
  let failed = false;
  try {
    await run();
  } catch (e) {
    console.error(e);
    failed = true;
  } finally {
    for (const thing of opened) await thing.close();
  }
  process.exit(failed ? 1 : 0);
}
