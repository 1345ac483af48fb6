#!/usr/bin/env bash
# Makes docs/python-graph.png, the README's "From Python" picture, with the kelmira package against
# a build: scripts/python-picture.sh [build/release]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
[[ -e $build/src/module/libkelmira.so ]] || { echo "python-picture: no libkelmira.so under $build" >&2; exit 1; }
registry=$(mktemp)
trap 'rm -f "$registry"' EXIT
rm -f "$registry"
KELMIRA_BUILD_DIR=$build KELMIRA_REGISTRY=$registry PYTHONPATH=python python3 - docs/python-graph.png <<'PY'
import math, sys
import kelmira

g = kelmira.create("Kelmira.LineGraph")
g.Title, g.XAxis.Title, g.YAxis.Title, g.RightYAxis.Title = "A week of temperatures", "Day", "°C", "°C"
for name, color, base in (("Berlin", 0xB05A1F, 14.0), ("Lisbon", 0x2A2AD6, 21.0)):
    data = g.AddLine(name, color, 0).Data
    data.UseXData = False  # X is the index: six readings a day
    data.set_y(base + 4.0 * math.sin((i - 9) * math.pi / 3) + (i % 5) * 0.3 for i in range(43))
g.SetLimits(0.0, 42.0, 5.0, 30.0)
grid = g.GridLayer
grid.AutoStep, grid.XStep, grid.YStep = False, 6.0, 5.0  # a tick a day, for the labels below
g.XAxis.TickLabels = ["Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun", "Mon"]
g.save_png(sys.argv[1], 800, 500)
PY
echo "python-picture: wrote docs/python-graph.png"
