// The page's service worker: it keeps one version of the game's files, so that after one visit
// the game starts and plays with no network at all. Its address never changes (a browser looks
// for a new worker there on every visit), and the site asks browsers to revalidate it each time.
// scripts/web-build.sh writes the version and its files in below; a new version of the game is a
// new worker with a cache of its own.
//
// Files named after their content (NAME.HASH.EXT) never change under their name, so they are
// answered from any cache first: whichever index a page was given, the files it names are exactly
// its own, never a mix of two versions. The index is asked of the site first and kept, and
// answered from the cache only when the site does not answer. Nothing else is touched: the
// site's seeds, tokens, entries and journals always go to the network, uncached.

const VERSION = 'unbuilt';
const FILES = [];

const PREFIX = 'milka-play-';
const CACHE = PREFIX + VERSION;
const HASHED = /^[^/]+\.[0-9a-f]{12}\.[A-Za-z0-9]+$/;
// The folder the worker serves; the index is kept under the folder's own address.
const FOLDER = new URL('./', self.location.href);
// A site that takes longer than this to send the index is as good as gone: the kept one starts.
const INDEX_WAIT_MS = 4000;

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll([
    new Request(FOLDER, { cache: 'no-cache' }),
    ...FILES.map((name) => new URL(name, FOLDER).href),
  ])));
});

// The version before is dropped only once no page of it is left: a new worker waits for that
// before it becomes the active one.
self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys().then((names) => Promise.all(
    names.filter((name) => name.startsWith(PREFIX) && name !== CACHE).map((name) => caches.delete(name)))));
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET') return;
  const url = new URL(request.url);
  if (url.origin !== FOLDER.origin || !url.pathname.startsWith(FOLDER.pathname)) return;
  const name = url.pathname.slice(FOLDER.pathname.length);
  if (name === '' || name === 'index.html') event.respondWith(theIndex(request));
  else if (HASHED.test(name)) event.respondWith(kept(request));
});

async function theIndex(request) {
  const cache = await caches.open(CACHE);
  try {
    const response = await within(fetch(request), INDEX_WAIT_MS);
    if (response.ok) await cache.put(FOLDER, response.clone());
    return response;
  } catch {
    const held = (await cache.match(FOLDER)) ?? (await caches.match(FOLDER));
    if (held) return held;
    return new Response(
      '<!doctype html><html lang="ja"><meta charset="utf-8"><title>ミルカダービー</title>' +
      '<p>サイトにつながりません。一度つながった状態で開くと、次からは通信がなくても遊べます。</p></html>',
      { status: 503, headers: { 'Content-Type': 'text/html; charset=utf-8' } });
  }
}

async function kept(request) {
  // Every encoding of a hashed file is the same file.
  const held = await caches.match(request, { ignoreVary: true, ignoreSearch: true });
  if (held) return held;
  const response = await fetch(request);
  if (response.ok) {
    const cache = await caches.open(CACHE);
    await cache.put(request, response.clone());
  }
  return response;
}

function within(promise, ms) {
  return new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error('no answer in time')), ms);
    promise.then(resolve, reject).finally(() => clearTimeout(timer));
  });
}
