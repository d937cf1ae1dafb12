#include "ServiceAnswer.h"

#include <QJsonDocument>
#include <QJsonObject>

ServiceAnswer::ServiceAnswer(const QString& body)
    : m_object(QJsonDocument::fromJson(body.toUtf8()).object().toVariantMap()) {}
