#!/usr/bin/env bash
# Builds and runs every test: the optimised build, the sanitizer build
# (AddressSanitizer + UndefinedBehaviorSanitizer), the engine and race-day rules
# on clang's libc++, the engine as WebAssembly against the optimised build's
# moravik-calc, and a bounded fuzz run.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh

jobs=$(nproc)
# The web app first: the default preset's package carries it.
cmake --preset wasm >/dev/null
cmake --build --preset wasm -j "${jobs}"
for preset in default asan libcxx wasm fuzz; do
  echo "== ${preset} =="
  if [ "${preset}" != wasm ]; then  # built above
    cmake --preset "${preset}" >/dev/null
    cmake --build --preset "${preset}" -j "${jobs}"
  fi
  ctest --preset "${preset}" -j "${jobs}"
done
