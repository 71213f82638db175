// The run log in the browser. The log's keeper, log_worker.js, holds the runs,
// writes them to IndexedDB and runs the module off this thread; the page asks
// it for one page of the table at a time, so a season of runs never stalls
// it. Reading typed runs, the table's texts, CSV in and out and the
// prediction are the module's, which has the run log's own rules: this moves
// texts between the racer and the keeper.
"use strict";

// Larger files are refused before reading, so the page never stalls on one;
// the desktop's `moravik-calc log import` takes them.
const largestImportBytes = 5 * 1024 * 1024;
const runsPerPage = 50;

let keeper = null;
let vehicles = [];
let shownPage = { page: 0, pages: 1, total: 0, table: { rows: [] } };
// Runs left out as far from the others that the racer takes back, as --include does.
const takenBack = new Set();

// The keeper's worker, asked one question at a time by id; progress(text)
// hears how a long answer goes, and notice(text) what the keeper says unasked.
function startKeeper(notice, loaded) {
  const worker = new Worker("log_worker.js");
  const waiting = new Map();
  let lastId = 0;
  worker.onmessage = ({ data }) => {
    if (data.notice) return notice(data.notice);
    if (data.loaded) return loaded();
    const asked = waiting.get(data.id);
    if (data.progress) return asked.progress(data.progress);
    waiting.delete(data.id);
    if (data.error !== undefined) asked.reject(new Error(data.error));
    else asked.resolve(data.answer);
  };
  worker.onerror = (event) => {
    for (const asked of waiting.values()) asked.reject(new Error(event.message || "the run log's worker stopped"));
    waiting.clear();
  };
  return (kind, question = {}, progress = () => {}, transfer = []) => new Promise((resolve, reject) => {
    const id = ++lastId;
    waiting.set(id, { resolve, reject, progress });
    worker.postMessage({ id, kind, ...question }, transfer);
  });
}

function chosenVehicle() {
  return document.getElementById("vehicle-filter").value;
}

// Shows page `page` of the runs (from 0; past the end is the last page).
async function showPage(page = shownPage.page) {
  const answer = await keeper("page", { vehicle: chosenVehicle(), units: chosenUnits(), page, size: runsPerPage });
  vehicles = answer.vehicles;
  shownPage = answer;
  showLog();
  if (answer.complete) document.documentElement.dataset.log = "loaded";  // for the tests
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
  const { table, total, page, pages } = shownPage;
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
        // A phone shows each run as a card, each figure led by its column's title.
        line.appendChild(element("td", text, table.numeric[index] ? "number" : "text")).dataset.title = table.titles[index];
      });
      const what = row.cells[0] + ", " + row.cells[1];
      const remove = element("button", "Delete", "small");
      remove.type = "button";
      remove.dataset.run = String(row.id);
      remove.setAttribute("aria-label", "Delete the run of " + what);
      const choose = element("input");
      choose.type = "checkbox";
      choose.dataset.chosen = String(row.id);
      choose.setAttribute("aria-label", "Choose the run of " + what);
      // Chosen runs go together with "Delete the chosen runs".
      const chooser = element("label", undefined, "chooser");
      chooser.append(choose, "Choose");
      line.insertCell().append(remove, chooser);
    }
    box.replaceChildren(made);
  }
  const first = page * runsPerPage;
  say("page-status", total === 0 ? "" : `Runs ${(first + 1).toLocaleString("en-US")}–` +
    `${(first + table.rows.length).toLocaleString("en-US")} of ${total.toLocaleString("en-US")}, oldest first`);
  for (const [id, off] of [["page-first", page === 0], ["page-older", page === 0],
    ["page-newer", page >= pages - 1], ["page-last", page >= pages - 1]]) {
    document.getElementById(id).disabled = off;
  }
  const vehicle = chosenVehicle();
  const named = vehicles.find((known) => String(known.id) === vehicle);
  document.getElementById("delete-vehicle").hidden = !named;
  if (named) document.getElementById("delete-vehicle").textContent = `Delete ${named.name} and its runs`;
  drawChart(shownPage.chart);
  const columns = shownPage.columns;
  for (const unit of document.querySelectorAll("[data-unit-of]")) {
    unit.textContent = columns.find((column) => column.key === unit.dataset.unitOf).unit;
  }
}

