#include "EngineDocuments.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {
QJsonObject cloud() {
    return {{"connectTimeout", 30},
            {"serverTimeout", 30},
            {"server", QStringLiteral(LINTAVO_ENGINE_SERVER)}};
}

QByteArray compact(const QJsonObject& object) {
    // QJsonObject keeps its members sorted by key.
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QVariantMap resultOf(const QVariantMap& message) {
    return message.value(QStringLiteral("result")).toMap();
}
} // namespace

QByteArray EngineDocuments::configuration() {
    return compact({{"appKey", QStringLiteral(LINTAVO_ENGINE_APP_KEY)},
                    {"secretKey", QStringLiteral(LINTAVO_ENGINE_SECRET_KEY)},
                    {"cloud", cloud()}});
}

QByteArray EngineDocuments::parameters(const QString& referenceText) {
    const QJsonObject request{{"coreType", "en.sent.score"}, {"refText", referenceText}};
    const QJsonObject audio{{"audioType", "wav"},
                            {"sampleRate", 16000},
                            {"channel", 1},
                            {"sampleBytes", 2},
                            {"compress", "raw"}};
    return compact({{"coreProvideType", "cloud"},
                    {"app", "English LTV"},
                    {"cloud", cloud()},
                    {"request", request},
                    {"audio", audio}});
}

QVariantMap EngineDocuments::readMessage(const char* message) {
    if (!message)
        return {};
    const QByteArray text = QString::fromLatin1(message).toUtf8();
    return QJsonDocument::fromJson(text).object().toVariantMap();
}

QVariantMap EngineDocuments::scoreRecord(const QVariantMap& message) {
    const QVariantMap result = resultOf(message);
    return {{"overall", result.value(QStringLiteral("overall"))},
            {"integrity", result.value(QStringLiteral("integrity"))},
            {"accuracy", result.value(QStringLiteral("accuracy"))},
            {"fluency",
             result.value(QStringLiteral("fluency")).toMap().value(QStringLiteral("overall"))}};
}

QVariantList EngineDocuments::words(const QVariantMap& message) {
    return resultOf(message).value(QStringLiteral("details")).toList();
}
