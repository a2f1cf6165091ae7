#!/usr/bin/env bash
# The component sees the platform only through winport/win32.h: no file of
# component/ includes a C or system header, and no file outside winport/
# includes an operating-system header that winport stands in for.
set -euo pipefail
cd "$(dirname "$0")/.."

status=0
os_headers='(windows|ole2|oleauto|objbase|commctrl|process|unistd|pthread|dlfcn|fcntl|dirent|poll|termios|signal|sys/[a-z_]+)\.h'

# Resource scripts (.rc) are compiled by the Windows resource compiler, which
# needs the system's headers; only C++ sources and headers are checked.
# Two engine files do what the standard library cannot (file stamps relative to an open
# folder; write permission and durable renames); they are the engine's only direct use of the
# operating system. Their Windows counterparts, with the code page conversion and the UTF-8 to
# wide path conversion, are the *_win.cpp files named beside them. Tests may use it to make
# faults (descriptor limits, full disks, forks).
bad=$(grep -rnE "^\s*#\s*include\s*<${os_headers}>" component cli engine bench \
      --include='*.cpp' --include='*.h' --include='*.hpp' 2>/dev/null \
      | grep -vE '^engine/src/(folder_stats|file_system|folder_stats_win|file_system_win|charset_convert_win|wide_path_win)\.cpp:' \
      | grep -vE '^[a-z]+/tests/' || true)
if [[ -n "$bad" ]]; then
  echo "check-includes: operating-system headers outside winport/:"
  echo "$bad"
  status=1
fi

# Component sources (not its tests) include only C++ standard headers and
# project headers: any <….h> there is a C or system header.
bad=$(grep -rnE '^\s*#\s*include\s*<[^>]+\.h>' component --include='*.cpp' --include='*.h' \
      | grep -v '^component/tests/' | grep -v 'dizode/dizode.h' || true)
if [[ -n "$bad" ]]; then
  echo "check-includes: component/ includes headers other than winport/win32.h:"
  echo "$bad"
  status=1
fi
exit $status
