#!/usr/bin/env python3
"""Kills `zvv index` with SIGKILL at random moments and checks the collection after each kill.

Creation rounds index a fresh application folder; update rounds index it again after about 1 %
of its pages changed (a third edited in place, a third added, a third removed; or, with
--changes edits, all of them edited in place). After every kill
the collection must open, pass SQLite's and FTS5's integrity checks and answer a fixed set of
queries exactly as a clean build of the last committed state does: the old page set, the new
one, or, for an update, one of the states it commits on its way (its listing commits the edited
pages, then the added pages are committed, then the removals). A round that runs to its end must
leave the new page set. Every other outcome is a failure: its collection, pages
and kill time are kept under the work folder's failures/ for reproduction.

    kill_test.py --zvv ZVV --checker CHECKER [--kills N] [--pages N] [--changes mixed|edits]
                 [--seed N] [--work DIR]
"""
import argparse
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import kill_test_pages as pages

# Where a host keeps the collection of an application folder.
COLLECTION = os.path.join("dizode", "collections", "Searchable Help", "file")
# Failures whose whole application folder is kept; the answers of every failure are.
KEPT_FOLDERS = 5


def listing(answers):
    """The page lines of the checker's listing: each page's key and title."""
    if not answers:
        return set()
    section = answers.split("query ", 2)[1]
    return set(line for line in section.splitlines()[1:])


class Outcome:
    OLD, NEW, PART, FAILED = "old", "new", "part of the update", "failed"


class Harness:
    def __init__(self, args, work):
        self.args = args
        self.work = work
        self.app = os.path.join(work, "app")
        self.ref_app = os.path.join(work, "ref")
        self.queries = os.path.join(work, "queries.txt")
        # A registry file and a home of its own: nothing outside the work folder is touched.
        self.env = dict(os.environ, HOME=os.path.join(work, "home"),
                        ZVV_REGISTRY_FILE=os.path.join(work, "registry.reg"))
        os.makedirs(self.env["HOME"], exist_ok=True)
        self.failures = 0
        self.counts = {}

    def count(self, what):
        self.counts[what] = self.counts.get(what, 0) + 1
        if what.endswith("kills") and sum(
                n for name, n in self.counts.items() if name.endswith("kills")) % 100 == 0:
            self.report()

    def report(self):
        print("  " + ", ".join(f"{what}: {n}" for what, n in sorted(self.counts.items())),
              flush=True)

    def zvv(self, app, kill_after=None):
        """Runs `zvv index`; returns True when it was killed, else its exit status."""
        command = [self.args.zvv, "--no-ui", "--install-dir", app, "index"]
        process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                   env=self.env)
        if kill_after is not None:
            time.sleep(kill_after)
            process.send_signal(signal.SIGKILL)
        _, err = process.communicate()
        if process.returncode == -signal.SIGKILL:
            return True
        if process.returncode != 0:
            sys.stderr.write(err.decode(errors="replace"))
        return process.returncode

    def answers(self, app):
        """The checker's text for the application's collection: None when there is none, or
        ("broken", reason)."""
        result = subprocess.run(
            [self.args.checker, os.path.join(app, COLLECTION), os.path.join(app, "Help"),
             self.queries], capture_output=True, text=True)
        if result.returncode == 3:
            return None
        if result.returncode != 0:
            return ("broken", result.stderr.strip())
        return result.stdout

    def reference(self, pages_now, stage=None):
        """The answers of a clean build of the page set (or of one stage of its change)."""
        shutil.rmtree(os.path.join(self.ref_app, "dizode"), ignore_errors=True)
        pages_now.write(os.path.join(self.ref_app, "Help"), stage)
        status = self.zvv(self.ref_app)
        if status is not False and status != 0:
            raise SystemExit(f"a clean build failed with status {status}")
        text = self.answers(self.ref_app)
        if not isinstance(text, str):
            raise SystemExit(f"a clean build does not answer: {text}")
        return text

    def judge(self, phase, old, new, note, stages=()):
        """Compares the collection with the old and the new answers, and with those of the
        states an update commits on its way."""
        now = self.answers(self.app)
        if now is not None and not isinstance(now, str):
            return self.fail(phase, f"{now[1]} ({note})")
        if now == new:
            return Outcome.NEW
        if now == old:
            return Outcome.OLD
        if now in stages:
            return Outcome.PART
        if now is None:
            what = "no collection"
        elif listing(now) <= listing(old) | listing(new):
            what = "a mixture of old and new pages"
        else:
            what = "pages of neither page set"
        self.count(f"{phase} failed as {what}")
        return self.fail(phase, f"{what} ({note})", {"answers": now, "old": old, "new": new})

    def fail(self, phase, reason, texts=None):
        """Keeps the application folder of the first few failures, and the answers of all."""
        self.failures += 1
        self.count(f"{phase} failed")
        keep = os.path.join(self.work, "failures", str(self.failures))
        if self.failures <= KEPT_FOLDERS:
            shutil.copytree(self.app, keep, symlinks=True)
        os.makedirs(keep, exist_ok=True)
        for name, text in (texts or {}).items():
            with open(os.path.join(keep, name + ".txt"), "w") as out:
                out.write(text or "no collection\n")
        print(f"FAILURE {self.failures} in {phase}: {reason}; kept in {keep}", flush=True)
        return Outcome.FAILED

    def timed_run(self):
        start = time.monotonic()
        status = self.zvv(self.app)
        if status != 0:
            raise SystemExit(f"an uninterrupted zvv index failed with status {status}")
        return time.monotonic() - start


