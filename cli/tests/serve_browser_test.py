#!/usr/bin/env python3
"""End to end: zvv serve's viewer in headless Chromium. Types a query, reads the
hits, moves through them with the keyboard, opens one and finds the query's
words marked, narrows to titles and to a folder, and shows a query error; a
query holding markup stays text. Screenshots go to --artefacts.

Exits 77 (a skip for ctest) when no Chromium is installed."""
import argparse
import os
import shutil
import struct
import sys
import tempfile
import zlib

# Importing the driver leaves no bytecode folder in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from serve_cdp import SKIP, Browser, ZvvServe, find_chromium  # noqa: E402

RESULT_PATHS = "Array.from(document.querySelectorAll('#results .path'), e => e.textContent)"


def tiny_png():
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    pixels = zlib.compress(b"\0\xff\x00\x00" * 1)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", pixels) + chunk(b"IEND", b""))


def page(title, body, head=""):
    return (f"<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>{title}</title>{head}"
            f"</head>\n<body><h1>{title}</h1>{body}</body></html>\n")


def make_help(root):
    files = {
        "index.htm": page("Contents", '<p><img id="logo" src="logo.png" alt="logo"> '
                          '<a href="guide/printing.htm">Printing</a></p>',
                          '<link rel="stylesheet" href="style.css">'),
        "style.css": "body { background-color: rgb(1, 2, 3); color: white; }\n",
        "guide/printing.htm": page("Printing pages", "<p>Send pages to the printer.</p>"),
        "guide/paper.htm": page("Paper sizes", "<p>Choose the paper before printing.</p>"),
        "reference/printing-options.htm": page("Printing options", "<p>Every option.</p>"),
        "reference/long.htm": page("A long page", "<p>filler text</p>" * 300 +
                                   "<p>The zebra crosses here.</p>" + "<p>more filler</p>" * 50),
    }
    for name, text in files.items():
        path = os.path.join(root, "Help", name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as out:
            out.write(text)
    with open(os.path.join(root, "Help", "logo.png"), "wb") as out:
        out.write(tiny_png())


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def expect(self, condition, what):
        print(("ok      " if condition else "FAILED  ") + what, flush=True)
        if condition:
            self.passed += 1
        else:
            self.failed += 1


def search(browser, text):
    """Clears the box with Escape, types `text` and waits for its answer."""
    browser.evaluate("document.getElementById('query').focus()")
    browser.key("Escape", key_code=27)
    # Escape in an empty box leaves it.
    browser.evaluate("document.getElementById('query').focus()")
    browser.type_text(text)
    browser.wait_for(f"document.getElementById('results').dataset.query === {text!r}",
                     what=f"the answer to {text!r}")
    return browser.evaluate(RESULT_PATHS)


def run(browser, address, artefacts, checks):
    shot = lambda name: browser.screenshot(os.path.join(artefacts, name))  # noqa: E731
    browser.navigate(address)
    footer = browser.wait_for("(t => /pages/.test(t) && t)"
                              "(document.getElementById('status').textContent)", what="the footer")
    checks.expect(footer.startswith("5 pages · index updated "), f"footer shows the status: {footer}")
    browser.wait_for("(d => !!(d && d.getElementById('logo')))"
                     "(document.getElementById('page').contentDocument)", what="the home page")
    styled = browser.wait_for(
        "(d => d.getElementById('logo').naturalWidth > 0 &&"
        " getComputedStyle(d.body).backgroundColor === 'rgb(1, 2, 3)')"
        "(document.getElementById('page').contentDocument)", what="the home page's style and image")
    checks.expect(styled, "the home page shows with its style sheet and image")
    folders = browser.evaluate("Array.from(document.getElementById('folder').options, o => o.value)")
    checks.expect(folders == ["", "guide", "reference"], f"folders offered: {folders}")

    # '/' moves the focus to the box from anywhere else.
    browser.evaluate("document.getElementById('query').blur()")
    browser.key("/", code="Slash", text="/", key_code=191)
    checks.expect(browser.evaluate("document.activeElement.id") == "query", "'/' focuses the box")
    checks.expect(browser.evaluate("document.getElementById('query').value") == "",
                  "'/' is not typed into the box")

    paths = search(browser, "printing")
    checks.expect(sorted(paths) == ["guide/paper.htm", "guide/printing.htm", "index.htm",
                                    "reference/printing-options.htm"], f"hits for printing: {paths}")
    row = browser.evaluate("(li => [li.querySelector('.title').textContent,"
                           " li.querySelector('.score').textContent])"
                           "(document.querySelector('#results li'))")
    checks.expect(bool(row[0]) and row[1].isdigit(), f"a hit shows title and score: {row}")
    shot("1-results.png")

    browser.key("ArrowDown", key_code=40)
    browser.key("ArrowDown", key_code=40)
    browser.key("ArrowDown", key_code=40)
    browser.key("ArrowUp", key_code=38)
    chosen = browser.evaluate("document.querySelector('#results li[aria-selected=true] .path')"
                              ".textContent")
    checks.expect(chosen == paths[1], f"arrows select the second hit: {chosen}")
    browser.key("Enter", key_code=13, text="\r")
    browser.wait_for(f"document.getElementById('page').dataset.loaded === '/help/{chosen}'",
                     what=f"{chosen} to open")
    marks = browser.wait_for("(d => Array.from(d.querySelectorAll('mark'), m => m.textContent))"
                             "(document.getElementById('page').contentDocument)")
    checks.expect(all(m.lower().startswith("print") for m in marks) and len(marks) >= 1,
                  f"the opened page marks the query's words: {marks}")
    shot("2-opened.png")

    browser.evaluate("document.getElementById('titles').click()")
    browser.wait_for("document.getElementById('results').dataset.state === 'done' && "
                     "document.querySelectorAll('#results li').length === 2", what="titles only")
    paths = browser.evaluate(RESULT_PATHS)
    checks.expect(sorted(paths) == ["guide/printing.htm", "reference/printing-options.htm"],
                  f"titles only: {paths}")
    browser.evaluate("(s => { s.value = 'reference'; s.dispatchEvent(new Event('change')); })"
                     "(document.getElementById('folder'))")
    browser.wait_for("document.querySelectorAll('#results li').length === 1", what="folder filter")
    paths = browser.evaluate(RESULT_PATHS)
    checks.expect(paths == ["reference/printing-options.htm"], f"titles in reference/: {paths}")
    shot("3-titles-folder.png")
    browser.evaluate("document.getElementById('titles').click();"
                     "(s => { s.value = ''; s.dispatchEvent(new Event('change')); })"
                     "(document.getElementById('folder'))")

    search(browser, "printing <AND>")
    message = browser.evaluate("(m => !m.hidden && m.textContent)(document.getElementById('message'))")
    checks.expect(bool(message) and message.startswith("query error at column ") and
                  message.rstrip().endswith("^"), f"a query error shows under the box: {message!r}")
    shot("4-query-error.png")

    markup = "<img src=x onerror=alert(1)>"
    search(browser, markup)
    images = browser.evaluate("document.querySelectorAll('#side img').length")
    checks.expect(images == 0 and not browser.saw_event("Page.javascriptDialogOpening"),
                  "a query holding markup stays text")

    paths = search(browser, "zebra")
    checks.expect(paths == ["reference/long.htm"], f"hits for zebra: {paths}")
    browser.key("Enter", key_code=13, text="\r")
    browser.wait_for("document.getElementById('page').dataset.loaded === '/help/reference/long.htm'",
                     what="the long page to open")
    seen = browser.wait_for(
        "(w => { const m = w.document.querySelector('mark');"
        " if (!m) return null; const r = m.getBoundingClientRect();"
        " return {text: m.textContent, scrolled: w.scrollY, top: r.top, height: w.innerHeight}; })"
        "(document.getElementById('page').contentWindow)")
    checks.expect(seen["text"] == "zebra" and seen["scrolled"] > 0 and
                  0 <= seen["top"] < seen["height"], f"the first mark is scrolled into view: {seen}")
    shot("5-scrolled.png")

    violations = [t for t in browser.console_texts() if "Content Security Policy" in t or
                  "Uncaught" in t]
    checks.expect(not violations, f"no script error or policy violation: {violations}")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--zvv", required=True)
    parser.add_argument("--artefacts", required=True, help="folder for the screenshots")
    args = parser.parse_args()
    chromium = find_chromium()
    if not chromium:
        print("SKIPPED: no chromium installed (scripts/setup.sh --browser installs it)")
        return SKIP
    os.makedirs(args.artefacts, exist_ok=True)
    root = tempfile.mkdtemp(prefix="zvv-serve-app-")
    checks = Checks()
    serve = browser = None
    try:
        make_help(root)
        serve = ZvvServe(args.zvv, root, os.path.join(root, "registry"))
        browser = Browser(chromium)
        run(browser, serve.address, args.artefacts, checks)
    except Exception as error:  # a step that could not finish fails the run
        checks.expect(False, f"the run finished: {error!r}")
    finally:
        if browser:
            browser.close()
        if serve:
            serve.close()
        shutil.rmtree(root, ignore_errors=True)
    print(f"{checks.passed} passed, {checks.failed} failed")
    print(f"screenshots in {args.artefacts}")
    return 0 if checks.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
