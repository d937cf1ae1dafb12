#!/usr/bin/env python3
"""Fits the engine's word model on the words dumped by
`engine-bench SET --dump WORDS.tsv [CONDITIONS]`.

Words of correct readings are the positives, words replaced in the audio or
swapped in the reference text the negatives. Only voices of the "fit" group
are used for fitting, under every condition in the dump; figures are printed
per condition for both groups. Writes the model (per-phone statistics and the
word weights) as the text file the engine compiles in:

    fit_word_model.py WORDS.tsv [engine/data/word-model.txt]
"""
import math
import statistics
import sys
from collections import defaultdict

MIN_PHONE_COUNT = 20   # phones seen less often fall back to the pooled figures
DURATION_FLOOR_MS = 10
# Where 60 falls: the share of correctly read words of the fitting voices
# (of those the alignment found) that score 60 or more.
TARGET_CORRECT = 0.975
NEG_LABELS = ("wrong",)
REFERENCE_QUANTILE = 0.9  # the reference word of a sentence (WordModel.cpp)
# Features of a word the model weighs; the engine computes the same ones
# (WordModel.cpp).
FEATURES = ["goodness", "phone_mean", "phone_min", "duration", "relative", "speech",
            "edge_stretch", "edge_goodness", "neighbour_relative", "neighbour_duration"]


class Word:
    __slots__ = ("cond", "group", "voice", "kind", "row", "index", "label", "error",
                 "goodness", "score", "speech", "phones", "own", "features")

    def __init__(self, cells):
        self.cond, self.group, self.voice, self.kind = cells[0:4]
        self.row, self.index = int(cells[4]), int(cells[5])
        self.label, self.error = cells[6], cells[7]
        self.goodness, self.score = float(cells[8]), int(cells[9])
        self.speech = float(cells[10])
        self.phones = []
        spans = []
        for item in cells[11].split(","):
            if item:
                ph, g, start, end = item.split(":")
                self.phones.append((ph, float(g), max(DURATION_FLOOR_MS, int(end) - int(start))))
                spans.append((int(start), int(end)))
        # The share of the word's time its own sounds fill (WordModel.cpp).
        span = spans[-1][1] - spans[0][0] if spans else 0
        self.own = min(1.0, sum(e - s for s, e in spans) / span) if span > 0 else 1.0
        self.features = None

    def read(self):
        return self.error != "omission"


def read_words(path):
    with open(path) as f:
        return [Word(line.rstrip("\n").split("\t")) for line in f]


def phone_statistics(words):
    """Mean and spread of each phone's goodness and log duration over the
    correctly read words of the fitting voices."""
    goodness, duration = defaultdict(list), defaultdict(list)
    for w in words:
        if w.group == "fit" and w.label == "ok" and w.read():
            for ph, g, ms in w.phones:
                goodness[ph].append(g)
                duration[ph].append(math.log(ms))
    pooled_g = [g for v in goodness.values() for g in v]
    pooled_d = [d for v in duration.values() for d in v]
    fallback = (statistics.mean(pooled_g), statistics.pstdev(pooled_g),
                statistics.mean(pooled_d), statistics.pstdev(pooled_d))
    stats = {}
    for ph in goodness:
        if len(goodness[ph]) >= MIN_PHONE_COUNT:
            stats[ph] = (statistics.mean(goodness[ph]), max(1.0, statistics.pstdev(goodness[ph])),
                         statistics.mean(duration[ph]), max(0.1, statistics.pstdev(duration[ph])))
    return stats, fallback


def deviations(phone, stats, fallback, rate):
    """A phone's goodness and length against the usual for that phone, in
    spreads, its length at the reader's pace (WordModel.cpp)."""
    ph, g, ms = phone
    mg, sg, md, sd = stats.get(ph, fallback)
    return (g - mg) / sg, (math.log(ms) - md - rate) / sd