def creation_rounds(h, rng, kills, page_set):
    """Kills creations of a fresh collection until `kills` kills landed."""
    collection_root = os.path.join(h.app, "dizode")
    new = h.reference(page_set)
    shutil.rmtree(collection_root, ignore_errors=True)
    duration = h.timed_run()
    landed = 0
    while landed < kills:
        shutil.rmtree(collection_root, ignore_errors=True)
        moment = rng.uniform(0, duration * 1.1)
        status = h.zvv(h.app, moment)
        if status is True:
            landed += 1
            h.count("creation kills")
            outcome = h.judge("creation", None, new, f"killed after {moment:.4f} s")
        else:
            note = f"ended with status {status}"
            outcome = h.judge("creation", new if status == 0 else None, new, note)
        h.count(f"creation -> {outcome}")
    return duration


def update_rounds(h, rng, kills, page_set):
    """Kills updates after each change of about 1 % of the pages until `kills` kills landed."""
    old = h.reference(page_set)
    shutil.rmtree(os.path.join(h.app, "dizode"), ignore_errors=True)
    h.timed_run()
    landed = 0
    generation = 0
    duration = None
    while landed < kills:
        generation += 1
        stages = page_set.change(rng, generation, h.args.changes)
        stage_answers = [h.reference(page_set, stage) for stage in stages]
        page_set.write(os.path.join(h.app, "Help"))
        new = h.reference(page_set)
        if duration is None:
            duration = h.timed_run()
            old = new
            continue
        outcome = Outcome.OLD
        for _ in range(h.args.kills_per_change):
            if landed >= kills:
                break
            moment = rng.uniform(0, duration * 1.1)
            status = h.zvv(h.app, moment)
            if status is True:
                landed += 1
                h.count("update kills")
                note = f"generation {generation}, killed after {moment:.4f} s"
                outcome = h.judge("update", old, new, note, stage_answers)
            else:
                # A run that ends reporting success must have brought the new pages.
                note = f"generation {generation}, ended with status {status}"
                outcome = h.judge("update", new if status == 0 else old, new, note)
            h.count(f"update -> {outcome}")
            if outcome not in (Outcome.OLD, Outcome.PART):
                break
        if outcome != Outcome.NEW:
            # Whatever the kills left, one uninterrupted update must bring the new pages.
            status = h.zvv(h.app)
            note = f"generation {generation}, completed with status {status}"
            if status != 0:
                h.fail("update", f"the update after the kills failed ({note})")
            elif h.judge("update", None, new, note) != Outcome.NEW:
                h.count("recovery failed")
        old = new
    return duration


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--zvv", required=True)
    parser.add_argument("--checker", required=True)
    parser.add_argument("--kills", type=int, default=1000, help="kills in all (default 1000)")
    parser.add_argument("--creation-share", type=float, default=0.4)
    parser.add_argument("--kills-per-change", type=int, default=4)
    parser.add_argument("--pages", type=int, default=2000)
    parser.add_argument("--changes", choices=("mixed", "edits"), default="mixed",
                        help="mixed: a third edited, added, removed; edits: all edited in place")
    parser.add_argument("--seed", type=int, default=20261208)
    parser.add_argument("--work", help="kept afterwards (default: a temporary folder, removed)")
    args = parser.parse_args()

    work = args.work or tempfile.mkdtemp(prefix="kill-test-")
    os.makedirs(work, exist_ok=True)
    h = Harness(args, work)
    rng = random.Random(args.seed)
    page_set = pages.PageSet(args.pages, args.seed)
    page_set.write(os.path.join(h.app, "Help"))
    with open(h.queries, "w") as out:
        out.write("\n".join(page_set.queries()) + "\n")

    started = time.monotonic()
    creation_kills = round(args.kills * args.creation_share)
    creation_time = creation_rounds(h, rng, creation_kills, page_set)
    update_time = update_rounds(h, rng, args.kills - creation_kills, page_set)

    print(f"pages {args.pages}, seed {args.seed}, uninterrupted creation {creation_time:.2f} s, "
          f"update {update_time:.2f} s, {time.monotonic() - started:.0f} s in all")
    h.report()
    print(f"failures: {h.failures}")
    if not args.work and h.failures == 0:
        shutil.rmtree(work, ignore_errors=True)
    elif h.failures:
        print(f"kept in {work}")
    return 1 if h.failures else 0


if __name__ == "__main__":
    sys.exit(main())
