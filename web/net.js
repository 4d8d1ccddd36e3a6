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
