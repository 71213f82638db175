// Reads JSON Lines of the seven input texts and writes, a line each, what the
// WebAssembly module's calculate() answers, as JSON.
"use strict";
const fs = require("fs");
const path = require("path");

const modulePath = path.resolve(process.argv[2]);
const createMoravikEngine = require(modulePath);
const fields = ["njt", "flp", "nbp", "jtn", "draghp", "vweight", "altitudeDD"];

// Node's fetch takes no file paths, so the module gets its bytes directly.
const wasmBinary = fs.readFileSync(modulePath.replace(/\.js$/, ".wasm"));
createMoravikEngine({ wasmBinary }).then((engine) => {
  const lines = fs.readFileSync(0, "utf8").split("\n").filter((line) => line !== "");
  const answers = lines.map((line) => {
    const texts = JSON.parse(line);
    return JSON.stringify(engine.calculate(...fields.map((name) => texts[name]))) + "\n";
  });
  fs.writeSync(1, answers.join(""));
});
