#include "TakeStore.h"

#include "Toast.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <filesystem>
#include <system_error>

namespace {
constexpr int kVersion = 1;
constexpr int kToastMs = 3000;
const QString kIndexName = QStringLiteral("takes.json");

QString audioName(int sentence, int number) {
    return QStringLiteral("%1-%2.wav").arg(sentence).arg(number);
}

QJsonObject toJson(const TakeStore::Take& take) {
    return {{"number", take.number},
            {"scored", take.scored},
            {"scores", QJsonObject::fromVariantMap(take.scores)},
            {"words", QJsonArray::fromVariantList(take.words)},
            {"time", take.time.toString(Qt::ISODate)}};
}

TakeStore::Take fromJson(const QJsonObject& json) {
    TakeStore::Take take;
    take.number = json.value("number").toInt();
    take.scored = json.value("scored").toBool();
    take.scores = json.value("scores").toObject().toVariantMap();
    take.words = json.value("words").toArray().toVariantList();
    take.time = QDateTime::fromString(json.value("time").toString(), Qt::ISODate);
    return take;
}
} // namespace

TakeStore::TakeStore(const QString& clip, QObject* parent)
    : QObject(parent), m_folder(folderFor(clip)) {
    load();
}

QString TakeStore::folderFor(const QString& clip) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_-]{1,64}$"));
    const QString name =
        plain.match(clip).hasMatch()
            ? clip
            : QString::fromLatin1(
                  QCryptographicHash::hash(clip.toUtf8(), QCryptographicHash::Md5).toHex());
    return QDir::currentPath() + QStringLiteral("/takes/") + name;
}

QString TakeStore::indexPath() const {
    return m_folder + QLatin1Char('/') + kIndexName;
}

QString TakeStore::audioPath(int sentence, int number) const {
    return m_folder + QLatin1Char('/') + audioName(sentence, number);
}

QList<TakeStore::Take> TakeStore::takes(int sentence) const {
    return m_sentences.value(sentence).takes;
}

TakeStore::Take TakeStore::take(int sentence, int number) const {
    for (const Take& take : m_sentences.value(sentence).takes)
        if (take.number == number)
            return take;
    return {};
}

int TakeStore::chosen(int sentence) const {
    return m_sentences.value(sentence).chosen;
}

bool TakeStore::isPinned(int sentence) const {
    return m_sentences.value(sentence).pinned;
}

int TakeStore::best(const Sentence& sentence) {
    // Scored takes by their overall score, the newer one on a tie; without
    // any score the newest.
    int chosen = 0;
    int top = -1;
    for (const Take& take : sentence.takes) {
        const int overall = take.scored ? take.scores.value("overall").toInt() : -1;
        if (overall >= top) {
            top = overall;
            chosen = take.number;
        }
    }
    return chosen;
}

int TakeStore::add(int sentence, const QString& wav) {
    Sentence& entry = m_sentences[sentence];
    int number = 1;
    for (const Take& take : entry.takes)
        number = qMax(number, take.number + 1);
    if (!QDir().mkpath(m_folder) || !copyOver(wav, audioPath(sentence, number))) {
        Toast::info(QStringLiteral("录音无法保存到录音记录，请检查磁盘空间"), kToastMs);
        if (entry.takes.isEmpty())
            m_sentences.remove(sentence);
        return 0;
    }
    Take take;
    take.number = number;
    take.time = QDateTime::currentDateTime();
    entry.takes << take;
    entry.pinned = false;
    entry.chosen = best(entry);
    save();
    emit changed(sentence);
    return number;
}

void TakeStore::setScore(int sentence, int number, const QVariantMap& scores,
                         const QVariantList& words) {
    if (!m_sentences.contains(sentence))
        return;
    Sentence& entry = m_sentences[sentence];
    for (Take& take : entry.takes) {
        if (take.number != number)
            continue;
        take.scored = true;
        take.scores = scores;
        take.words = words;
        if (!entry.pinned)
            entry.chosen = best(entry);
        save();
        emit changed(sentence);
        return;
    }
}

bool TakeStore::choose(int sentence, int number) {
    if (take(sentence, number).number == 0)
        return false;
    Sentence& entry = m_sentences[sentence];
    entry.chosen = number;
    entry.pinned = true;
    save();
    emit changed(sentence);
    return true;
}

