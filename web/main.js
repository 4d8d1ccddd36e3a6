// The browser's window onto the game: the module (the game's rules, its journal and the midend)
// is fed the page's clicks, keys, edits and timer ticks, and after every call the page draws what
// changed in the form. The page decides nothing of the game; it only paints, stores and fetches.

import createMilka from './milka.js';
import { FormPainter, TextMeasurer, colour, takeLayout } from './draw.js';
import { keyCodeOf } from './keys.js';
import {
  SEED_LIMIT, SEED_TIME_LIMIT_MS, UPLOAD_TIME_LIMIT_MS, fetchForGame, packForSite, readCapped,
  requestForEntry,
} from './net.js';
import { Reader } from './reader.js';
import { JournalStore } from './store.js';
import { PageSound } from './sound.js';
import { TouchPad } from './touch.js';
import { View } from './view.js';

const WASM = 'milka.wasm';
const PERIOD_MS = 200;
const JOURNAL_LIMIT = 4 << 20;  // far more than any career writes

const EntryOp = { askSeed: 0, post: 1, compress: 2 };
const WindowOp = { setGame: 0, sync: 1, still: 2, pace: 3, title: 4, note: 5, lasting: 6, hideLasting: 7, later: 8 };
const ViewKey = { zoomIn: 1, zoomOut: 2, actualSize: 3, fullScreen: 4, gliding: 5, mute: 6, quieter: 7, louder: 8 };

const $ = (id) => document.getElementById(id);
const text1 = $('text1');
const view = new View({
  stage: $('stage'), canvas: $('form'), commands: [], text1, note: $('note'), lasting: $('lasting'),
});
const store = new JournalStore();
const reader = new Reader($('reading'), $('spoken'));
const sound = new PageSound({ button: $('sound'), volume: $('volume'), done: () => text1.focus() });

// The form as the page last drew it, every control by its number.
const form = {
  caption: '', back: 0x80ff00, width: 10785, height: 7740,
  labels: [], images: [], commands: [], text1: null, text2: null,
};
const still = { paused: false, locked: true };
let milka = null;
let depth = 0;          // calls into the module under way; the page syncs when the outermost ends
let titlePrefix = '';
let pace = 0;
let painting = 0;
let started = false;
let watching = false;
let showing = false;    // the module has a game to show: before that there is no form to ask for
let fresh = true;       // another game is shown: its whole layout is asked for
let paced = false;      // a replay's pace is set
let titleDrawn = false;

// A test on this machine may step the periods and a replay's pace itself (?periods=step), so a
// whole career runs as fast as it is driven. A page from anywhere else always keeps time.
const stepped = ['127.0.0.1', 'localhost', '[::1]'].includes(location.hostname) &&
  new URLSearchParams(location.search).get('periods') === 'step';

// --- Calling the module ------------------------------------------------------------------------

// Strings and bytes handed to the module live in its heap for the call only.
function handed(value, kept) {
  if (typeof value === 'string') {
    const length = milka.lengthBytesUTF8(value) + 1;
    const at = milka._malloc(length);
    milka.stringToUTF8(value, at, length);
    kept.push(at);
    return at;
  }
  if (value instanceof Uint8Array) {
    const at = milka._malloc(Math.max(1, value.length));
    milka.HEAPU8.set(value, at);
    kept.push(at);
    return at;
  }
  return typeof value === 'boolean' ? Number(value) : value;
}

// Calls fn of the module, then brings the page up to date. asText reads a text answer before the
// sync overwrites it.
function call(fn, args = [], asText = false) {
  const kept = [];
  depth++;
  let result;
  try {
    result = milka[`_${fn}`](...args.map((a) => handed(a, kept)));
    if (asText) result = milka.UTF8ToString(result);
  } finally {
    kept.forEach((at) => milka._free(at));
    depth--;
  }
  if (depth === 0) sync();
  return result;
}

