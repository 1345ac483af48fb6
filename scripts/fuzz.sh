#!/usr/bin/env bash
# Builds the fuzz targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer, libFuzzer) and
# runs each on its seed corpus for a fixed time.
#
#   scripts/fuzz.sh                      every target for 15 s (what CI runs)
#   scripts/fuzz.sh --time 600 -j 2      the long local run: 10 minutes each, two at a time
#   scripts/fuzz.sh --time 60 invoke     one target
#
# Seeds are read from fuzz/corpus/<target>/ and never changed; inputs the fuzzer finds go to
# build/fuzz/corpus/<target>/, crashes and their reproducers to build/fuzz/findings/. A finding
# makes the script fail; replay one with build/fuzz/fuzz/fuzz_<target> <file>.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; }
seconds=15
jobs=1
targets=()
while (($#)); do
  case "$1" in
    --time) seconds="${2:?--time needs seconds}"; shift 2 ;;
    -j|--jobs) jobs="${2:?--jobs needs a count}"; shift 2 ;;
    -h|--help) usage; exit 0 ;;
    -*) echo "fuzz.sh: unknown option '$1'" >&2; usage >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
[[ "$seconds" =~ ^[0-9]+$ && "$seconds" -gt 0 ]] || { echo "fuzz.sh: --time takes whole seconds" >&2; exit 2; }
[[ "$jobs" =~ ^[0-9]+$ && "$jobs" -gt 0 ]] || { echo "fuzz.sh: --jobs takes a count" >&2; exit 2; }
if ((${#targets[@]} == 0)); then
  mapfile -t targets < <(sed -n 's/^set(KELMIRA_FUZZ_TARGETS//; T; :a; /)/!{N; ba}; s/)//; s/\s\+/\n/g; p' fuzz/CMakeLists.txt | sed '/^$/d')
fi
for t in "${targets[@]}"; do
  [[ -d "fuzz/corpus/$t" ]] || { echo "fuzz.sh: no target '$t' (no fuzz/corpus/$t)" >&2; exit 2; }
done

echo "== fuzz: configure and build"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzzers

build=build/fuzz
mkdir -p "$build/findings"
export ASAN_OPTIONS="allocator_may_return_null=1:detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1"

# 8 GB: a line data object may hold arrays of up to 2 GB each when asked, which is not a fault.
run() {
  local t="$1" log="$build/fuzz-$1.log"
  mkdir -p "$build/corpus/$t"
  if "$build/fuzz/fuzz_$t" "$build/corpus/$t" "fuzz/corpus/$t" -max_total_time="$seconds" -timeout=20 \
       -rss_limit_mb=8192 -print_final_stats=1 -artifact_prefix="$build/findings/$t-" >"$log" 2>&1; then
    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$t: ${runs:-?} runs in ${seconds} s ($((${runs:-0} / seconds))/s), corpus $(ls "$build/corpus/$t" | wc -l) + $(ls "fuzz/corpus/$t" | wc -l) seeds, no findings"
  else
    echo "$t: FINDING, see $log and $build/findings/$t-*" >&2
    grep -m3 -E "ERROR|runtime error|fuzz check failed|SUMMARY" "$log" >&2 || tail -5 "$log" >&2
    return 1
  fi
}

echo "== fuzz: ${#targets[@]} targets, ${seconds} s each, ${jobs} at a time"
failed=0
running=0
for t in "${targets[@]}"; do
  run "$t" &
  if ((++running >= jobs)); then
    wait -n || failed=1
    ((running--))
  fi
done
while ((running > 0)); do
  wait -n || failed=1
  ((running--))
done
exit "$failed"
