#!/usr/bin/env bash
# The main job: sets up a fresh machine, builds zvv with the "default" preset
# when it is missing or out of date (zvv and the libraries it loads, not the
# tests and benchmarks), and runs it with the given arguments. Without
# arguments it searches the bundled sample help for a sample query.
#
# Build output goes to build/default/zvv-build.log (shown when the build
# fails), so that zvv's own output, JSON included, stays clean.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/default"
log="$build/zvv-build.log"

"$root/scripts/setup.sh" >&2

mkdir -p "$build"
if [[ ! -x "$build/bin/zvv" ]]; then
  echo "zvv.sh: building the default preset; the first build takes a few minutes" >&2
fi
if ! (cd "$root" &&
      { [[ -f "$build/CMakeCache.txt" ]] || cmake --preset default; } &&
      cmake --build --preset default --target zvv) >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  echo "zvv.sh: the build failed; the full log is $log" >&2
  exit 1
fi

if (($# == 0)); then
  set -- "titles only"
fi
exec "$build/bin/zvv" "$@"
