// The run log's keeper, off the page's thread: it holds the log in memory,
// oldest run first, and answers the Runs page's questions with a page of the
// table at a time, so a season of runs never stalls the page. Every change is
// one IndexedDB transaction with strict durability, answered only once it has
// completed. Messages: {id, kind, ...} in; {id, answer} or {id, error} out,
// and {id, progress} along the way of a long one.
"use strict";

importScripts("moravik_engine.js");

// Version 2 adds the runs' indexes: by vehicle, which deletes a vehicle's
// runs, and by moment, which reads the newest page before the whole log.
const storeVersion = 2;

let engine = null;
let store = null;
let vehicles = [];
let runs = [];  // oldest first, as the table lists them

const oldestFirst = (a, b) => a.run_at - b.run_at || a.id - b.id;

// Steps from whatever version a browser holds, one version at a time.
function upgrade(database, transaction, oldVersion) {
  if (oldVersion < 1) {
    database.createObjectStore("vehicles", { keyPath: "id" });
    database.createObjectStore("runs", { keyPath: "id" });
  }
  if (oldVersion < 2) {
    transaction.objectStore("runs").createIndex("vehicle", "vehicle_id");
    transaction.objectStore("runs").createIndex("when", ["run_at", "id"]);
  }
}

function openStore() {
  return new Promise((resolve, reject) => {
    const request = indexedDB.open("moravik-run-log", storeVersion);
    request.onupgradeneeded = (event) => upgrade(request.result, request.transaction, event.oldVersion);
    request.onblocked = () => postMessage({ notice: "Close Moravik's other tabs: the run log is being updated." });
    request.onsuccess = () => {
      const database = request.result;
      // A newer page wants the store: let it go, and say so, rather than block it.
      database.onversionchange = () => {
        database.close();
        store = null;
        postMessage({ notice: "A newer Moravik opened the run log in another tab: reload this page." });
      };
      resolve(database);
    };
    // An older build than the one that last wrote the store: it must not touch it.
    request.onerror = () => reject(request.error && request.error.name === "VersionError"
      ? new Error("a newer version of Moravik keeps the run log in this browser; reload to get it")
      : request.error);
  });
}

