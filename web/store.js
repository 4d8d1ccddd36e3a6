// The careers' journals in the browser's own database. A journal is kept as chunks keyed
// [name, seq]: what one period adds is one small put, and a journal is only rewritten whole when
// the game cuts or renames it. What arrives in one period goes in one transaction, committed
// off the game's tick; a tab closed or a browser killed loses at most the last period.

const DATABASE = 'milka-derby';
const CHUNKS = 'chunks';
const Op = { create: 0, append: 1, write: 2, remove: 3, rename: 4, copy: 5, close: 6 };

function range(name) {
  return IDBKeyRange.bound([name, -Infinity], [name, Infinity]);
}

function joined(parts) {
  const length = parts.reduce((sum, p) => sum + p.length, 0);
  const all = new Uint8Array(length);
  let at = 0;
  for (const p of parts) {
    all.set(p, at);
    at += p.length;
  }
  return all;
}

function done(request) {
  return new Promise((resolve, reject) => {
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
}

export class JournalStore {
  constructor() {
    this.db = null;
    this.files = new Map();  // name → chunks, as the database will hold them
    this.next = new Map();   // name → the next chunk's seq
    this.queue = [];         // what the current period asks of the database
    this.failed = false;
    this.onFailed = () => {};
    this.settled = Promise.resolve();
  }

  // Opens the database and reads every journal in it: name → bytes. Throws when the browser
  // keeps nothing here (no IndexedDB, a private window, storage turned off).
  async open() {
    if (typeof indexedDB === 'undefined') throw new Error('no IndexedDB');
    this.db = await new Promise((resolve, reject) => {
      const request = indexedDB.open(DATABASE, 1);
      request.onupgradeneeded = () => request.result.createObjectStore(CHUNKS, { keyPath: ['name', 'seq'] });
      request.onsuccess = () => resolve(request.result);
      request.onerror = () => reject(request.error);
      request.onblocked = () => reject(new Error('blocked'));
    });
    // Another tab upgrading the database, or the browser clearing it: nothing more is kept here.
    this.db.onversionchange = () => this.fail();
    this.db.onclose = () => this.fail();
    const records = await done(this.db.transaction(CHUNKS).objectStore(CHUNKS).getAll());
    for (const { name, seq, bytes } of records) {
      if (!this.files.has(name)) this.files.set(name, []);
      this.files.get(name).push(new Uint8Array(bytes));
      this.next.set(name, seq + 1);
    }
    const journals = new Map();
    for (const [name, chunks] of this.files) journals.set(name, joined(chunks));
    return journals;
  }

  // One of the game's storage calls (Module.page.store).
  take(op, name, bytes, to) {
    if (this.failed) return;
    switch (op) {
      case Op.create:
      case Op.append: this.whole(name, bytes); break;
      case Op.write: {
        if (bytes.length === 0) break;
        const seq = this.next.get(name) ?? 0;
        this.next.set(name, seq + 1);
        if (!this.files.has(name)) this.files.set(name, []);
        this.files.get(name).push(bytes);
        this.queue.push((s) => s.put({ name, seq, bytes }));
        break;
      }
      case Op.remove:
        this.files.delete(name);
        this.next.delete(name);
        this.queue.push((s) => s.delete(range(name)));
        break;
      case Op.rename:
      case Op.copy: {
        const bytesNow = joined(this.files.get(name) ?? []);
        if (op === Op.rename) {
          this.files.delete(name);
          this.next.delete(name);
          this.queue.push((s) => s.delete(range(name)));
        }
        this.whole(to, bytesNow);
        break;
      }
      default: break;
    }
  }

  // A journal written anew as one chunk: the game cut it, or it is new under this name.
  whole(name, bytes) {
    this.files.set(name, [bytes]);
    this.next.set(name, 1);
    this.queue.push((s) => {
      s.delete(range(name));
      s.put({ name, seq: 0, bytes });
    });
  }

  // Everything asked this period, in one transaction.
  commit() {
    const work = this.queue;
    this.queue = [];
    if (work.length === 0 || this.failed || !this.db) return;
    let transaction;
    try {
      transaction = this.db.transaction(CHUNKS, 'readwrite', { durability: 'strict' });
      const chunks = transaction.objectStore(CHUNKS);
      for (const step of work) step(chunks);
    } catch {
      this.fail();
      return;
    }
    const committed = new Promise((resolve) => {
      transaction.oncomplete = () => resolve();
      transaction.onabort = () => {
        this.fail();
        resolve();
      };
    });
    this.settled = this.settled.then(() => committed);
  }

  // Resolves once everything committed so far is in the database (or has failed).
  idle() {
    this.commit();
    return this.settled;
  }

  fail() {
    if (this.failed) return;
    this.failed = true;
    this.queue = [];
    this.onFailed();
  }

  // What the database holds now, read back: name → bytes.
  async readBack() {
    await this.idle();
    if (!this.db) return new Map();
    const records = await done(this.db.transaction(CHUNKS).objectStore(CHUNKS).getAll());
    const parts = new Map();
    for (const { name, bytes } of records) {
      if (!parts.has(name)) parts.set(name, []);
      parts.get(name).push(new Uint8Array(bytes));
    }
    return new Map([...parts].map(([name, chunks]) => [name, joined(chunks)]));
  }
}
