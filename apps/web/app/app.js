// The Calculate view: moves the seven input texts into the engine module and
// its 31 result texts (or its fault) onto the page. Every figure comes from
// the module; nothing is computed here.
"use strict";

const inputNames = ["njt", "flp", "nbp", "jtn", "draghp", "vweight", "altitudeDD"];

// The result boxes of each formula, named as the engine names its fields.
const formulas = [
  { title: "Huntington", et: "huntet", etn: "huntetn", mph: "huntmph", mphn: "huntmphn", alt: "huntalt", altMph: "HuntaltMPH" },
  { title: "Fox", et: "foxet", etn: "foxetn", mph: "foxmph", mphn: "foxmphn", alt: "foxalt", altMph: "FoxAltMPH" },
  { title: "Hale", et: "haleet", etn: "haleetn", mph: "halemph", mphn: "halemphn", alt: "halealt", altMph: "HaleAltMPH" },
  { title: "Lucius-RoadTrack (LRT)", et: "lrtet", etn: "lrtetn", mph: "lrtmph", mphn: "lrtmphn", alt: "lrtalt", altMph: "lrtAltMPH" },
];

function resultRow(label, id, unit) {
  const row = document.createElement("div");
  const term = document.createElement("dt");
  term.textContent = label;
  const value = document.createElement("dd");
  const text = document.createElement("span");
  text.id = id;
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

function buildFormulaResults() {
  const quarterMile = document.getElementById("formulas");
  const altitude = document.getElementById("altitude");
  for (const f of formulas) {
    quarterMile.append(formulaGroup(f.title, [
      resultRow("Estimated 1/4 mile time", f.et, "s"),
      resultRow("1/4 mile time w/Nitrous", f.etn, "s"),
      resultRow("Estimated MPH", f.mph, ""),
      resultRow("MPH w/Nitrous", f.mphn, ""),
    ]));
    altitude.append(formulaGroup(f.title, [
      resultRow("Altitude adjusted time", f.alt, "s"),
      resultRow("Altitude adjusted MPH", f.altMph, ""),
    ]));
  }
}

// The main window's message for a fault the engine names in lower case; the
// old results are cleared, so that none is taken for the new inputs' figure.
function faultMessage(kind) {
  return kind.charAt(0).toUpperCase() + kind.slice(1) +
    ".\nThe calculation stopped; the results stay blank until the inputs calculate.";
}

let engine = null;

// Beside each field, how its text is read when not as typed, or why it is
// refused; a refused field is marked invalid.
function showReadings(answer) {
  for (const name of inputNames) {
    const refusal = answer.refused[name];
    document.getElementById(name + "-reading").textContent = refusal ?? answer.notes[name] ?? "";
    const field = document.getElementById(name);
    if (refusal) field.setAttribute("aria-invalid", "true");
    else field.removeAttribute("aria-invalid");
  }
}

function clearResults() {
  for (const value of document.querySelectorAll("#results dd > span:first-child")) value.textContent = "";
}

function calculate() {
  if (!engine) return;
  const answer = engine.calculateTyped(...inputNames.map((name) => document.getElementById(name).value));
  showReadings(answer);
  const fault = document.getElementById("fault");
  const refused = inputNames.filter((name) => answer.refused[name] !== undefined);
  if (refused.length > 0 || answer.fault !== undefined) {
    fault.textContent = refused.length > 0
      ? "Not calculated: " + refused.map((name) =>
        document.querySelector(`label[for="${name}"]`).textContent + " " + answer.refused[name]).join("; ") + "."
      : faultMessage(answer.fault);
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
  buildFormulaResults();
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
    fillTracks(engine.tracks());
    calculate();
  });
}

start();
