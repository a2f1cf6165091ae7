"""Scores the runs that search.py wrote against the judgments and prints zvv and the peer side by
side, per corpus, per kind of query and overall, for the held-out half and then the tuning half;
--json prints the same for machines."""
import argparse
import json
import os

import metrics
import queries

ENGINES = ("zvv", "xapian")


def score(runs):
    """One row per query: its id, corpus, kind and each engine's metrics."""
    rows = []
    for corpus, _, _ in queries.corpora():
        results = {}
        for engine in ENGINES:
            with open(os.path.join(runs, engine, f"{corpus}.json"), encoding="utf-8") as f:
                results[engine] = json.load(f)
        for query in queries.load(corpus):
            if query.id not in results[ENGINES[0]]:
                continue  # a run of one half only
            row = {"id": query.id, "corpus": corpus, "kind": query.kind, "half": query.half,
                   "query": query.text}
            for engine in ENGINES:
                result = results[engine][query.id]
                row[engine] = {name: fn(result["hits"], query.grades)
                               for name, fn in metrics.METRICS.items()}
                row[engine]["hits"] = len(result["hits"])
                row[engine]["error"] = result["error"]
            rows.append(row)
    return rows


def groups(rows):
    """(section, label, rows): all queries, then each corpus, then each kind of query."""
    out = [("all", "all", rows)]
    for corpus, _, _ in queries.corpora():
        out.append(("corpus", corpus, [r for r in rows if r["corpus"] == corpus]))
    for kind in queries.KINDS:
        out.append(("kind", kind, [r for r in rows if r["kind"] == kind]))
    return [group for group in out if group[2]]


def means(members):
    return {engine: {name: sum(r[engine][name] for r in members) / len(members)
                     for name in metrics.METRICS} for engine in ENGINES}


def summary(rows):
    out = {"all": {}, "corpus": {}, "kind": {}}
    for section, label, members in groups(rows):
        out[section][label] = dict(queries=len(members), **means(members))
    out["all"] = out["all"]["all"]
    return out


def table(rows):
    heads = "".join(f"  {name:>15}" for name in metrics.METRICS)
    engines = f"  {ENGINES[0]:>7} {ENGINES[1]:>7}" * len(metrics.METRICS)
    lines = [f"{'':10} {'queries':>7}{heads}", f"{'':18}{engines}"]
    section = None
    for new_section, label, members in groups(rows):
        if new_section != section:
            lines.append("")
            section = new_section
        m = means(members)
        cells = "".join(f"  {m[ENGINES[0]][n]:7.3f} {m[ENGINES[1]][n]:7.3f}"
                        for n in metrics.METRICS)
        lines.append(f"{label:10} {len(members):7}{cells}")
    lines.append("")
    for engine in ENGINES:
        empty = [r["id"] for r in rows if not r[engine]["hits"] and not r[engine]["error"]]
        failed = [r["id"] for r in rows if r[engine]["error"]]
        lines.append(f"{engine} found nothing for: {' '.join(empty) or 'none'}")
        if failed:
            lines.append(f"{engine} failed on: {' '.join(failed)}")
    missed = [r["id"] for r in rows if all(r[e]["Recall@10"] == 0 for e in ENGINES)]
    lines.append(f"no judged page in either top 10: {' '.join(missed) or 'none'}")
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("runs", help="folder that search.py wrote")
    parser.add_argument("--json", action="store_true")
    args = parser.parse_args()
    rows = score(args.runs)
    if args.json:
        halves = {}
        for half in queries.HALVES:
            members = [r for r in rows if r["half"] == half]
            if members:
                halves[half] = summary(members)
        print(json.dumps({"halves": halves, "groups": summary(rows), "queries": rows}, indent=1))
    else:
        sections = []
        for half in queries.HALVES:
            members = [r for r in rows if r["half"] == half]
            if members:
                sections.append(f"== {half} half ==\n{table(members)}")
        print("\n\n".join(sections))


if __name__ == "__main__":
    main()
