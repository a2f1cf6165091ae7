#!/usr/bin/env python3
"""Time from a keystroke to the results drawn in zvv serve's viewer, in headless
Chromium, on the bundled help and on generated help of --pages pages (10,000 by
default). Never run by the tests; run it by hand:

    bench/serve_latency.py --zvv build/default/bin/zvv [--pages 10000] [--rounds 3]

For each query the box is filled with all of it but the last character; then
that character is pressed as a real key and the viewer's own measures are read:
keystroke-to-results (the key's input event to the frame after the new list is
drawn, the 150 ms debounce included) and request-to-results (the request sent
to the same frame). api is the search request alone, timed from this script.
The generated pages are built from the bundled help's own words, folders of a
hundred pages, with a fixed seed, so that every run reads the same help."""
import argparse
import http.client
import os
import random
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.parse

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# Importing the driver leaves no bytecode folder in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(ROOT, "cli", "tests"))
from serve_cdp import Browser, ZvvServe, find_chromium  # noqa: E402

BUNDLED_HELP = os.path.join(ROOT, "examples", "app", "Help")
QUERIES = ["wildcard", "index", "folder", "title", "phrase", "score", "watch", "error",
           "component", "search", "update", "result", "query language", "json output"]
MEASURES = ("keystroke-to-results", "request-to-results")


def help_words():
    words = []
    for folder, _, files in os.walk(BUNDLED_HELP):
        for name in sorted(files):
            with open(os.path.join(folder, name), encoding="utf-8") as page:
                text = re.sub(r"<[^>]+>", " ", page.read())
            words += [w.lower() for w in re.findall(r"[A-Za-z]{3,}", text)]
    return words


def make_generated(root, pages):
    rng = random.Random(2026)
    words = help_words()
    for i in range(pages):
        folder = os.path.join(root, "Help", f"part{i // 100:03d}")
        os.makedirs(folder, exist_ok=True)
        title = " ".join(rng.choice(words) for _ in range(rng.randint(2, 5))).capitalize()
        paragraphs = "".join(
            "<p>" + " ".join(rng.choice(words) for _ in range(60)) + ".</p>\n" for _ in range(5))
        with open(os.path.join(folder, f"page{i:05d}.htm"), "w", encoding="utf-8") as out:
            out.write(f"<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>{title}"
                      f"</title></head>\n<body><h1>{title}</h1>\n{paragraphs}</body></html>\n")


def api_time(address, query):
    url = urllib.parse.urlsplit(address)
    connection = http.client.HTTPConnection(url.hostname, url.port, timeout=60)
    started = time.perf_counter()
    connection.request("GET", "/api/search?" + urllib.parse.urlencode({"q": query}))
    connection.getresponse().read()
    elapsed = time.perf_counter() - started
    connection.close()
    return elapsed * 1000


def measure_count(browser):
    return browser.evaluate(f"performance.getEntriesByName('{MEASURES[0]}').length")


def last_measures(browser):
    return browser.evaluate("[" + ",".join(
        f"performance.getEntriesByName('{m}').at(-1).duration" for m in MEASURES) + "]")


def time_query(browser, query):
    """Fills all of `query` but its last character, then presses that key."""
    before = measure_count(browser)
    browser.evaluate("(b => { b.focus(); b.value = %r; b.dispatchEvent(new Event('input')); })"
                     "(document.getElementById('query'))" % query[:-1])
    browser.wait_for(f"performance.getEntriesByName('{MEASURES[0]}').length > {before} && "
                     f"document.getElementById('results').dataset.query === {query[:-1]!r}")
    before = measure_count(browser)
    last = query[-1]
    browser.key(last, code="", text=last, key_code=ord(last.upper()) if last.isalnum() else 0)
    browser.wait_for(f"performance.getEntriesByName('{MEASURES[0]}').length > {before} && "
                     f"document.getElementById('results').dataset.query === {query!r}",
                     timeout=60)
    return last_measures(browser)


def bench(zvv, chromium, name, install_dir, rounds):
    registry = os.path.join(install_dir, "registry")
    env = dict(os.environ, ZVV_REGISTRY_FILE=registry)
    started = time.perf_counter()
    subprocess.run([zvv, "index", "--no-ui", "--install-dir", install_dir], env=env, check=True,
                   stdout=subprocess.DEVNULL)
    index_seconds = time.perf_counter() - started
    serve = ZvvServe(zvv, install_dir, registry)
    browser = Browser(chromium)
    try:
        browser.navigate(serve.address)
        browser.wait_for("/pages/.test(document.getElementById('status').textContent)")
        time_query(browser, QUERIES[0])  # warm-up: first page, first search
        keystroke, request, api = [], [], []
        for _ in range(rounds):
            for query in QUERIES:
                typed, drawn = time_query(browser, query)
                keystroke.append(typed)
                request.append(drawn)
                api.append(api_time(serve.address, query))
        hits = browser.evaluate("document.querySelectorAll('#results li').length")
    finally:
        browser.close()
        serve.close()
    print(f"{name}: index built in {index_seconds:.1f} s; {len(keystroke)} timed keystrokes")
    for label, values in (("keystroke-to-results", keystroke), ("request-to-results", request),
                          ("api search alone", api)):
        print(f"  {label:22} median {statistics.median(values):7.1f} ms   "
              f"p90 {statistics.quantiles(values, n=10)[-1]:7.1f} ms   max {max(values):7.1f} ms")
    print(f"  (the last query drew {hits} rows)")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--zvv", required=True)
    parser.add_argument("--pages", type=int, default=10000)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--screenshot", help="also save the viewer on the bundled help here")
    args = parser.parse_args()
    chromium = find_chromium()
    if not chromium:
        sys.exit("serve_latency: no chromium installed (scripts/setup.sh --browser)")
    work = tempfile.mkdtemp(prefix="zvv-serve-bench-")
    try:
        bundled = os.path.join(work, "bundled")
        shutil.copytree(BUNDLED_HELP, os.path.join(bundled, "Help"))
        bench(args.zvv, chromium, "bundled help", bundled, args.rounds)
        if args.screenshot:
            screenshot(args.zvv, chromium, bundled, args.screenshot)
        generated = os.path.join(work, "generated")
        make_generated(generated, args.pages)
        bench(args.zvv, chromium, f"{args.pages} generated pages", generated, args.rounds)
    finally:
        shutil.rmtree(work, ignore_errors=True)


def screenshot(zvv, chromium, install_dir, path):
    """The viewer on `install_dir` with a query's hits and the first one opened."""
    serve = ZvvServe(zvv, install_dir, os.path.join(install_dir, "registry"))
    browser = Browser(chromium)
    try:
        browser.navigate(serve.address)
        browser.wait_for("/pages/.test(document.getElementById('status').textContent)")
        browser.evaluate("document.getElementById('query').focus()")
        browser.type_text("wildcard")
        browser.wait_for("document.getElementById('results').dataset.query === 'wildcard'")
        browser.key("Enter", key_code=13, text="\r")
        browser.wait_for("(d => d && d.querySelector('mark'))"
                         "(document.getElementById('page').contentDocument) !== null")
        time.sleep(0.3)
        browser.screenshot(path)
    finally:
        browser.close()
        serve.close()
    print(f"screenshot: {path}")


if __name__ == "__main__":
    main()