// ET against the run's order, oldest left: one run a point, or for a long
// season each stretch's mean with the band from its quickest to its slowest.
// The quickest and slowest are named above and below the plot, clear of it.
function drawChart(chart) {
  const box = document.getElementById("et-chart");
  if (!chart) {
    box.replaceChildren();
    return;
  }
  const low = chart.quickest[1];
  const high = chart.slowest[1];
  const [width, height, margin] = [320, 140, 26];
  const x = (index) => 10 + (index * (width - 20)) / (chart.count - 1);
  const y = (et) => (high === low ? height / 2 : margin + ((et - low) * (height - 2 * margin)) / (high - low));
  const svgNamespace = "http://www.w3.org/2000/svg";
  const drawn = (name, attributes) => {
    const made = document.createElementNS(svgNamespace, name);
    for (const [key, value] of Object.entries(attributes)) made.setAttribute(key, value);
    return made;
  };
  const line = (points) => points.map(([index, et]) => `${x(index)},${y(et)}`).join(" ");
  const svg = drawn("svg", { viewBox: `0 0 ${width} ${height}`, role: "img",
    "aria-label": `ET of ${chart.count} runs, oldest first: quickest ${chart.quickest[2]}, slowest ${chart.slowest[2]}` });
  if (chart.stretch > 1) {
    svg.appendChild(drawn("polygon", { points: line([...chart.points.map(([index, quick]) => [index, quick]),
      ...chart.points.map(([index, , slow]) => [index, slow]).reverse()]) }));
  }
  svg.appendChild(drawn("polyline", { points: line(chart.points.map(([index, , , mean]) => [index, mean])) }));
  const labelled = high === low ? [[chart.quickest, margin - 8]]
    : [[chart.quickest, margin - 8], [chart.slowest, height - margin + 20]];
  for (const [[index, , text], baseline] of labelled) {
    const label = drawn("text", { x: String(Math.min(Math.max(x(index), 40), width - 40)), y: String(baseline),
      "text-anchor": "middle" });
    label.textContent = text;
    svg.appendChild(label);
  }
  box.replaceChildren(element("h3", "ET, oldest run first"), svg);
}

function say(id, text) {
  document.getElementById(id).textContent = text;
}

// A browser may clear a site's storage when it runs short of space, and
// Safari clears that of a site not on the Home Screen after 7 days without a
// visit: once the log holds a run, ask to keep it, and say what the browser said.
let storageAsked = false;
async function keepStorage() {
  if (storageAsked) return;
  storageAsked = true;
  const kept = navigator.storage && navigator.storage.persist &&
    ((await navigator.storage.persisted()) || (await navigator.storage.persist()));
  say("storage-status", kept ? "The browser keeps this log until you clear the site's data." :
    "The browser may clear this log when it runs short of space, or after 7 days without a visit: " +
    "export a backup now and then, or add the app to the Home Screen.");
}

// Runs added since the last export, across visits: a backup is offered every 20.
const backupEvery = 20;
function runsSinceBackup() {
  return Number(localStorage.getItem("moravik-runs-since-backup")) || 0;
}

function showBackupOffer(since) {
  document.getElementById("backup-offer").hidden = since < backupEvery;
  say("backup-text", `${since.toLocaleString("en-US")} new runs since the last export of all runs.`);
}

// Counts runs added, or starts again from 0 after an export of all runs.
function countNewRuns(count) {
  const since = count === 0 ? 0 : runsSinceBackup() + count;
  localStorage.setItem("moravik-runs-since-backup", String(since));
  showBackupOffer(since);
  if (count > 0) keepStorage();
}

async function addVehicle(event) {
  event.preventDefault();
  const name = document.getElementById("vehicle-name");
  const answer = await keeper("newVehicle", { name: name.value });
  say("vehicle-status", refusalText(answer, [name], (key) => (key === "name" ? name : null)));
  if (answer.error) return;
  let id;
  try {
    id = await keeper("addVehicle", { record: answer.record });
  } catch (error) {
    say("vehicle-status", "The vehicle was not saved: " + error.message);
    return;
  }
  name.value = "";
  await showPage();
  document.getElementById("run-vehicle").value = String(id);
}

