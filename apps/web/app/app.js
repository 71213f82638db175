// The Calculate view: moves the seven input texts into the engine module and
// its 31 result texts (or its fault) onto the page. Every figure comes from
// the module; nothing is computed here.
"use strict";

// Where the page shows each formula's results: the engine's column keys.
const formulaSections = [
  { id: "formulas", columns: ["et", "et_nitrous", "mph", "mph_nitrous"] },
  { id: "altitude", columns: ["et_altitude", "mph_altitude"] },
];

// A result under the engine's label and unit, in a box named as the engine names its field.
function resultRow({ field, label, unit }) {
  const row = document.createElement("div");
  const term = document.createElement("dt");
  term.textContent = label;
  const value = document.createElement("dd");
  const text = document.createElement("span");
  text.id = field;
  const unitText = document.createElement("span");
  unitText.className = "result-unit";
  unitText.textContent = unit;
  value.append(text, unitText);
  row.append(term, value);
  return row;
}

function formulaGroup(title, rows) {
  const group = document.createElement("div");
  group.className = "formula";
  const heading = document.createElement("h3");
  heading.textContent = title;
  const list = document.createElement("dl");
  list.append(...rows);
  group.append(heading, list);
  return group;
}

// The results' headings, labels and units as moravik-calc's report has them.
function buildResults(names) {
  const results = document.getElementById("results");
  const quarterMile = results.firstElementChild;
  for (const group of names.groups) {
    const heading = document.createElement("h2");
    heading.textContent = group.heading;
    const list = document.createElement("dl");
    list.append(...group.results.map(resultRow));
    results.insertBefore(heading, quarterMile);
    results.insertBefore(list, quarterMile);
  }
  for (const section of formulaSections) {
    const place = document.getElementById(section.id);
    for (const formula of names.formulas) {
      place.append(formulaGroup(formula.name, section.columns.map((key) => resultRow(formula.results[key]))));
    }
  }
}

// The main window's message for a fault the engine names in lower case; the
// old results are cleared, so that none is taken for the new inputs' figure.
function faultMessage(kind) {
  return kind.charAt(0).toUpperCase() + kind.slice(1) +
    ".\nThe calculation stopped; the results stay blank until the inputs calculate.";
}

let engine = null;

// The typed texts by field name: each field is named as the engine names its input.
function typedTexts() {
  return Object.fromEntries(new FormData(document.getElementById("inputs")));
}

// Beside each field, how its text is read when not as typed, or why it is
// refused; a refused field is marked invalid. Gives the refusal's text.
function showReadings(answer) {
  const names = Object.keys(typedTexts());
  const said = refusalText(answer, names.map((name) => document.getElementById(name)),
    (key) => document.getElementById(key));
  const refused = answer.error === undefined ? [] : answer.fields;
  for (const name of names) {
    document.getElementById(name + "-reading").textContent =
      refused.includes(name) ? answer.error : answer.notes[name] ?? "";
  }
  return said;
}

function clearResults() {
  for (const value of document.querySelectorAll("#results dd > span:first-child")) value.textContent = "";
}

function calculate() {
  if (!engine) return;
  const answer = engine.calculateTyped(typedTexts());
  const refused = showReadings(answer);
  const fault = document.getElementById("fault");
  if (refused || answer.fault !== undefined) {
    fault.textContent = refused ? "Not calculated: " + refused + "." : faultMessage(answer.fault);
    clearResults();
    return;
  }
  fault.textContent = "";
  for (const [name, text] of Object.entries(answer.fields)) {
    document.getElementById(name).textContent = text;
  }
}

function fillTracks(entries) {
  const list = document.getElementById("altitudeDD");
  for (const entry of entries) {
    const option = document.createElement("option");
    option.value = entry;
    option.textContent = entry;
    list.append(option);
  }
}

function start() {
  const form = document.getElementById("inputs");
  form.addEventListener("input", calculate);
  form.addEventListener("change", calculate);
  // On a phone the results lie below the form: Calculate brings them, or the fault, into view.
  form.addEventListener("submit", (event) => {
    event.preventDefault();
    calculate();
    const fault = document.getElementById("fault");
    const shown = fault.textContent ? fault : document.getElementById("results");
    const top = shown.getBoundingClientRect().top;
    if (top < 0 || top > window.innerHeight / 2) shown.scrollIntoView({ block: "start" });
  });
  startEngine("The calculator", (module) => {
    engine = module;
    buildResults(engine.resultNames());
    fillTracks(engine.tracks());
    calculate();
  });
}

start();
