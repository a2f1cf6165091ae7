#!/usr/bin/env bash
# Sets up a fresh machine, then configures, builds and runs every test of one
# CMake preset (default: "default"; also "asan", "tsan").
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
scripts/setup.sh
scripts/check-includes.sh
cmake --workflow --preset "$preset"
