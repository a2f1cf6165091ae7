"""Reads the judged query files: one query per line, tab-separated (see JUDGING.md)."""
import hashlib
import os
from dataclasses import dataclass

HERE = os.path.dirname(os.path.abspath(__file__))
KINDS = ("word", "words", "phrase", "error", "name", "task", "synonym", "title", "topic", "howto")


@dataclass
class Query:
    id: str
    corpus: str
    kind: str
    text: str
    grades: dict  # page path relative to Help -> 1 or 2
    note: str
    half: str = ""  # "tuning" or "held-out", set by load()


def parse_grades(field):
    """'a.html:2, b/c d.html:1' -> {'a.html': 2, 'b/c d.html': 1} (paths may hold spaces)."""
    grades = {}
    for entry in field.split(", "):
        path, _, grade = entry.rpartition(":")
        if not path or "," in path or grade not in ("1", "2"):  # "," is a missing space
            raise ValueError(f"bad judgment {entry!r}")
        grades[path] = int(grade)
    return grades


def load(corpus, folder=HERE):
    queries = []
    with open(os.path.join(folder, f"queries-{corpus}.tsv"), encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if line.startswith("#") or not line.strip():
                continue
            fields = line.rstrip("\n").split("\t")
            if len(fields) != 5 or fields[1] not in KINDS:
                raise ValueError(f"queries-{corpus}.tsv:{number}: want 5 fields and a known kind")
            qid, kind, text, grades, note = fields
            queries.append(Query(qid, corpus, kind, text, parse_grades(grades), note))
    split(queries)
    return queries


# Fixes which queries tune the ranking and which are held out. It is committed and never changed:
# a new seed would let a ranking choice be made on queries that were held out before.
SPLIT_SEED = "help-rank-2026"
HALVES = ("held-out", "tuning")


def split(queries, seed=SPLIT_SEED):
    """Sets each query's half. Within one corpus, queries are ordered by kind and, within a kind,
    by a hash of the seed and their id, then dealt in turn to the held-out and the tuning half:
    both halves hold every kind of every corpus, and their sizes differ by one at most."""
    by_corpus = {}
    for query in queries:
        by_corpus.setdefault(query.corpus, []).append(query)
    for members in by_corpus.values():
        members = sorted(members, key=lambda q: (
            KINDS.index(q.kind), hashlib.sha256(f"{seed}:{q.id}".encode()).hexdigest()))
        for i, query in enumerate(members):
            query.half = HALVES[i % 2]


def corpora(folder=HERE):
    """(name, package, folder of its pages) for each line of corpora.tsv."""
    with open(os.path.join(folder, "corpora.tsv"), encoding="utf-8") as f:
        return [tuple(line.rstrip("\n").split("\t")) for line in f if not line.startswith("#")]
