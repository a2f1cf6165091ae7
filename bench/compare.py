#!/usr/bin/env python3
"""Prints what bench/compare.sh measured: medians over its rounds, old engine beside new, and
the goals on the 10,000-page corpus, judged on wall-clock time (with --change, those of a change
to a recent engine: each figure within 1.25× of the old one's)."""
import glob
import os
import statistics
import sys

from summarize import medians

CLOCKS = (("real_time", "p50_us", "wall"), ("cpu_time", "p50_cpu_us", "process CPU"))


def load(out, engine, kind):
    return medians(*sorted(glob.glob(os.path.join(out, f"{engine}-{kind}-*.json"))))


def main():
    out = sys.argv[1]
    change = "--change" in sys.argv[2:]  # against a recent engine: the goals of a change
    index = {engine: load(out, engine, "index") for engine in ("old", "new")}
    search = {engine: load(out, engine, "search") for engine in ("old", "new")}
    with open(os.path.join(out, "old-index-bytes")) as f:
        old_bytes = [int(line) for line in f if line.strip()]
    size = {"old": statistics.median(old_bytes) / (1 << 20),
            "new": index["new"]["BM_ColdIndex/2"]["index_MiB"]}

    print(f"\nmixed10k, median of {len(old_bytes)} rounds    old engine    new engine")
    for clock, p50, label in CLOCKS:
        print(f"  {label} ms")
        for name, run in (("read bytes", "BM_ReadBytes/2"),
                          ("raw FTS5 insert", "BM_RawFts5Insert/2"),
                          ("cold indexing", "BM_ColdIndex/2")):
            old, new = index["old"][run][clock], index["new"][run][clock]
            print(f"    {name:30} {old:10.1f} {new:13.1f}")
    print(f"  {'index size, MiB':32} {size['old']:10.1f} {size['new']:13.1f}")
    for clock, p50, label in CLOCKS:
        print(f"  search p50, {label} ms")
        for name, run in (("engine", "BM_EngineSearch"), ("raw FTS5 bm25", "BM_RawFts5Search")):
            print(f"    {name:30} {search['old'][run][p50] / 1000:10.3f} "
                  f"{search['new'][run][p50] / 1000:13.3f}")
    print("  (old raw search: the query's words ANDed, FTS5's porter tokenizer; new raw search: "
          "the engine's own MATCH text on the engine's index)")

    new = index["new"]
    engine = search["new"]["BM_EngineSearch"]

    def ratio(numerator, denominator):
        return tuple(numerator(c) / denominator(c) for c in CLOCKS)

    if change:
        old = index["old"]
        goals = [
            ("1. cold indexing / old engine's", 1.25,
             ratio(lambda c: new["BM_ColdIndex/2"][c[0]], lambda c: old["BM_ColdIndex/2"][c[0]])),
            ("2. index size / old engine's", 1.25, (size["new"] / size["old"], None)),
            ("3. search p50 / old engine's", 1.25,
             ratio(lambda c: engine[c[1]], lambda c: search["old"]["BM_EngineSearch"][c[1]])),
        ]
    else:
        goals = []
    goals += [] if change else [
        ("1. cold indexing / (raw FTS5 insert + read)", 3,
         ratio(lambda c: new["BM_ColdIndex/2"][c[0]],
               lambda c: new["BM_RawFts5Insert/2"][c[0]] + new["BM_ReadBytes/2"][c[0]])),
        ("2. index size / old engine's", 1.6, (size["new"] / size["old"], None)),
        ("3. search p50 / old engine's", 1.5,
         ratio(lambda c: engine[c[1]], lambda c: search["old"]["BM_EngineSearch"][c[1]])),
        ("   search p50 / raw FTS5 bm25, same rows", 2,
         ratio(lambda c: engine[c[1]], lambda c: search["new"]["BM_RawFts5Search"][c[1]])),
    ]
    print(f"\n{'goals, new engine':46} {'goal':>6} {'wall':>7} {'CPU':>7}")
    for name, goal, (wall, cpu) in goals:
        cpu_text = f"{cpu:6.2f}x" if cpu is not None else ""
        verdict = "met" if wall <= goal else "MISSED"
        print(f"  {name:44} {goal:>5}x {wall:6.2f}x {cpu_text:>7}  {verdict}")
    raw = search["new"]["BM_RawFts5Search"]
    print(f"  (judged on wall-clock; raw bm25 ran the {int(raw['queries'])} of 20 queries that "
          f"compile to one MATCH; hits per query: engine {engine['hits_per_query']:.0f}, "
          f"raw {raw['hits_per_query']:.0f})")


if __name__ == "__main__":
    main()
