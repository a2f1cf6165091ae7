#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy on the C and C++ sources
# that differ from the merge base with a base commit (default: the previous
# commit; in CI, the last commit that passed), reading the compile database of
# a configured build folder; any finding fails.
#
#   scripts/check-tidy.sh <build folder> [<base commit>]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: check-tidy.sh <build folder> [<base commit>]}
base=${2:-HEAD~1}

if [[ ! -f "$build/compile_commands.json" ]]; then
  echo "check-tidy: $build has no compile_commands.json; configure it first" >&2
  exit 2
fi

# Sources the build compiles (those of other platforms are left out).
mapfile -t changed < <(git diff --name-only --diff-filter=d "$(git merge-base "$base" HEAD)" -- \
                        '*.c' '*.cpp')
files=()
for f in "${changed[@]}"; do
  grep -qF "\"$PWD/$f\"" "$build/compile_commands.json" && files+=("$f")
done
if ((${#files[@]} == 0)); then
  echo "check-tidy: no compiled C or C++ source changed since $base"
  exit 0
fi
echo "check-tidy: ${#files[@]} file(s) changed since $base"
# The code writes a one-statement if on one line without braces, as its
# formatting allows, so that check of the configuration is left out here.
printf '%s\0' "${files[@]}" |
  xargs -0 -n 4 -P 2 clang-tidy-14 -p "$build" --quiet \
    --checks=-readability-braces-around-statements --warnings-as-errors='*'