bool TakeStore::clear() {
    const QList<int> sentences = m_sentences.keys();
    m_sentences.clear();
    // The index goes first: an interrupted removal leaves recordings
    // without an index, which the next start reads back from the files.
    QFile::remove(indexPath());
    const bool removed = QDir(m_folder).removeRecursively();
    for (int sentence : sentences)
        emit changed(sentence);
    return removed;
}

bool TakeStore::copyOver(const QString& from, const QString& to) {
    const QString part = to + QStringLiteral(".part");
    QFile::remove(part);
    if (!QFile::copy(from, part)) {
        qDebug() << "TakeStore: cannot copy" << from << "to" << part;
        return false;
    }
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(part.toStdU16String()),
                            std::filesystem::path(to.toStdU16String()), error);
    if (error) {
        qDebug() << "TakeStore: cannot replace" << to << error.message().c_str();
        QFile::remove(part);
    }
    return !error;
}

void TakeStore::load() {
    QFile file(indexPath());
    if (!file.exists()) {
        recoverFromFiles(); // recordings whose index was never written or was lost
        return;
    }
    if (file.open(QIODevice::ReadOnly) && parse(file.readAll()))
        return;
    // Kept aside for a person to look at; the recordings themselves are
    // read back from their names, without their scores.
    qDebug() << "TakeStore: unreadable" << indexPath();
    file.close();
    const QString aside = indexPath() + QStringLiteral(".broken");
    QFile::remove(aside);
    QFile::rename(indexPath(), aside);
    m_sentences.clear();
    recoverFromFiles();
    Toast::info(QStringLiteral("录音记录已损坏，已从录音文件恢复"), kToastMs);
}

bool TakeStore::parse(const QByteArray& json) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject sentences = document.object().value("sentences").toObject();
    for (auto it = sentences.begin(); it != sentences.end(); ++it) {
        bool isNumber = false;
        const int sentence = it.key().toInt(&isNumber);
        if (!isNumber || sentence < 0)
            continue;
        const QJsonObject json = it.value().toObject();
        Sentence entry;
        for (const QJsonValue& value : json.value("takes").toArray()) {
            const Take take = fromJson(value.toObject());
            // A take whose recording is gone cannot be played or mixed.
            if (take.number > 0 && QFile::exists(audioPath(sentence, take.number)))
                entry.takes << take;
        }
        if (entry.takes.isEmpty())
            continue;
        entry.pinned = json.value("pinned").toBool();
        entry.chosen = json.value("chosen").toInt();
        bool chosenKept = false;
        for (const Take& take : entry.takes)
            chosenKept = chosenKept || take.number == entry.chosen;
        if (!chosenKept) {
            entry.pinned = false;
            entry.chosen = best(entry);
        }
        m_sentences.insert(sentence, entry);
    }
    return true;
}

void TakeStore::recoverFromFiles() {
    static const QRegularExpression name(QStringLiteral("^(\\d+)-(\\d+)\\.wav$"));
    const QStringList files = QDir(m_folder).entryList({QStringLiteral("*.wav")}, QDir::Files);
    for (const QString& file : files) {
        const QRegularExpressionMatch match = name.match(file);
        if (!match.hasMatch())
            continue;
        Take take;
        take.number = match.captured(2).toInt();
        take.time = QFileInfo(m_folder + QLatin1Char('/') + file).lastModified();
        m_sentences[match.captured(1).toInt()].takes << take;
    }
    for (Sentence& entry : m_sentences) {
        std::sort(entry.takes.begin(), entry.takes.end(),
                  [](const Take& a, const Take& b) { return a.number < b.number; });
        entry.chosen = best(entry);
    }
    if (!m_sentences.isEmpty())
        save();
}

bool TakeStore::save() {
    QJsonObject sentences;
    for (auto it = m_sentences.cbegin(); it != m_sentences.cend(); ++it) {
        QJsonArray takes;
        for (const Take& take : it->takes)
            takes.append(toJson(take));
        sentences.insert(
            QString::number(it.key()),
            QJsonObject{{"chosen", it->chosen}, {"pinned", it->pinned}, {"takes", takes}});
    }
    const QJsonObject root{{"version", kVersion}, {"sentences", sentences}};
    QSaveFile file(indexPath());
    const bool ok = QDir().mkpath(m_folder) && file.open(QIODevice::WriteOnly) &&
                    file.write(QJsonDocument(root).toJson(QJsonDocument::Compact)) >= 0 &&
                    file.commit();
    if (!ok)
        qDebug() << "TakeStore: cannot write" << indexPath() << file.errorString();
    return ok;
}
