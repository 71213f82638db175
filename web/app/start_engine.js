// What both pages do first: start the module, say in #engine-state while it
// loads or if it cannot, mark the page ready for its tests, and register the
// service worker for use offline.
"use strict";

// load() gives the module; a page whose module runs in a worker gives none.
function startEngine(what, ready, load = () => createMoravikEngine()) {
  const state = document.getElementById("engine-state");
  // ready(module) may answer a promise: the page is ready once it resolves.
  load().then(ready).then(() => {
    performance.mark("moravik-ready");  // results shown: bench/web_bench.py reads it
    state.textContent = "";
    document.documentElement.dataset.ready = "true";
  }, (error) => {
    state.textContent = what + " could not start: " + (error && error.message ? error.message : error);
  });
  if ("serviceWorker" in navigator) {
    navigator.serviceWorker.register("sw.js").catch((error) => {
      state.textContent = "Offline use is not available: " + error;
    });
  }
}