def features_of_rows(words, stats, fallback):
    """Per-word features, some relative to the other words of the same reading."""
    by_row = defaultdict(list)
    for w in words:
        by_row[(w.cond, w.row)].append(w)
    for row in by_row.values():
        read = [w for w in row if w.read()]
        # Speaking rate: how much longer than usual this reader's phones are.
        stretch = sorted(math.log(ms) - stats.get(ph, fallback)[2]
                         for w in read for ph, _, ms in w.phones)
        rate = stretch[len(stretch) // 2] if stretch else 0.0  # as the engine takes it
        for w in read:
            zs, ds = [], []
            phones = w.phones or [("", w.goodness, 100)]  # phone alignment failed
            for phone in phones:
                z, d = deviations(phone, stats, fallback, rate)
                zs.append(z)
                ds.append(d)
            w.features = {
                "goodness": w.goodness,
                "phone_mean": sum(zs) / len(zs),
                "phone_min": min(zs),
                "duration": sum(abs(d) for d in ds) / len(ds),
                "speech": w.speech,
            }
        zs = sorted(w.features["phone_mean"] for w in read)
        reference = zs[int(REFERENCE_QUANTILE * (len(zs) - 1) + 0.5)] if zs else 0.0
        for w in read:
            w.features["relative"] = w.features["phone_mean"] - reference
        neighbour_features(sorted(read, key=lambda w: w.index), stats, fallback, rate)


def neighbour_features(read, stats, fallback, rate):
    """What the words read before and after a word say of it (WordModel.cpp)."""
    placed = [w for w in read if w.phones]
    for w in read:
        w.features.update(edge_stretch=0.0, edge_goodness=0.0, neighbour_relative=0.0,
                          neighbour_duration=0.0)
    for k, w in enumerate(placed):
        touching, around = [], []
        if k > 0:
            touching.append(deviations(placed[k - 1].phones[-1], stats, fallback, rate))
            around.append(placed[k - 1])
        if k + 1 < len(placed):
            touching.append(deviations(placed[k + 1].phones[0], stats, fallback, rate))
            around.append(placed[k + 1])
        f = w.features
        f["edge_stretch"] = sum(max(0.0, d) for _, d in touching)
        f["edge_goodness"] = min([z for z, _ in touching] + [0.0] * (2 - len(touching)))
        if around:
            f["neighbour_relative"] = min(n.features["relative"] for n in around)
            f["neighbour_duration"] = max(n.features["duration"] for n in around)


def sigmoid(x):
    return 1.0 / (1.0 + math.exp(-max(-50.0, min(50.0, x))))


def solve(a, b):
    """Gaussian elimination with partial pivoting."""
    n = len(b)
    m = [row[:] + [b[i]] for i, row in enumerate(a)]
    for c in range(n):
        p = max(range(c, n), key=lambda r: abs(m[r][c]))
        m[c], m[p] = m[p], m[c]
        for r in range(c + 1, n):
            f = m[r][c] / m[c][c]
            for k in range(c, n + 1):
                m[r][k] -= f * m[c][k]
    x = [0.0] * n
    for r in range(n - 1, -1, -1):
        x[r] = (m[r][n] - sum(m[r][k] * x[k] for k in range(r + 1, n))) / m[r][r]
    return x


def fit_logistic(xs, ys, weights, ridge=1e-2, iterations=25):
    """Weighted logistic regression by Newton's method; the last weight is the bias."""
    n = len(xs[0]) + 1
    w = [0.0] * n
    for _ in range(iterations):
        grad = [0.0] * n
        hess = [[0.0] * n for _ in range(n)]
        for x, y, c in zip(xs, ys, weights):
            v = x + [1.0]
            p = sigmoid(sum(a * b for a, b in zip(w, v)))
            for i in range(n):
                grad[i] += c * (y - p) * v[i]
                for j in range(n):
                    hess[i][j] += c * p * (1 - p) * v[i] * v[j]
        for i in range(n - 1):
            grad[i] -= ridge * w[i]
            hess[i][i] += ridge
        step = solve(hess, grad)
        w = [a + b for a, b in zip(w, step)]
        if max(abs(s) for s in step) < 1e-6:
            break
    return w


def auc(pos, neg):
    if not pos or not neg:
        return 0.0
    ranked = sorted([(v, 1) for v in pos] + [(v, 0) for v in neg])
    rank_sum, i = 0.0, 0
    while i < len(ranked):
        j = i
        while j < len(ranked) and ranked[j][0] == ranked[i][0]:
            j += 1
        mid = (i + j + 1) / 2.0
        rank_sum += mid * sum(1 for k in range(i, j) if ranked[k][1] == 1)
        i = j
    return (rank_sum - len(pos) * (len(pos) + 1) / 2.0) / (len(pos) * len(neg))


def ceiling(ok, replaced, kept=0.95):
    """The share of replaced words below the best cut for this condition
    alone that keeps `kept` of the correct words above it: what calibration
    can reach at most with these scores, whatever the weights."""
    if not ok or not replaced:
        return 0.0
    cut = sorted(ok)[int((1 - kept) * len(ok))]
    return 100.0 * sum(s < cut for s in replaced) / len(replaced)


def report(words, score_of, title):
    """Word figures per condition and group, as the bench counts them:
    omitted words score 0."""
    print(title)
    print("  %-9s %-5s %7s %9s %9s %7s %6s %8s" % ("condition", "group", "ok>=60", "replaced",
                                                   "swapped", "omitted", "AUC", "ceiling"))
    for cond in sorted({w.cond for w in words}):
        for group in ("fit", "held"):
            sel = [w for w in words if w.cond == cond and w.group == group]
            ok = [score_of(w) for w in sel if w.label == "ok"]
            replaced = [score_of(w) for w in sel if w.label == "wrong" and w.kind == "replaced"]
            swapped = [score_of(w) for w in sel if w.label == "wrong" and w.kind == "swapped"]
            omitted = [score_of(w) for w in sel if w.label == "omit"]
            if not ok:
                continue

            def share(v, high):
                return 100.0 * sum((s >= 60) == high for s in v) / max(1, len(v))

            print("  %-9s %-5s %6.1f%% %8.1f%% %8.1f%% %6.1f%% %6.3f %7.1f%%  (n=%d/%d/%d)" % (
                cond, group, share(ok, True), share(replaced, False), share(swapped, False),
                share(omitted, False), auc(ok, replaced + swapped), ceiling(ok, replaced),
                len(ok), len(replaced), len(swapped)))


def fit(words):
    stats, fallback = phone_statistics(words)
    features_of_rows(words, stats, fallback)
    train = [w for w in words if w.group == "fit" and w.features and w.label in NEG_LABELS + ("ok",)]
    # Balance the classes: there are far more correct words than wrong ones.
    n_ok = sum(w.label == "ok" for w in train)
    n_bad = len(train) - n_ok
    xs = [[w.features[f] for f in FEATURES] for w in train]
    ys = [1.0 if w.label == "ok" else 0.0 for w in train]
    cs = [1.0 if w.label == "ok" else n_ok / max(1, n_bad) for w in train]
    weights = fit_logistic(xs, ys, cs, ridge=1.0)
    # Move the bias so that 60 falls where TARGET_CORRECT of the correct words
    # read by the fitting voices are above it.
    margins = sorted(sum(a * v for a, v in zip(weights, x)) for x, y in zip(xs, ys) if y == 1.0)
    cut = margins[int((1 - TARGET_CORRECT) * (len(margins) - 1))]
    weights[-1] = math.log(0.6 / 0.4) - cut
    return stats, fallback, weights


def main():
    words = read_words(sys.argv[1])
    out = sys.argv[2] if len(sys.argv) > 2 else None
    report(words, lambda w: w.score, "engine's own word scores:")
    stats, fallback, weights = fit(words)
    print("weights:", " ".join("%s=%.4f" % (f, v) for f, v in zip(FEATURES + ["bias"], weights)))

    def score_of(w):
        if not w.features:
            return 0
        z = sum(a * w.features[f] for a, f in zip(weights, FEATURES)) + weights[-1]
        return round(round(100 * sigmoid(z)) * w.own)

    report(words, score_of, "fitted word model:")
    if out:
        write_model(out, stats, fallback, weights)


def write_model(path, stats, fallback, weights):
    with open(path, "w") as f:
        f.write("# Word model of the speech-evaluation engine, written by "
                "bench/engine/fit_word_model.py.\n")
        f.write("# phone PHONE goodness-mean goodness-spread log-ms-mean log-ms-spread\n")
        f.write("pooled %.4f %.4f %.4f %.4f\n" % fallback)
        for ph in sorted(stats):
            f.write("phone %s %.4f %.4f %.4f %.4f\n" % ((ph,) + stats[ph]))
        f.write("# weight FEATURE value (the word's score is 100 / (1 + exp(-sum)))\n")
        for name, value in zip(FEATURES + ["bias"], weights):
            f.write("weight %s %.6f\n" % (name, value))


if __name__ == "__main__":
    main()
