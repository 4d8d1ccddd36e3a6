// The game's requests, to the site that served the page and nowhere else: a time limit, a cap on
// what is read, and the empty text for every kind of failure, so the game never waits forever
// nor sees part of an answer.

const TIME_LIMIT_MS = 5000;
export const TEXT_LIMIT = 4096;

// Resolves to the answer's text, or for navigate to where the request ended up; '' on failure.
export async function fetchForGame(url, navigate, { limit = TEXT_LIMIT, timeLimit = TIME_LIMIT_MS } = {}) {
  let target;
  try {
    target = new URL(url, location.href);
  } catch {
    return '';
  }
  if (target.origin !== location.origin) return '';
  const stop = new AbortController();
  const timer = setTimeout(() => stop.abort(), timeLimit);
  try {
    const response = await fetch(target, {
      mode: 'same-origin', credentials: 'same-origin', cache: 'no-store', redirect: 'follow',
      signal: stop.signal,
    });
    if (!response.ok) return '';
    if (navigate) {
      await response.body?.cancel();
      return response.url;
    }
    const bytes = await readCapped(response, limit);
    return bytes === null ? '' : new TextDecoder().decode(bytes);
  } catch {
    return '';
  } finally {
    clearTimeout(timer);
  }
}

// The body, or null when it runs past limit (read no further than that).
export async function readCapped(response, limit) {
  if (!response.body) return new Uint8Array(0);
  const reader = response.body.getReader();
  const parts = [];
  let length = 0;
  for (;;) {
    const { done, value } = await reader.read();
    if (done) break;
    length += value.length;
    if (length > limit) {
      await reader.cancel();
      return null;
    }
    parts.push(value);
  }
  const all = new Uint8Array(length);
  let at = 0;
  for (const part of parts) {
    all.set(part, at);
    at += part.length;
  }
  return all;
}

// --- The entry's requests: a new career's seed, and the career's journal sent with its entry ---

// A new career does not wait long for its seed, and a seed is 32 bytes.
export const SEED_TIME_LIMIT_MS = 3000;
export const SEED_LIMIT = 64;
// The site replays a whole career before it answers.
export const UPLOAD_TIME_LIMIT_MS = 10000;

// GETs url, or POSTs body to it, never following a redirect: { status, body, fromServer }, body
// holding no more than limit bytes of the answer. No answer at all (a network failure, another
// origin, the time limit) is status 0, not from the server.
export async function requestForEntry(url, { body = null, limit = TEXT_LIMIT, timeLimit = TIME_LIMIT_MS } = {}) {
  const none = { status: 0, body: new Uint8Array(0), fromServer: false };
  let target;
  try {
    target = new URL(url, location.href);
  } catch {
    return none;
  }
  if (target.origin !== location.origin) return none;
  const stop = new AbortController();
  const timer = setTimeout(() => stop.abort(), timeLimit);
  try {
    const response = await fetch(target, {
      method: body ? 'POST' : 'GET', body,
      headers: body ? { 'Content-Type': 'application/octet-stream' } : {},
      mode: 'same-origin', credentials: 'same-origin', cache: 'no-store', redirect: 'error',
      signal: stop.signal,
    });
    return { status: response.status, body: await readFirst(response, limit), fromServer: true };
  } catch {
    return none;
  } finally {
    clearTimeout(timer);
  }
}

// The first limit bytes of the body; the rest is let go.
async function readFirst(response, limit) {
  if (!response.body) return new Uint8Array(0);
  const reader = response.body.getReader();
  const all = new Uint8Array(limit);
  let length = 0;
  while (length < limit) {
    const { done, value } = await reader.read();
    if (done) return all.slice(0, length);
    const taken = Math.min(value.length, limit - length);
    all.set(value.subarray(0, taken), length);
    length += taken;
  }
  await reader.cancel().catch(() => {});
  return all;
}

// bytes packed as the site unpacks them (and the desktop packs them): the length as 4 bytes,
// big-endian, then a zlib stream. Empty when this browser cannot pack.
export async function packForSite(bytes) {
  try {
    const stream = new Blob([bytes]).stream().pipeThrough(new CompressionStream('deflate'));
    const packed = new Uint8Array(await new Response(stream).arrayBuffer());
    const out = new Uint8Array(4 + packed.length);
    new DataView(out.buffer).setUint32(0, bytes.length, false);
    out.set(packed, 4);
    return out;
  } catch {
    return new Uint8Array(0);
  }
}
