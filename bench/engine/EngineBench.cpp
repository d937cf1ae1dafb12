// Benchmark of the speech-evaluation engine on the labelled set written by
// generate_set.py, under each recording condition and apart for the voices
// the word model was fitted on and the ones held out: separation of correct
// from wrong readings, word-level detection, extra speech, silence and noise,
// speed and memory. Prints its figures.
#include "BenchSet.h"
#include "JsonValue.h"
#include "PronunciationScorer.h"
#include "SpeechModel.h"
#include "WavDecoder.h"
#include "ssound.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Pending {
    std::mutex mutex;
    std::condition_variable done;
    std::string json;
    bool received = false;
    Clock::time_point at;
};

int onResult(const void* user, const char*, int type, const void* message, int) {
    if (type != SSOUND_MESSAGE_JSON)
        return 0;
    auto* p = static_cast<Pending*>(const_cast<void*>(user));
    std::lock_guard<std::mutex> lock(p->mutex);
    p->json = static_cast<const char*>(message);
    p->at = Clock::now();
    p->received = true;
    p->done.notify_all();
    return 0;
}

std::string params(const std::string& text) {
    JsonValue request = JsonValue::object();
    request.set("coreType", "en.sent.score").set("refText", text);
    JsonValue audio = JsonValue::object();
    audio.set("audioType", "wav").set("channel", 1).set("sampleBytes", 2).set("sampleRate", 16000);
    JsonValue doc = JsonValue::object();
    doc.set("audio", audio).set("request", request);
    return doc.serialize();
}

std::vector<char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
}

// Scores one recording; returns the result and the stop-to-callback time.
double cpuSeconds() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

JsonValue evaluate(ssound* engine, const std::string& text, const std::vector<char>& audio,
                   double* latencySeconds = nullptr, std::string* raw = nullptr,
                   double* cpu = nullptr) {
    Pending pending;
    char id[64];
    ssound_start(engine, params(text).c_str(), id, onResult, &pending);
    ssound_feed(engine, audio.data(), static_cast<int>(audio.size()));
    auto stopped = Clock::now();
    double cpuAtStop = cpuSeconds();
    ssound_stop(engine);
    std::unique_lock<std::mutex> lock(pending.mutex);
    pending.done.wait(lock, [&pending] { return pending.received; });
    if (cpu)
        *cpu = cpuSeconds() - cpuAtStop;
    if (latencySeconds)
        *latencySeconds = std::chrono::duration<double>(pending.at - stopped).count();
    if (raw)
        *raw = pending.json;
    JsonValue doc;
    JsonValue::parse(pending.json, doc);
    return doc;
}

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

double loadAverage() {
    std::ifstream in("/proc/loadavg");
    double load = 0;
    in >> load;
    return load;
}

double rocAuc(const std::vector<double>& positive, const std::vector<double>& negative) {
    double wins = 0;
    for (double p : positive)
        for (double n : negative)
            wins += p > n ? 1.0 : p == n ? 0.5 : 0.0;
    return positive.empty() || negative.empty() ? 0 : wins / (positive.size() * negative.size());
}

// Figures of one group of voices under one condition.
struct Tally {
    std::vector<double> correct, different;                                    // sentence overall
    std::vector<double> rightWords, replacedWords, swappedWords, omittedWords; // word scores
    std::vector<double> extraOverall, singleOverall;
    int extraLocated = 0;
    double halfIntegrity = 0;
    int halfCount = 0;
};

double share(const std::vector<double>& scores, bool high) {
    if (scores.empty())
        return 0;
    long n = std::count_if(scores.begin(), scores.end(),
                           [high](double s) { return high ? s >= 60 : s < 60; });
    return 100.0 * n / scores.size();
}

double mean(const std::vector<double>& v) {
    double sum = 0;
    for (double x : v)
        sum += x;
    return v.empty() ? 0 : sum / v.size();
}

void countWords(const BenchRow& row, const JsonValue& result, Tally& t) {
    const auto& details = result["details"].items();
    auto labelled = [&](std::vector<double>& into) {
        for (int index : row.labelled)
            if (index < static_cast<int>(details.size()))
                into.push_back(details[index]["score"].toNumber());
    };
    if (row.kind == "correct") {
        t.correct.push_back(result["overall"].toNumber());
        for (auto& d : details)
            t.rightWords.push_back(d["score"].toNumber());
    } else if (row.kind == "different") {
        t.different.push_back(result["overall"].toNumber());
    } else if (row.kind == "replaced") {
        labelled(t.replacedWords);
    } else if (row.kind == "swapped") {
        labelled(t.swappedWords);
    } else if (row.kind == "half") {
        labelled(t.omittedWords);
        t.halfIntegrity += result["integrity"].toNumber();
        ++t.halfCount;
    } else if (row.kind == "extra") {
        t.extraOverall.push_back(result["overall"].toNumber());
        bool located = false;
        for (auto& e : result["extra"].items())
            located = located || static_cast<int>(e["before"].toNumber(-1)) == row.labelled[0];
        t.extraLocated += located;
    } else if (row.kind == "single") {
        t.singleOverall.push_back(result["overall"].toNumber());
    }
}

