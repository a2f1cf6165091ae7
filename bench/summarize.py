#!/usr/bin/env python3
"""Prints the medians of a bench/run.sh run side by side, with the ratios the targets use."""
import json
import os
import statistics
import sys

CORPORA = ["pg", "py", "mixed10k"]


def medians(*paths):
    """Per benchmark, the median of every figure over its runs in all the given JSON outputs
    (repetitions of one process, or one run from each of several processes)."""
    runs = {}
    for path in paths:
        with open(path) as f:
            for r in json.load(f)["benchmarks"]:
                if r.get("run_type") == "iteration" and "error_occurred" not in r:
                    runs.setdefault(r["run_name"].replace("/process_time", ""), []).append(r)
    return {name: {key: statistics.median(r[key] for r in rs)
                   for key, value in rs[0].items()
                   if isinstance(value, (int, float)) and all(key in r for r in rs)}
            for name, rs in runs.items()}


def main():
    out = sys.argv[1]
    index = medians(os.path.join(out, "index.json"))
    memory = medians(os.path.join(out, "memory.json"))
    index.update(memory)
    search = medians(os.path.join(out, "search.json"))

    for clock in ("real_time", "cpu_time"):
        label = "wall" if clock == "real_time" else "process CPU"
        print(f"\ncold indexing ({label} ms, median)   read   raw FTS5    engine  "
              "engine/(raw+read)")
        for i, name in enumerate(CORPORA):
            read = index[f"BM_ReadBytes/{i}"][clock]
            raw = index[f"BM_RawFts5Insert/{i}"][clock]
            cold = index[f"BM_ColdIndex/{i}"][clock]
            pages = int(index[f"BM_ColdIndex/{i}"]["pages"])
            print(f"  {name:9} {pages:6} pages {read:8.1f} {raw:9.1f} {cold:9.1f}  "
                  f"{cold / (raw + read):6.2f}x  (target <= 3x on 10,000 pages)")
    listing = index["BM_NoChangeListing"]
    update = index["BM_OnePercentUpdate/iterations:3"]
    print(f"\nno-change listing with freshness check, 10,000 pages: "
          f"{listing['real_time']:.1f} ms wall, {listing['cpu_time']:.1f} ms CPU (target < 60)")
    sizes = ", ".join(f"{name} {index[f'BM_ColdIndex/{i}']['index_MiB']:.1f}"
                      for i, name in enumerate(CORPORA))
    print(f"index size after cold indexing (MiB): {sizes}")
    print(f"1 % add/change/remove update, 10,000 pages: {update['real_time']:.1f} ms wall, "
          f"{update['cpu_time']:.1f} ms CPU")
    engine = search["BM_EngineSearch"]
    raw = search["BM_RawFts5Search"]
    print(f"search p50: engine {engine['p50_us'] / 1000:.3f} ms, raw FTS5 "
          f"{raw['p50_us'] / 1000:.3f} ms, ratio {engine['p50_us'] / raw['p50_us']:.2f}x "
          "(targets < 1 ms, <= 2x)")
    print(f"search p95: engine {engine['p95_us'] / 1000:.3f} ms, raw FTS5 "
          f"{raw['p95_us'] / 1000:.3f} ms")
    print(f"search CPU p50/p95: engine {engine['p50_cpu_us'] / 1000:.3f}/"
          f"{engine['p95_cpu_us'] / 1000:.3f} ms, raw FTS5 {raw['p50_cpu_us'] / 1000:.3f}/"
          f"{raw['p95_cpu_us'] / 1000:.3f} ms, p50 ratio "
          f"{engine['p50_cpu_us'] / raw['p50_cpu_us']:.2f}x; "
          f"{engine['hits_per_query']:.0f} hits per query on average")
    refresh = search["BM_RefreshRequest"]
    print(f"refresh request (code 11): p50 {refresh['p50_us']:.1f} us, max {refresh['max_us']:.0f} us")
    rss = memory["BM_ColdIndex/2"]["maxrss_MiB"]
    print(f"peak memory, cold indexing of 10,000 pages: {rss:.0f} MiB (target < 150)")


if __name__ == "__main__":
    main()
