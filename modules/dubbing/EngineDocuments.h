#pragma once

#include <QByteArray>
#include <QVariantMap>

// The JSON documents exchanged with the speech-evaluation engine: the
// configuration of an engine, the parameters of one evaluation, and the
// result message it answers with.
class EngineDocuments {
public:
    // Compact JSON, keys in sorted order, UTF-8.
    static QByteArray configuration();
    static QByteArray parameters(const QString& referenceText);

    // The result message as the engine hands it over: NUL-terminated bytes,
    // read as Latin-1. Not a JSON object: an empty map.
    static QVariantMap readMessage(const char* message);
    // The row's score record from a result message; every key is written,
    // empty when the result lacks it.
    static QVariantMap scoreRecord(const QVariantMap& message);
    // The per-word list ("char", "score") of a result message.
    static QVariantList words(const QVariantMap& message);
};