// The date and time pickers give ISO text, which the core reads and checks.
function typedWhen() {
  return [document.getElementById("run-date").value, document.getElementById("run-time").value]
    .filter((part) => part !== "").join("T");
}

// The run form's fields by the module's keys; the date and time are one, date_time.
function runFields() {
  return [...document.querySelectorAll("#run-form [data-column]")];
}

function typedRun() {
  const texts = Object.fromEntries(runFields().map((field) => [field.dataset.column, field.value]));
  texts.date_time = typedWhen();
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
  const answer = await keeper("readRun", { texts: typedRun(), units: chosenUnits(), vehicle: Number(vehicle) });
  say("run-fault", refusalText(answer, runFields(),
    (key) => document.querySelector(`#run-form [data-column="${key}"]`)));
  if (answer.error) return;
  const record = answer.record;
  const when = typedWhen().replace("T", " ");
  say("run-status", "Saving the run of " + when + "…");
  try {
    await keeper("addRun", { record });
  } catch (error) {
    say("run-status", "");
    say("run-fault", "The run of " + when + " was not saved: " + error.message);
    return;
  }
  await showPage(Infinity);
  say("run-status", "Saved the run of " + when + ".");
  countNewRuns(1);
}

// Deletes what was asked once the racer has said yes; `done` says what went.
async function deleteAsked(question, done) {
  try {
    await keeper("remove", question);
  } catch (error) {
    say("delete-status", "Nothing was deleted: " + error.message);
    return;
  }
  say("delete-status", done);
  await showPage();
}

function deleteRun(event) {
  const button = event.target.closest("button[data-run]");
  if (!button) return;
  deleteAsked({ runIds: [Number(button.dataset.run)] },
    "Deleted " + button.getAttribute("aria-label").replace("Delete the run of ", "the run of ") + ".");
}

function chosenRuns() {
  return [...document.querySelectorAll("#run-table-box input[data-chosen]:checked")].map((box) => Number(box.dataset.chosen));
}

function deleteChosen() {
  const chosen = chosenRuns();
  if (chosen.length === 0) {
    say("delete-status", "Choose the runs to delete with the boxes beside Delete.");
    return;
  }
  const many = chosen.length === 1 ? "the chosen run" : `the ${chosen.length} chosen runs`;
  if (!confirm(`Delete ${many}? This cannot be undone.`)) return;
  deleteAsked({ runIds: chosen }, `Deleted ${many}.`);
}

function deleteVehicle() {
  const named = vehicles.find((known) => String(known.id) === chosenVehicle());
  if (!named) return;
  const count = shownPage.total === 1 ? "its run" : `its ${shownPage.total.toLocaleString("en-US")} runs`;
  if (!confirm(`Delete ${named.name} and ${count}? This cannot be undone.`)) return;
  document.getElementById("vehicle-filter").value = "";
  deleteAsked({ runIds: [], vehicle: named.id }, `Deleted ${named.name} and ${count}.`);
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
    tick.addEventListener("change", async () => {
      if (tick.checked) takenBack.add(run.id);
      else takenBack.delete(run.id);
      await predict();
      document.getElementById(tick.id)?.focus();
    });
  }
}

