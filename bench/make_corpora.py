#!/usr/bin/env python3
"""Builds the benchmark corpora from the installed documentation packages.

pg        the PostgreSQL 15 manual (about 1,170 pages)
py        the Python 3.11 documentation (about 530 pages)
mixed10k  10,000 pages: both manuals replicated, each copy with a small change of its text so
          that no two pages are identical
"""
import os
import re
import shutil
import sys

SOURCES = {
    "pg": "/usr/share/doc/postgresql-doc-15/html",
    "py": "/usr/share/doc/python3.11/html",
}
MIXED_PAGES = 10000


def html_files(root):
    for folder, _, files in os.walk(root, followlinks=False):
        for name in sorted(files):
            if name.endswith((".html", ".htm")):
                path = os.path.join(folder, name)
                if os.path.isfile(path):
                    yield path


def copy_corpus(name, source, target):
    if os.path.isdir(target):
        return
    count = 0
    for path in html_files(source):
        dest = os.path.join(target, os.path.relpath(path, source))
        os.makedirs(os.path.dirname(dest), exist_ok=True)
        shutil.copyfile(path, dest)
        count += 1
    print(f"{name}: {count} pages")


BODY = re.compile(rb"<body[^>]*>", re.IGNORECASE)


def make_mixed(corpora):
    target = os.path.join(corpora, "mixed10k")
    if os.path.isdir(target):
        return
    pages = []
    for name in ("pg", "py"):
        root = os.path.join(corpora, name)
        pages += [(name, root, path) for path in html_files(root)]
    written = 0
    copy = 0
    while written < MIXED_PAGES:
        for name, root, path in pages:
            if written == MIXED_PAGES:
                break
            with open(path, "rb") as f:
                data = f.read()
            note = f"<p>Copy {copy} revision r{copy}x{written} of this page.</p>".encode()
            match = BODY.search(data)
            at = match.end() if match else 0
            data = data[:at] + note + data[at:]
            dest = os.path.join(target, f"c{copy}", name, os.path.relpath(path, root))
            os.makedirs(os.path.dirname(dest), exist_ok=True)
            with open(dest, "wb") as f:
                f.write(data)
            written += 1
        copy += 1
    print(f"mixed10k: {written} pages")


def main():
    corpora = sys.argv[1] if len(sys.argv) > 1 else "bench/corpora"
    os.makedirs(corpora, exist_ok=True)
    for name, source in SOURCES.items():
        copy_corpus(name, source, os.path.join(corpora, name))
    make_mixed(corpora)


if __name__ == "__main__":
    main()