// Several calls, one sync.
function together(work) {
  depth++;
  try {
    work();
  } finally {
    depth--;
  }
  if (depth === 0) sync();
}

// --- Drawing -------------------------------------------------------------------------------------

const measurer = new TextMeasurer();
const painter = new FormPainter(view.canvas, (kind, coat, left, frame) => {
  const width = milka._milka_sprite_width(kind), height = milka._milka_sprite_height(kind);
  const at = milka._milka_sprite(kind, coat, left, frame) >>> 2;
  return { width, height, argb: milka.HEAPU32.slice(at, at + width * height) };
}, {
  measurer,
  glided: (from, to, phase) => milka._milka_glided_left(from, to, phase),
  glideMs: PERIOD_MS,
});
painter.onSpriteReady = () => requestPaint();
painter.setGliding(view.gliding);

// A frame is drawn when something changed, and on every frame while a picture glides; none
// otherwise.
function requestPaint() {
  if (painting) return;
  painting = requestAnimationFrame(() => {
    painting = 0;
    if (painter.paint(form, view.deviceScale, performance.now())) requestPaint();
    // For the page's benchmarks: the first frame that shows the title.
    if (!titleDrawn && showing && milka._milka_screen() === 1) titleDrawn = !!performance.mark('milka-title-drawn');
  });
}

function layOut() {
  view.layOut(form);
  requestPaint();
}

function setTitle() {
  document.title = titlePrefix + form.caption;
}

// What changed in the model since the page last asked, onto the page.
function sync() {
  if (!showing) return;
  const said = milka.UTF8ToString(milka._milka_changes());
  const changes = JSON.parse(said);
  const laid = milka.UTF8ToString(milka._milka_layout(fresh, painter.gliding));
  fresh = false;
  let placed = false;
  for (const part of ['labels', 'images', 'commands']) {
    for (const [n, control] of Object.entries(changes[part] ?? {})) form[part][Number(n)] = control;
  }
  if ('width' in changes) {
    form.width = changes.width;
    form.height = changes.height;
    placed = true;
  }
  if ('back' in changes) {
    form.back = changes.back;
    document.body.style.background = colour(form.back);
  }
  if ('caption' in changes) {
    form.caption = changes.caption;
    setTitle();
  }
  if (changes.text1) {
    form.text1 = changes.text1;
    view.placeTextBox(form.text1);
  }
  if (changes.text2) form.text2 = changes.text2;
  for (const n of Object.keys(changes.commands ?? {})) {
    makeButton(Number(n));
    view.placeButton(Number(n), form.commands[n]);
    touch.place(view.commands[n], form.commands[n]);
  }
  if (placed) layOut();
  // The rules own the text box: whatever was typed, it shows what they hold.
  if (form.text1 && text1.value !== form.text1.text && !composing) text1.value = form.text1.text;
  touch.refresh();
  if (said === '{}' && laid === '{}') return;
  painter.invalidate();
  if (said !== '{}') reader.take(JSON.parse(milka.UTF8ToString(milka._milka_reading())));
  const layout = JSON.parse(laid);
  takeLayout(form, layout);
  painter.glide(Object.keys(changes.images ?? {}), layout.glides, performance.now());
  requestPaint();
}

// --- The window's part for the module ---------------------------------------------------------

function setStill(paused, locked) {
  still.paused = paused;
  still.locked = locked;
  text1.readOnly = paused || locked;
}

function setPace(ms) {
  clearInterval(pace);
  paced = ms > 0;
  pace = paced && !stepped ? setInterval(() => call('milka_pace'), ms) : 0;
}

// What the entry asks of the page: a seed, the journal posted, its bytes packed.
async function entryRequest(op, url, bytes) {
  switch (op) {
    case EntryOp.askSeed:
      return requestForEntry(url, { limit: SEED_LIMIT, timeLimit: SEED_TIME_LIMIT_MS });
    case EntryOp.post:
      return requestForEntry(url, { body: bytes, timeLimit: UPLOAD_TIME_LIMIT_MS });
    case EntryOp.compress:
      return { status: 0, body: await packForSite(bytes), fromServer: false };
    default:
      return { status: 0, body: new Uint8Array(0), fromServer: false };
  }
}

