#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that
# are missing (apt-get runs only when dpkg reports a package absent).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev libxml2-dev libffi-dev
  libstemmer-dev libutf8proc-dev libuchardet-dev libxxhash-dev ccache
  g++-mingw-w64-i686 mingw-w64-tools
  binutils-mingw-w64-i686 # the resource compiler, which every build runs
  dpkg-dev make tcl       # the engine's Windows libraries, built from source packages
  clang-14 libclang-rt-14-dev
  clang-format-14 clang-tidy-14
  libedit-dev             # line editing and history in zvv watch
  libcpp-httplib-dev      # the HTTP server of zvv serve
)

# Wine runs the Windows build's end-to-end test (tests/wine/run.sh). It is
# large, so only CI (CI set) or a developer who asks (--wine) gets it; its
# 32-bit half needs the i386 architecture.
wine_packages=(
  wine wine32:i386 wine64
  xvfb xauth      # xvfb-run: an X display for the dialogs
  xdotool         # finds the dialogs' X windows
  imagemagick     # import: screenshots of the dialogs
)
want_wine=0
[[ -n ${CI:-} || " $* " == *" --wine "* ]] && want_wine=1
if ((want_wine)); then
  packages+=("${wine_packages[@]}")
fi

# Headless Chromium drives zvv serve's viewer in its end-to-end test (ctest
# label "browser", skipped when it is missing). It is large, so only CI (CI
# set) or a developer who asks (--browser) gets it.
if [[ -n ${CI:-} || " $* " == *" --browser "* ]]; then
  packages+=(chromium)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  if ((want_wine)) && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
