// The form's labels and pictures on one canvas, drawn as the desktop's window draws them: Label9
// (the panel behind the buttons) under everything, the other labels in number order, every
// picture above every label. Everything is placed on whole device pixels, so the edges of
// neighbouring labels never blend and the pixel art stays sharp at any scale.

const TWIPS_PER_PIXEL = 15;
const POINTS_TO_PIXELS = 96 / 72;

// The faces the desktop asks for, then the same faces under the names other systems give them.
export const GOTHIC = '"ＭＳ Ｐゴシック", "MS PGothic", "IPAPGothic", "Hiragino Kaku Gothic ProN", ' +
  '"Hiragino Sans", "Noto Sans CJK JP", sans-serif';
export const MINCHO = '"ＭＳ Ｐ明朝", "MS PMincho", "IPAPMincho", "Hiragino Mincho ProN", ' +
  '"Noto Serif CJK JP", serif';

export function cssFont(gothic, points, bold, scale = 1) {
  const px = points * POINTS_TO_PIXELS * scale;
  return `${bold ? 'bold ' : ''}${px}px ${gothic ? GOTHIC : MINCHO}`;
}

export function colour(rgb) {
  return '#' + (rgb & 0xffffff).toString(16).padStart(6, '0');
}

export function pixels(twips) {
  return twips / TWIPS_PER_PIXEL;
}

// Label numbers as they are drawn, the panel first.
function labelOrder(count) {
  const order = [9];
  for (let n = 1; n < count; n++) if (n !== 9) order.push(n);
  return order;
}

// The widths and heights the game's layout asks for, as a canvas gives them in the fonts the page
// draws with, at the form's own size (a CSS pixel is a form pixel at 1×). The module keeps the
// widths; the heights are kept here too, since drawing a line needs its font's ascent.
export class TextMeasurer {
  constructor() {
    this.ctx = document.createElement('canvas').getContext('2d');
    this.heights = new Map();  // by font: [ascent, descent, leading]
  }

  // what: 0 the width of text, 1 the ascent, 2 the descent, 3 the leading.
  measure(what, text, gothic, points, bold) {
    const font = cssFont(gothic, points, bold);
    if (what === 0) {
      this.ctx.font = font;
      return this.ctx.measureText(text).width;
    }
    return this.heightsOf(font)[what - 1];
  }

  heightsOf(font) {
    let heights = this.heights.get(font);
    if (!heights) {
      this.ctx.font = font;
      const m = this.ctx.measureText('');
      // A browser without the font's own heights: the ink of the tallest and deepest glyphs.
      const ink = m.fontBoundingBoxAscent === undefined ? this.ctx.measureText('国g') : null;
      const ascent = ink ? ink.actualBoundingBoxAscent : m.fontBoundingBoxAscent;
      const descent = ink ? ink.actualBoundingBoxDescent : m.fontBoundingBoxDescent;
      heights = [ascent, descent, 0];
      this.heights.set(font, heights);
    }
    return heights;
  }

  ascent(font) {
    return this.heightsOf(font)[0];
  }
}

// The runs of a fitted caption, from the label's top left, cut at the label's box; ctx is scaled
// to the form's pixels.
function drawRuns(ctx, label, fit, box, k, measurer) {
  const font = cssFont(fit.font[0] === 1, fit.font[1], fit.font[2] === 1);
  const ascent = measurer.ascent(font);
  ctx.save();
  ctx.beginPath();
  ctx.rect(box.x, box.y, box.w, box.h);
  ctx.clip();
  ctx.setTransform(k, 0, 0, k, 0, 0);
  ctx.font = font;
  ctx.fillStyle = colour(label.fore);
  ctx.textBaseline = 'alphabetic';
  const left = pixels(label.x), top = pixels(label.y);
  for (const [text, dx, dy] of fit.runs) if (text) ctx.fillText(text, left + dx, top + dy + ascent);
  ctx.restore();
}

// A runner out of view: a plate in its gate colour on whole pixels, its number bold and its
// distance plain.
function drawMarker(ctx, marker, face, measurer) {
  const [x, y, w, h] = marker.rect;
  ctx.fillStyle = '#333333';
  ctx.fillRect(x, y, w, h);
  ctx.fillStyle = colour(marker.colour);
  ctx.fillRect(x + 1, y + 1, w - 2, h - 2);
  ctx.fillStyle = '#111111';
  ctx.textBaseline = 'alphabetic';
  for (const [run, bold] of [[marker.number, true], [marker.gap, false]]) {
    const font = cssFont(face[0] === 1, face[1], bold);
    ctx.font = font;
    ctx.fillText(run[0], run[1], run[2] + measurer.ascent(font));
  }
}

// A box in twips on whole device pixels, k device pixels to the form's pixel.
function deviceBox(c, k) {
  const x0 = Math.round(pixels(c.x) * k), y0 = Math.round(pixels(c.y) * k);
  return { x: x0, y: y0, w: Math.round(pixels(c.x + c.w) * k) - x0, h: Math.round(pixels(c.y + c.h) * k) - y0 };
}

// What the module laid out since it last said, onto the form as the page keeps it: each label's
// fitted caption and the markers.
export function takeLayout(form, layout) {
  form.layout ??= [];
  for (const [n, fit] of Object.entries(layout.layout ?? {})) form.layout[Number(n)] = fit;
  if (layout.markers) form.markers = layout.markers;
}

