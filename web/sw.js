// Keeps a copy of the whole site, so that the program starts without a
// network once it has been loaded. The cache's name changes with every build
// of the site (filled in when the site is assembled), and a new build
// replaces the old copy as soon as it has been fetched whole. (The list of
// files too; the template is JavaScript as it stands, for the syntax check.)
"use strict";
const CACHE = "mimoran-@VERSION@";
const FILES = /* @FILES@ */ [];

self.addEventListener("install", event => {
  event.waitUntil(caches.open(CACHE).then(cache => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener("activate", event => {
  event.waitUntil(caches.keys()
    .then(names => Promise.all(names.filter(n => n.startsWith("mimoran-") && n !== CACHE).map(n => caches.delete(n))))
    .then(() => self.clients.claim()));
});

// The copy first, the network for anything else.
self.addEventListener("fetch", event => {
  if (event.request.method !== "GET")
    return;
  event.respondWith(caches.open(CACHE)
    .then(cache => cache.match(event.request, { ignoreSearch: true }))
    .then(hit => hit || fetch(event.request)));
});
