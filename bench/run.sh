#!/usr/bin/env bash
# Prepares the corpora, builds the benchmarks and runs them in one go, then prints medians and
# ratios. Takes a while: cold indexing of 10,000 pages runs several times.
#   bench/run.sh [repetitions]
set -euo pipefail
cd "$(dirname "$0")/.."
repetitions=${1:-3}
source bench/prepare.sh

prepare_corpora
build=build/bench
build_benchmarks . "$build"

out=$DIZODE_BENCH_CORPORA/results
mkdir -p "$out"
common=(--benchmark_repetitions="$repetitions" --benchmark_display_aggregates_only=true
        --benchmark_format=console --benchmark_out_format=json)
# Peak memory belongs to one process per measurement: cold indexing of 10,000 pages alone.
"$build/bin/index_bench" --benchmark_filter='BM_ColdIndex/2/' "${common[@]}" \
  --benchmark_out="$out/memory.json"
"$build/bin/index_bench" --benchmark_filter='-BM_ColdIndex/2/' "${common[@]}" \
  --benchmark_out="$out/index.json"
"$build/bin/search_bench" "${common[@]}" --benchmark_out="$out/search.json"
python3 bench/summarize.py "$out"
