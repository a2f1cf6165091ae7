#!/usr/bin/env bash
# Kills `zvv index` at random moments, a thousand times by default, and checks the collection
# after each kill (see kill_test.py). Builds zvv and the checker first.
#   bench/kill_test.sh [BUILD_FOLDER] [kill_test.py options...]
# BUILD_FOLDER defaults to build/killtest; an existing build folder is reused as it is
# configured, a new one is configured optimised with the benchmarks' targets.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/killtest}
(($#)) && shift
if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S . --preset default -B "$build" -DZVV_BUILD_TESTS=OFF -DZVV_BUILD_BENCH=ON \
    -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
fi
cmake --build "$build" --target zvv kill_test_check -j2 >/dev/null
exec python3 bench/kill_test.py --zvv "$build/bin/zvv" --checker "$build/bin/kill_test_check" "$@"
