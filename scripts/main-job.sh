#!/usr/bin/env bash
# Installs what is missing, builds the release configuration and runs the main job: register
# the module into a registry file, create one object of every class and print the class table.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release

export KELMIRA_REGISTRY="${KELMIRA_REGISTRY:-$PWD/build/release/registry}"
build/release/tools/kelmira-regsvr build/release/src/module/libkelmira.so
build/release/tools/kelmira-classes
