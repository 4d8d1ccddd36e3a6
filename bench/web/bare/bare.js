// The plain comparator for bench/web/page_cpu.mjs: the game's page's scene drawn as plainly as a
// canvas allows, with no module and no game. A scene is what the game's page showed, taken from
// its model period by period (every label's box, colour, font and fitted runs, every picture's
// place and pixels, the runners' markers, the five buttons and the text box); this page shows
// those periods in turn every 200 ms, the whole canvas redrawn with fillRect, fillText and
// drawImage, and a picture that moved slides there in a straight line on every animation frame
// of the period, as gliding does. Whatever the game's page spends beyond this is its own.
const PERIOD_MS = 200;
const canvas = document.getElementById('form');
const ctx = canvas.getContext('2d');

let scene = null;
let pictures = new Map();
let at = 0;
let since = 0;
let painting = 0;

function place(element, rect) {
  element.style.left = `${rect.x}px`;
  element.style.top = `${rect.y}px`;
  element.style.width = `${rect.w}px`;
  element.style.height = `${rect.h}px`;
  if (rect.font) element.style.font = rect.font;
}

// The period shown, at time now; true while a picture is still on its way.
function draw(frame, now) {
  const k = scene.k;
  const phase = Math.min(1, (now - since) / PERIOD_MS);
  ctx.setTransform(1, 0, 0, 1, 0, 0);
  ctx.imageSmoothingEnabled = false;
  ctx.fillStyle = frame.back;
  ctx.fillRect(0, 0, canvas.width, canvas.height);
  for (const l of frame.labels) {
    const [x, y, w, h] = l.box;
    if (l.back) {
      ctx.fillStyle = l.back;
      ctx.fillRect(x, y, w, h);
    }
    if (!l.runs.length) continue;
    ctx.save();
    ctx.beginPath();
    ctx.rect(x, y, w, h);
    ctx.clip();
    ctx.setTransform(k, 0, 0, k, 0, 0);
    ctx.font = l.font;
    ctx.fillStyle = l.fore;
    for (const [text, tx, ty] of l.runs) ctx.fillText(text, tx, ty);
    ctx.restore();
  }
  for (const p of frame.images) {
    const image = pictures.get(p.key);
    const [x, y, w, h] = p.box;
    const left = p.from === null ? x : Math.round(p.from + (x - p.from) * phase);
    if (image) ctx.drawImage(image, left, y, w, h);
  }
  ctx.setTransform(k, 0, 0, k, 0, 0);
  for (const m of frame.markers) {
    const [x, y, w, h] = m.rect;
    ctx.fillStyle = '#333333';
    ctx.fillRect(x, y, w, h);
    ctx.fillStyle = m.plate;
    ctx.fillRect(x + 1, y + 1, w - 2, h - 2);
    ctx.fillStyle = '#111111';
    for (const [text, tx, ty, font] of m.runs) {
      ctx.font = font;
      ctx.fillText(text, tx, ty);
    }
  }
  return phase < 1 && frame.images.some((p) => p.from !== null);
}

function requestPaint() {
  if (painting) return;
  painting = requestAnimationFrame((now) => {
    painting = 0;
    globalThis.bare.paints++;
    if (draw(scene.frames[at], now)) requestPaint();
  });
}

globalThis.bare = {
  paints: 0,
  async show(taken) {
    scene = taken;
    document.body.style.background = scene.body;
    canvas.width = scene.canvas.width;
    canvas.height = scene.canvas.height;
    place(canvas, scene.canvas);
    for (const b of scene.buttons) {
      const button = document.createElement('button');
      button.textContent = b.text;
      place(button, b);
      document.body.append(button);
    }
    const text1 = document.createElement('input');
    place(text1, scene.text1);
    document.body.append(text1);
    text1.focus();
    for (const [key, s] of Object.entries(scene.sprites)) {
      pictures.set(key, await createImageBitmap(new ImageData(new Uint8ClampedArray(s.rgba), s.w, s.h)));
    }
    since = performance.now();
    requestPaint();
    setInterval(() => {
      at = (at + 1) % scene.frames.length;
      since = performance.now();
      requestPaint();
    }, PERIOD_MS);
  },
};
