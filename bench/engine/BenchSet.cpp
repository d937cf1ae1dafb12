#include "BenchSet.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace {

// Written in the reference in place of a word the voice did say.
const char* const kSwaps[] = {"table",  "mother", "quickly", "river",  "orange", "winter",
                              "paper",  "heavy",  "listen",  "garden", "number", "silver",
                              "doctor", "yellow", "basket",  "motor"};

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::stringstream ss(s);
    std::string cell;
    while (std::getline(ss, cell, sep))
        out.push_back(cell);
    return out;
}

std::vector<std::string> words(const std::string& sentence) {
    std::string s = sentence;
    while (!s.empty() && std::strchr(".?!", s.back()))
        s.pop_back();
    return split(s, ' ');
}

std::string join(const std::vector<std::string>& ws) {
    std::string out;
    for (auto& w : ws)
        out += (out.empty() ? "" : " ") + w;
    return out;
}

void addDerived(std::vector<BenchRow>& rows) {
    std::vector<BenchRow> derived;
    int n = 0;
    for (const BenchRow& row : rows) {
        if (row.kind != "correct")
            continue;
        BenchRow swapped = row;
        swapped.kind = "swapped";
        auto ws = words(row.refText);
        int at = static_cast<int>((n * 5 + 2) % ws.size());
        ws[at] = kSwaps[n % (sizeof kSwaps / sizeof *kSwaps)];
        swapped.refText = join(ws) + ".";
        swapped.labelled = {at};
        derived.push_back(swapped);
        if (row.refText == "I have never seen anything like this before.") {
            BenchRow single = row;
            single.kind = "single";
            single.refText = "I";
            single.labelled.clear();
            derived.push_back(single);
        }
        ++n;
    }
    rows.insert(rows.end(), derived.begin(), derived.end());
}

double uniform(std::mt19937& rng) {
    return (rng() + 0.5) / 4294967296.0;
}

// Pink noise (Paul Kellet's filter of white noise), unit RMS.
std::vector<double> pinkNoise(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<double> out(n);
    double b0 = 0, b1 = 0, b2 = 0, b3 = 0, b4 = 0, b5 = 0, b6 = 0, power = 0;
    for (size_t i = 0; i < n; ++i) {
        double white =
            std::sqrt(-2 * std::log(uniform(rng))) * std::cos(6.283185307 * uniform(rng));
        b0 = 0.99886 * b0 + white * 0.0555179;
        b1 = 0.99332 * b1 + white * 0.0750759;
        b2 = 0.96900 * b2 + white * 0.1538520;
        b3 = 0.86650 * b3 + white * 0.3104856;
        b4 = 0.55000 * b4 + white * 0.5329522;
        b5 = -0.7616 * b5 - white * 0.0168980;
        out[i] = b0 + b1 + b2 + b3 + b4 + b5 + b6 + white * 0.5362;
        b6 = white * 0.115926;
        power += out[i] * out[i];
    }
    double rms = n ? std::sqrt(power / n) : 1;
    for (double& v : out)
        v /= rms;
    return out;
}

// RMS of the speech: of the 25 ms windows within 30 dB of the loudest.
double speechRms(const std::vector<double>& x) {
    std::vector<double> energies;
    for (size_t s = 0; s + 400 <= x.size(); s += 200) {
        double e = 0;
        for (size_t i = s; i < s + 400; ++i)
            e += x[i] * x[i];
        energies.push_back(e / 400);
    }
    if (energies.empty())
        return 0;
    double loudest = *std::max_element(energies.begin(), energies.end());
    double sum = 0;
    int n = 0;
    for (double e : energies)
        if (e >= loudest * 1e-3) {
            sum += e;
            ++n;
        }
    return std::sqrt(sum / n);
}

double peak(const std::vector<double>& x) {
    double p = 0;
    for (double v : x)
        p = std::max(p, std::fabs(v));
    return p;
}

} // namespace

std::vector<BenchRow> readBenchSet(const std::string& dir) {
    std::vector<BenchRow> rows;
    std::ifstream in(dir + "/manifest.tsv");
    std::string line;
    while (std::getline(in, line)) {
        auto f = split(line, '\t');
        if (f.size() < 6)
            continue;
        BenchRow row{f[0], f[1], f[2], {}, f[4], f[5]};
        for (auto& cell : split(f[3], ','))
            if (!cell.empty())
                row.labelled.push_back(std::stoi(cell));
        rows.push_back(row);
    }
    addDerived(rows);
    return rows;
}

std::vector<int16_t> readSamples(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> out;
    if (bytes.size() <= 44)
        return out;
    out.resize((bytes.size() - 44) / 2);
    std::memcpy(out.data(), bytes.data() + 44, out.size() * 2);
    return out;
}

std::vector<char> wavBytes(const std::vector<int16_t>& samples) {
    auto put32 = [](char* p, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            p[i] = static_cast<char>(v >> (8 * i));
    };
    uint32_t data = static_cast<uint32_t>(samples.size() * 2);
    std::vector<char> out(44 + data);
    std::memcpy(out.data(), "RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0", 24);
    put32(&out[4], 36 + data);
    put32(&out[24], 16000);
    put32(&out[28], 32000);
    std::memcpy(&out[32], "\x02\0\x10\0data", 8);
    put32(&out[40], data);
    std::memcpy(&out[44], samples.data(), data);
    return out;
}

const std::vector<std::string>& allConditions() {
    static const std::vector<std::string> all = {"clean", "noise20", "level-30", "dc", "clip"};
    return all;
}

std::vector<int16_t> applyCondition(const std::vector<int16_t>& samples,
                                    const std::string& condition, unsigned seed) {
    std::vector<double> x(samples.begin(), samples.end());
    for (double& v : x)
        v /= 32768.0;
    if (condition == "noise20") {
        // Silence gets the noise floor of a quiet room instead.
        double rms = speechRms(x);
        double level = rms > 1e-4 ? rms / 10.0 : std::pow(10.0, -50.0 / 20);
        auto noise = pinkNoise(x.size(), seed);
        for (size_t i = 0; i < x.size(); ++i)
            x[i] += level * noise[i];
    } else if (condition == "level-30") {
        double p = peak(x);
        if (p > 0)
            for (double& v : x)
                v *= std::pow(10.0, -30.0 / 20) / p;
    } else if (condition == "dc") {
        for (double& v : x)
            v += 0.1;
    } else if (condition == "clip") {
        double p = peak(x), limit = std::pow(10.0, -1.0 / 20);
        if (p > 0)
            for (double& v : x)
                v = std::clamp(v * limit * std::pow(10.0, 10.0 / 20) / p, -limit, limit);
    }
    std::vector<int16_t> out(x.size());
    for (size_t i = 0; i < x.size(); ++i)
        out[i] = static_cast<int16_t>(std::lround(std::clamp(x[i] * 32768.0, -32768.0, 32767.0)));
    return out;
}
