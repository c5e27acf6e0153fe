// Keeps the whole site for use offline. The build writes the file list and
// a version that changes with any file's content; the files of a version
// lie in a folder named by it, so a version's cache only ever holds its own
// files. A new version waits until the page asks for it (its 重新载入), so
// an open tab never gets another version's files.
'use strict';
const VERSION = '@VERSION@';
const FILES = @FILES@;
const CACHE = `matcalc-${VERSION}`;

self.addEventListener('install', (event) => {
  // The files the page has just loaded come from the browser's cache: the
  // version's folder is kept there for good.
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)));
});

self.addEventListener('message', (event) => {
  if (event.data && event.data.type === 'skip-waiting') self.skipWaiting();
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
