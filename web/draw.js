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

// A caption in its box: one line from the box's top, centred across it if asked, cut at the box.
// The fitting of long captions (smaller, or on two lines) is to come from the game's own code and
// replaces this.
function drawCaption(ctx, label, box, k) {
  ctx.font = cssFont(label.gothic, label.size, label.bold, k);
  ctx.fillStyle = colour(label.fore);
  const metrics = ctx.measureText(label.caption);
  const left = pixels(label.x) * k;
  const x = label.centre ? left + (pixels(label.w) * k - metrics.width) / 2 : left;
  const ascent = metrics.fontBoundingBoxAscent;
  ctx.save();
  ctx.beginPath();
  ctx.rect(box.x, box.y, box.w, box.h);
  ctx.clip();
  if (ascent === undefined) {
    ctx.textBaseline = 'top';
    ctx.fillText(label.caption, x, pixels(label.y) * k);
  } else {
    ctx.textBaseline = 'alphabetic';
    ctx.fillText(label.caption, x, pixels(label.y) * k + ascent);
  }
  ctx.restore();
}

// A box in twips on whole device pixels, k device pixels to the form's pixel.
function deviceBox(c, k) {
  const x0 = Math.round(pixels(c.x) * k), y0 = Math.round(pixels(c.y) * k);
  return { x: x0, y: y0, w: Math.round(pixels(c.x + c.w) * k) - x0, h: Math.round(pixels(c.y + c.h) * k) - y0 };
}

export class FormPainter {
  // sprite(kind, coat, left, frame) → { width, height, argb: Uint32Array }
  constructor(canvas, sprite) {
    this.canvas = canvas;
    this.sprite = sprite;
    this.bitmaps = new Map();  // one image per sprite, made once
    this.onSpriteReady = () => {};
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

  // k: device pixels to the form's pixel.
  paint(form, k) {
    const ctx = this.canvas.getContext('2d');
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.imageSmoothingEnabled = false;
    ctx.fillStyle = colour(form.back);
    ctx.fillRect(0, 0, this.canvas.width, this.canvas.height);
    for (const n of labelOrder(form.labels.length)) {
      const label = form.labels[n];
      if (!label) continue;
      const box = deviceBox(label, k);
      if (!label.transparent) {
        ctx.fillStyle = colour(label.back);
        ctx.fillRect(box.x, box.y, box.w, box.h);
      }
      if (label.caption) drawCaption(ctx, label, box, k);
    }
    for (let n = 1; n < form.images.length; n++) {
      const p = form.images[n];
      if (!p || !p.kind) continue;
      const image = this.bitmap(p);
      if (!image) continue;
      // Its corner on the nearest device pixel, its size whole: at 1× and 2× every pixel of the
      // art is one or four on the screen.
      const box = {
        x: Math.round(pixels(p.x) * k), y: Math.round(pixels(p.y) * k),
        w: Math.round(pixels(p.w) * k), h: Math.round(pixels(p.h) * k),
      };
      if (box.x >= this.canvas.width || box.y >= this.canvas.height || box.x + box.w <= 0 ||
          box.y + box.h <= 0) continue;
      ctx.drawImage(image, box.x, box.y, box.w, box.h);
    }
  }
}
