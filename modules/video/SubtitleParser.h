#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantList>

// Reads a clip's subtitle file into the sentence list: one map {line, start,
// stop, en, cn} per record. Records are the blocks between blank lines
// (number, timing, English, Chinese), so a record missing its Chinese line or
// padded with an extra blank line does not shift the records after it. Lines
// may end in LF, CRLF or a lone CR.
class SubtitleParser {
public:
    // An unreadable file gives an empty list.
    static QVariantList parseFile(const QString& path);
    static QVariantList parse(const QByteArray& bytes);
    // UTF-8 with or without byte-order mark, UTF-16 with one, else GBK; the
    // whole file is read one way, and UTF-8 tolerates a few invalid bytes.
    static QString decode(const QByteArray& bytes);

private:
    static bool mostlyUtf8(const QString& decoded, int invalid);
    static QList<QStringList> blocks(const QString& text);
    static QVariantMap record(const QStringList& block);
    static void continueRecord(QVariantMap& previous, const QStringList& block);
    static bool isNumberOnly(const QStringList& block);
    static int timingLine(const QStringList& block);
};
