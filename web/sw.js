// The installed app's copy of the site, for opening without a network: the
// network first, the kept copy when it fails. web/make_site.sh lists the files
// and names the cache after their hash: a new release is a new worker.
const cacheName = 'ostrivane-@SITE_HASH@';

self.addEventListener('install', (event) => event.waitUntil(caches.open(cacheName)
  .then((cache) => cache.addAll(['./', @SITE_FILES@])).then(() => self.skipWaiting())));

self.addEventListener('activate', (event) => event.waitUntil(caches.keys()
  .then((names) => Promise.all(names.filter((name) => name !== cacheName).map((name) => caches.delete(name))))
  .then(() => self.clients.claim())));

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method === 'GET' && new URL(request.url).origin === self.location.origin) {
    // The licence and the handout are kept too, once they have been opened.
    event.respondWith(fetch(request).then((response) => {
      if (response.ok) {
        const copy = response.clone();
        caches.open(cacheName).then((cache) => cache.put(request, copy));
      }
      return response;
    }).catch(() => caches.match(request, { ignoreSearch: true }).then((kept) => kept || Response.error())));
  }
});