const page = {
  window(op, a, b, text) {
    switch (op) {
      case WindowOp.setGame: showing = true; fresh = true; break;  // the next changes are the whole form
      case WindowOp.sync: if (depth === 0) sync(); break;
      case WindowOp.still: setStill(a !== 0, b !== 0); break;
      case WindowOp.pace: setPace(a); break;
      case WindowOp.title: titlePrefix = text; setTitle(); break;
      case WindowOp.note: view.showNote(text); break;
      case WindowOp.lasting: view.showLastingNote(text); break;
      case WindowOp.hideLasting: view.hideLastingNote(); break;
      case WindowOp.later: setTimeout(() => call('milka_later'), 0); break;
      default: break;
    }
  },
  store(op, name, bytes, to) {
    store.take(op, name, bytes, to);
  },
  measure: (what, text, gothic, points, bold) => measurer.measure(what, text, gothic, points, bold),
  fetch(id, url, navigate) {
    if (id === -1) {
      window.open(url, '_blank', 'noopener');
      return;
    }
    fetchForGame(url, navigate).then((text) => call('milka_fetched', [id, text]));
  },
  entry(op, id, url, bytes) {
    entryRequest(op, url, bytes).then(({ status, body, fromServer }) =>
      call('milka_entry_answered', [id, status, body, body.length, fromServer]));
  },
};

// One period: the five timers while the game runs, then what it wrote goes to the database.
function period() {
  together(() => {
    if (!still.paused && !still.locked) for (let n = 1; n <= 5; n++) milka._milka_timer(n);
    milka._milka_poll();
  });
  store.commit();
}

// Everything fed so far, to the database now: the page may be gone in a moment.
function flush() {
  if (!started) return;
  call('milka_flush');
  store.commit();
}

// --- The buttons and the text box ---------------------------------------------------------------

function makeButton(n) {
  if (view.commands[n]) return;
  const button = document.createElement('button');
  button.type = 'button';
  button.tabIndex = -1;
  const keys = milka.UTF8ToString(milka._milka_command_keys(n));
  if (keys) button.title = `キー: ${keys}`;
  // Typing must always reach Text1, so a click never takes the focus away from it.
  button.addEventListener('mousedown', (e) => e.preventDefault());
  button.addEventListener('click', () => {
    call('milka_click', [n]);
    text1.focus();
  });
  view.commands[n] = button;
  $('commands').append(button);
}

let composing = false;
text1.addEventListener('compositionstart', () => { composing = true; });
text1.addEventListener('compositionend', () => {
  composing = false;
  if (started) call('milka_text1', [text1.value]);
});
text1.addEventListener('input', (e) => {
  if (!started || e.isComposing || composing) return;
  call('milka_text1', [text1.value]);
});

// A click anywhere on the form keeps the focus where the keys go.
$('stage').addEventListener('mousedown', (e) => {
  if (e.target !== text1) {
    e.preventDefault();
    text1.focus();
  }
});

function viewKey(key) {
  switch (key) {
    case ViewKey.zoomIn:
    case ViewKey.zoomOut: {
      const steps = key === ViewKey.zoomIn ? 1 : -1;
      view.setZoom(milka._milka_stepped_zoom(view.scale, steps, view.largestWholeZoom(form)));
      layOut();
      break;
    }
    case ViewKey.actualSize: view.setZoom(1); layOut(); break;
    case ViewKey.fullScreen:
      if (document.fullscreenElement) document.exitFullscreen?.().catch(() => {});
      else document.documentElement.requestFullscreen?.().catch(() => {});
      break;
    case ViewKey.gliding:
      view.setGliding(!view.gliding);
      painter.setGliding(view.gliding);
      requestPaint();
      break;
    case ViewKey.mute: sound.setMuted(!sound.muted); break;
    case ViewKey.quieter: sound.step(-1); break;
    case ViewKey.louder: sound.step(1); break;
    default: break;
  }
}

