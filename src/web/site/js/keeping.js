// Texts the page keeps in the browser (IndexedDB) for one tab: the panes
// across a reload into a newer version, and a draft of the edit pane. Each
// belongs to the tab that kept it, named by an id the tab holds in its
// session storage (which lasts across its reloads and ends with it), and the
// kept panes are taken once. A text goes in parts, each its own
// transaction: the browser refuses a single value of more than about
// 130 MB, and a long trace is more.

const DATABASE = 'matcalc-texts';
const STORE = 'texts';
const PART_CHARACTERS = 1 << 23;
const PART_BYTES = 1 << 24;
// An earlier version of the page kept the panes here, for any tab.
const EARLIER = 'matcalc-reload';

let tab = null;

// This tab's id: the same after a reload, another in another tab.
export function tabId() {
  if (tab !== null) return tab;
  const fresh = () => (self.crypto?.randomUUID ? crypto.randomUUID()
      : `${Date.now().toString(36)}-${Math.random().toString(36).slice(2)}`);
  try {
    tab = sessionStorage.getItem('matcalc.tab');
    if (!tab) {
      tab = fresh();
      sessionStorage.setItem('matcalc.tab', tab);
    }
  } catch {
    tab = fresh();
  }
  // Held while the tab is open, so that other tabs can tell its draft from
  // that of a tab closed since.
  navigator.locks?.request(`matcalc-tab:${tab}`, () => new Promise(() => {})).catch(() => {});
  return tab;
}

// The ids of the tabs open now, or null when the browser cannot say.
export async function openTabs() {
  if (!navigator.locks?.query) return null;
  try {
    const {held = [], pending = []} = await navigator.locks.query();
    return new Set([...held, ...pending].map((lock) => lock.name)
        .filter((name) => name.startsWith('matcalc-tab:'))
        .map((name) => name.slice('matcalc-tab:'.length)));
  } catch {
    return null;
  }
}

function open() {
  return new Promise((resolve, reject) => {
    const request = indexedDB.open(DATABASE, 1);
    request.onupgradeneeded = () => request.result.createObjectStore(STORE);
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
    request.onblocked = () => reject(new Error('blocked'));
  });
}

// Runs `work(store)` in one transaction; resolves with the result of the
// request it returns once the transaction has committed. A transaction the
// browser aborts (a value too large, no room) rejects: it does not hang.
async function transact(mode, work) {
  const db = await open();
  try {
    return await new Promise((resolve, reject) => {
      const transaction = db.transaction(STORE, mode);
      const request = work(transaction.objectStore(STORE));
      transaction.oncomplete = () => resolve(request?.result);
      transaction.onerror = () => reject(transaction.error || new Error('error'));
      transaction.onabort = () => reject(transaction.error || new Error('aborted'));
    });
  } finally {
    db.close();
  }
}

// Every key of `kind` for `owner` (the record and its parts).
function owned(kind, owner) {
  return IDBKeyRange.bound([kind, owner], [kind, owner, []]);
}

async function putParts(kind, owner, name, value) {
  // Each part is copied as it is stored, so that a long trace is never held
  // twice whole.
  const parts = [];
  const bytes = value instanceof Uint8Array || Array.isArray(value);
  if (bytes) {
    // A trace may come in pieces (what the core handed over at a box, then
    // the rest): each is cut into parts, joined again when taken.
    for (const piece of Array.isArray(value) ? value : [value]) {
      for (let at = 0; at < piece.length; at += PART_BYTES) {
        parts.push(() => piece.slice(at, at + PART_BYTES));
      }
    }
  } else {
    // Halves of a surrogate pair join again when the parts are joined.
    for (let at = 0; at < value.length; at += PART_CHARACTERS) {
      parts.push(() => value.slice(at, at + PART_CHARACTERS));
    }
  }
  for (let index = 0; index < parts.length; ++index) {
    const part = parts[index]();
    await transact('readwrite', (store) => store.put(part, [kind, owner, name, index]));
  }
  return {parts: parts.length, bytes};
}

async function getParts(kind, owner, name, shape) {
  const parts = [];
  for (let index = 0; index < shape.parts; ++index) {
    const part = await transact('readonly', (store) => store.get([kind, owner, name, index]));
    if (part === undefined) throw new Error('part missing');
    parts.push(part);
  }
  if (!shape.bytes) return parts.join('');
  const bytes = new Uint8Array(parts.reduce((sum, part) => sum + part.length, 0));
  let at = 0;
  for (const part of parts) {
    bytes.set(part, at);
    at += part.length;
  }
  return bytes;
}

