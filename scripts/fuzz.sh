#!/usr/bin/env bash
# Runs every fuzz target of a FOTELLO_FUZZ build for a bounded time:
#   scripts/fuzz.sh BUILD SECONDS [JOBS]
# Each target starts from its seeds and from its folder of tests/fuzz, keeps what it
# learns in BUILD/fuzz/learned-TARGET (kept between runs), and writes an input
# that fails into BUILD/fuzz/failures-TARGET. Targets run JOBS at a time.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:?usage: scripts/fuzz.sh BUILD SECONDS [JOBS]}
seconds=${2:-60}
jobs=${3:-$(nproc)}
out="$build/fuzz"
seeds="$build/tests/fuzz/seeds"

# Each target's seeds (a folder of BUILD's seeds) and the inputs that once failed it.
declare -A inputs=([probe]=pictures [reader]=pictures [jpeg_eighth]=pictures [wmf]=wmf [filter]=filter)
declare -A corpus=([probe]=corpus [reader]=corpus [jpeg_eighth]=corpus [wmf]=corpus-wmf [filter]=corpus-filter)

symbolizer=/usr/lib/llvm-14/bin/llvm-symbolizer
if [ -x "$symbolizer" ]; then export ASAN_SYMBOLIZER_PATH="$symbolizer"; fi

run_target() {
  local target=$1 kind=${inputs[$1]} rc=0
  mkdir -p "$out/learned-$target" "$out/failures-$target"
  # -timeout: a single input past 30 s is a hang (the biggest picture the caps
  # let through takes a few seconds under the sanitizers);
  # -rss_limit_mb: 2 GB for one input is a memory bomb, not a picture.
  "$out/${target}_fuzz" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$out/failures-$target/" \
    "$out/learned-$target" "$seeds/$kind" "tests/fuzz/${corpus[$target]}" > "$out/$target.log" 2>&1 || rc=$?
  echo "$rc" > "$out/$target.rc"
}

targets=$(printf '%s\n' "${!inputs[@]}" | sort)
for target in $targets; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_target "$target" &
done
wait

failed=()
for target in $targets; do
  if [ "$(cat "$out/$target.rc")" != 0 ]; then failed+=("$target"); fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/$target.log" | tail -1)
  echo "fuzz $target: ${runs:-?} runs in ${seconds} s"
done
if [ ${#failed[@]} -gt 0 ]; then
  for target in "${failed[@]}"; do
    echo "== $target failed; log $out/$target.log, input in $out/failures-$target/:"
    grep -E 'ERROR|SUMMARY|Test unit written' "$out/$target.log" | head -5 || true
    echo "   keep it as a regression: copy it to tests/fuzz/${corpus[$target]}/"
  done
  exit 1
fi
