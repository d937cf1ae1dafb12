#include "AudioMatch.h"

#include <QProcess>
#include <QtMath>

QVector<float> AudioMatch::decode(const QString& path) {
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {"-v", "error", "-nostdin", "-i", path, "-ac", "1",
                                            "-ar", QString::number(kRate), "-f", "s16le", "-"});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0)
        return {};
    const QByteArray raw = ffmpeg.readAllStandardOutput();
    QVector<float> samples(raw.size() / 2);
    const auto* pcm = reinterpret_cast<const qint16*>(raw.constData());
    for (int i = 0; i < samples.size(); ++i)
        samples[i] = pcm[i] / 32768.0f;
    return samples;
}

AudioMatch::Found AudioMatch::find(const QVector<float>& mix, const QVector<float>& part,
                                   double expectedMs, double windowMs) {
    double energy = 0;
    for (float x : part)
        energy += double(x) * x;
    Found found;
    if (energy <= 0 || mix.isEmpty())
        return found;
    const int expected = qRound(expectedMs * kRate / 1000);
    const int window = qRound(windowMs * kRate / 1000);
    double best = -1e300;
    int bestLag = 0;
    for (int lag = qMax(0, expected - window); lag <= expected + window; ++lag) {
        const int n = qMin(part.size(), mix.size() - lag);
        if (n <= 0)
            break;
        double c = 0;
        for (int i = 0; i < n; ++i)
            c += double(part[i]) * mix[lag + i];
        if (c > best) {
            best = c;
            bestLag = lag;
        }
    }
    found.ok = best > 0;
    found.gainDb = found.ok ? 20 * std::log10(best / energy) : -300;
    found.offsetMs = (bestLag - expected) * 1000.0 / kRate;
    return found;
}

QVector<float> AudioMatch::slice(const QVector<float>& samples, double fromMs, double lengthMs) {
    const int from = qBound(0, qRound(fromMs * kRate / 1000), samples.size());
    return samples.mid(from, qRound(lengthMs * kRate / 1000));
}

double AudioMatch::dominantFrequency(const QVector<float>& samples) {
    // A Goertzel filter per candidate frequency: plenty fast for a second
    // or two of audio, and exact to the step.
    double best = 0;
    double bestPower = -1;
    for (int hz = 50; hz <= 3000; ++hz) {
        const double coefficient = 2 * qCos(2 * M_PI * hz / kRate);
        double previous = 0, beforePrevious = 0;
        for (float x : samples) {
            const double current = x + coefficient * previous - beforePrevious;
            beforePrevious = previous;
            previous = current;
        }
        const double power = previous * previous + beforePrevious * beforePrevious -
                             coefficient * previous * beforePrevious;
        if (power > bestPower) {
            bestPower = power;
            best = hz;
        }
    }
    return best;
}

QVector<AudioMatch::Span> AudioMatch::sounding(const QVector<float>& samples, double thresholdDb) {
    constexpr int kWindow = kRate / 50; // 20 ms
    constexpr double kGapMs = 60;
    const double threshold = qPow(10, thresholdDb / 20);
    QVector<Span> spans;
    for (int at = 0; at + kWindow <= samples.size(); at += kWindow) {
        double sum = 0;
        for (int i = at; i < at + kWindow; ++i)
            sum += double(samples[i]) * samples[i];
        if (qSqrt(sum / kWindow) < threshold)
            continue;
        const double fromMs = at * 1000.0 / kRate;
        const double toMs = (at + kWindow) * 1000.0 / kRate;
        if (!spans.isEmpty() && fromMs - spans.last().toMs <= kGapMs)
            spans.last().toMs = toMs;
        else
            spans.append({fromMs, toMs});
    }
    return spans;
}