document.addEventListener('keydown', (e) => {
  if (!started) return;
  // The text box keeps the focus; nothing else on the form can take it.
  if (e.key === 'Tab') {
    e.preventDefault();
    return;
  }
  const code = keyCodeOf(e);
  if (code === 0) return;
  const answer = press(code, e.shiftKey, e.ctrlKey, e.altKey || e.metaKey, e.repeat);
  if (answer === 0) return;
  if (answer === 2) {
    // A symbol the text box types too, after the game has seen the key.
    if (document.activeElement !== text1) text1.focus();
    return;
  }
  e.preventDefault();
}, true);

// A key by its code, from the keyboard or from the keys on the screen: the module's answer.
function press(code, shift, control, alt, repeat) {
  const answer = call('milka_press', [code, shift, control, alt, repeat]);
  if (answer >= 10) viewKey(answer - 10);
  return answer;
}

// The keys on a touch screen go where a keyboard's go, and a letter types itself into the text box
// as it would there, so the game cannot tell the two apart.
const touch = new TouchPad({
  form, stage: $('stage'), commands: $('commands'), text1,
  press(code, symbol, control = false) {
    if (!started) return;
    if (press(code, false, control, false, false) !== 2) return;
    text1.setRangeText(symbol, text1.selectionStart ?? text1.value.length,
      text1.selectionEnd ?? text1.value.length, 'end');
    text1.dispatchEvent(new Event('input'));
  },
  ask: () => (milka && showing ? JSON.parse(milka.UTF8ToString(milka._milka_touch())) : {}),
  relayout: () => layOut(),
});

// --- Journals: kept, downloaded, opened, watched ------------------------------------------------

function bytesOf(at, length) {
  return milka.HEAPU8.slice(at, at + length);
}

function watch(bytes, race) {
  if (call('milka_watch', [bytes, bytes.length, race]) === 0) {
    view.showNote(call('milka_unreadable', [bytes, bytes.length], true));
    return false;
  }
  watching = true;
  $('back').hidden = false;
  return true;
}

$('download').addEventListener('mousedown', (e) => e.preventDefault());
$('download').addEventListener('click', () => {
  if (!started) return;
  flush();
  // Read at once: the next call into the module reuses the buffer it is handed in.
  const length = milka._milka_journal_bytes();
  const bytes = bytesOf(milka._milka_taken(), length);
  const name = milka.UTF8ToString(milka._milka_journal_name());
  if (length === 0 || !name) {
    view.showNote('ダウンロードできる記録はまだありません。');
    return;
  }
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
  text1.focus();
});

$('open').addEventListener('mousedown', () => flush());
$('open-file').addEventListener('change', async (e) => {
  const file = e.target.files[0];
  e.target.value = '';
  if (!file || !started) return;
  if (file.size > JOURNAL_LIMIT) {
    view.showNote('ミルカダービーの記録にしては大きすぎるファイルです。');
    return;
  }
  let bytes;
  try {
    bytes = new Uint8Array(await file.arrayBuffer());
  } catch {
    view.showNote('ファイルを読み込めませんでした。');
    return;
  }
  flush();
  // The career's own pause note belongs to the career, not to the race watched.
  view.hideLastingNote();
  watch(bytes, 0);
  text1.focus();
});

$('back').addEventListener('mousedown', (e) => e.preventDefault());
$('back').addEventListener('click', async () => {
  flush();
  await store.idle();
  location.href = location.pathname;
});

