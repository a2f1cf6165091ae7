#!/usr/bin/env bash
# Code built for Windows keeps only plain values in thread-local storage: in a
# Windows module, the storage of a thread_local object is released before its
# destructor runs when the thread ends, so a destructor there reads freed
# memory. A pointer, a number or a flag has no destructor. winport is the
# Linux stand-in for the system and is never built for Windows; tests neither.
set -euo pipefail
cd "$(dirname "$0")/.."

plain='thread_local\s+(const\s+)?((bool|char|int|unsigned|long|size_t|u?int(8|16|32|64)_t|DWORD)\b|[A-Za-z_][A-Za-z0-9_:<>]*\s*\*)'
bad=$(grep -rnE '\bthread_local\b' component engine \
      --include='*.cpp' --include='*.h' 2>/dev/null \
      | grep -vE '^[a-z]+/tests/' | grep -vE '//.*\bthread_local\b' | grep -vE "$plain" || true)
if [[ -n "$bad" ]]; then
  echo "check-thread-locals: thread_local objects with destructors in code built for Windows:"
  echo "$bad"
  exit 1
fi
