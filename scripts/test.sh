#!/usr/bin/env bash
# Sets up a fresh machine, then configures, builds and runs every test of one
# CMake preset (default: "default"; also "asan", "tsan").
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
scripts/setup.sh
scripts/check-includes.sh
scripts/check-thread-locals.sh
# Under CI (CI set in the environment) compiler warnings fail the build.
werror=OFF
[[ -z "${CI:-}" ]] || werror=ON
cmake --preset "$preset" -DZVV_WERROR=$werror >/dev/null
cmake --workflow --preset "$preset"
