#!/usr/bin/env bash
# Builds and runs every test: the optimised build, the sanitizer build
# (AddressSanitizer + UndefinedBehaviorSanitizer), the engine and race-day rules
# on clang's libc++, the engine as WebAssembly against the optimised build's
# moravik-calc, and a bounded fuzz run. Each step's processor time is printed,
# so that where the command's time goes can be read from any run of it.
set -euo pipefail
cd "$(dirname "$0")/.."

step() {
  local name=$1
  shift
  TIMEFORMAT="time: ${name}: %U s user, %S s system, %R s wall"
  time "$@"
}

step setup ./scripts/setup.sh

jobs=$(nproc)
# The web app first: the default preset's package carries it.
cmake --preset wasm >/dev/null
step "wasm build" cmake --build --preset wasm -j "${jobs}"
for preset in default asan libcxx wasm fuzz; do
  echo "== ${preset} =="
  if [ "${preset}" != wasm ]; then  # built above
    cmake --preset "${preset}" >/dev/null
    step "${preset} build" cmake --build --preset "${preset}" -j "${jobs}"
  fi
  step "${preset} tests" ctest --preset "${preset}" -j "${jobs}"
done
