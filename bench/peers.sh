#!/usr/bin/env bash
# Ours against the peer indexer (omindex and quest) and raw FTS5 on the 10,000-page corpus, in
# interleaved rounds: cold build, no-change start-up, 1 % update, one-shot searches, in-process
# searches and peak memory (see peers.py).
#   bench/peers.sh [rounds]      # default 3
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-3}
source bench/prepare.sh

if ! command -v omindex >/dev/null || ! command -v quest >/dev/null; then
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq \
    --no-install-recommends xapian-omega xapian-tools
fi
prepare_corpora
build_benchmarks . build/bench
cmake --build build/bench --target zvv ZoViveviVadiro -j2 >/dev/null
python3 bench/peers.py --zvv build/bench/bin/zvv --bench build/bench/bin \
  --corpus "$DIZODE_BENCH_CORPORA/mixed10k" --work "$DIZODE_BENCH_CORPORA/scratch/peers" \
  --rounds "$rounds"
