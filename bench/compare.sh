#!/usr/bin/env bash
# The engine as it is against an earlier engine (by default the one before helptok and help_rank,
# commit 2492fe0), on the 10,000-page corpus: each round runs the old cold indexing, the new one,
# the old searches and the new ones, one process at a time, so both see the same machine; then
# prints the medians over the rounds and the ratios the goals name.
#   bench/compare.sh [repetitions] [commit]      # rounds, default 3
# Against another commit than 2492fe0, the goals are those of a change to today's engine: cold
# indexing, index size and the search median each within 1.25× of the earlier engine's.
set -euo pipefail
cd "$(dirname "$0")/.."
repetitions=${1:-3}
old_commit=${2:-2492fe0}
source bench/prepare.sh

# The old tree is a worktree beside the repository, never inside it.
before=$(realpath -m "$(git rev-parse --show-toplevel)/../zvv-$old_commit")
[[ $old_commit != 2492fe0 ]] || before=$(realpath -m "$(git rev-parse --show-toplevel)/../zvv-before")
if [[ ! -d $before ]]; then
  git worktree add --detach "$before" "$old_commit" >/dev/null
fi
if [[ $(git -C "$before" rev-parse HEAD) != $(git rev-parse "$old_commit^{commit}") ]]; then
  echo "compare.sh: $before is not at $old_commit" >&2
  exit 1
fi

prepare_corpora
# The old tree's own benchmark sources: they drive its own schema and internals.
build_benchmarks "$before" "$before/build/bench"
build_benchmarks . build/bench
old=$before/build/bench/bin
new=build/bench/bin

out=$DIZODE_BENCH_CORPORA/compare
rm -rf "$out"
mkdir -p "$out"
index_filter='BM_(ReadBytes|RawFts5Insert|ColdIndex)/2/'

# Bytes of the collection the last cold indexing left (closed, so its log is checkpointed).
collection_bytes() {
  local db=$DIZODE_BENCH_CORPORA/scratch/cold-mixed10k/collection.db bytes=0 f
  for f in "$db" "$db-wal"; do
    [[ -f $f ]] && bytes=$((bytes + $(stat -c %s "$f")))
  done
  echo "$bytes"
}

run() {  # run BINARY JSON [options]: one process, its figures kept as JSON
  local binary=$1 json=$2
  shift 2
  "$binary" --benchmark_out="$json" --benchmark_out_format=json "$@"
}

for ((round = 1; round <= repetitions; round++)); do
  echo "== round $round of $repetitions"
  run "$old/index_bench" "$out/old-index-$round.json" --benchmark_filter="$index_filter"
  # The old cold indexing has no size counter: measure what it left.
  collection_bytes >>"$out/old-index-bytes"
  run "$new/index_bench" "$out/new-index-$round.json" --benchmark_filter="$index_filter"
  run "$old/search_bench" "$out/old-search-$round.json" --benchmark_filter=Search
  run "$new/search_bench" "$out/new-search-$round.json" --benchmark_filter=Search
done
python3 bench/compare.py "$out" $([[ $old_commit == 2492fe0 ]] || echo --change)
