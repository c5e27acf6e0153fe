// Updates of the page: the service worker keeps the version this tab
// loaded; a newer one waits until the user asks for it. The status line then
// offers 重新载入 (never while a command runs); the panes are kept in the
// browser for this tab across the reload (keeping.js) and put back.
import {keepPanes} from './keeping.js';

// However the service worker answers, the tab reloads this long after the
// newer version was asked to take over.
const RELOAD_AFTER_MS = 3000;

// Registers the service worker and offers a waiting version through
// `notice` (an element of the status line holding a 重新载入 button):
// `panes()` gives the texts to keep, `busy()` whether a command runs,
// `say(text)` shows a status.
export function watchForUpdates({notice, panes, busy, say}) {
  if (!('serviceWorker' in navigator) || location.protocol === 'file:') return;
  const button = notice.querySelector('button');
  let offered = false;
  const offer = (registration) => {
    // The first version a browser keeps has nothing to replace.
    if (!registration.waiting || !navigator.serviceWorker.controller) return;
    offered = true;
    notice.hidden = false;
  };
  let reloading = false;
  const reload = () => {
    if (reloading) return;
    reloading = true;
    location.reload();
  };
  button.addEventListener('click', async () => {
    if (!offered || busy() || button.disabled) return;
    button.disabled = true;
    say('正在保留两个窗格的内容……');
    try {
      await keepPanes(panes());
    } catch {
      // Not kept (no room at all): the reload goes on all the same.
    }
    // The newer version may have taken over already (another tab asked for
    // it): then this tab only has to load it.
    const registration = await navigator.serviceWorker.getRegistration().catch(() => null);
    const waiting = registration?.waiting;
    if (!waiting) {
      reload();
      return;
    }
    navigator.serviceWorker.addEventListener('controllerchange', reload, {once: true});
    setTimeout(reload, RELOAD_AFTER_MS);
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
