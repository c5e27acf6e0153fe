// Keeps the whole site for use offline. The build writes the file list and
// a version that changes with any file's content; the files of a version
// lie in a folder named by it, so a version's cache only ever holds its own
// files. A new version waits until the page asks for it (its 重新载入), so
// an open tab never gets another version's files.
'use strict';
const VERSION = '@VERSION@';
const FILES = @FILES@;
const CACHE = `matcalc-${VERSION}`;

// The files the page has just loaded come from the browser's cache, not
// the network again: the version's folder is kept there for good, and the
// page is taken from there only when it is this version's.
async function keep(cache, path) {
  let response = await fetch(path, {cache: 'force-cache'});
  if (path === './' && !(await response.clone().text()).includes(`v/${VERSION}/`)) {
    response = await fetch(path, {cache: 'no-cache'});
  }
  if (!response.ok) throw new Error(`${path}: ${response.status}`);
  await cache.put(path, response);
}

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE)
      .then((cache) => Promise.all(FILES.map((path) => keep(cache, path)))));
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
  // The page is kept as the folder's address; its file name asks for it too.
  const page = new URL('index.html', self.registration.scope).href;
  const kept = request.url.split(/[?#]/)[0] === page ? './' : request;
  event.respondWith(caches.open(CACHE).then(async (cache) => {
    const hit = await cache.match(kept, {ignoreSearch: true});
    if (hit) return hit;
    return fetch(request);
  }));
});
