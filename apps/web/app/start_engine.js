// What every page does first: register the service worker for use offline,
// start the module once the worker keeps the files, say in #engine-state while
// it loads or if it cannot, mark the page ready for its tests, and offer
// Reload when a new build is ready. Also what more than one page uses.
"use strict";

function element(name, text, className) {
  const made = document.createElement(name);
  if (text !== undefined) made.textContent = text;
  if (className) made.className = className;
  return made;
}

// The core's labelled figures, [["Label:", text], ...], as a list of terms; a
// figure's text drops the blank that stands in its sign position.
function figureList(lines) {
  const list = element("dl");
  for (const [label, text] of lines) {
    list.appendChild(element("div")).append(element("dt", label.slice(0, -1)), element("dd", text.trimStart()));
  }
  return list;
}

// Every correction standard list's choices, from the core's (the module's standards()).
function fillStandards(standards) {
  for (const list of document.querySelectorAll("select[data-standards]")) {
    list.replaceChildren(...standards.map(({ key, title, chosen }) => new Option(title, key, chosen, chosen)));
  }
}

// How the page shows a refusal of the module, {error, fields} (module_answer.h):
// of `fields`, those fieldOf(key) gives for the refused keys are marked
// invalid and the rest cleared. Gives the sentence after those fields' labels
// (their text before any " ("), or "" when the answer refuses nothing.
function refusalText(answer, fields, fieldOf) {
  const refused = answer.error === undefined ? [] : answer.fields.map(fieldOf).filter((field) => field);
  for (const field of fields) {
    if (refused.includes(field)) field.setAttribute("aria-invalid", "true");
    else field.removeAttribute("aria-invalid");
  }
  return answer.error === undefined ? "" : labelledSentence(answer.error, refused);
}

// A sentence of the module's after the labels of the fields it is about.
function labelledSentence(sentence, fields) {
  const labels = fields.map((field) => document.querySelector(`label[for="${field.id}"]`).textContent.split(" (")[0]);
  return (labels.length > 0 ? labels.join(" and ") + ": " : "") + sentence;
}

// Imperial or metric, as the page's Units choice says.
function chosenUnits() {
  return document.querySelector('input[name="units"]:checked').value;
}

function loadScript(source) {
  return new Promise((resolve, reject) => {
    const script = document.createElement("script");
    script.src = source;
    script.onload = resolve;
    script.onerror = () => reject(new Error(source + " did not load"));
    document.head.append(script);
  });
}

// A new build waits until the racer chooses Reload, which would otherwise
// come in the middle of typing; the page reloads once the new build answers.
function offerNewBuild(worker) {
  if (document.getElementById("new-build")) return;
  const offer = element("p", undefined, "new-build");
  offer.id = "new-build";
  offer.setAttribute("role", "status");
  const reload = element("button", "Reload");
  reload.type = "button";
  reload.addEventListener("click", () => {
    navigator.serviceWorker.addEventListener("controllerchange", () => location.reload(), { once: true });
    worker.postMessage("skipWaiting");
  });
  offer.append("A new version of Moravik is ready. ", reload);
  document.querySelector("header").append(offer);
}

function watchForNewBuilds(registration) {
  // Only a page an older build controls has something to replace.
  const offerWhenInstalled = (worker) => worker.addEventListener("statechange", () => {
    if (worker.state === "installed" && navigator.serviceWorker.controller) offerNewBuild(worker);
  });
  if (registration.waiting && navigator.serviceWorker.controller) offerNewBuild(registration.waiting);
  if (registration.installing) offerWhenInstalled(registration.installing);
  registration.addEventListener("updatefound", () => offerWhenInstalled(registration.installing));
  registration.update().catch(() => {});  // offline: the cached build goes on
}

// On a first visit the module is fetched once, by the worker that keeps it:
// the page waits until that worker controls it, or has failed.
function keptOffline() {
  if (!("serviceWorker" in navigator)) return Promise.resolve();
  const registered = navigator.serviceWorker.register("sw.js");
  registered.then(watchForNewBuilds, () => {});
  if (navigator.serviceWorker.controller) return Promise.resolve();
  return new Promise((resolve) => {
    navigator.serviceWorker.addEventListener("controllerchange", resolve, { once: true });
    registered.then((registration) => {
      // Active yet not in control: a reload that bypassed it.
      const worker = registration.installing || registration.waiting;
      if (registration.active || !worker) return resolve();
      // Activated without taking control, or failed: start all the same.
      worker.addEventListener("statechange", () => ["activated", "redundant"].includes(worker.state) && resolve());
    }, (error) => {
      document.getElementById("engine-state").textContent = "Offline use is not available: " + error;
      resolve();
    });
  });
}

// load() gives the module; a page whose module runs in a worker gives none.
function startEngine(what, ready,
  load = () => loadScript("moravik_engine.js").then(() => createMoravikEngine())) {
  const state = document.getElementById("engine-state");
  // ready(module) may answer a promise: the page is ready once it resolves.
  keptOffline().then(load).then(ready).then(() => {
    performance.mark("moravik-ready");  // results shown: bench/web_bench.py reads it
    state.textContent = "";
    document.documentElement.dataset.ready = "true";
  }, (error) => {
    state.textContent = what + " could not start: " + (error && error.message ? error.message : error);
  });
}
