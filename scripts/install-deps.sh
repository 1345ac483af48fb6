#!/usr/bin/env bash
# Installs the Debian packages Kelmira needs, and only those that are missing: a second run
# finishes in about a second without touching apt.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config      # build
  libgtest-dev libbenchmark-dev         # tests and benchmarks
  libfreetype-dev libfontconfig-dev fonts-liberation2 libpng-dev  # drawing surface
  libcairo2-dev poppler-utils           # vector files (SVG, PDF) and their checks
  libsdl2-dev xvfb xauth                # interactive display back-end and its test
  clang libclang-rt-14-dev              # fuzz targets: libFuzzer and the shared sanitizer runtime
  python3                               # the Python package and its test
  python3-numpy                         # array views of line data (optional at run time)
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  echo "install-deps: all ${#packages[@]} packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp)
if ! { $sudo apt-get update -qq && $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  echo "install-deps: apt-get failed (full log: $log)" >&2
  exit 1
fi
rm -f "$log"
echo "install-deps: done"
