#!/usr/bin/env bash
# Measures how well zvv ranks the pages a reader wants on documentation packages, beside a peer
# engine (omindex + quest), and prints MRR@10, Recall@10 and nDCG@10 per corpus and kind, for the
# held-out half of the judged queries and then for the tuning half.
#   bench/relevance/run.sh [--rebuild] [--json] [--half tuning|held-out] [zvv-binary]
#   (default build/default/bin/zvv; --half runs one half only)
# Indexes are kept under build/relevance and reused; zvv's are rebuilt when its binary changes.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here/../.."
rebuild=0 json=() half=()
while (($#)); do
  case $1 in
    --rebuild) rebuild=1 ;;
    --json) json=(--json) ;;
    --half) shift; half=(--half "${1:-}") ;;
    -*) echo "usage: $0 [--rebuild] [--json] [--half tuning|held-out] [zvv-binary]" >&2; exit 2 ;;
    *) break ;;
  esac
  shift
done
zvv=$(realpath -m "${1:-build/default/bin/zvv}")
[[ -x $zvv ]] || { echo "no zvv binary at $zvv" >&2; exit 1; }
out=$PWD/build/relevance
export PYTHONDONTWRITEBYTECODE=1  # keep the source folder clean
start=$SECONDS

mapfile -t rows < <(grep -v '^#' "$here/corpora.tsv")
packages=(xapian-omega xapian-tools)
for row in "${rows[@]}"; do IFS=$'\t' read -r _ package _ <<<"$row"; packages+=("$package"); done
missing=()
for p in "${packages[@]}"; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
if ((${#missing[@]})); then
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
fi

shopt -s nullglob
# The stamp names the binary and the libraries beside it, so a rebuilt engine is re-indexed.
stamp=$(sha256sum "$zvv" "$(dirname "$zvv")"/*.so | sha256sum | cut -d' ' -f1)
for row in "${rows[@]}"; do
  IFS=$'\t' read -r name package pages <<<"$row"
  app=$out/corpora/$name
  if [[ ! -d $app/Help ]]; then
    rm -rf "$app.partial" && mkdir -p "$app.partial/Help"
    dpkg -L "$package" | grep -E '\.html?$' | grep "^$pages/" | while read -r page; do
      [[ -f $page && ! -L $page ]] || continue  # a link would only repeat a page
      target=$app.partial/Help/${page#"$pages"/}
      mkdir -p "$(dirname "$target")" && cp -p "$page" "$target"
    done
    mkdir -p "$app" && mv "$app.partial/Help" "$app/Help" && rmdir "$app.partial"
  fi
  if ((rebuild)) || [[ ! -d $app/dizode || $(cat "$app/zvv.stamp" 2>/dev/null) != "$stamp" ]]; then
    rm -rf "$app/dizode" "$app/zvv.stamp"
    "$zvv" --install-dir "$app" --no-ui index >/dev/null
    echo "$stamp" >"$app/zvv.stamp"
  fi
  database=$out/xapian/$name
  if ((rebuild)) || [[ ! -d $database ]]; then
    rm -rf "$database" && mkdir -p "$out/xapian"
    omindex --db "$database" --url / "$app/Help" >/dev/null
  fi
done
echo "measuring $zvv; indexes ready after $((SECONDS - start)) s" >&2

python3 "$here/search.py" --zvv "$zvv" --corpora "$out/corpora" --xapian "$out/xapian" \
  --out "$out/runs" "${half[@]}"
python3 "$here/report.py" "${json[@]}" "$out/runs"
echo "one full run: $((SECONDS - start)) s" >&2
