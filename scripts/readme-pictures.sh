#!/usr/bin/env bash
# Renders the pictures of the README's "Plotting your data" section with kelmira-plot, from data
# generated here (a year of daily closing prices with holidays and a trading halt, two isotopes'
# count rates, a week of weather): scripts/readme-pictures.sh [build/release/tools/kelmira-plot]
set -euo pipefail
cd "$(dirname "$0")/.."
plot=${1:-build/release/tools/kelmira-plot}
[[ -x $plot ]] || { echo "readme-pictures: no kelmira-plot at $plot (build the release preset first)" >&2; exit 1; }
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT

python3 - "$data" <<'PY'
import datetime, math, random, sys
out = sys.argv[1]
random.seed(7)

# Business days of 2024; no trading on a few holidays, and a halt in June leaves empty cells.
with open(f"{out}/prices.csv", "w") as f:
    f.write("date,close,20-day mean\n")
    day, price, closes = datetime.date(2024, 1, 2), 182.0, []
    holidays = {datetime.date(2024, m, d) for m, d in [(1, 15), (2, 19), (3, 29), (5, 27), (7, 4), (9, 2), (11, 28), (12, 25)]}
    while day.year == 2024:
        if day.weekday() < 5 and day not in holidays:
            price *= math.exp(random.gauss(0.0004, 0.016))
            halted = datetime.date(2024, 6, 10) <= day <= datetime.date(2024, 6, 21)
            closes.append(None if halted else price)
            recent = [c for c in closes[-20:] if c is not None]
            close = "" if halted else f"{price:.2f}"
            mean = f"{sum(recent) / len(recent):.2f}" if len(recent) >= 10 and not halted else ""
            f.write(f"{day.isoformat()},{close},{mean}\n")
        day += datetime.timedelta(days=1)

# Counts per second every 15 minutes over three days; the short-lived isotope falls to zero.
with open(f"{out}/decay.csv", "w") as f:
    f.write("hours,Tc-99m (cps),I-131 (cps)\n")
    for i in range(4 * 72 + 1):
        t = i / 4
        tc = 80000 * 0.5 ** (t / 6.0)
        io = 900 * 0.5 ** (t / (8.02 * 24))
        tc_count = max(0, round(random.gauss(tc, math.sqrt(tc)) - 3)) if tc > 1 else 0
        f.write(f"{t:.2f},{tc_count},{max(1, round(random.gauss(io, math.sqrt(io))))}\n")

# A week of hourly weather as a station writes it: temperature left, pressure right.
with open(f"{out}/weather.csv", "w") as f:
    f.write("time,temperature (C),dew point (C),pressure (hPa)\n")
    start = datetime.datetime(2024, 3, 4)
    for h in range(7 * 24):
        t = start + datetime.timedelta(hours=h)
        front = 1 / (1 + math.exp(-(h - 80) / 6))
        temp = 6 + 5 * math.sin((h % 24 - 9) / 24 * 2 * math.pi) - 4 * front + random.gauss(0, 0.3)
        dew = temp - 3 - 2 * math.sin((h % 24 - 9) / 24 * 2 * math.pi) + random.gauss(0, 0.3)
        pressure = 1018 - 14 * math.exp(-((h - 78) / 18) ** 2) + random.gauss(0, 0.25)
        f.write(f"{t:%Y-%m-%d %H:%M},{temp:.1f},{dew:.1f},{pressure:.1f}\n")
PY

"$plot" --date-x --legend upper-left --size 800x420 --title "Closing price, 2024 (trading halted 10-21 June)" \
  --ylabel "USD" -o docs/plot-dates.png "$data/prices.csv"
"$plot" --logy --size 800x420 --title "Two isotopes, counted every 15 minutes" \
  -o docs/kelmira-plot-log.png "$data/decay.csv"
"$plot" --date-x --right-y "pressure (hPa)" --size 800x420 --title "Station week, 4-10 March 2024" \
  --ylabel "C" --y2label "hPa" -o docs/plot-two-axes.png "$data/weather.csv"
