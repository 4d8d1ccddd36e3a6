// Draws the page's icons (the home screen's, the installed app's) from the game's own pixel art,
// as the desktop's icons are drawn: the grey runner facing right, scaled by the largest whole
// factor that fits, every pixel a square block, centred on transparency. The art is read from
// the built module itself, so the icons can never show another horse than the game does.
//   node scripts/web-icons.mjs BUILD/milka.js OUT-DIR SIZE...   (writes OUT-DIR/icon-SIZE.png)
import { readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { deflateSync } from 'node:zlib';

const [moduleJs, out, ...sizes] = process.argv.slice(2);
// The module finds its own folder the way a CommonJS script would.
globalThis.__dirname = dirname(moduleJs);
const { default: createMilka } = await import(new URL(`file://${moduleJs}`).href);
const milka = await createMilka({ wasmBinary: readFileSync(moduleJs.replace(/\.js$/, '.wasm')) });

const HORSE = 1, GREY = 0;
const width = milka._milka_sprite_width(HORSE), height = milka._milka_sprite_height(HORSE);
const at = milka._milka_sprite(HORSE, GREY, 0, 0) >>> 2;
const art = milka.HEAPU32.slice(at, at + width * height);

const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
function crc32(bytes) {
  let c = 0xffffffff;
  for (const b of bytes) c = crcTable[(c ^ b) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}
function chunk(type, data) {
  const head = Buffer.alloc(8);
  head.writeUInt32BE(data.length, 0);
  head.write(type, 4, 'latin1');
  const tail = Buffer.alloc(4);
  tail.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), data])), 0);
  return Buffer.concat([head, data, tail]);
}

function png(side) {
  const factor = Math.floor(side / Math.max(width, height));
  if (factor < 1) throw new Error(`the runner's art (${width}×${height}) does not fit ${side} px`);
  const left = Math.floor((side - width * factor) / 2), top = Math.floor((side - height * factor) / 2);
  // Rows of RGBA, each after its filter byte (0: none).
  const rows = Buffer.alloc(side * (1 + side * 4));
  for (let y = 0; y < side; y++) {
    const sy = Math.floor((y - top) / factor);
    for (let x = 0; x < side; x++) {
      const sx = Math.floor((x - left) / factor);
      if (y < top || x < left || sy >= height || sx >= width) continue;
      const argb = art[sy * width + sx];
      const o = y * (1 + side * 4) + 1 + x * 4;
      rows[o] = (argb >>> 16) & 0xff;
      rows[o + 1] = (argb >>> 8) & 0xff;
      rows[o + 2] = argb & 0xff;
      rows[o + 3] = argb >>> 24;
    }
  }
  const header = Buffer.alloc(13);
  header.writeUInt32BE(side, 0);
  header.writeUInt32BE(side, 4);
  header.set([8, 6, 0, 0, 0], 8);  // 8 bits a channel, RGBA, no interlacing
  return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
    chunk('IHDR', header), chunk('IDAT', deflateSync(rows, { level: 9 })), chunk('IEND', Buffer.alloc(0))]);
}

for (const size of sizes.map(Number)) writeFileSync(join(out, `icon-${size}.png`), png(size));
