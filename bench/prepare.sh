# Shared by run.sh and compare.sh (sourced, not run): the corpora and the benchmark builds.

# Installs the documentation packages the corpora come from when they are missing, builds the
# corpora below bench/corpora once, empties the scratch folder and exports its root.
prepare_corpora() {
  local packages=(postgresql-doc-15 python3.11-doc) missing=() p
  for p in "${packages[@]}"; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
  if ((${#missing[@]})); then
    local sudo_cmd=()
    [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq \
      --no-install-recommends "${missing[@]}"
  fi
  export DIZODE_BENCH_CORPORA=$PWD/bench/corpora
  python3 bench/make_corpora.py "$DIZODE_BENCH_CORPORA"
  rm -rf "$DIZODE_BENCH_CORPORA/scratch"
}

# build_benchmarks SOURCE BUILD: index_bench and search_bench of the tree at SOURCE, optimised,
# in the folder BUILD.
build_benchmarks() {
  cmake -S "$1" --preset default -B "$2" -DZVV_BUILD_TESTS=OFF \
    -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
  cmake --build "$2" --target index_bench search_bench -j2 >/dev/null
}
