// The dub's audio on real files with the real ffmpeg: the per-sentence
// steps after a take, and the one-pass mix that places every recording at
// its start time over the background at its own level.
#include "AudioMatch.h"
#include "DubMixer.h"
#include "SentenceTrack.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

namespace {
constexpr int kStepMs = 60000;

bool run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// A spoken sentence as the recorder leaves it: 16 kHz mono PCM.
bool speak(const QString& text, const QString& wav) {
    const QString raw = wav + QStringLiteral(".raw.wav");
    return run("espeak-ng", {"-v", "en-us", "-s", "150", "-w", raw, text}) &&
           run("sox", {raw, "-r", "16000", "-c", "1", "-b", "16", wav});
}

// Music stand-in: noise (which does not repeat, so it is found at one place
// only) over a chord, mono MP3 as the service serves its background tracks.
bool background(const QString& path, int seconds, double level) {
    const QString graph =
        QStringLiteral("anoisesrc=color=pink:amplitude=%1:d=%2[n];sine=f=220:d=%2[a];"
                       "sine=f=330:d=%2[b];[a][b]amix=inputs=2:normalize=0,volume=%1[c];"
                       "[n][c]amix=inputs=2:normalize=0[out]")
            .arg(level)
            .arg(seconds);
    return run("ffmpeg", {"-v", "error", "-y", "-filter_complex", graph, "-map", "[out]", "-ac",
                          "1", "-ar", "44100", path});
}

bool waitFor(QSignalSpy& spy, int count) {
    return spy.count() >= count || QTest::qWaitFor([&] { return spy.count() >= count; }, kStepMs);
}
} // namespace

class DubMixTest : public QObject {
    Q_OBJECT
private slots:
    void commandTexts();
    void sentenceTracksAndOnePassMix();
    void failedMixLeavesNoProduct();

private:
    bool mix(const QString& bg, const QList<DubMixer::Sentence>& sentences, const QString& product,
             QList<int>* percents = nullptr);
};

void DubMixTest::commandTexts() {
    QCOMPARE(SentenceTrack::silenceFilter(3250),
             QStringLiteral("aevalsrc=0:d=3.25 [s1];[s1][1:a]concat=n=2:v=0:a=1[aout]"));
    QVERIFY(SentenceTrack::silenceFilter(0).startsWith("aevalsrc=0:d=0 [s1]"));
    QVERIFY(SentenceTrack::silenceFilter(-1).startsWith("aevalsrc=0:d=0 [s1]"));
    QVERIFY(SentenceTrack::silenceFilter(12500).startsWith("aevalsrc=0:d=12.5 [s1]"));
    QCOMPARE(DubMixer::productName(QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9))),
             QStringLiteral("2026-12-07-14-05-09-product.aac"));
}

bool DubMixTest::mix(const QString& bg, const QList<DubMixer::Sentence>& sentences,
                     const QString& product, QList<int>* percents) {
    DubMixer mixer;
    QSignalSpy finished(&mixer, &DubMixer::finished);
    if (percents)
        connect(&mixer, &DubMixer::progress, this, [percents](int p) { *percents << p; });
    mixer.start(bg, sentences, product, 20000);
    return waitFor(finished, 1) && finished.first().first().toBool();
}

void DubMixTest::sentenceTracksAndOnePassMix() {
    QVERIFY(background("bg.mp3", 20, 0.1));
    const QList<QPair<int, QString>> sentences{{0, "Where are you going this morning"},
                                               {6250, "I have never seen anything like this"},
                                               {13000, "Let us meet again tomorrow"}};
    // The steps of every sentence run side by side, as after quick takes.
    std::vector<std::unique_ptr<SentenceTrack>> tracks;
    QList<DubMixer::Sentence> recordings;
    for (int i = 0; i < sentences.size(); ++i) {
        QVERIFY(speak(sentences[i].second, QStringLiteral("%1record.wav").arg(i)));
        recordings << DubMixer::Sentence{
            QDir::current().filePath(QStringLiteral("%1record.wav").arg(i)), sentences[i].first};
        tracks.push_back(std::make_unique<SentenceTrack>());
        tracks.back()->expect();
        QVERIFY(tracks.back()->isPending());
        tracks.back()->start(QString::number(i), sentences[i].first);
    }
    for (int i = 0; i < sentences.size(); ++i) {
        SentenceTrack& track = *tracks[size_t(i)];
        QVERIFY(QTest::qWaitFor([&] { return !track.isPending(); }, kStepMs));
        QCOMPARE(track.state(), SentenceTrack::State::Ready);
        QCOMPARE(track.path(), QDir::current().filePath(QStringLiteral("%1record.mp3").arg(i)));
        // The track is silence up to the sentence's start, then the take.
        const AudioMatch::Found found =
            AudioMatch::find(AudioMatch::decode(track.path()),
                             AudioMatch::decode(recordings[i].recording), sentences[i].first);
        qInfo() << "sentence track" << i << found.gainDb << "dB," << found.offsetMs << "ms";
        QVERIFY(found.ok && qAbs(found.gainDb) < 1 && qAbs(found.offsetMs) <= 20);
    }

    QList<int> percents;
    const QString product = QDir::current().filePath("dub.aac");
    QVERIFY(mix("bg.mp3", recordings, product, &percents));
    QVERIFY(!QFile::exists(product + ".part"));
    QVERIFY(!percents.isEmpty() && percents.last() == 100);
    QVERIFY(std::is_sorted(percents.begin(), percents.end()));

    const QVector<float> dub = AudioMatch::decode(product);
    const QVector<float> bg = AudioMatch::decode("bg.mp3");
    QVERIFY(qAbs(AudioMatch::seconds(dub) - AudioMatch::seconds(bg)) < 0.1);
    for (int i = 0; i < recordings.size(); ++i) {
        const AudioMatch::Found found = AudioMatch::find(
            dub, AudioMatch::decode(recordings[i].recording), recordings[i].startMs);
        qInfo() << "sentence" << i << "in the dub:" << found.gainDb << "dB," << found.offsetMs
                << "ms";
        QVERIFY(found.ok && qAbs(found.gainDb) < 1 && qAbs(found.offsetMs) <= 20);
    }
    // Between the sentences the background is what it was, where it was.
    for (double fromMs : {3500.0, 10000.0, 16500.0}) {
        const AudioMatch::Found found =
            AudioMatch::find(dub, AudioMatch::slice(bg, fromMs, 2000), fromMs, 50);
        qInfo() << "background at" << fromMs << "ms:" << found.gainDb << "dB," << found.offsetMs
                << "ms";
        QVERIFY(found.ok && qAbs(found.gainDb) < 0.5 && qAbs(found.offsetMs) <= 1);
    }
}

void DubMixTest::failedMixLeavesNoProduct() {
    QVERIFY(background("short-bg.mp3", 3, 0.1));
    const QString product = QDir::current().filePath("2026-01-01-00-00-00-product.aac");
    QFile earlier(product);
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    earlier.write("an earlier preview");
    earlier.close();

    DubMixer mixer;
    QSignalSpy finished(&mixer, &DubMixer::finished);
    mixer.start("short-bg.mp3", {{QDir::current().filePath("missing-record.wav"), 500}}, product,
                3000);
    QVERIFY(waitFor(finished, 1));
    QCOMPARE(finished.first().at(0).toBool(), false);
    QVERIFY(finished.first().at(1).toString().contains("ffmpeg"));
    QVERIFY(!QFile::exists(product + ".part"));
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), QByteArray("an earlier preview"));
}

QTEST_GUILESS_MAIN(DubMixTest)
#include "DubMixTest.moc"
