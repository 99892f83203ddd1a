// Keeps the site's files so that the installed app opens without a network.
// The build (web/make_site.sh) lists them here and names the cache after a
// hash of them: any change to them
// makes this script change too, and the browser installs it on the next
// visit, which drops the old copy. Whatever the network gives is shown
// first; the kept copy only when the network fails.
const cacheName = 'ostrivane-@SITE_HASH@';
const siteFiles = ['./', @SITE_FILES@];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(cacheName).then((cache) => cache.addAll(siteFiles)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name !== cacheName).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) {
    return;
  }
  event.respondWith(fetch(request).then((response) => {
    // The licence and the handout are kept once they have been opened.
    if (response.ok) {
      const copy = response.clone();
      caches.open(cacheName).then((cache) => cache.put(request, copy));
    }
    return response;
  }).catch(() => caches.match(request, { ignoreSearch: true }).then((kept) => kept || Response.error())));
});
