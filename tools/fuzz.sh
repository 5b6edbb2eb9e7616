#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/, clang with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/fuzz, replays the committed inputs
# (fuzz/corpus, fuzz/regressions and the carried files they read) and then
# fuzzes every target for FUZZ_SECONDS (default 60; 0 replays only), two at a
# time. Any crash, sanitizer report, leak, out-of-memory or hang (an input
# that runs longer than 10 s) fails the run; the input that caused it is kept
# in build/fuzz/artifacts/<target>/ and named below.
#
# New inputs found while fuzzing go to build/fuzz/scratch/<target>/, never
# into the committed corpus. Installs nothing: tools/install-deps.sh does.
#
#   FUZZ_SECONDS=60 tools/fuzz.sh
#   FUZZ_TARGETS="skin_file web_addresses" FUZZ_SECONDS=600 tools/fuzz.sh
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
parallel=${FUZZ_PARALLEL:-2}
build=build/fuzz

echo "== fuzz build (clang, libFuzzer, ASan, UBSan)"
CC=clang CXX=clang++ cmake -S fuzz -B "$build" -DQH_FUZZ=ON >/dev/null
cmake --build "$build" -j 2

echo "== replay of the committed inputs"
ctest --test-dir "$build" -j 2 --output-on-failure

if [ "$seconds" -eq 0 ]; then exit 0; fi

if [ -n "${FUZZ_TARGETS:-}" ]; then
  read -r -a targets <<<"$FUZZ_TARGETS"
else
  targets=()
  for list in "$build"/*.inputs; do targets+=("$(basename "$list" .inputs)"); done
fi

echo "== fuzzing ${#targets[@]} targets for ${seconds} s each, ${parallel} at a time"
mkdir -p "$build/logs"

fuzz_one() {
  local target=$1
  local scratch="$build/scratch/$target" artifacts="$build/artifacts/$target"
  rm -rf "$artifacts"
  mkdir -p "$scratch" "$artifacts"
  local inputs=()
  mapfile -t inputs <"$build/$target.inputs"
  # The scratch folder comes first: libFuzzer writes new inputs into the first one.
  local result=0
  "$build/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$artifacts/" -print_final_stats=1 \
    "$scratch" "${inputs[@]}" >"$build/logs/$target.log" 2>&1 || result=$?
  echo "$result" >"$build/logs/$target.status"
}

for target in "${targets[@]}"; do
  rm -f "$build/logs/$target.status"
  while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do wait -n || true; done
  fuzz_one "$target" &
done
wait

failed=0
for target in "${targets[@]}"; do
  result=$(cat "$build/logs/$target.status" 2>/dev/null || echo "no status")
  log="$build/logs/$target.log"
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  last=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  corp=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$last")
  found=$(find "$build/artifacts/$target" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | sort)
  if [ "$result" != 0 ] || [ -n "$found" ]; then
    failed=1
    echo "FAIL $target (exit $result), log: $log"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*check failed|.*runtime error)' "$log" | head -5 | sed 's/^/    /' || true
    for file in $found; do
      echo "    input: $file"
      echo "    replay: $build/${target}_fuzz $file"
      echo "    keep it: fuzz/regressions/$target/$(basename "$file")"
    done
  else
    echo "ok   $target: ${runs:-?} runs, ${speed:-?} exec/s, cov ${cov:-?}, features ${ft:-?}, corpus ${corp:-?}"
  fi
done
exit "$failed"
