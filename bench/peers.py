#!/usr/bin/env python3
"""Ours beside the peer indexer and raw FTS5, interleaved on one corpus.

Each round runs every contender's step one process at a time, in the same order, so that all
of them see the same machine: raw FTS5 insertion (the plain schema and ours), a cold build by
`zvv index` and by omindex, a no-change re-run of each, a 1 % update of each (a third of 1 % of
the pages edited, a third added, a third removed, the same change for both), one-shot searches
by `zvv` and by `quest`, and the in-process searches of search_bench. Wall time, CPU time (user
plus system, from the kernel's accounting of the process, in microseconds) and peak memory come
from wait4() on each process. Prints the medians over the rounds and the ratios the goals name.

    bench/peers.py --zvv ZVV --bench BENCHBIN --corpus DIR --work DIR [--rounds N]
"""
import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import time

QUERIES = ["create index", "transaction isolation", "regular expression", "json",
           "string format"]


class Sample:
    def __init__(self, wall, cpu, rss_mib):
        self.wall, self.cpu, self.rss_mib = wall, cpu, rss_mib


def measure(argv, env=None):
    """Runs argv to its end; returns its wall, CPU and peak memory."""
    start = time.perf_counter()
    proc = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    err = proc.stderr.read().decode(errors="replace")
    proc.stderr.close()
    proc.returncode = os.waitstatus_to_exitcode(status)
    if proc.returncode != 0:
        sys.exit(f"peers: {' '.join(argv)} failed ({proc.returncode}): {err.strip()}")
    return Sample(wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024)


def benchmark_json(argv, path):
    """Runs a Google Benchmark binary and returns its JSON's benchmarks by name."""
    measure(argv + [f"--benchmark_out={path}", "--benchmark_out_format=json"])
    with open(path) as f:
        return {b["name"]: b for b in json.load(f)["benchmarks"]}


def named(benchmarks, prefix):
    """The first benchmark whose name starts with prefix: the library appends what it measures
    ("/process_time", "/real_time") to the name."""
    return next((b for name, b in benchmarks.items() if name.startswith(prefix)), None)


def pages_of(folder):
    return sorted(os.path.join(d, n) for d, _, names in os.walk(folder) for n in names
                  if n.endswith((".htm", ".html")))