// A race of a career from the site's pages (?n=N&race=K): true when it is being watched.
async function watchFromSite(params) {
  const n = params.get('n');
  const race = Math.max(0, Math.trunc(Number(params.get('race')) || 0));
  let bytes = null;
  try {
    const stop = new AbortController();
    const timer = setTimeout(() => stop.abort(), 10000);
    const response = await fetch(`/karuden/uma.mdj?n=${encodeURIComponent(n)}`,
      { signal: stop.signal, cache: 'no-store' });
    if (response.ok) bytes = await readCapped(response, JOURNAL_LIMIT);
    clearTimeout(timer);
  } catch {
    bytes = null;
  }
  started = true;
  if (!bytes) {
    view.showNote('サイトからこの馬の記録を読み込めませんでした。通信が切れているか、記録が見つかりません。');
    return false;
  }
  return watch(bytes, race);
}

// One career, one page writing it: a second tab of the game waits until the first is closed.
function holdTheCareer() {
  if (!navigator.locks) return Promise.resolve();
  return new Promise((granted) => {
    let told = false;
    const waiting = setTimeout(() => {
      told = true;
      view.showLastingNote('このゲームは別のタブで開かれています。\nそのタブを閉じると、ここで続きが始まります。');
    }, 1000);
    const begin = () => {
      clearTimeout(waiting);
      if (told) view.hideLastingNote();
      granted();
    };
    navigator.locks.request('milka-derby-career', () => {
      begin();
      return new Promise(() => {});  // held as long as the page lives
    }).catch(begin);
  });
}

// The career held and its journals read: begun while the module loads, as neither needs it.
function openTheCareer() {
  const opening = holdTheCareer().then(() => store.open());
  opening.catch(() => {});  // startCareer hears of a refusal when it comes to it
  return opening;
}

async function startCareer(opening) {
  let kept = true;
  try {
    const journals = await opening;
    together(() => {
      for (const [name, bytes] of journals) call('milka_store_put', [name, bytes, bytes.length]);
    });
  } catch {
    kept = false;
  }
  // Refused later (the quota, the browser clearing it): the game says so itself, once.
  store.onFailed = () => call('milka_store_failed');
  started = true;
  call('milka_start', [location.origin, 0, 0]);
  if (!kept) {
    view.showNote('このブラウザでは記録を保存できないため、この経歴は残りません（プライベートウィンドウなど）。ゲームはこのまま遊べます。');
  }
}

async function main() {
  const params = new URLSearchParams(location.search);
  const opening = params.has('n') ? null : openTheCareer();
  try {
    milka = await createMilka({
      page,
      locateFile: (path, prefix) => (path.endsWith('.wasm') ? new URL(WASM, import.meta.url).href : prefix + path),
    });
  } catch {
    $('loading').textContent = 'このブラウザではゲームを動かせません。';
    return;
  }
  touch.start(JSON.parse(milka.UTF8ToString(milka._milka_symbol_keyboard())));
  sound.attach(milka);
  layOut();
  if (!(params.has('n') && await watchFromSite(params))) await startCareer(opening ?? openTheCareer());
  $('loading').hidden = true;
  if (!stepped) setInterval(period, PERIOD_MS);
  text1.focus();
  // For the page's own tests: the module and the page's view of it; stepped, a period and a
  // step of a replay's pace (whether one is set).
  globalThis.milkaPage = {
    module: milka, form, still, store, flush, painter, touch, sound, watching: () => watching,
    ...(stepped && { period, pace: () => paced && (call('milka_pace'), true) }),
  };
}

addEventListener('resize', layOut);
// Moved to a screen of another density: the canvas's backing store follows.
function followDensity() {
  matchMedia(`(resolution: ${devicePixelRatio}dppx)`).addEventListener('change', () => {
    layOut();
    followDensity();
  }, { once: true });
}
followDensity();
addEventListener('pagehide', flush);
document.addEventListener('visibilitychange', () => {
  if (document.visibilityState === 'hidden') flush();
});

main().finally(() => {
  // The game's files kept for playing with the network off (sw.js), once the page has fetched
  // them itself: the worker then finds them in the browser's cache instead of fetching them again.
  navigator.serviceWorker?.register('sw.js', { updateViaCache: 'none' }).catch(() => {});
});
