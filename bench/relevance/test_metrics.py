"""Known values of the metrics, the judgment parser and the report's means.
Run: python3 -B -m unittest test_metrics"""
import math
import unittest

import metrics
import queries
import report
import search

GRADES = {"want.html": 2, "also.html": 1, "other want.html": 2}


class RankMetrics(unittest.TestCase):
    def test_mrr_counts_only_the_wanted_pages(self):
        cases = [
            (["want.html"], 1.0),
            (["x", "also.html", "y", "want.html"], 0.25),  # a grade-1 page is not the answer
            (["x"] * 9 + ["other want.html"], 0.1),
            (["x"] * 10 + ["want.html"], 0.0),  # rank 11 is past the cut-off
            ([], 0.0),
        ]
        for ranked, expected in cases:
            with self.subTest(ranked=ranked):
                self.assertAlmostEqual(metrics.mrr(ranked, GRADES), expected)

    def test_recall_counts_either_grade_within_the_cut_off(self):
        cases = [
            (["want.html", "also.html", "other want.html"], 1.0),
            (["also.html", "x"], 1 / 3),
            (["x"] * 10 + ["want.html"], 0.0),
            (["want.html", "want.html"], 1 / 3),  # a page listed twice is found once
        ]
        for ranked, expected in cases:
            with self.subTest(ranked=ranked):
                self.assertAlmostEqual(metrics.recall(ranked, GRADES), expected)

    def test_ndcg_against_hand_computed_values(self):
        ideal = 2 + 2 / math.log2(3) + 1 / math.log2(4)
        cases = [
            (["want.html", "other want.html", "also.html"], 1.0),
            (["also.html", "want.html"], (1 + 2 / math.log2(3)) / ideal),
            (["x", "x", "want.html"], (2 / math.log2(4)) / ideal),
            (["want.html", "want.html"], 2 / ideal),  # no gain for a repeated page
            (["x"], 0.0),
        ]
        for ranked, expected in cases:
            with self.subTest(ranked=ranked):
                self.assertAlmostEqual(metrics.ndcg(ranked, GRADES), expected)

    def test_a_perfect_order_of_a_single_grade_one_page_scores_one(self):
        self.assertAlmostEqual(metrics.ndcg(["a"], {"a": 1}), 1.0)
        self.assertEqual(metrics.mrr(["a"], {"a": 1}), 0.0)


class Judgments(unittest.TestCase):
    def test_paths_may_hold_spaces_and_colons(self):
        self.assertEqual(queries.parse_grades("guide/A Step.html:2, a:b.html:1"),
                         {"guide/A Step.html": 2, "a:b.html": 1})

    def test_grades_other_than_one_and_two_are_refused(self):
        for field in ("a.html:3", "a.html", ":2", "a.html:2,b.html:1"):
            with self.subTest(field=field):
                self.assertRaises(ValueError, queries.parse_grades, field)

    def test_every_committed_query_file_loads(self):
        for corpus, _, _ in queries.corpora():
            loaded = queries.load(corpus)
            self.assertGreaterEqual(len(loaded), 15, corpus)
            self.assertEqual(len({q.id for q in loaded}), len(loaded), corpus)
            self.assertTrue(all(2 in q.grades.values() for q in loaded), corpus)


class Aggregation(unittest.TestCase):
    @staticmethod
    def row(corpus, kind, ours, peer):
        def scores(value):
            return {name: value for name in metrics.METRICS}
        return {"corpus": corpus, "kind": kind, "zvv": scores(ours), "xapian": scores(peer)}

    def test_means_per_corpus_and_kind_leave_out_empty_groups(self):
        corpus = queries.corpora()[0][0]
        rows = [self.row(corpus, "word", 1.0, 0.5), self.row(corpus, "word", 0.0, 0.5),
                self.row(corpus, "name", 0.25, 1.0)]
        found = {}
        for _, label, members in report.groups(rows):
            m = report.means(members)
            found[label] = (len(members), m["zvv"]["nDCG@10"], m["xapian"]["nDCG@10"])
        self.assertEqual(found, {"all": (3, 1.25 / 3, 2 / 3), corpus: (3, 1.25 / 3, 2 / 3),
                                 "word": (2, 0.5, 0.5), "name": (1, 0.25, 1.0)})


class PeerQueries(unittest.TestCase):
    def test_only_title_queries_get_the_title_prefix_on_every_word(self):
        def query(kind, text):
            return queries.Query("q", "c", kind, text, {}, "")
        self.assertEqual(search.quest_query(query("title", "query  planner")),
                         "title:query title:planner")
        self.assertEqual(search.quest_query(query("words", "query planner")), "query planner")


if __name__ == "__main__":
    unittest.main()
