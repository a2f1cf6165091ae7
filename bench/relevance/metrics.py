"""Rank metrics over the top hits of one query; grades are 2 (wanted page) and 1 (also useful)."""
import math

CUTOFF = 10


def mrr(ranked, grades, k=CUTOFF):
    """Reciprocal rank of the first page graded 2 within the top k, else 0."""
    for rank, page in enumerate(ranked[:k], 1):
        if grades.get(page) == 2:
            return 1.0 / rank
    return 0.0


def recall(ranked, grades, k=CUTOFF):
    """Share of the judged pages (either grade) found within the top k."""
    if not grades:
        return 0.0
    return len(set(ranked[:k]) & grades.keys()) / len(grades)


def dcg(gains):
    return sum(gain / math.log2(rank + 1) for rank, gain in enumerate(gains, 1))


def ndcg(ranked, grades, k=CUTOFF):
    """DCG of the top k with the grades as gains, over the DCG of the ideal order."""
    ideal = dcg(sorted(grades.values(), reverse=True)[:k])
    if ideal == 0:
        return 0.0
    seen = set()
    gains = []
    for page in ranked[:k]:
        gains.append(0 if page in seen else grades.get(page, 0))  # a repeated page gains once
        seen.add(page)
    return dcg(gains) / ideal


METRICS = {"MRR@10": mrr, "Recall@10": recall, "nDCG@10": ndcg}
