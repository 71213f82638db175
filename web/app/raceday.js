// Race Day's views. Each form names a moravik-calc command and each field the
// option it gives; this moves the typed texts into the module's runCalc, which
// runs the very command, and moves its report or message onto the page.
// Nothing is computed here: every figure and every message is moravik-calc's.
"use strict";

let engine = null;

function chosenUnits() {
  return document.querySelector('input[name="units"]:checked').value;
}

// The command line of a form: an option only for a field that is not empty,
// written as --option=text so that a text starting with "-" stays a value.
function commandOf(form) {
  const given = [...form.querySelectorAll("[data-option^='--']")]
    .filter((field) => field.value !== "")
    .map((field) => field.dataset.option + "=" + field.value);
  if (form.dataset.command === "--jet-chart") {
    const range = ["from", "to", "step"]
      .map((part) => form.querySelector(`[data-option="${part}"]`).value).join(":");
    return ["--jet-chart=" + range, "--csv", ...given];
  }
  return [form.dataset.command, "--units=" + chosenUnits(), ...given];
}

// "moravik-calc air: --temperature: ..." without the program's name.
function problemOf(err) {
  const line = err.split("\n")[0];
  return line.slice(line.indexOf(": ") + 2);
}

function element(name, text, className) {
  const made = document.createElement(name);
  if (text !== undefined) made.textContent = text;
  if (className) made.className = className;
  return made;
}

// The report's lines: a heading, or "  Label:   text" as a labelled figure.
function reportView(out) {
  const view = document.createDocumentFragment();
  let list = null;
  for (const line of out.split("\n")) {
    const row = /^ {2}(.+?:) +(.*)$/.exec(line);
    if (row) {
      if (!list) list = view.appendChild(element("dl"));
      const pair = list.appendChild(element("div"));
      pair.append(element("dt", row[1].slice(0, -1)), element("dd", row[2]));
    } else if (line !== "") {
      view.append(element("h3", line));
      list = null;
    }
  }
  return view;
}

// --jet-chart --csv: its rows as a table that scrolls inside its own box.
function chartView(out) {
  const box = element("div", undefined, "chart");
  box.tabIndex = 0;
  box.setAttribute("role", "region");
  box.setAttribute("aria-label", "Jet chart");
  const table = box.appendChild(element("table"));
  const rows = out.split("\n").filter((line) => line !== "");
  rows.forEach((line, index) => {
    const row = (index === 0 ? table.createTHead() : table.tBodies[0] || table.createTBody()).insertRow();
    for (const cell of line.split(",")) {
      const made = row.appendChild(element(index === 0 ? "th" : "td", cell));
      if (index === 0) made.scope = "col";
    }
  });
  return box;
}

function update(form) {
  if (!engine) return;
  const view = form.closest(".view");
  const answer = engine.runCalc(commandOf(form));
  const problem = answer.err === "" ? "" : problemOf(answer.err);
  view.querySelector(".fault").textContent = problem;
  for (const field of form.querySelectorAll("[data-option]")) {
    if (problem.startsWith(field.dataset.option + ":")) field.setAttribute("aria-invalid", "true");
    else field.removeAttribute("aria-invalid");
  }
  // As Race Day's window shows "–": no figures from inputs that were not read.
  const chart = form.dataset.command === "--jet-chart";
  view.querySelector(".report").replaceChildren(chart ? chartView(answer.out) : reportView(answer.out));
}

function showUnits() {
  if (!engine) return;
  const texts = engine.unitTexts(chosenUnits());
  for (const unit of document.querySelectorAll(".unit[data-quantity]")) {
    unit.textContent = texts[unit.dataset.quantity];
  }
}

function updateAll() {
  showUnits();
  document.querySelectorAll("form[data-command]").forEach(update);
}

function showView() {
  const views = [...document.querySelectorAll(".view")];
  const wanted = location.hash.slice(1);
  const shown = views.find((view) => view.id === wanted) || views[0];
  for (const view of views) view.hidden = view !== shown;
  for (const link of document.querySelectorAll(".views a")) {
    if (link.hash === "#" + shown.id) link.setAttribute("aria-current", "page");
    else link.removeAttribute("aria-current");
  }
}

function start() {
  showView();
  window.addEventListener("hashchange", showView);
  for (const form of document.querySelectorAll("form[data-command]")) {
    form.addEventListener("input", () => update(form));
    form.addEventListener("change", () => update(form));
    form.addEventListener("submit", (event) => {
      event.preventDefault();
      update(form);
    });
  }
  for (const choice of document.querySelectorAll('input[name="units"]')) {
    choice.addEventListener("change", updateAll);
  }
  startEngine("Race Day", (module) => {
    engine = module;
    updateAll();
  });
}

start();
