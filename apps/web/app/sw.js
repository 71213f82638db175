// Keeps the app's files for use without a network. The build names the cache
// after the files and lists them here, so a new build changes this script; the
// browser then installs the new set whole beside the old one. The new set
// waits until the racer chooses Reload on a page, so that no open page mixes
// two builds, and a module and its glue code never come from different builds.
"use strict";

// Caches of other apps on the same origin are not ours to delete.
const cachePrefix = "moravik-web-";
const cacheName = cachePrefix + "@APP_VERSION@";
const appFiles = ["./", @APP_FILES@];

self.addEventListener("install", (event) => {
  // cache: "reload" skips the HTTP cache, which may still hold the old build.
  event.waitUntil(caches.open(cacheName)
    .then((cache) => cache.addAll(appFiles.map((file) => new Request(file, { cache: "reload" })))));
});

// A page's Reload button asks the waiting build to take over.
self.addEventListener("message", (event) => {
  if (event.data === "skipWaiting") self.skipWaiting();
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name.startsWith(cachePrefix) && name !== cacheName)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  event.respondWith(caches.open(cacheName)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((cached) => cached || fetch(event.request)));
});
