#include "SubtitleParser.h"

#include <QFile>
#include <QTextCodec>
#include <QVariantMap>
#include <algorithm>

namespace {
const QString kArrow = QStringLiteral("-->");
// How many valid non-ASCII characters a UTF-8 reading needs per invalid sequence.
const int kValidPerInvalid = 3;
} // namespace

QVariantList SubtitleParser::parseFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parse(file.readAll());
}

QVariantList SubtitleParser::parse(const QByteArray& bytes) {
    QVariantList sentences;
    QString lostNumber;
    for (const QStringList& block : blocks(decode(bytes))) {
        if (isNumberOnly(block)) {
            // A blank line between a number and its timing.
            lostNumber = block.first();
        } else if (timingLine(block) >= 0) {
            sentences.append(
                record(timingLine(block) == 0 ? QStringList(lostNumber) + block : block));
            lostNumber.clear();
        } else if (!sentences.isEmpty()) {
            // A stray blank line inside a record split it: the rest belongs to it.
            QVariantMap previous = sentences.takeLast().toMap();
            continueRecord(previous, block);
            sentences.append(previous);
        }
    }
    return sentences;
}

QString SubtitleParser::decode(const QByteArray& bytes) {
    QTextCodec* bomCodec = QTextCodec::codecForUtfText(bytes, nullptr);
    if (bomCodec) {
        QString text = bomCodec->toUnicode(bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    QTextCodec::ConverterState state;
    const QString utf8 =
        QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    if (mostlyUtf8(utf8, state.invalidChars + (state.remainingChars > 0 ? 1 : 0)))
        return utf8;
    QTextCodec* gbk = QTextCodec::codecForName("GBK");
    return gbk ? gbk->toUnicode(bytes) : utf8;
}

bool SubtitleParser::mostlyUtf8(const QString& decoded, int invalid) {
    if (invalid == 0)
        return true;
    // Read as UTF-8, GBK text gives several invalid sequences for every one
    // that happens to be valid; a UTF-8 file with a few damaged bytes gives a
    // handful among many valid characters, which become replacement marks.
    const int nonAscii = int(std::count_if(decoded.cbegin(), decoded.cend(),
                                           [](QChar c) { return c.unicode() >= 0x80; }));
    return nonAscii - invalid >= kValidPerInvalid * invalid;
}

QList<QStringList> SubtitleParser::blocks(const QString& text) {
    QList<QStringList> result;
    QStringList current;
    // Lines end in LF, CRLF or a lone CR.
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalized.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = normalized.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty()) {
            if (!current.isEmpty())
                result.append(current);
            current.clear();
        } else {
            current.append(line);
        }
    }
    if (!current.isEmpty())
        result.append(current);
    return result;
}

bool SubtitleParser::isNumberOnly(const QStringList& block) {
    bool isNumber = false;
    if (block.size() == 1)
        block.first().trimmed().toInt(&isNumber);
    return isNumber;
}

int SubtitleParser::timingLine(const QStringList& block) {
    // The timing is the second line; a block that lost its number starts with it.
    for (int i = 0; i < qMin(2, block.size()); ++i) {
        if (block.at(i).contains(kArrow))
            return i;
    }
    return -1;
}

QVariantMap SubtitleParser::record(const QStringList& block) {
    const int timing = timingLine(block);
    const QString& times = block.at(timing);
    const int arrow = times.indexOf(kArrow);
    QVariantMap sentence;
    sentence.insert(QStringLiteral("line"), timing > 0 ? block.at(0).trimmed().toInt() : 0);
    sentence.insert(QStringLiteral("start"), times.left(arrow).trimmed());
    sentence.insert(QStringLiteral("stop"), times.mid(arrow + kArrow.size()).trimmed());
    sentence.insert(QStringLiteral("en"), block.value(timing + 1));
    sentence.insert(QStringLiteral("cn"), block.mid(timing + 2).join(QLatin1Char(' ')));
    return sentence;
}

void SubtitleParser::continueRecord(QVariantMap& previous, const QStringList& block) {
    QStringList texts = block;
    if (previous.value(QStringLiteral("en")).toString().isEmpty())
        previous.insert(QStringLiteral("en"), texts.takeFirst());
    if (texts.isEmpty())
        return;
    QString cn = previous.value(QStringLiteral("cn")).toString();
    texts.prepend(cn);
    texts.removeAll(QString());
    previous.insert(QStringLiteral("cn"), texts.join(QLatin1Char(' ')));
}
