#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the debug build first, then
# the same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

for preset in debug sanitize; do
  echo "== $preset: configure and build"
  # The benchmarks are not tests: CI builds only what the tests need.
  cmake --preset "$preset" -DKELMIRA_BUILD_BENCH=OFF >/dev/null
  cmake --build --preset "$preset"
  echo "== $preset: tests"
  ctest --preset "$preset"
done
