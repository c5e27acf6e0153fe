// Updates of the page: the service worker keeps the version this tab
// loaded; a newer one waits until the user asks for it. The status line then
// offers 重新载入 (never while a command runs); the panes' texts are kept in
// the browser across the reload and put back.

const STORE = 'matcalc-reload';

function openStore() {
  return new Promise((resolve, reject) => {
    const request = indexedDB.open(STORE, 1);
    request.onupgradeneeded = () => request.result.createObjectStore('panes');
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
}

async function withPanes(mode, work) {
  const db = await openStore();
  try {
    return await new Promise((resolve, reject) => {
      const transaction = db.transaction('panes', mode);
      const result = work(transaction.objectStore('panes'));
      transaction.oncomplete = () => resolve(result.result);
      transaction.onerror = () => reject(transaction.error);
    });
  } finally {
    db.close();
  }
}

function keepPanes(texts) {
  return withPanes('readwrite', (store) => store.put(texts, 'panes'));
}

// The panes' texts kept before a reload, once (null when there are none).
export async function takePanes() {
  if (!('indexedDB' in self)) return null;
  try {
    const texts = await withPanes('readonly', (store) => store.get('panes'));
    if (!texts) return null;
    await withPanes('readwrite', (store) => store.delete('panes'));
    return texts;
  } catch {
    return null;
  }
}

// Registers the service worker and offers a waiting version through
// `notice` (an element of the status line holding a 重新载入 button):
// `panes()` gives the texts to keep, `busy()` whether a command runs.
export function watchForUpdates({notice, panes, busy}) {
  if (!('serviceWorker' in navigator) || location.protocol === 'file:') return;
  const button = notice.querySelector('button');
  let waiting = null;
  const offer = (registration) => {
    // The first version a browser keeps has nothing to replace.
    if (!registration.waiting || !navigator.serviceWorker.controller) return;
    waiting = registration.waiting;
    notice.hidden = false;
  };
  button.addEventListener('click', async () => {
    if (!waiting || busy()) return;
    button.disabled = true;
    try {
      await keepPanes(panes());
    } catch {
      // Not kept (no room): the reload goes on; the texts are the user's to save.
    }
    navigator.serviceWorker.addEventListener('controllerchange', () => location.reload(),
                                            {once: true});
    waiting.postMessage({type: 'skip-waiting'});
  });
  navigator.serviceWorker.register('sw.js').then((registration) => {
    offer(registration);
    registration.addEventListener('updatefound', () => {
      const installing = registration.installing;
      installing?.addEventListener('statechange', () => {
        if (installing.state === 'installed') offer(registration);
      });
    });
    const check = () => registration.update().catch(() => {});
    document.addEventListener('visibilitychange', () => {
      if (document.visibilityState === 'visible') check();
    });
    setInterval(check, 60 * 60 * 1000);
  }, () => {});
}
