"""The kill test's help pages: small generated pages of made-up words, changed a little at a time.

Every page carries one of a few markers; a change gives the pages it edits or adds the marker of
its generation, so that the fixed queries on markers tell an old page set from a new one.
"""
import os
import random

SYLLABLES = ["ka", "lo", "mi", "ne", "ru", "sa", "to", "vi", "zu", "pe", "do", "fa"]
MARKERS = 5
FOLDERS = 30
CHANGE_SHARE = 0.01


def make_words(rng, count):
    words = set()
    while len(words) < count:
        words.add("".join(rng.choice(SYLLABLES) for _ in range(rng.randint(2, 4))))
    return sorted(words)


class PageSet:
    def __init__(self, count, seed):
        self.rng = random.Random(seed)
        self.words = make_words(self.rng, 400)
        self.pages = {}  # relative path -> (title, body)
        self.next_number = 0
        for _ in range(count):
            self.add(0)

    def page_text(self, number, generation):
        title = " ".join(self.rng.sample(self.words, 3)) + f" {number}"
        body = " ".join(self.rng.choices(self.words, k=self.rng.randint(20, 60)))
        return title, f"{body} mark{generation % MARKERS}"

    def add(self, generation):
        number = self.next_number
        self.next_number += 1
        path = f"f{number % FOLDERS:02d}/page{number}.htm"
        self.pages[path] = self.page_text(number, generation)

    def change(self, rng, generation, kinds="mixed"):
        """About 1 % of the pages: a third edited in place, a third added, a third removed; or
        (kinds "edits") all of them edited in place. Returns the page sets an update commits on
        its way, in its order: the edits (which the update's listing re-indexes), then the
        edits and the additions; the last state, with the removals, is the set itself."""
        share = max(3, round(len(self.pages) * CHANGE_SHARE))
        edited = share if kinds == "edits" else share // 3
        removed = 0 if kinds == "edits" else share // 3
        chosen = rng.sample(sorted(self.pages), edited + removed)
        for path in chosen[:edited]:
            number = int(path.rsplit("page", 1)[1].split(".")[0])
            self.pages[path] = self.page_text(number, generation)
        stages = [dict(self.pages)]
        for _ in range(removed):
            self.add(generation)
        stages.append(dict(self.pages))
        for path in chosen[edited:]:
            del self.pages[path]
        return [stage for stage in stages if stage != self.pages]

    def queries(self):
        """Fixed queries: common and rare words, a title search, a phrase, a wildcard, markers."""
        return [self.words[0], self.words[57], f"{self.words[3]} {self.words[140]}",
                f"TITLE <CONTAINS> {self.words[9]}", f'"{self.words[1]} {self.words[2]}"',
                self.words[200][:3] + "*"] + [f"mark{m}" for m in range(MARKERS)]

    def write(self, help_folder, pages=None):
        """Makes the folder hold exactly these pages (or `pages`, one of the sets change()
        returned), writing only those that differ."""
        wanted = {}
        for path, (title, body) in (self.pages if pages is None else pages).items():
            wanted[os.path.join(help_folder, path)] = (
                f"<html><head><title>{title}</title></head>"
                f"<body><h1>{title}</h1><p>{body}</p></body></html>\n").encode()
        for folder, _, files in os.walk(help_folder):
            for name in files:
                path = os.path.join(folder, name)
                if path not in wanted:
                    os.remove(path)
        for path, data in wanted.items():
            stamp = None
            try:
                with open(path, "rb") as f:
                    if f.read() == data:
                        continue
                stamp = os.stat(path).st_mtime_ns
            except FileNotFoundError:
                os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
            if stamp is not None:
                # An edit within the second of the last one must still change the page's stamp.
                later = max(os.stat(path).st_mtime_ns, stamp + 2 * 10**9)
                os.utime(path, ns=(later, later))
