"""Scores ranking parameters on one half of the judged queries with rank_tune, which searches
the collections that run.sh built (their engine must be the one rank_tune was built from).

  python3 bench/relevance/tune.py [--half tuning] [--rank-tune build/default/bin/rank_tune]
                                  [name=value ...] [--vary name=v1,v2,...] [--search ROUNDS]

Prints MRR@10 and nDCG@10 overall and MRR@10 per corpus for the parameters given; with --vary,
for each value of one parameter in turn (the others as given); with --search, walks the grid
below one parameter at a time, keeping a value only when it raises the mean of the corpora's
MRR@10 (every corpus counts the same, however many queries it has), for ROUNDS rounds."""
import argparse
import json
import os
import subprocess

import metrics
import queries

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))


def run(rank_tune, corpora_dir, params, half):
    lines, wanted = [], {}
    for corpus, _, _ in queries.corpora():
        app = os.path.join(corpora_dir, corpus)
        collection = os.path.join(app, "dizode", "collections", "Searchable Help", "file")
        for query in queries.load(corpus):
            if half and query.half != half:
                continue
            title = "t" if query.kind == "title" else "-"
            lines.append("\t".join([collection, os.path.join(app, "Help"), query.id, title,
                                    query.text]))
            wanted[query.id] = query
    done = subprocess.run([rank_tune] + params, input="\n".join(lines) + "\n",
                          capture_output=True, text=True, check=True)
    scores = {}
    for line in done.stdout.splitlines():
        fields = line.split("\t")
        query = wanted[fields[0]]
        hits = [] if fields[1:2] and fields[1].startswith("!") else fields[1:]
        scores[query.id] = (query, {name: fn(hits, query.grades)
                                    for name, fn in metrics.METRICS.items()})
    return scores


GRID = {
    "k1": [0.6, 0.9, 1.2, 1.6, 2.0, 2.5, 3.0, 4.0, 5.0, 7.0, 10.0, 15.0, 20.0],
    "w.title": [0.5, 1, 1.5, 2.5, 4, 6, 8],
    "w.heads": [0.25, 0.5, 1, 2, 3, 4],
    "w.links": [0, 0.5, 1, 2, 4, 8, 12, 16, 24, 32],
    "b.title": [0, 0.3, 0.6, 0.9],
    "b.heads": [0.3, 0.6, 0.9],
    "b.body": [0.3, 0.45, 0.6, 0.75, 0.9],
    "b.links": [0.3, 0.6, 0.9],
    "idfFloor": [0, 0.15, 0.3, 0.6, 0.9, 1.2, 1.6, 2.0],
    "proximityBonus": [1, 1.1, 1.25, 1.5],
    "exactNameBonus": [1, 1.25, 1.5, 2, 3],
}


def peer_means(runs, half):
    """The peer's MRR@10 per corpus and per kind of query over one half, from run.sh's runs."""
    per = {}
    for corpus, _, _ in queries.corpora():
        path = os.path.join(runs, "xapian", f"{corpus}.json")
        if not os.path.exists(path):
            return {}
        with open(path, encoding="utf-8") as f:
            results = json.load(f)
        for query in queries.load(corpus):
            if (half and query.half != half) or query.id not in results:
                continue
            value = metrics.mrr(results[query.id]["hits"], query.grades)
            for group in (("corpus", corpus), ("kind", query.kind)):
                per.setdefault(group, []).append(value)
    return {group: sum(v) / len(v) for group, v in per.items()}


def objective(scores, peer=None):
    """(mean of the corpora's MRR@10, mean of their nDCG@10): every corpus counts the same. With
    the peer's means, what each corpus falls short of the peer plus a margin, and each kind of
    query short of the peer, is taken off the first: no corpus and no kind may be given up for
    the others."""
    by_corpus = {}
    by_kind = {}
    for query, values in scores.values():
        by_corpus.setdefault(query.corpus, []).append(values)
        by_kind.setdefault(query.kind, []).append(values)
    def mean(rows, name):
        return sum(r[name] for r in rows) / len(rows)
    def macro(name):
        return sum(mean(rows, name) for rows in by_corpus.values()) / len(by_corpus)
    first = macro("MRR@10")
    if peer:
        for corpus, rows in by_corpus.items():
            first -= max(0.0, peer.get(("corpus", corpus), 0) + CORPUS_MARGIN - mean(rows, "MRR@10"))
        for kind, rows in by_kind.items():
            first -= max(0.0, peer.get(("kind", kind), 0) - mean(rows, "MRR@10"))
    return (round(first, 4), round(macro("nDCG@10"), 4))


CORPUS_MARGIN = 0.05


def search(args, half, rounds):
    params = dict(p.split("=", 1) for p in args.params)
    peer = peer_means(args.runs, half) if args.guarded else None
    def evaluate(values):
        return objective(run(args.rank_tune, args.corpora,
                             [f"{k}={v}" for k, v in values.items()], half), peer)
    best = evaluate(params)
    for round_number in range(rounds):
        changed = False
        for name, values in GRID.items():
            if name in args.fixed.split(","):
                continue
            for value in values:
                trial = dict(params, **{name: str(value)})
                if trial == params:
                    continue
                score = evaluate(trial)
                if score > best:
                    best, params, changed = score, trial, True
            print(f"round {round_number + 1} {name}: {best} {' '.join(f'{k}={v}' for k, v in params.items())}", flush=True)
        if not changed:
            break
    return params


def summary(scores):
    by_corpus = {}
    for query, values in scores.values():
        by_corpus.setdefault(query.corpus, []).append(values)
    def mean(rows, name):
        return sum(r[name] for r in rows) / len(rows)
    everything = [values for _, values in scores.values()]
    cells = [f"all {mean(everything, 'MRR@10'):.3f}/{mean(everything, 'nDCG@10'):.3f}"]
    for corpus, rows in by_corpus.items():
        cells.append(f"{corpus} {mean(rows, 'MRR@10'):.3f}")
    by_kind = {}
    for query, values in scores.values():
        by_kind.setdefault(query.kind, []).append(values)
    kinds = "  ".join(f"{kind} {mean(by_kind[kind], 'MRR@10'):.3f}"
                      for kind in queries.KINDS if kind in by_kind)
    return "  ".join(cells) + "\n     " + kinds


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--half", default="tuning", choices=queries.HALVES + ("all",))
    parser.add_argument("--rank-tune", default=os.path.join(ROOT, "build/default/bin/rank_tune"))
    parser.add_argument("--corpora", default=os.path.join(ROOT, "build/relevance/corpora"))
    parser.add_argument("--vary", action="append", default=[])
    parser.add_argument("--search", type=int, default=0, metavar="ROUNDS")
    parser.add_argument("--fixed", default="", help="search: parameters to leave as given")
    parser.add_argument("--guarded", action="store_true",
                        help="search: count what a corpus or kind falls short of the peer")
    parser.add_argument("--runs", default=os.path.join(ROOT, "build/relevance/runs"))
    parser.add_argument("params", nargs="*")
    args = parser.parse_args()
    half = None if args.half == "all" else args.half
    if args.search:
        args.params = [f"{k}={v}" for k, v in search(args, half, args.search).items()]
    print("base", summary(run(args.rank_tune, args.corpora, args.params, half)))
    for vary in args.vary:
        name, _, values = vary.partition("=")
        for value in values.split(","):
            params = [p for p in args.params if not p.startswith(name + "=")] + [f"{name}={value}"]
            print(f"{name}={value}", summary(run(args.rank_tune, args.corpora, params, half)))


if __name__ == "__main__":
    main()
