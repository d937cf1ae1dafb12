// Benchmark of the speech-evaluation engine on the labelled set written by
// generate_set.py: separation of correct from wrong readings, word-level
// error detection, silence and noise, speed and memory. Prints its figures.
#include "JsonValue.h"
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

struct Row {
    std::string kind, path, sentence;
    std::vector<int> labelled; // replaced or omitted word indices
};

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

std::vector<Row> readManifest(const std::string& path) {
    std::vector<Row> rows;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::stringstream ss(line);
        std::string cell;
        while (std::getline(ss, cell, '\t'))
            f.push_back(cell);
        if (f.size() < 3)
            continue;
        Row row{f[0], f[1], f[2], {}};
        if (f.size() > 3) {
            std::stringstream labels(f[3]);
            while (std::getline(labels, cell, ','))
                if (!cell.empty())
                    row.labelled.push_back(std::stoi(cell));
        }
        rows.push_back(row);
    }
    return rows;
}

std::string withoutIds(const std::string& json) {
    JsonValue doc;
    JsonValue::parse(json, doc);
    return doc["result"].serialize();
}

void printQuantiles(const char* what, std::vector<double> values) {
    if (values.empty())
        return;
    std::sort(values.begin(), values.end());
    std::printf("  %s (n=%zu), quantiles 5/10/20/50/80%%:", what, values.size());
    for (double q : {0.05, 0.1, 0.2, 0.5, 0.8})
        std::printf(" %.1f", values[static_cast<size_t>(q * (values.size() - 1))]);
    std::printf("\n");
}

void qualityFigures(ssound* engine, const std::vector<Row>& rows) {
    std::vector<double> correct, different;
    double halfIntegrity = 0;
    int halfCount = 0, wrongWords = 0, wrongLow = 0, rightWords = 0, rightHigh = 0;
    int replacedWords = 0, replacedLow = 0;
    int silentMax = 0, noiseMax = 0, deterministic = 0, repeated = 0;
    std::vector<double> rightGoodness, wrongGoodness; // of words read, for calibration
    std::map<std::string, std::vector<double>> overallByKind;
    for (const Row& row : rows) {
        auto audio = readFile(row.path);
        std::string raw;
        JsonValue result = evaluate(engine, row.sentence, audio, nullptr, &raw)["result"];
        double overall = result["overall"].toNumber();
        overallByKind[row.kind].push_back(overall);
        const auto& details = result["details"].items();
        if (row.kind == "correct") {
            correct.push_back(overall);
            for (auto& d : details) {
                if (d["error"].toString() != "omission")
                    rightGoodness.push_back(d["goodness"].toNumber());
                ++rightWords;
                rightHigh += d["score"].toNumber() >= 60;
            }
            if (repeated < 10) { // identical input must give identical results
                std::string again;
                evaluate(engine, row.sentence, audio, nullptr, &again);
                ++repeated;
                deterministic += withoutIds(again) == withoutIds(raw);
            }
        } else if (row.kind == "different") {
            different.push_back(overall);
        } else if (row.kind == "half" || row.kind == "replaced") {
            if (row.kind == "half") {
                halfIntegrity += result["integrity"].toNumber();
                ++halfCount;
            }
            for (int index : row.labelled)
                if (index < static_cast<int>(details.size())) {
                    bool low = details[index]["score"].toNumber() < 60;
                    ++wrongWords;
                    wrongLow += low;
                    if (row.kind == "replaced") {
                        ++replacedWords;
                        replacedLow += low;
                    }
                    if (details[index]["error"].toString() != "omission")
                        wrongGoodness.push_back(details[index]["goodness"].toNumber());
                }
        } else if (row.kind == "silence") {
            silentMax = std::max(silentMax, static_cast<int>(overall));
        } else if (row.kind == "noise") {
            noiseMax = std::max(noiseMax, static_cast<int>(overall));
        }
    }
    for (auto& [kind, values] : overallByKind) {
        double sum = 0;
        for (double v : values)
            sum += v;
        std::printf("  mean overall %-10s %6.1f  (n=%zu)\n", kind.c_str(), sum / values.size(),
                    values.size());
    }
    printQuantiles("goodness of correct words read", rightGoodness);
    printQuantiles("goodness of replaced/omitted words read", wrongGoodness);
    std::printf("ROC AUC overall, correct vs different reading:   %.3f   (target >= 0.95)\n",
                rocAuc(correct, different));
    std::printf("mean integrity of half readings:                 %.1f   (target <= 60)\n",
                halfCount ? halfIntegrity / halfCount : 0.0);
    std::printf(
        "replaced/omitted words scored below 60:          %.1f%%  (%d of %d, target >= 80%%)\n",
        wrongWords ? 100.0 * wrongLow / wrongWords : 0.0, wrongLow, wrongWords);
    std::printf("  of them replaced words:                        %.1f%%  (%d of %d)\n",
                replacedWords ? 100.0 * replacedLow / replacedWords : 0.0, replacedLow,
                replacedWords);
    std::printf("  of them omitted words (half readings):         %.1f%%  (%d of %d)\n",
                wrongWords > replacedWords
                    ? 100.0 * (wrongLow - replacedLow) / (wrongWords - replacedWords)
                    : 0.0,
                wrongLow - replacedLow, wrongWords - replacedWords);
    std::printf(
        "correctly read words scored 60 or more:          %.1f%%  (%d of %d, target >= 80%%)\n",
        rightWords ? 100.0 * rightHigh / rightWords : 0.0, rightHigh, rightWords);
    std::printf("silence overall (max):                           %d     (target <= 10)\n",
                silentMax);
    std::printf("noise overall (max):                             %d     (target <= 10)\n",
                noiseMax);
    std::printf("identical results for identical input:           %d of %d\n", deterministic,
                repeated);
}

void speedFigures(ssound* engine, const std::vector<Row>& rows) {
    // The correct reading closest to 3 s of audio.
    const Row* best = nullptr;
    double bestGap = 1e9, seconds = 0;
    for (const Row& row : rows) {
        if (row.kind != "correct")
            continue;
        double s = (readFile(row.path).size() - 44) / 32000.0;
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
    for (int i = 0; i < 7; ++i) {
        double latency = 0, cpu = 0;
        evaluate(engine, best->sentence, audio, &latency, nullptr, &cpu);
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

void memoryFigures(const std::vector<Row>& rows) {
    const Row* sample = nullptr;
    for (const Row& row : rows)
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
    evaluate(engines[0], sample->sentence, audio);
    long one = residentKb();
    while (engines.size() < 20) {
        engines.push_back(ssound_new("{}"));
        evaluate(engines.back(), sample->sentence, audio);
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

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: engine-bench SET_DIR (made by generate_set.py)\n");
        return 2;
    }
    auto rows = readManifest(std::string(argv[1]) + "/manifest.tsv");
    if (rows.empty()) {
        std::fprintf(stderr, "engine-bench: no manifest in %s\n", argv[1]);
        return 2;
    }
    memoryFigures(rows); // first, so the process holds nothing else yet
    ssound* engine = ssound_new("{}");
    if (!engine) {
        std::fprintf(stderr, "engine-bench: the engine could not be created\n");
        return 1;
    }
    auto started = Clock::now();
    qualityFigures(engine, rows);
    speedFigures(engine, rows);
    ssound_delete(engine);
    std::printf("bench time: %.0f s for %zu recordings\n",
                std::chrono::duration<double>(Clock::now() - started).count(), rows.size());
    return 0;
}