function answerOf(request) {
  return new Promise((resolve, reject) => {
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
}

function readAll(name) {
  return answerOf(store.transaction(name, "readonly").objectStore(name).getAll());
}

// Resolves once the change is on disk; the whole transaction is undone on a fault.
function write(change) {
  if (!store) return Promise.reject(new Error("the run log is closed; reload the page"));
  return new Promise((resolve, reject) => {
    const transaction = store.transaction(["vehicles", "runs"], "readwrite", { durability: "strict" });
    change(transaction);
    transaction.oncomplete = () => resolve();
    transaction.onabort = () => reject(transaction.error || new Error("the change was undone"));
  });
}

// Gives records the next free keys of a store, read in the transaction that
// adds them: the transactions of two tabs on a store run one after the other,
// so neither takes a key the other added, whatever its list shows. Calls
// then(renumbered), a map from each old id to the new one.
function withFreshIds(objectStore, records, then) {
  const last = objectStore.openCursor(null, "prev");
  last.onsuccess = () => {
    let next = last.result ? last.result.key + 1 : 1;
    const renumbered = new Map();
    for (const record of records) {
      renumbered.set(record.id, next);
      record.id = next++;
    }
    then(renumbered);
  };
}

const byName = (a, b) => a.name.localeCompare(b.name);
let loaded = false;

async function load() {
  [vehicles, runs] = await Promise.all([readAll("vehicles"), readAll("runs")]);
  vehicles.sort(byName);
  runs.sort(oldestFirst);
  loaded = true;
  postMessage({ loaded: true });
}

// The newest page straight from the store, while the whole log still loads:
// a season of runs takes seconds to read whole, its newest 50 a moment.
async function newestPage(units, size) {
  const transaction = store.transaction(["vehicles", "runs"], "readonly");
  const runStore = transaction.objectStore("runs");
  const [known, total] = await Promise.all([answerOf(transaction.objectStore("vehicles").getAll()),
    answerOf(runStore.count())]);
  known.sort(byName);
  const pages = Math.max(1, Math.ceil(total / size));
  const newest = [];
  await new Promise((resolve, reject) => {
    const cursor = runStore.index("when").openCursor(null, "prev");
    cursor.onsuccess = () => {
      if (!cursor.result || newest.length === total - (pages - 1) * size) return resolve();
      newest.push(cursor.result.value);
      cursor.result.continue();
    };
    cursor.onerror = () => reject(cursor.error);
  });
  return { vehicles: known, total, page: pages - 1, pages, table: engine.runTable(known, newest.reverse(), units),
    chart: null, columns: engine.runColumns(units), complete: false };
}

function runsOf(vehicle) {
  return vehicle === "" ? runs : runs.filter((run) => String(run.vehicle_id) === vehicle);
}

// At most this many points in the ET chart, each a stretch of runs with its
// quickest, slowest and mean ET: no spike is lost however long the season,
// and ETs that alternate run by run still read as a band on a phone.
const chartStretches = 40;

function chart(shown, units, etColumn) {
  if (shown.length < 2) return null;
  let quickest = 0;
  let slowest = 0;
  shown.forEach((run, index) => {
    if (run.et_s < shown[quickest].et_s) quickest = index;
    if (run.et_s > shown[slowest].et_s) slowest = index;
  });
  const stretch = Math.ceil(shown.length / chartStretches);
  const points = [];
  for (let start = 0; start < shown.length; start += stretch) {
    const ets = shown.slice(start, start + stretch).map((run) => run.et_s);
    points.push([start + (ets.length - 1) / 2, Math.min(...ets), Math.max(...ets),
      ets.reduce((sum, et) => sum + et, 0) / ets.length]);
  }
  const texts = engine.runTable(vehicles, [shown[quickest], shown[slowest]], units).rows;
  const etText = (run) => texts.find((row) => row.id === run.id).cells[etColumn];
  return {
    count: shown.length, stretch, points, quickest: [quickest, shown[quickest].et_s, etText(shown[quickest])],
    slowest: [slowest, shown[slowest].et_s, etText(shown[slowest])],
  };
}

// One page of the table: `page` counts from 0, and a page past the end is the
// last. `complete` says whether it comes from the whole log, with the chart.
async function page({ vehicle, units, page: wanted, size }) {
  if (!loaded && vehicle === "" && wanted === Infinity) {
    const newest = await newestPage(units, size);
    loadWhole();
    return newest;
  }
  await loadWhole();
  const shown = runsOf(vehicle);
  const pages = Math.max(1, Math.ceil(shown.length / size));
  const at = Math.min(Math.max(0, wanted), pages - 1);
  const table = engine.runTable(vehicles, shown.slice(at * size, (at + 1) * size), units);
  return { vehicles, total: shown.length, page: at, pages, table, chart: chart(shown, units, table.titles.indexOf("ET")),
    columns: engine.runColumns(units), complete: true };
}

// A typed run, read as an import reads a row, or a new vehicle's name: {record} or {error}.
function readRun({ texts, units, vehicle }) {
  return engine.readRun(texts, units, vehicle);
}

async function newVehicle({ name }) {
  await loadWhole();
  return engine.newVehicle(name, vehicles);
}

async function addVehicle({ record }) {
  await write((transaction) => {
    const vehicleStore = transaction.objectStore("vehicles");
    withFreshIds(vehicleStore, [record], () => vehicleStore.add(record));
  });
  vehicles.push(record);
  vehicles.sort(byName);
  return record.id;
}

async function addRun({ record }) {
  await write((transaction) => {
    const runStore = transaction.objectStore("runs");
    withFreshIds(runStore, [record], () => runStore.add(record));
  });
  let at = runs.length;
  while (at > 0 && oldestFirst(runs[at - 1], record) > 0) --at;
  runs.splice(at, 0, record);
  return record.id;
}

// Deletes the runs of the ids, and the vehicle with all its runs when one is named.
async function remove({ runIds, vehicle }) {
  const gone = new Set(runIds);
  await write((transaction) => {
    const runStore = transaction.objectStore("runs");
    for (const id of runIds) runStore.delete(id);
    if (vehicle === undefined) return;
    transaction.objectStore("vehicles").delete(vehicle);
    const theirs = runStore.index("vehicle").openKeyCursor(IDBKeyRange.only(vehicle));
    theirs.onsuccess = () => {
      if (!theirs.result) return;
      runStore.delete(theirs.result.primaryKey);
      theirs.result.continue();
    };
  });
  runs = runs.filter((run) => !gone.has(run.id) && run.vehicle_id !== vehicle);
  vehicles = vehicles.filter((known) => known.id !== vehicle);
  return runIds.length;
}

function counted(count, one, many) {
  return count.toLocaleString("en-US") + " " + (count === 1 ? one : many);
}

// An import as `moravik-calc log import` makes it, kept whole or not at all.
async function importCsv({ bytes }, progress) {
  progress("Checking the rows against the log's " + counted(runs.length, "run", "runs") + "…");
  const answer = engine.importCsv(new Uint8Array(bytes), vehicles, runs);
  if (answer.error) return { error: answer.error };
  const total = answer.runs.length;
  progress("Saving " + counted(total, "run", "runs") + "…");
  await write((transaction) => {
    const vehicleStore = transaction.objectStore("vehicles");
    const runStore = transaction.objectStore("runs");
    withFreshIds(vehicleStore, answer.vehicles, (vehicleIds) => {
      for (const vehicle of answer.vehicles) vehicleStore.add(vehicle);
      for (const run of answer.runs) run.vehicle_id = vehicleIds.get(run.vehicle_id) ?? run.vehicle_id;
      withFreshIds(runStore, answer.runs, () => {
        let saved = 0;
        const step = Math.max(100, Math.ceil(total / 20));
        for (const run of answer.runs) {
          runStore.add(run).onsuccess = () => {
            if (++saved % step === 0) progress(`Saving: ${counted(saved, "run", "runs")} of ${total.toLocaleString("en-US")}…`);
          };
        }
      });
    });
  });
  vehicles.push(...answer.vehicles);
  vehicles.sort(byName);
  runs = runs.concat(answer.runs).sort(oldestFirst);
  // The report only: the page never holds the season's runs.
  delete answer.runs;
  answer.vehicles = answer.vehicles.map((vehicle) => vehicle.name);
  return answer;
}

function exportCsv({ vehicle, units }) {
  const shown = runsOf(vehicle);
  return { ...engine.exportCsv(vehicles, shown, units), count: shown.length };
}

// The dial-in from the vehicle's own runs; the module reads the request.
function predict({ request, units }) {
  return engine.predict(runsOf(String(request.vehicle)), request, units);
}

// Every change and every answer but a page and a typed run waits for the whole log.
const afterLoading = (answer) => async (...asked) => {
  await loadWhole();
  return answer(...asked);
};
const answers = {
  page, readRun, newVehicle, addVehicle: afterLoading(addVehicle), addRun: afterLoading(addRun),
  remove: afterLoading(remove), importCsv: afterLoading(importCsv), exportCsv: afterLoading(exportCsv),
  predict: afterLoading(predict), standards: () => engine.standards(),
};

const started = Promise.all([createMoravikEngine(), openStore()]).then(([module, database]) => {
  engine = module;
  store = database;
});
// The whole log is read once the newest page is out: the store answers one
// request at a time, and reading a season whole would hold that page back.
let loading = null;
function loadWhole() {
  loading = loading || started.then(load);
  return loading;
}

onmessage = async ({ data }) => {
  const { id, kind } = data;
  try {
    await started;
    const answer = await answers[kind](data, (text) => postMessage({ id, progress: text }));
    postMessage({ id, answer });
  } catch (error) {
    postMessage({ id, error: error && error.message ? error.message : String(error) });
  }
};