async function predict(event) {
  if (event) event.preventDefault();
  const vehicle = document.getElementById("vehicle-filter").value;
  const report = document.getElementById("predict-report");
  report.replaceChildren();
  if (vehicle === "") {
    say("predict-fault", "Choose a vehicle under \"Show the runs of\" to predict from its runs.");
    return;
  }
  const value = (id) => document.getElementById(id).value;
  const answer = await keeper("predict", { request: {
    vehicle: Number(vehicle), now: value("predict-now"), jet: value("predict-jet"),
    runs: value("predict-recent"), method: value("predict-method"), standard: value("predict-standard"),
    interval: value("predict-interval"), margin: value("predict-margin"), include: [...takenBack],
  }, units: chosenUnits() });
  say("predict-fault", refusalText(answer, [...document.querySelectorAll("#predict-form [data-key]")],
    (key) => document.querySelector(`#predict-form [data-key="${key}"]`)));
  if (answer.error) return;
  report.append(figureList(answer.lines));
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
  const bytes = await file.arrayBuffer();
  input.value = "";
  let answer;
  try {
    answer = await keeper("importCsv", { bytes }, (text) => say("csv-status", file.name + ": " + text), [bytes]);
  } catch (error) {
    answer = { error: "nothing was imported: " + error.message };
  }
  if (answer.error) {
    say("csv-status", "");
    say("csv-fault", file.name + ", " + answer.error);
    return;
  }
  const left = answer.problems.length + answer.problemsLeftOut;
  say("csv-status", `${answer.imported} ${answer.imported === 1 ? "run" : "runs"} imported from ${file.name}` +
    (answer.vehicles.length ? "; new vehicles: " + answer.vehicles.join(", ") : "") +
    (left ? `; ${left} ${left === 1 ? "row" : "rows"} left out:` : "."));
  for (const problem of answer.problems) list.appendChild(element("li", problem.message + " (left out)"));
  if (answer.problemsLeftOut) list.appendChild(element("li", `and ${answer.problemsLeftOut} more rows left out`));
  for (const outlier of answer.outliers) list.appendChild(element("li", outlier.message + " (imported)"));
  for (const note of answer.notes) list.appendChild(element("li", note));
  countNewRuns(answer.imported);
  await showPage(Infinity);
}

async function exportFile(vehicle = chosenVehicle()) {
  const { csv, count, error } = await keeper("exportCsv", { vehicle, units: chosenUnits() });
  if (error) return say("csv-fault", error);
  const link = element("a");
  link.href = URL.createObjectURL(new Blob([csv], { type: "text/csv" }));
  link.download = "runs.csv";
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 0);
  say("csv-status", "Exported " + count + " runs as runs.csv.");
  if (vehicle === "") countNewRuns(0);
}
function localNow() {
  const now = new Date();
  return new Date(now.getTime() - now.getTimezoneOffset() * 60000).toISOString().slice(0, 16);
}

function start() {
  const [today, now] = localNow().split("T");
  Object.assign(document.getElementById("run-date"), { value: today, max: today });
  document.getElementById("run-time").value = now;
  document.getElementById("vehicle-form").addEventListener("submit", addVehicle);
  document.getElementById("run-form").addEventListener("submit", saveRun);
  document.getElementById("run-table-box").addEventListener("click", deleteRun);
  document.getElementById("vehicle-filter").addEventListener("change", () => {
    showPage(Infinity);
    document.getElementById("predict-report").replaceChildren();
    say("predict-fault", "");
  });
  document.getElementById("predict-form").addEventListener("submit", predict);
  document.getElementById("csv-file").addEventListener("change", importFile);
  document.getElementById("csv-export").addEventListener("click", () => exportFile());
  document.getElementById("backup-export").addEventListener("click", () => exportFile(""));
  for (const choice of document.querySelectorAll('input[name="units"]')) {
    choice.addEventListener("change", () => keeper && showPage());
  }
  document.getElementById("delete-chosen").addEventListener("click", deleteChosen);
  document.getElementById("delete-vehicle").addEventListener("click", deleteVehicle);
  for (const [id, to] of [["page-first", () => 0], ["page-older", () => shownPage.page - 1],
    ["page-newer", () => shownPage.page + 1], ["page-last", () => Infinity]]) {
    document.getElementById(id).addEventListener("click", () => showPage(to()));
  }
  // The page is ready once the newest runs are shown; the module runs in the
  // keeper alone. A store that fails to open is said in #engine-state, and
  // the page is not marked ready.
  startEngine("The run log", async () => {
    keeper = startKeeper((text) => say("engine-state", text), () => shownPage.complete || showPage());
    fillStandards(await keeper("standards"));
    await showPage(Infinity);
    if (shownPage.total > 0) keepStorage();
    showBackupOffer(runsSinceBackup());
  }, () => Promise.resolve(null));
}

start();
