#!/usr/bin/env bash
# Prepares the corpora, builds the benchmarks and runs them in one go, then prints medians and
# ratios. Takes a while: cold indexing of 10,000 pages runs several times.
#   bench/run.sh [repetitions]
set -euo pipefail
cd "$(dirname "$0")/.."
repetitions=${1:-3}

packages=(postgresql-doc-15 python3.11-doc)
missing=()
for p in "${packages[@]}"; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
if ((${#missing[@]})); then
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
fi

export DIZODE_BENCH_CORPORA=$PWD/bench/corpora
python3 bench/make_corpora.py "$DIZODE_BENCH_CORPORA"
rm -rf "$DIZODE_BENCH_CORPORA/scratch"

build=build/bench
cmake --preset default -B "$build" -DZVV_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target index_bench search_bench -j2 >/dev/null

out=$DIZODE_BENCH_CORPORA/results
mkdir -p "$out"
common=(--benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true
        --benchmark_format=console)
# Peak memory belongs to one process per measurement: cold indexing of 10,000 pages alone.
"$build/bin/index_bench" --benchmark_filter='BM_ColdIndex/2/' "${common[@]}" \
  --benchmark_out="$out/memory.json" --benchmark_out_format=json
"$build/bin/index_bench" --benchmark_filter='-BM_ColdIndex/2/' "${common[@]}" \
  --benchmark_out="$out/index.json" --benchmark_out_format=json
"$build/bin/search_bench" "${common[@]}" \
  --benchmark_out="$out/search.json" --benchmark_out_format=json
python3 bench/summarize.py "$out"