export class FormPainter {
  // sprite(kind, coat, left, frame) → { width, height, argb: Uint32Array }; glided(from, to,
  // phase) → where a gliding picture stands, as the game's own rule has it.
  constructor(canvas, sprite, { measurer, glided, glideMs }) {
    this.canvas = canvas;
    this.sprite = sprite;
    this.measurer = measurer;
    this.glided = glided;
    this.glideMs = glideMs;
    this.bitmaps = new Map();  // one image per sprite, made once
    this.glides = new Map();   // picture number → { from (twips), start (ms) }
    this.gliding = true;
    this.onSpriteReady = () => {};
    this.layer = null;  // the labels, under the pictures
    this.layerK = 0;
    this.layerStale = true;
  }

  // The pictures that changed start gliding from where the module says, or stand where they are
  // put at once.
  glide(changedImages, glides, now) {
    for (const n of changedImages) {
      const from = glides?.[n];
      if (from !== undefined && this.gliding) this.glides.set(Number(n), { from, start: now });
      else this.glides.delete(Number(n));
    }
  }

  setGliding(on) {
    this.gliding = on;
    if (!on) this.glides.clear();
  }

  // Where picture n is drawn at time now, in twips from the left.
  leftOf(n, p, now) {
    const g = this.glides.get(n);
    if (!g) return p.x;
    const phase = (now - g.start) / this.glideMs;
    if (phase >= 1) {
      this.glides.delete(n);
      return p.x;
    }
    return this.glided(g.from, p.x, phase);
  }

  bitmap(p) {
    const key = `${p.kind}/${p.coat}/${p.left}/${p.frame}`;
    if (this.bitmaps.has(key)) return this.bitmaps.get(key);
    this.bitmaps.set(key, null);
    const art = this.sprite(p.kind, p.coat, p.left, p.frame);
    if (!art || art.width <= 0 || art.height <= 0) return null;
    const rgba = new Uint8ClampedArray(art.width * art.height * 4);
    for (let i = 0; i < art.argb.length; i++) {
      const v = art.argb[i];
      rgba[i * 4] = (v >>> 16) & 255;
      rgba[i * 4 + 1] = (v >>> 8) & 255;
      rgba[i * 4 + 2] = v & 255;
      rgba[i * 4 + 3] = v >>> 24;
    }
    createImageBitmap(new ImageData(rgba, art.width, art.height)).then((made) => {
      this.bitmaps.set(key, made);
      this.onSpriteReady();
    });
    return null;
  }

  // The labels changed (or the form did): they are drawn again on the next frame.
  invalidate() {
    this.layerStale = true;
  }

  // The window's colour and every label, as they stand between two ticks: drawn once a change,
  // however many frames a glide takes.
  paintLabels(form, k) {
    const { width, height } = this.canvas;
    if (!this.layer || this.layer.width !== width || this.layer.height !== height || this.layerK !== k) {
      this.layer ??= document.createElement('canvas');
      this.layer.width = width;
      this.layer.height = height;
      this.layerK = k;
      this.layerStale = true;
    }
    if (!this.layerStale) return;
    this.layerStale = false;
    const ctx = this.layer.getContext('2d');
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.fillStyle = colour(form.back);
    ctx.fillRect(0, 0, width, height);
    for (const n of labelOrder(form.labels.length)) {
      const label = form.labels[n];
      if (!label) continue;
      const box = deviceBox(label, k);
      // Its back and its text are cut at its box: one wholly off the canvas shows nothing.
      if (box.x >= width || box.y >= height || box.x + box.w <= 0 || box.y + box.h <= 0) continue;
      if (!label.transparent) {
        ctx.fillStyle = colour(label.back);
        ctx.fillRect(box.x, box.y, box.w, box.h);
      }
      const fit = form.layout?.[n];
      if (fit && fit.runs.length > 0) drawRuns(ctx, label, fit, box, k, this.measurer);
    }
  }

  // k: device pixels to the form's pixel; now: the time of the frame. True while a picture is
  // still on its way, and the next frame should be drawn.
  paint(form, k, now) {
    this.paintLabels(form, k);
    const ctx = this.canvas.getContext('2d');
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.imageSmoothingEnabled = false;
    ctx.drawImage(this.layer, 0, 0);
    for (let n = 1; n < form.images.length; n++) {
      const p = form.images[n];
      if (!p || !p.kind) continue;
      const left = this.leftOf(n, p, now);
      const image = this.bitmap(p);
      if (!image) continue;
      // Its corner on the nearest device pixel, its size whole: at 1× and 2× every pixel of the
      // art is one or four on the screen.
      const box = {
        x: Math.round(pixels(left) * k), y: Math.round(pixels(p.y) * k),
        w: Math.round(pixels(p.w) * k), h: Math.round(pixels(p.h) * k),
      };
      if (box.x >= this.canvas.width || box.y >= this.canvas.height || box.x + box.w <= 0 ||
          box.y + box.h <= 0) continue;
      ctx.drawImage(image, box.x, box.y, box.w, box.h);
    }
    // Above the pictures: a marker stands for a runner that is not there to be seen.
    if (form.markers?.list.length) {
      ctx.setTransform(k, 0, 0, k, 0, 0);
      for (const marker of form.markers.list) drawMarker(ctx, marker, form.markers.font, this.measurer);
      ctx.setTransform(1, 0, 0, 1, 0, 0);
    }
    return this.glides.size > 0;
  }
}
