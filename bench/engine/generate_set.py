#!/usr/bin/env python3
"""Generates the labelled bench set for the speech-evaluation engine with three
synthesisers from Debian (espeak-ng, flite, festival), each reading every
sentence correctly, a different sentence, the first half only, with one word
replaced and with words added. Voices are split into the ones the word model
is fitted on ("fit") and the ones held out from fitting ("held"). Also
silence and noise. Writes WAV files (16 kHz mono 16-bit) and manifest.tsv
(kind, path, reference text, labelled word indices, voice, group) into the
output directory. Files already there are reused."""
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
    "Nobody knew why the old clock had stopped.",
    "Your coffee is getting cold on the kitchen table.",
    "The teacher asked us to read the story aloud.",
    "Turn left at the corner and walk two blocks.",
    "Our team finally won the match last Sunday.",
    "It was raining so hard that we stayed inside.",
]
# Spoken in place of a word of the sentence: chosen to sound unlike it.
REPLACEMENTS = ["elephant", "yellow", "pocket", "zebra", "mushroom", "violin",
                "thunder", "cabbage", "jogging", "kitchen", "penguin", "rocket",
                "dolphin", "butter", "giraffe", "pillow"]
# Words added to a correct reading, before, inside or after the sentence.
EXTRAS = ["well you know", "and then", "actually I think", "by the way", "oh yes indeed"]

# (name, synthesiser, voice, espeak speed, group)
VOICES = [
    ("espeak-us", "espeak", "en-us", 160, "fit"),
    ("espeak-rp-f3", "espeak", "en-gb-x-rp+f3", 185, "fit"),
    ("espeak-us-m3", "espeak", "en-us+m3", 145, "fit"),
    ("espeak-scot-m2", "espeak", "en-gb-scotland+m2", 170, "fit"),
    ("flite-kal", "flite", "kal", 0, "fit"),
    ("flite-slt", "flite", "slt", 0, "fit"),
    ("festival-kal", "festival", "voice_kal_diphone", 0, "fit"),
    ("espeak-029-f2", "espeak", "en-029+f2", 165, "held"),
    ("espeak-lancs-m4", "espeak", "en-gb-x-gbclan+m4", 150, "held"),
    ("espeak-nyc-f4", "espeak", "en-us-nyc+f4", 175, "held"),
    ("flite-awb", "flite", "awb", 0, "held"),
    ("flite-rms", "flite", "rms", 0, "held"),
    ("festival-ked", "festival", "voice_ked_diphone", 0, "held"),
    ("festival-slt-hts", "festival", "voice_cmu_us_slt_arctic_hts", 0, "held"),
]


def words(sentence):
    return sentence.rstrip(".?!").split()


def synth(text, voice, path):
    if os.path.exists(path):
        return
    _, engine, name, speed, _ = voice
    tmp = path + ".tmp.wav"
    if engine == "espeak":
        subprocess.run(["espeak-ng", "-v", name, "-s", str(speed), "-w", tmp, text], check=True)
    elif engine == "flite":
        subprocess.run(["flite", "-voice", name, "-t", text, "-o", tmp], check=True)
    else:
        subprocess.run(["text2wave", "-eval", "(" + name + ")", "-o", tmp], input=text.encode(),
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # -R: sox dithers with a random seed otherwise.
    subprocess.run(["sox", "-R", tmp, "-r", "16000", "-c", "1", "-b", "16", path], check=True)
    os.remove(tmp)


def readings(si):
    """The audio texts of sentence si: (kind, spoken text, labelled indices)."""
    sentence = SENTENCES[si]
    ws = words(sentence)
    n = len(ws)
    other = SENTENCES[(si + 5) % len(SENTENCES)]
    half = " ".join(ws[: n // 2])
    ri = (si * 3 + 1) % n
    replaced = " ".join(REPLACEMENTS[si] if i == ri else w for i, w in enumerate(ws))
    # Extra words before the first word, inside, or after the last; the label
    # is the index of the word they precede (n: after the sentence).
    at = [0, n // 2, n][si % 3]
    extra_words = EXTRAS[si % len(EXTRAS)].split()
    extra = " ".join(ws[:at] + extra_words + ws[at:])
    return [
        ("correct", sentence, ""),
        ("different", other, ""),
        ("half", half, ",".join(str(i) for i in range(n // 2, n))),
        ("replaced", replaced, str(ri)),
        ("extra", extra, str(at)),
    ]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "engine-bench-set"
    os.makedirs(out, exist_ok=True)
    jobs, rows = [], []
    for voice in VOICES:
        for si, sentence in enumerate(SENTENCES):
            for kind, text, label in readings(si):
                path = os.path.join(out, f"{kind}_s{si}_{voice[0]}.wav")
                jobs.append((text, voice, path))
                rows.append((kind, path, sentence, label, voice[0], voice[4]))
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        list(pool.map(lambda j: synth(*j), jobs))
    for i, (name, effect) in enumerate([("silence", []),
                                        ("noise", ["synth", "3", "whitenoise", "vol", "0.3"]),
                                        ("noise", ["synth", "3", "pinknoise", "vol", "0.5"]),
                                        ("noise", ["synth", "3", "brownnoise", "vol", "0.8"]),
                                        ("noise", ["synth", "3", "pinknoise", "vol", "0.02"])]):
        path = os.path.join(out, f"{name}_{i}.wav")
        if not os.path.exists(path):
            cmd = ["sox", "-R", "-n", "-r", "16000", "-c", "1", "-b", "16", path]
            cmd += effect if effect else ["trim", "0", "3"]
            subprocess.run(cmd, check=True)
        rows.append((name, path, SENTENCES[i % len(SENTENCES)], "", "none", "none"))
    with open(os.path.join(out, "manifest.tsv"), "w") as f:
        for row in rows:
            f.write("\t".join(row) + "\n")
    print(f"bench set: {len(rows)} recordings in {out}")


if __name__ == "__main__":
    main()
