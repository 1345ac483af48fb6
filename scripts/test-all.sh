#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the debug build first, then
# the same tests under AddressSanitizer and UndefinedBehaviorSanitizer, then every fuzz target
# for a short, fixed time on its seed corpus (the reproducers of past findings are among them).
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

echo "== fuzz: every target for 12 s"
scripts/fuzz.sh --time 12 --jobs 2
