// The run log in the browser. Vehicles and runs live in IndexedDB; every
// change is one transaction with strict durability, and the page says a run is
// saved only once its transaction has completed. Reading typed runs, the table's
// texts, CSV in and out and the prediction are the module's, which has the run
// log's own rules: this moves texts and records between the page, the store
// and the module.
"use strict";

// Larger files are refused before reading, so the page never stalls on one;
// the desktop's `moravik-calc log import` takes them.
const largestImportBytes = 5 * 1024 * 1024;

let engine = null;
let store = null;
let vehicles = [];
let runs = [];
// Runs left out as far from the others that the racer takes back, as --include does.
const takenBack = new Set();

function chosenUnits() {
  return document.querySelector('input[name="units"]:checked').value;
}

function element(name, text, className) {
  const made = document.createElement(name);
  if (text !== undefined) made.textContent = text;
  if (className) made.className = className;
  return made;
}

function openStore() {
  return new Promise((resolve, reject) => {
    const request = indexedDB.open("moravik-run-log", 1);
    request.onupgradeneeded = () => {
      request.result.createObjectStore("vehicles", { keyPath: "id" });
      request.result.createObjectStore("runs", { keyPath: "id" });
    };
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
}

function readAll(name) {
  return new Promise((resolve, reject) => {
    const request = store.transaction(name, "readonly").objectStore(name).getAll();
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
}

// Resolves once the change is on disk: `add` refuses a key already there, so
// two tabs adding at once lose nothing; the second transaction is undone whole.
function write(change) {
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

async function reload() {
  [vehicles, runs] = await Promise.all([readAll("vehicles"), readAll("runs")]);
  vehicles.sort((a, b) => a.name.localeCompare(b.name));
  showLog();
}

function filteredRuns() {
  const wanted = document.getElementById("vehicle-filter").value;
  return wanted === "" ? runs : runs.filter((run) => String(run.vehicle_id) === wanted);
}

function fillVehicleChoice(select, first) {
  const kept = select.value;
  select.replaceChildren(...(first ? [new Option(first, "")] : []),
    ...vehicles.map((vehicle) => new Option(vehicle.name, String(vehicle.id))));
  if ([...select.options].some((option) => option.value === kept)) select.value = kept;
}

function showLog() {
  fillVehicleChoice(document.getElementById("vehicle-filter"), "All vehicles");
  fillVehicleChoice(document.getElementById("run-vehicle"));
  const shown = filteredRuns();
  const table = engine.runTable(vehicles, shown, chosenUnits());
  const box = document.getElementById("run-table-box");
  if (table.rows.length === 0) {
    box.replaceChildren(element("p", "No runs yet.", "note"));
  } else {
    const made = element("table");
    const head = made.createTHead().insertRow();
    for (const title of [...table.titles, "Delete"]) {
      head.appendChild(element("th", title)).scope = "col";
    }
    const body = made.createTBody();
    for (const row of table.rows) {
      const line = body.insertRow();
      row.cells.forEach((text, index) => {
        line.appendChild(element("td", text, table.numeric[index] ? "number" : "text"));
      });
      const remove = element("button", "Delete", "small");
      remove.type = "button";
      remove.dataset.run = String(row.id);
      remove.setAttribute("aria-label", "Delete the run of " + row.cells[0] + ", " + row.cells[1]);
      line.insertCell().appendChild(remove);
    }
    box.replaceChildren(made);
  }
  drawChart(shown, table);
  const columns = engine.runColumns(chosenUnits());
  for (const unit of document.querySelectorAll("[data-unit-of]")) {
    unit.textContent = columns.find((column) => column.key === unit.dataset.unitOf).unit;
  }
}

// ET against the run's order, oldest left; the figures are the table's texts.
function drawChart(shown, table) {
  const box = document.getElementById("et-chart");
  if (shown.length < 2) {
    box.replaceChildren();
    return;
  }
  const ordered = [...shown].sort((a, b) => a.run_at - b.run_at || a.id - b.id);
  const ets = ordered.map((run) => run.et_s);
  const low = Math.min(...ets);
  const high = Math.max(...ets);
  const width = 320;
  const height = 120;
  const x = (index) => 10 + (index * (width - 20)) / (ordered.length - 1);
  const y = (et) => (high === low ? height / 2 : 10 + ((et - low) * (height - 20)) / (high - low));
  const svgNamespace = "http://www.w3.org/2000/svg";
  const svg = document.createElementNS(svgNamespace, "svg");
  svg.setAttribute("viewBox", `0 0 ${width} ${height}`);
  svg.setAttribute("role", "img");
  const etColumn = table.titles.indexOf("ET");
  const etText = (run) => table.rows.find((row) => row.id === run.id).cells[etColumn];
  const quickest = ordered[ets.indexOf(low)];
  const slowest = ordered[ets.indexOf(high)];
  svg.setAttribute("aria-label", `ET of ${ordered.length} runs, oldest first: quickest ${etText(quickest)}, slowest ${etText(slowest)}`);
  const line = document.createElementNS(svgNamespace, "polyline");
  line.setAttribute("points", ordered.map((run, index) => `${x(index)},${y(run.et_s)}`).join(" "));
  svg.appendChild(line);
  const labelled = high === low ? [[quickest, "quickest"]] : [[quickest, "quickest"], [slowest, "slowest"]];
  for (const [run, where] of labelled) {
    const label = document.createElementNS(svgNamespace, "text");
    const index = ordered.indexOf(run);
    label.setAttribute("x", String(Math.min(Math.max(x(index), 40), width - 40)));
    label.setAttribute("y", String(where === "quickest" ? y(run.et_s) + 14 : y(run.et_s) - 4));
    label.setAttribute("text-anchor", "middle");
    label.textContent = etText(run);
    svg.appendChild(label);
  }
  box.replaceChildren(element("h3", "ET, oldest run first"), svg);
}

function say(id, text) {
  document.getElementById(id).textContent = text;
}

async function addVehicle(event) {
  event.preventDefault();
  const name = document.getElementById("vehicle-name");
  const answer = engine.newVehicle(name.value, vehicles);
  say("vehicle-status", answer.error || "");
  if (answer.error) name.setAttribute("aria-invalid", "true");
  else name.removeAttribute("aria-invalid");
  if (answer.error) return;
  try {
    await write((transaction) => {
      const vehicleStore = transaction.objectStore("vehicles");
      withFreshIds(vehicleStore, [answer.record], () => vehicleStore.add(answer.record));
    });
  } catch (error) {
    say("vehicle-status", "The vehicle was not saved: " + error.message);
    return;
  }
  name.value = "";
  await reload();
  document.getElementById("run-vehicle").value = String(answer.record.id);
}

function typedRun() {
  const texts = {};
  for (const field of document.querySelectorAll("#run-form [data-column]")) {
    texts[field.dataset.column] = field.value;
  }
  return texts;
}

async function saveRun(event) {
  event.preventDefault();
  const vehicle = document.getElementById("run-vehicle").value;
  say("run-status", "");
  if (vehicle === "") {
    say("run-fault", "Add a vehicle first; a run belongs to one.");
    return;
  }
  const answer = engine.readRun(typedRun(), chosenUnits(), Number(vehicle));
  say("run-fault", answer.error || "");
  if (answer.error) return;
  const record = answer.record;
  const when = document.getElementById("run-date-time").value;
  say("run-status", "Saving the run of " + when + "…");
  try {
    await write((transaction) => {
      const runStore = transaction.objectStore("runs");
      withFreshIds(runStore, [record], () => runStore.add(record));
    });
  } catch (error) {
    say("run-status", "");
    say("run-fault", "The run of " + when + " was not saved: " + error.message);
    return;
  }
  runs.push(record);
  showLog();
  say("run-status", "Saved the run of " + when + ".");
}

async function deleteRun(event) {
  const button = event.target.closest("button[data-run]");
  if (!button) return;
  const id = Number(button.dataset.run);
  try {
    await write((transaction) => transaction.objectStore("runs").delete(id));
  } catch (error) {
    say("delete-status", "The run was not deleted: " + error.message);
    return;
  }
  say("delete-status", "Deleted " + button.getAttribute("aria-label").replace("Delete the run of ", "the run of ") + ".");
  await reload();
}

function offerTakeBack(report, farRuns) {
  if (farRuns.length === 0) return;
  const box = report.appendChild(element("fieldset", undefined, "take-back"));
  box.appendChild(element("legend", "Left out: far from the other runs"));
  for (const run of farRuns) {
    const label = box.appendChild(element("label"));
    const tick = label.appendChild(element("input"));
    tick.type = "checkbox";
    tick.id = "take-back-" + run.id;
    tick.checked = run.takenBack;
    label.append(" Take back " + run.text);
    tick.addEventListener("change", () => {
      if (tick.checked) takenBack.add(run.id);
      else takenBack.delete(run.id);
      predict();
      document.getElementById(tick.id)?.focus();
    });
  }
}

function predict(event) {
  if (event) event.preventDefault();
  const vehicle = document.getElementById("vehicle-filter").value;
  const report = document.getElementById("predict-report");
  report.replaceChildren();
  if (vehicle === "") {
    say("predict-fault", "Choose a vehicle under \"Show the runs of\" to predict from its runs.");
    return;
  }
  const value = (id) => document.getElementById(id).value;
  const answer = engine.predict(runs, {
    vehicle: Number(vehicle), now: value("predict-now"), jet: value("predict-jet"),
    runs: value("predict-recent"), method: value("predict-method"), standard: value("predict-standard"),
    interval: value("predict-interval"), margin: value("predict-margin"), include: [...takenBack],
  }, chosenUnits());
  say("predict-fault", answer.error || "");
  if (answer.error) return;
  const list = report.appendChild(element("dl"));
  for (const [label, text] of answer.lines) {
    const pair = list.appendChild(element("div"));
    pair.append(element("dt", label.slice(0, -1)), element("dd", text));
  }
  offerTakeBack(report, answer.farRuns);
}

async function importFile() {
  const input = document.getElementById("csv-file");
  const file = input.files[0];
  const list = document.getElementById("csv-report");
  list.replaceChildren();
  say("csv-status", "");
  say("csv-fault", "");
  if (!file) return;
  if (file.size > largestImportBytes) {
    say("csv-fault", `${file.name} is ${(file.size / 1048576).toFixed(1)} MB; the browser imports files up to ` +
      `${largestImportBytes / 1048576} MB. Nothing was imported; import it on the desktop with moravik-calc log import.`);
    input.value = "";
    return;
  }
  say("csv-status", "Reading " + file.name + "…");
  // The bytes as they are, so that a file in another encoding is refused as on the desktop.
  const answer = engine.importCsv(new Uint8Array(await file.arrayBuffer()), vehicles, runs);
  input.value = "";
  if (answer.error) {
    say("csv-status", "");
    say("csv-fault", file.name + ", " + answer.error);
    return;
  }
  try {
    await write((transaction) => {
      const vehicleStore = transaction.objectStore("vehicles");
      const runStore = transaction.objectStore("runs");
      withFreshIds(vehicleStore, answer.vehicles, (vehicleIds) => {
        for (const vehicle of answer.vehicles) vehicleStore.add(vehicle);
        for (const run of answer.runs) run.vehicle_id = vehicleIds.get(run.vehicle_id) ?? run.vehicle_id;
        withFreshIds(runStore, answer.runs, () => {
          for (const run of answer.runs) runStore.add(run);
        });
      });
    });
  } catch (error) {
    say("csv-status", "");
    say("csv-fault", "Nothing was imported from " + file.name + ": " + error.message);
    return;
  }
  const left = answer.problems.length + answer.problemsLeftOut;
  say("csv-status", `${answer.imported} ${answer.imported === 1 ? "run" : "runs"} imported from ${file.name}` +
    (answer.vehicles.length ? "; new vehicles: " + answer.vehicles.map((v) => v.name).join(", ") : "") +
    (left ? `; ${left} ${left === 1 ? "row" : "rows"} left out:` : "."));
  for (const problem of answer.problems) list.appendChild(element("li", problem.message + " (left out)"));
  if (answer.problemsLeftOut) list.appendChild(element("li", `and ${answer.problemsLeftOut} more rows left out`));
  for (const outlier of answer.outliers) list.appendChild(element("li", outlier.message + " (imported)"));
  for (const note of answer.notes) list.appendChild(element("li", note));
  await reload();
}

function exportFile() {
  const csv = engine.exportCsv(vehicles, filteredRuns(), chosenUnits());
  const link = element("a");
  link.href = URL.createObjectURL(new Blob([csv], { type: "text/csv" }));
  link.download = "runs.csv";
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 0);
  say("csv-status", "Exported " + filteredRuns().length + " runs as runs.csv.");
}

function localNow() {
  const now = new Date();
  return new Date(now.getTime() - now.getTimezoneOffset() * 60000).toISOString().slice(0, 16);
}

function start() {
  document.getElementById("run-date-time").value = localNow();
  document.getElementById("vehicle-form").addEventListener("submit", addVehicle);
  document.getElementById("run-form").addEventListener("submit", saveRun);
  document.getElementById("run-table-box").addEventListener("click", deleteRun);
  document.getElementById("vehicle-filter").addEventListener("change", () => {
    showLog();
    document.getElementById("predict-report").replaceChildren();
    say("predict-fault", "");
  });
  document.getElementById("predict-form").addEventListener("submit", predict);
  document.getElementById("csv-file").addEventListener("change", importFile);
  document.getElementById("csv-export").addEventListener("click", exportFile);
  for (const choice of document.querySelectorAll('input[name="units"]')) {
    choice.addEventListener("change", () => engine && showLog());
  }
  startEngine("The run log", async (module) => {
    engine = module;
    store = await openStore();
    await reload();
    document.documentElement.dataset.log = "loaded";  // for the tests
  });
}

start();
