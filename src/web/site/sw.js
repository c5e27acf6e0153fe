// Keeps the whole site for use offline. The build writes the file list and
// a version that changes with any file's content.
'use strict';
const VERSION = '@VERSION@';
const FILES = @FILES@;
const CACHE = `matcalc-${VERSION}`;

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES))
      .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
      .then((names) => Promise.all(names.filter((name) => name.startsWith('matcalc-') &&
                                                          name !== CACHE)
                                        .map((name) => caches.delete(name))))
      .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== location.origin) return;
  event.respondWith(caches.open(CACHE).then(async (cache) => {
    const hit = await cache.match(request, {ignoreSearch: true});
    if (hit) return hit;
    return fetch(request);
  }));
});
