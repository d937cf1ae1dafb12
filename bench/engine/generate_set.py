#!/usr/bin/env python3
"""Generates the labelled bench set for the speech-evaluation engine with
espeak-ng and sox: each sentence read correctly, a different sentence, the
first half only, one word replaced; plus silence and noise. Writes WAV files
(16 kHz mono 16-bit) and manifest.tsv into the output directory. Re-running
with the same arguments reuses the files already there."""
import concurrent.futures
import os
import subprocess
import sys

SENTENCES = [
    "I have never seen anything like this before.",
    "She sells fresh bread at the market every morning.",
    "We should leave early to catch the first train.",
    "My brother plays the guitar in a small band.",
    "Please close the window before you go to sleep.",
    "The children were laughing in the garden all afternoon.",
    "Could you tell me where the nearest bank is?",
    "He forgot his umbrella and got completely wet.",
    "This recipe needs two eggs and a cup of sugar.",
    "They moved to a quiet village near the mountains.",
]
# Replacement words chosen to sound unlike what they replace.
REPLACEMENTS = ["elephant", "yellow", "pocket", "zebra", "mushroom", "violin",
                "thunder", "cabbage", "jogging", "kitchen"]
VOICES = ["en-us", "en-gb-x-rp+f3", "en-us+m3"]
SPEEDS = [145, 185]


def words(sentence):
    return sentence.rstrip(".?!").split()


def synth(text, voice, speed, path):
    if os.path.exists(path):
        return
    tmp = path + ".tmp.wav"
    subprocess.run(["espeak-ng", "-v", voice, "-s", str(speed), "-w", tmp, text], check=True)
    subprocess.run(["sox", "-R", tmp, "-r", "16000", "-c", "1", "-b", "16", path], check=True)
    os.remove(tmp)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "engine-bench-set"
    os.makedirs(out, exist_ok=True)
    jobs, rows = [], []
    for si, sentence in enumerate(SENTENCES):
        ws = words(sentence)
        other = SENTENCES[(si + 3) % len(SENTENCES)]
        half = " ".join(ws[: len(ws) // 2])
        ri = (si * 3 + 1) % len(ws)
        replaced = " ".join(REPLACEMENTS[si] if i == ri else w for i, w in enumerate(ws))
        for vi, voice in enumerate(VOICES):
            for speed in SPEEDS:
                tag = f"s{si}_v{vi}_{speed}"
                for kind, text, label in [
                    ("correct", sentence, ""),
                    ("different", other, ""),
                    ("half", half, ",".join(str(i) for i in range(len(ws) // 2, len(ws)))),
                    ("replaced", replaced, str(ri)),
                ]:
                    path = os.path.join(out, f"{kind}_{tag}.wav")
                    jobs.append((text, voice, speed, path))
                    rows.append((kind, path, sentence, label))
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        list(pool.map(lambda j: synth(*j), jobs))
    for i, (name, effect) in enumerate([("silence", []),
                                        ("noise", ["synth", "3", "whitenoise", "vol", "0.3"]),
                                        ("noise", ["synth", "3", "pinknoise", "vol", "0.5"]),
                                        ("noise", ["synth", "3", "brownnoise", "vol", "0.8"])]):
        path = os.path.join(out, f"{name}_{i}.wav")
        if not os.path.exists(path):
            cmd = ["sox", "-R", "-n", "-r", "16000", "-c", "1", "-b", "16", path]
            cmd += effect if effect else ["trim", "0", "3"]
            subprocess.run(cmd, check=True)
        rows.append((name, path, SENTENCES[i % len(SENTENCES)], ""))
    with open(os.path.join(out, "manifest.tsv"), "w") as f:
        for row in rows:
            f.write("\t".join(row) + "\n")
    print(f"bench set: {len(rows)} recordings in {out}")


if __name__ == "__main__":
    main()
