#include "DubMixer.h"

#include "ChildProcess.h"

#include <QDebug>
#include <QFile>
#include <memory>

namespace {
constexpr int kRate = 44100;
// The AAC encoder puts one frame of priming samples before the sound and a
// raw AAC stream cannot say so; cutting them keeps every voice on its
// picture.
constexpr int kEncoderDelaySamples = 1024;
constexpr int kKbpsPerChannel = 96;
const char* const kLimiter = "alimiter=limit=0.95:level=0:latency=1";
} // namespace

DubMixer::DubMixer(QObject* parent) : QObject(parent) {}

DubMixer::~DubMixer() {
    // A mix cut short leaves no half-written file behind.
    if (m_run) {
        delete m_run;
        QFile::remove(m_product + QStringLiteral(".part"));
    }
}

QString DubMixer::productName(const QDateTime& now) {
    return now.toString(QStringLiteral("yyyy-MM-dd-hh-mm-ss-")) + QStringLiteral("product.aac");
}

QString DubMixer::filterGraph(const QList<Sentence>& sentences, int channels) {
    // Every input in the dub's channels at its rate. Into stereo a mono input
    // goes to both sides unchanged (a plain up-mix would put it 3 dB down).
    const QString layout = channels == 1 ? QStringLiteral("aformat=channel_layouts=mono")
                                         : QStringLiteral("pan=stereo|FL<FL+FC|FR<FR+FC");
    const QString convert = QStringLiteral("%1,aresample=%2").arg(layout).arg(kRate);
    QStringList chains{QStringLiteral("[0:a]%1[bg]").arg(convert)};
    QString mixInputs = QStringLiteral("[bg]");
    for (int i = 0; i < sentences.size(); ++i) {
        chains << QStringLiteral("[%1:a]%2,adelay=delays=%3:all=1[s%4]")
                      .arg(i + 1)
                      .arg(convert)
                      .arg(qMax(sentences.at(i).startMs, 0))
                      .arg(i);
        mixInputs += QStringLiteral("[s%1]").arg(i);
    }
    chains << mixInputs + QStringLiteral("amix=inputs=%1:duration=first:normalize=0,%2,"
                                         "atrim=start_sample=%3,asetpts=PTS-STARTPTS[dub]")
                              .arg(sentences.size() + 1)
                              .arg(QLatin1String(kLimiter))
                              .arg(kEncoderDelaySamples);
    return chains.join(QLatin1Char(';'));
}

QStringList DubMixer::arguments(const QString& background, const QList<Sentence>& sentences,
                                const QString& output, int channels) {
    QStringList args{"-y",        "-nostdin", "-v", "error",   "-nostats",
                     "-progress", "pipe:1",   "-i", background};
    for (const Sentence& sentence : sentences)
        args << "-i" << sentence.recording;
    // The fast coder at a higher rate: closer to the mix than the default
    // coder at its default rate, in half the time.
    args << "-filter_complex" << filterGraph(sentences, channels) << "-map"
         << "[dub]"
         << "-c:a"
         << "aac"
         << "-aac_coder"
         << "fast"
         << "-b:a" << QStringLiteral("%1k").arg(kKbpsPerChannel * qBound(1, channels, 2)) << "-f"
         << "adts" << output;
    return args;
}

void DubMixer::start(const QString& background, const QList<Sentence>& sentences,
                     const QString& product, qint64 durationMs) {
    delete m_run;
    m_background = background;
    m_sentences = sentences;
    m_product = product;
    m_durationMs = durationMs;
    m_percent = -1;
    probeBackground();
}

void DubMixer::probeBackground() {
    auto channels = std::make_shared<int>(0);
    m_run = ChildProcess::start(QStringLiteral("ffprobe"),
                                {"-v", "error", "-select_streams", "a:0", "-show_entries",
                                 "stream=channels", "-of", "csv=p=0", m_background},
                                this);
    connect(m_run, &ChildProcess::outputLine, this, [channels](const QByteArray& line) {
        if (*channels == 0)
            *channels = line.trimmed().toInt();
    });
    connect(m_run, &ChildProcess::done, this, [this, channels](bool ok, const QString& error) {
        if (ok && *channels > 0)
            return mix(*channels);
        const QString reason = ok ? QStringLiteral("no sound in %1").arg(m_background) : error;
        qDebug() << "mixDub fail." << reason;
        emit finished(false, reason);
    });
}

void DubMixer::mix(int channels) {
    const QString partial = m_product + QStringLiteral(".part");
    m_run = ChildProcess::start(QStringLiteral("ffmpeg"),
                                arguments(m_background, m_sentences, partial, channels), this);
    connect(m_run, &ChildProcess::outputLine, this, &DubMixer::onOutput);
    connect(m_run, &ChildProcess::done, this, &DubMixer::onDone);
}

void DubMixer::onOutput(const QByteArray& line) {
    // ffmpeg's progress report: "out_time_us=<microseconds written>".
    static const QByteArray key("out_time_us=");
    if (m_durationMs <= 0 || !line.startsWith(key))
        return;
    bool ok = false;
    const qint64 us = line.mid(key.size()).toLongLong(&ok);
    if (!ok || us < 0)
        return;
    const int percent = int(qBound<qint64>(0, us / 10 / m_durationMs, 99));
    if (percent != m_percent) {
        m_percent = percent;
        emit progress(percent);
    }
}

void DubMixer::onDone(bool ok, const QString& error) {
    const QString partial = m_product + QStringLiteral(".part");
    if (ok) {
        // A preview in the same second replaces the earlier product.
        QFile::remove(m_product);
        if (QFile::rename(partial, m_product)) {
            qDebug() << "mixDub success." << m_product;
            emit progress(100);
            emit finished(true, QString());
            return;
        }
    }
    QFile::remove(partial);
    const QString reason = ok ? QStringLiteral("cannot write %1").arg(m_product) : error;
    qDebug() << "mixDub fail." << reason;
    emit finished(false, reason);
}
