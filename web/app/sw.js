// Keeps the app's files for use without a network. The build names the cache
// after the files, so a new build changes this script; the browser then
// installs the new set whole beside the old one, switches over and deletes the
// old set. A module and its glue code never come from different builds.
"use strict";

const cacheName = "moravik-web-@APP_VERSION@";
const appFiles = [
  "./", "index.html", "app.js", "raceday.html", "raceday.js", "runs.html", "runs.js", "log_worker.js",
  "start_engine.js", "style.css",
  "moravik_engine.js", "moravik_engine.wasm",
  "manifest.webmanifest", "icon.svg", "icon-256.png", "icon-192.png", "icon-512.png", "icon-maskable-512.png",
  "apple-touch-icon.png",
];

self.addEventListener("install", (event) => {
  // cache: "reload" skips the HTTP cache, which may still hold the old build.
  event.waitUntil(caches.open(cacheName)
    .then((cache) => cache.addAll(appFiles.map((file) => new Request(file, { cache: "reload" }))))
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
  event.respondWith(caches.open(cacheName)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((cached) => cached || fetch(event.request)));
});
