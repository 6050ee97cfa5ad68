#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a given time each.
#   run-fuzzers.sh BUILD_DIR SECONDS [TARGET...]
# Each target starts from its stored corpus (fuzz/corpus/<target>, only
# read) and grows a working corpus in BUILD_DIR/corpus/<target>; an input
# that makes it fail is written to BUILD_DIR/crashes/<target>/. Copy such an
# input into fuzz/corpus/<target> once the fault is mended, so that every
# test run replays it.
set -uo pipefail
build=$1
seconds=$2
shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$root"/fuzz/fuzz_*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
failed=()
for t in "${targets[@]}"; do
  work="$build/corpus/$t"
  crashes="$build/crashes/$t"
  mkdir -p "$work" "$crashes"
  echo "== $t: ${seconds}s"
  "$build/fuzz/$t" "$work" "$root/fuzz/corpus/$t" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -timeout=20 -print_final_stats=1 -artifact_prefix="$crashes/" 2>"$build/$t.log"
  rc=$?
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb|stat::new_units_added" "$build/$t.log" | sed 's/^/   /'
  if [ $rc -ne 0 ]; then
    failed+=("$t")
    echo "   FAILED (exit $rc): see $build/$t.log and $crashes/"
  fi
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "Fuzz targets that failed: ${failed[*]}"
  exit 1
fi