void printTallies(const std::map<std::string, Tally>& byGroup) {
    auto line = [&](const char* what, auto figure) {
        std::printf("  %-50s", what);
        for (const char* g : {"fit", "held"}) {
            auto it = byGroup.find(g);
            std::printf(" %8s", it == byGroup.end() ? "-" : figure(it->second).c_str());
        }
        std::printf("\n");
    };
    auto fmt = [](const char* f, double v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, f, v);
        return std::string(buf);
    };
    std::printf("  %-50s %8s %8s\n", "", "fit", "held");
    line("sentence AUC, correct vs different reading",
         [&](const Tally& t) { return fmt("%.3f", rocAuc(t.correct, t.different)); });
    line("word AUC, correct vs replaced or swapped words", [&](const Tally& t) {
        auto wrong = t.replacedWords;
        wrong.insert(wrong.end(), t.swappedWords.begin(), t.swappedWords.end());
        return fmt("%.3f", rocAuc(t.rightWords, wrong));
    });
    line("correct words at 60 or more (%)",
         [&](const Tally& t) { return fmt("%.1f", share(t.rightWords, true)); });
    line("replaced words below 60 (%)",
         [&](const Tally& t) { return fmt("%.1f", share(t.replacedWords, false)); });
    line("swapped words below 60 (%)",
         [&](const Tally& t) { return fmt("%.1f", share(t.swappedWords, false)); });
    line("omitted words below 60 (%)",
         [&](const Tally& t) { return fmt("%.1f", share(t.omittedWords, false)); });
    line("mean integrity of half readings", [&](const Tally& t) {
        return fmt("%.1f", t.halfCount ? t.halfIntegrity / t.halfCount : 0);
    });
    line("mean overall of correct readings",
         [&](const Tally& t) { return fmt("%.1f", mean(t.correct)); });
    line("mean overall with extra words",
         [&](const Tally& t) { return fmt("%.1f", mean(t.extraOverall)); });
    line("extra words located (%)", [&](const Tally& t) {
        return fmt("%.1f",
                   t.extraOverall.empty() ? 0 : 100.0 * t.extraLocated / t.extraOverall.size());
    });
    line("mean overall of \"I\" against a whole sentence",
         [&](const Tally& t) { return fmt("%.1f", mean(t.singleOverall)); });
}

void qualityFigures(ssound* engine, const std::vector<BenchRow>& rows,
                    const std::vector<std::string>& conditions) {
    for (const std::string& condition : conditions) {
        std::map<std::string, Tally> byGroup;
        int silentMax = 0, noiseMax = 0;
        unsigned seed = 1;
        for (const BenchRow& row : rows) {
            auto samples = applyCondition(readSamples(row.path), condition, seed++);
            JsonValue result = evaluate(engine, row.refText, wavBytes(samples))["result"];
            int overall = static_cast<int>(result["overall"].toNumber());
            if (row.kind == "silence")
                silentMax = std::max(silentMax, overall);
            else if (row.kind == "noise")
                noiseMax = std::max(noiseMax, overall);
            else
                countWords(row, result, byGroup[row.group]);
        }
        std::printf("condition %s:\n", condition.c_str());
        printTallies(byGroup);
        std::printf("  silence, noise: overall at most %d, %d\n", silentMax, noiseMax);
        std::fflush(stdout);
    }
}

void determinism(ssound* engine, const std::vector<BenchRow>& rows) {
    int same = 0, tried = 0;
    for (const BenchRow& row : rows) {
        if (row.kind != "correct" || tried == 10)
            continue;
        auto audio = wavBytes(applyCondition(readSamples(row.path), "noise20", 7));
        std::string first, second;
        evaluate(engine, row.refText, audio, nullptr, &first);
        evaluate(engine, row.refText, audio, nullptr, &second);
        JsonValue a, b;
        JsonValue::parse(first, a);
        JsonValue::parse(second, b);
        same += a["result"].serialize() == b["result"].serialize();
        ++tried;
    }
    std::printf("identical results for identical input:           %d of %d\n", same, tried);
}

void speedFigures(ssound* engine, const std::vector<BenchRow>& rows) {
    // The correct reading closest to 3 s of audio.
    const BenchRow* best = nullptr;
    double bestGap = 1e9, seconds = 0;
    for (const BenchRow& row : rows) {
        if (row.kind != "correct")
            continue;
        double s = readSamples(row.path).size() / 16000.0;
        if (std::abs(s - 3.0) < bestGap) {
            bestGap = std::abs(s - 3.0);
            best = &row;
            seconds = s;
        }
    }
    if (!best)
        return;
    auto audio = readFile(best->path);
    std::vector<double> latencies, cpus;
    for (int i = 0; i < 9; ++i) {
        double latency = 0, cpu = 0;
        evaluate(engine, best->refText, audio, &latency, nullptr, &cpu);
        latencies.push_back(latency);
        cpus.push_back(cpu);
    }
    std::sort(latencies.begin(), latencies.end());
    std::sort(cpus.begin(), cpus.end());
    double median = latencies[latencies.size() / 2];
    std::printf("latency stop -> callback, %.2f s sentence:       %.0f ms median, %.0f ms min "
                "(target <= 300 ms)\n",
                seconds, median * 1000, latencies.front() * 1000);
    // CPU time spent by the process meanwhile: what the latency is on an idle
    // core, whatever else the machine is doing.
    std::printf("CPU time per evaluation of it:                   %.0f ms median\n",
                cpus[cpus.size() / 2] * 1000);
    std::printf("real-time factor (wall, CPU):                    %.3f, %.3f\n", median / seconds,
                cpus[cpus.size() / 2] / seconds);
    std::printf("machine load average while measuring:            %.2f\n", loadAverage());
}

