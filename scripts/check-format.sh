#!/usr/bin/env bash
# Every tracked C and C++ source and header follows the repository's
# .clang-format: lists the files that do not and fails.
set -euo pipefail
cd "$(dirname "$0")/.."

git ls-files -z '*.c' '*.cpp' '*.h' '*.hpp' '*.inc' |
  xargs -0 clang-format-14 --dry-run --Werror