function remove(kind, owner) {
  return transact('readwrite', (store) => store.delete(owned(kind, owner)));
}

// Keeps the panes of this tab for the reload: the edit pane first, then
// the result pane's text or trace (a string, or the bytes the core wrote)
// if there is room. Resolves with whether the result pane was kept.
export async function keepPanes({text1, text2}) {
  const owner = tabId();
  await remove('kept', owner);
  const record = {at: Date.now(), text1: await putParts('kept', owner, 'text1', text1),
                  text2: null};
  try {
    record.text2 = await putParts('kept', owner, 'text2', text2);
  } catch {
    await transact('readwrite', (store) => store.delete(
        IDBKeyRange.bound(['kept', owner, 'text2'], ['kept', owner, 'text2', []])))
        .catch(() => {});
  }
  await transact('readwrite', (store) => store.put(record, ['kept', owner]));
  return record.text2 !== null;
}

// What an earlier version of the page kept before reloading into this one.
async function takeEarlier() {
  if (!indexedDB.databases) return null;
  const names = (await indexedDB.databases()).map((db) => db.name);
  if (!names.includes(EARLIER)) return null;
  const texts = await new Promise((resolve) => {
    const request = indexedDB.open(EARLIER);
    request.onerror = () => resolve(null);
    request.onsuccess = () => {
      const db = request.result;
      try {
        const get = db.transaction('panes', 'readonly').objectStore('panes').get('panes');
        get.onsuccess = () => {
          db.close();
          resolve(get.result || null);
        };
        get.onerror = () => {
          db.close();
          resolve(null);
        };
      } catch {
        db.close();
        resolve(null);
      }
    };
  });
  indexedDB.deleteDatabase(EARLIER);
  return texts && typeof texts.text1 === 'string' && typeof texts.text2 === 'string'
    ? {text1: texts.text1, text2: texts.text2, text2Kept: true} : null;
}

// The panes this tab kept before its reload, once: {text1, text2 (a string
// or the core's bytes), text2Kept}; null when it kept none.
export async function takePanes() {
  if (!('indexedDB' in self)) return null;
  const owner = tabId();
  try {
    const record = await transact('readonly', (store) => store.get(['kept', owner]));
    if (!record) return await takeEarlier();
    try {
      const text1 = await getParts('kept', owner, 'text1', record.text1);
      const text2 = record.text2 === null ? ''
          : await getParts('kept', owner, 'text2', record.text2);
      return {text1, text2, text2Kept: record.text2 !== null};
    } finally {
      await remove('kept', owner);
    }
  } catch {
    return null;
  }
}

// The draft of this tab's edit pane: kept (or, for an empty text, dropped).
export async function keepDraft(text) {
  const owner = tabId();
  if (text.trim() === '') {
    await remove('draft', owner);
    return;
  }
  await transact('readwrite', (store) => store.put({text, at: Date.now()}, ['draft', owner]));
}

// Every draft kept: [{owner, text, at}], the newest first.
export async function drafts() {
  const all = await transact('readonly', (store) => store.getAll(
      IDBKeyRange.bound(['draft'], ['draft', []])));
  const keys = await transact('readonly', (store) => store.getAllKeys(
      IDBKeyRange.bound(['draft'], ['draft', []])));
  return all.map((draft, index) => ({owner: keys[index][1], ...draft}))
      .sort((a, b) => b.at - a.at);
}

export function dropDraft(owner) {
  return remove('draft', owner);
}

// Kept panes of tabs that never reloaded (closed between keeping and
// reloading) are of no use to anyone. A tab in the middle of its reload may
// not hold its lock: only what is some minutes old goes.
export async function dropStale(open) {
  if (open === null) return;
  const keys = await transact('readonly', (store) => store.getAllKeys(
      IDBKeyRange.bound(['kept'], ['kept', []])));
  for (const owner of new Set(keys.map((key) => key[1]))) {
    if (open.has(owner)) continue;
    const record = await transact('readonly', (store) => store.get(['kept', owner]));
    if (!record || Date.now() - record.at > 10 * 60 * 1000) await remove('kept', owner);
  }
}