void memoryFigures(const std::vector<BenchRow>& rows) {
    const BenchRow* sample = nullptr;
    for (const BenchRow& row : rows)
        if (row.kind == "correct") {
            sample = &row;
            break;
        }
    if (!sample)
        return;
    auto audio = readFile(sample->path);
    long before = residentKb();
    std::vector<ssound*> engines;
    engines.push_back(ssound_new("{}"));
    evaluate(engines[0], sample->refText, audio);
    long one = residentKb();
    while (engines.size() < 20) {
        engines.push_back(ssound_new("{}"));
        evaluate(engines.back(), sample->refText, audio);
    }
    long twenty = residentKb();
    for (ssound* e : engines)
        ssound_delete(e);
    std::printf(
        "resident memory, 1 engine:                       %.1f MB (process before: %.1f MB)\n",
        one / 1024.0, before / 1024.0);
    std::printf(
        "resident memory, 20 engines:                     %.1f MB  (ratio %.2f, target < 2)\n",
        twenty / 1024.0, static_cast<double>(twenty) / one);
}

// Writes every word's figures for fitting the word model (see fit_word_model.py).
void dumpWords(const std::vector<BenchRow>& rows, const std::vector<std::string>& conditions,
               const std::string& path) {
    std::ofstream out(path);
    PronunciationScorer scorer(SpeechModel::shared());
    int rowNumber = 0;
    for (const std::string& condition : conditions) {
        unsigned seed = 1;
        for (const BenchRow& row : rows) {
            ++rowNumber;
            auto samples = applyCondition(readSamples(row.path), condition, seed++);
            if (row.kind == "silence" || row.kind == "noise" || row.kind == "different")
                continue;
            ScoreReport report = scorer.score(samples, row.refText);
            for (size_t i = 0; i < report.words.size(); ++i) {
                const auto& w = report.words[i];
                bool marked = std::find(row.labelled.begin(), row.labelled.end(),
                                        static_cast<int>(i)) != row.labelled.end();
                std::string label = row.kind == "correct"            ? "ok"
                                    : !marked || row.kind == "extra" ? "other"
                                    : row.kind == "half"             ? "omit"
                                                                     : "wrong";
                out << condition << '\t' << row.group << '\t' << row.voice << '\t' << row.kind
                    << '\t' << rowNumber << '\t' << i << '\t' << label << '\t' << w.error << '\t'
                    << w.goodness << '\t' << w.score << '\t' << w.speech << '\t';
                for (auto& p : w.phones)
                    out << p.phone << ':' << p.goodness << ':' << p.startMs << ':' << p.endMs
                        << ',';
                out << '\n';
            }
        }
    }
}

std::vector<std::string> splitList(const std::string& s) {
    std::vector<std::string> out;
    std::stringstream ss(s);
    std::string item;
    while (std::getline(ss, item, ','))
        out.push_back(item);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: engine-bench SET_DIR [CONDITION,...] "
                             "(SET_DIR made by generate_set.py)\n");
        return 2;
    }
    auto rows = readBenchSet(argv[1]);
    if (rows.empty()) {
        std::fprintf(stderr, "engine-bench: no manifest in %s\n", argv[1]);
        return 2;
    }
    // A recording that cannot be read would count as a reading of nothing.
    for (const BenchRow& row : rows)
        if (!std::ifstream(row.path)) {
            std::fprintf(stderr,
                         "engine-bench: cannot read %s (the list names recordings from "
                         "the repository's root)\n",
                         row.path.c_str());
            return 2;
        }
    if (argc > 3 && std::string(argv[2]) == "--dump") {
        dumpWords(rows, argc > 4 ? splitList(argv[4]) : allConditions(), argv[3]);
        return 0;
    }
    auto conditions = argc > 2 ? splitList(argv[2]) : allConditions();
    memoryFigures(rows); // first, so the process holds nothing else yet
    ssound* engine = ssound_new("{}");
    if (!engine) {
        std::fprintf(stderr, "engine-bench: the engine could not be created\n");
        return 1;
    }
    auto started = Clock::now();
    speedFigures(engine, rows);
    determinism(engine, rows);
    qualityFigures(engine, rows, conditions);
    ssound_delete(engine);
    std::printf("bench time: %.0f s for %zu recordings under %zu conditions\n",
                std::chrono::duration<double>(Clock::now() - started).count(), rows.size(),
                conditions.size());
    return 0;
}