def one_percent_change(help_dir, round_no):
    """Edits, adds and removes a third of 1 % of the pages each."""
    pages = pages_of(help_dir)
    share = max(1, len(pages) // 300)
    for i in range(share):
        with open(pages[(round_no * share + i) % len(pages)], "a") as f:
            f.write(f"<p>edited in round {round_no}</p>")
        shutil.copyfile(pages[(i * 7 + 5000) % len(pages)],
                        os.path.join(help_dir, f"added-{round_no}-{i}.html"))
    for i in range(share):
        victim = pages[(round_no * share + i + 2500) % len(pages)]
        if os.path.exists(victim):
            os.remove(victim)


def run_round(args, round_no, results):
    work = os.path.join(args.work, f"round-{round_no}")
    shutil.rmtree(work, ignore_errors=True)
    install = os.path.join(work, "app") + "/"
    os.makedirs(install)
    help_dir = os.path.join(install, "Help")
    shutil.copytree(args.corpus, help_dir)
    xapian_db = os.path.join(work, "xapian")
    zvv = [args.zvv, "--no-ui", "--install-dir", install]
    omindex = ["omindex", "--db", xapian_db, "--url", "/", help_dir]

    def add(name, sample):
        results.setdefault(name, []).append(sample)

    raw = benchmark_json([os.path.join(args.bench, "index_bench"),
                          "--benchmark_filter=BM_(ReadBytes|RawFts5Insert|RawOwnSchemaInsert)/2/"],
                         os.path.join(work, "raw.json"))
    for name, key in (("read bytes", "BM_ReadBytes/2/"),
                      ("raw FTS5 insert, plain schema", "BM_RawFts5Insert/2/"),
                      ("raw FTS5 insert, our schema", "BM_RawOwnSchemaInsert/2/")):
        b = named(raw, key)
        if b:
            add(name, Sample(b["real_time"] / 1000, b["cpu_time"] / 1000, 0))

    add("cold build: ours", measure(zvv + ["index"]))
    add("cold build: omindex", measure(omindex))
    add("no-change start-up: ours", measure(zvv + ["index"]))
    add("no-change start-up: omindex", measure(omindex))
    one_percent_change(help_dir, round_no)
    add("1 % update: ours", measure(zvv + ["index"]))
    add("1 % update: omindex", measure(omindex))
    for q in QUERIES:
        add("one-shot search: ours", measure(zvv + [q]))
        add("one-shot search: quest", measure(["quest", "-d", xapian_db, q]))

    search = benchmark_json([os.path.join(args.bench, "search_bench"),
                             "--benchmark_filter=BM_(EngineSearch|RawFts5Search)$"],
                            os.path.join(work, "search.json"))
    for name, key in (("in-process search: ours", "BM_EngineSearch"),
                      ("in-process search: raw FTS5 bm25", "BM_RawFts5Search")):
        b = search.get(key)
        if b:
            # Per-query figures, counted in microseconds by the benchmark.
            for label, field in (("median", "p50"), ("p95", "p95")):
                add(f"{name} ({label})", Sample(b.get(f"{field}_us", 0) / 1e6,
                                                b.get(f"{field}_cpu_us", 0) / 1e6, 0))
    shutil.rmtree(work, ignore_errors=True)


def median(samples, field):
    return statistics.median(getattr(s, field) for s in samples)


def report(results, rounds):
    print(f"\nmedians over {rounds} rounds (wall ms / CPU ms / peak MiB)")
    for name, samples in results.items():
        print(f"  {name:40} {median(samples, 'wall') * 1000:10.1f} "
              f"{median(samples, 'cpu') * 1000:10.1f} {max(s.rss_mib for s in samples):8.1f}")

    def m(name, field="wall"):
        return median(results[name], field) if name in results else float("nan")

    floor_wall = m("read bytes") + m("raw FTS5 insert, plain schema")
    floor_cpu = m("read bytes", "cpu") + m("raw FTS5 insert, plain schema", "cpu")
    goals = [
        ("cold build / (raw FTS5 + reading), wall", m("cold build: ours") / floor_wall, "<= 2"),
        ("cold build / (raw FTS5 + reading), CPU",
         m("cold build: ours", "cpu") / floor_cpu, "<= 2.5"),
        ("omindex cold / ours cold, wall",
         m("cold build: omindex") / m("cold build: ours"), ">= 8"),
        ("no-change start-up: ours / omindex",
         m("no-change start-up: ours") / m("no-change start-up: omindex"), "<= 1"),
        ("1 % update: ours / omindex", m("1 % update: ours") / m("1 % update: omindex"), "<= 0.35"),
        ("one-shot search - no-change start-up, ms",
         (m("one-shot search: ours") - m("no-change start-up: ours")) * 1000, "<= 10"),
        ("peak memory of the cold build, MiB",
         max(s.rss_mib for s in results["cold build: ours"]), "< 100"),
        ("search median: ours / raw FTS5",
         m("in-process search: ours (median)") / m("in-process search: raw FTS5 bm25 (median)"),
         "<= 1.5"),
    ]
    print("\ngoals")
    for name, value, goal in goals:
        print(f"  {name:45} {value:9.2f}   goal {goal}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--zvv", required=True)
    parser.add_argument("--bench", required=True, help="folder of index_bench and search_bench")
    parser.add_argument("--corpus", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--rounds", type=int, default=3)
    args = parser.parse_args()
    results = {}
    for r in range(1, args.rounds + 1):
        print(f"== round {r} of {args.rounds}", flush=True)
        run_round(args, r, results)
    report(results, args.rounds)


if __name__ == "__main__":
    main()
