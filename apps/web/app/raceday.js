// Race Day's views. Each form names a race-day command and each field the
// moravik-calc option it gives; this hands the typed texts to the module's
// racedayAnswer, which answers from the same core as moravik-calc, and moves
// its report or message onto the page. Nothing is computed here: every figure
// and every message is the core's.
"use strict";

let engine = null;

// The command of a form: "air", ..., "jet-chart".
function commandOf(form) {
  return form.dataset.command.replace(/^--/, "");
}

// The request of a form: a field's text under its option's name without the
// dashes, only for a field that is not empty.
function requestOf(form) {
  const request = {};
  for (const field of form.querySelectorAll("[data-option]")) {
    if (field.value !== "") request[field.dataset.option.replace(/^--/, "")] = field.value;
  }
  if (commandOf(form) !== "jet-chart") request.units = chosenUnits();
  return request;
}

// The report's sections: a heading, then its labelled figures.
function reportView(report) {
  const view = document.createDocumentFragment();
  for (const section of report) {
    if (section.heading !== "") view.append(element("h3", section.heading));
    if (section.lines.length > 0) view.append(figureList(section.lines));
  }
  return view;
}

// The jet chart's CSV: its rows as a table that scrolls inside its own box.
function chartView(out) {
  const box = element("div", undefined, "chart");
  box.tabIndex = 0;
  box.setAttribute("role", "region");
  box.setAttribute("aria-label", "Jet chart rows");
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
  const answer = engine.racedayAnswer(commandOf(form), requestOf(form));
  const fields = [...form.querySelectorAll("[data-option]")];
  const fieldOf = (key) => form.querySelector(`[data-option="--${key}"], [data-option="${key}"]`);
  const remark = (answer.remarks || [])[0];
  view.querySelector(".fault").textContent = refusalText(answer, fields, fieldOf) ||
    (remark ? labelledSentence(remark.note, remark.fields.map(fieldOf).filter((field) => field)) : "");
  // As Race Day's window shows "–": no figures from inputs that were not read.
  const chart = commandOf(form) === "jet-chart";
  view.querySelector(".report").replaceChildren(
    chart ? chartView(answer.csv || "") : reportView(answer.report || []));
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
  // Two ways to ask one question, such as the bottle's temperature or its
  // pressure: typing one clears the other before the form is answered.
  for (const field of document.querySelectorAll("[data-clears]")) {
    field.addEventListener("input", () => {
      document.getElementById(field.dataset.clears).value = "";
    });
  }
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
    fillStandards(engine.standards());
    updateAll();
  });
}

start();
