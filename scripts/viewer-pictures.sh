#!/usr/bin/env bash
# Renders the pictures of docs/viewer.md with kelmira-view's own scripted sessions, from a
# fermentation run generated here (48 hours sampled every 10 seconds):
# scripts/viewer-pictures.sh [build/release/tools/kelmira-view]
set -euo pipefail
cd "$(dirname "$0")/.."
view=${1:-build/release/tools/kelmira-view}
[[ -x $view ]] || { echo "viewer-pictures: no kelmira-view at $view (build the release preset first)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work" <<'PY'
import math, random, sys
random.seed(11)
with open(f"{sys.argv[1]}/fermenter.csv", "w") as f:
    f.write("hours,temperature (C),pH,dissolved O2 (%)\n")
    for i in range(48 * 360 + 1):
        h = i / 360
        growth = 1 / (1 + math.exp(-(h - 20) / 3))
        temp = 30 + 0.6 * growth + 0.15 * math.sin(h * 2 * math.pi / 0.75) + random.gauss(0, 0.03)
        ph = 7.0 - 0.9 * growth + random.gauss(0, 0.01)
        do = 95 - 70 * growth * math.exp(-max(0, h - 30) / 8) + random.gauss(0, 0.6)
        if 12.5 <= h < 13.0:  # the probe was recalibrated: no oxygen readings
            do = float("nan")
        f.write(f"{h:.4f},{temp:.3f},{ph:.3f},{'' if math.isnan(do) else f'{do:.1f}'}\n")
PY

data="$work/fermenter.csv"
options=(--size 800x440 --title "Fermenter run 17" -y "temperature (C)" --right-y "dissolved O2 (%)" --ylabel "C" --y2label "% saturation")
session() {  # session OUT.png < script
  cat > "$work/session.txt"
  "$view" "${options[@]}" --script "$work/session.txt" --snapshot "$1" "$data" > /dev/null
}

session docs/view-window.png <<'S'
move 62% 40%
S
# With a right Y axis a zoom drag is an X range; the band is drawn live as the mouse moves.
session docs/view-zoom-drag.png <<'S'
press left 30% 20%
move 40% 50%
move 55% 80%
S
session docs/view-zoomed.png <<'S'
drag 30% 20% 55% 80%
wheel 1 45% 50%
move 45% 50%
S
# Tool 3: the rectangle's corners in data units go to the status line.
session docs/view-tool.png <<'S'
key 3
drag 20% 30% 45% 65%
press left 60% 25%
move 80% 45%
S
session docs/view-help.png <<'S'
key ?
S
session "$work/closed.png" <<'S'
key p
snapshot docs/view-properties.png
key escape
S
echo "viewer-pictures: wrote docs/view-*.png"
