#!/usr/bin/env bash
# Installs what is missing, builds the release configuration and runs the main job: draw the
# built-in demo data with kelmira-plot (headless) into build/release/kelmira-plot.png.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release

build/release/tools/kelmira-plot --size 800x500 -o build/release/kelmira-plot.png "$@"
