// Reads JSON Lines, each a --batch line's object of input texts, and writes, a line each, what the
// WebAssembly module's calculate() answers, as JSON.
"use strict";
const fs = require("fs");
const path = require("path");

const modulePath = path.resolve(process.argv[2]);
const createMoravikEngine = require(modulePath);

// Node's fetch takes no file paths, so the module gets its bytes directly.
const wasmBinary = fs.readFileSync(modulePath.replace(/\.js$/, ".wasm"));
createMoravikEngine({ wasmBinary }).then((engine) => {
  const lines = fs.readFileSync(0, "utf8").split("\n").filter((line) => line !== "");
  const answers = lines.map((line) => JSON.stringify(engine.calculate(JSON.parse(line))) + "\n");
  fs.writeSync(1, answers.join(""));
});
