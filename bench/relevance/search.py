"""Runs every judged query through zvv and through the peer (quest on an omindex database) and
writes the top 10 pages of each to <runs>/<engine>/<corpus>.json."""
import argparse
import json
import os
import subprocess
import urllib.parse

import queries

LIMIT = 10


def zvv_hits(zvv, app_dir, query):
    command = [zvv, "--install-dir", app_dir, "--no-ui", "--json", "--limit", str(LIMIT)]
    if query.kind == "title":
        command.append("--title-only")
    done = subprocess.run(command + ["search", "--", query.text], capture_output=True, text=True)
    if done.returncode != 0:
        return [], done.stderr.strip() or f"exit status {done.returncode}"
    help_dir = os.path.realpath(os.path.join(app_dir, "Help"))
    keys = [json.loads(line)["key"] for line in done.stdout.splitlines() if line.strip()]
    return [os.path.relpath(os.path.realpath(key), help_dir) for key in keys], None


def quest_query(query):
    """Titles-only queries put omindex's title prefix on every word."""
    if query.kind != "title":
        return query.text
    return " ".join("title:" + word for word in query.text.split())


def quest_hits(database, query):
    command = ["quest", "--db", database, "--default-op=and", "--msize", str(LIMIT)]
    if query.kind == "title":
        command += ["--prefix", "title:S"]
    done = subprocess.run(command + ["--", quest_query(query)], capture_output=True, text=True)
    if done.returncode != 0:
        return [], done.stderr.strip() or f"exit status {done.returncode}"
    urls = [line[4:] for line in done.stdout.splitlines() if line.startswith("url=")]
    return [urllib.parse.unquote(url).lstrip("/") for url in urls], None


def run(engine, search, corpus, out, half=None):
    results = {}
    for query in queries.load(corpus):
        if half and query.half != half:
            continue
        hits, error = search(query)
        results[query.id] = {"query": query.text, "hits": hits, "error": error}
        if error:
            print(f"{engine} failed on {query.id} ({query.text}): {error}")
    os.makedirs(os.path.join(out, engine), exist_ok=True)
    with open(os.path.join(out, engine, f"{corpus}.json"), "w", encoding="utf-8") as f:
        json.dump(results, f, indent=1)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--zvv", required=True)
    parser.add_argument("--corpora", required=True, help="folder of application folders")
    parser.add_argument("--xapian", required=True, help="folder of omindex databases")
    parser.add_argument("--out", required=True)
    parser.add_argument("--half", choices=queries.HALVES, help="run the queries of one half only")
    parser.add_argument("--engines", default="zvv,xapian", help="which engines to run")
    args = parser.parse_args()
    engines = args.engines.split(",")
    for corpus, _, _ in queries.corpora():
        app_dir = os.path.join(args.corpora, corpus)
        database = os.path.join(args.xapian, corpus)
        if "zvv" in engines:
            run("zvv", lambda q: zvv_hits(args.zvv, app_dir, q), corpus, args.out, args.half)
        if "xapian" in engines:
            run("xapian", lambda q: quest_hits(database, q), corpus, args.out, args.half)


if __name__ == "__main__":
    main()
