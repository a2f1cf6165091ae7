#!/usr/bin/env bash
# Runs each fuzz target for the given number of seconds on a copy of its seed
# corpus (the repository's corpus is never rewritten), one after another, and
# fails when any target finds a crash, a leak, a time-out or a broken check.
#
#   tests/fuzz/run.sh <seconds> [target...]
#
# The targets come from the fuzz preset's build folder (build/fuzz) unless
# ZVV_FUZZ_BUILD names another. A failed target's log and the input that
# broke it stay in the scratch folder printed at the end.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:?usage: tests/fuzz/run.sh <seconds> [target...]}
shift
build=${ZVV_FUZZ_BUILD:-build/fuzz}
targets=("$@")
if ((${#targets[@]} == 0)); then
  targets=(query_fuzz html_fuzz registry_file_fuzz registration_script_fuzz)
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/zvv-fuzz.XXXXXX")
failed=()
for target in "${targets[@]}"; do
  work="$scratch/$target"
  mkdir -p "$work/corpus" "$work/findings"
  cp tests/fuzz/corpus/"$target"/* "$work/corpus/"
  echo "fuzz: $target for ${seconds}s"
  if "$build/bin/$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/findings/" "$work/corpus" >"$work/log" 2>&1; then
    grep -E '^#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb' "$work/log" || true
  else
    failed+=("$target")
    tail -n 60 "$work/log"
  fi
done

if ((${#failed[@]})); then
  echo "fuzz: failed: ${failed[*]} (logs and inputs in $scratch)"
  exit 1
fi
rm -rf "$scratch"
echo "fuzz: every target ran ${seconds}s without a finding"
