// Keeps the app's files for use without a network. A request is answered from
// the cache when it can be, and the cache is refreshed from the server behind
// it, so the next visit gets a new build; with no server the cached copy stays.
"use strict";

const cacheName = "moravik-web-1";
const appFiles = [
  "./", "index.html", "app.js", "style.css", "moravik_engine.js", "moravik_engine.wasm",
  "manifest.webmanifest", "icon.svg", "icon-256.png",
];

self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(cacheName).then((cache) => cache.addAll(appFiles))
    .then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name !== cacheName)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  event.respondWith(caches.open(cacheName).then(async (cache) => {
    const cached = await cache.match(event.request, { ignoreSearch: true });
    const fresh = fetch(event.request).then((response) => {
      if (response.ok) cache.put(event.request, response.clone());
      return response;
    });
    if (cached) {
      // Offline the refresh fails; the cached answer already went out.
      event.waitUntil(fresh.catch(() => undefined));
      return cached;
    }
    return fresh;
  }));
});
