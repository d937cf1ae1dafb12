#include "HomeModel.h"

#include "EventIds.h"
#include "HomeViewModel.h"
#include "Toast.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
constexpr int kToastMs = 3000;

// The answer's top object when its `status` is 1, else an empty object.
QJsonObject successfulAnswer(const QString& body) {
    const QJsonObject top = QJsonDocument::fromJson(body.toUtf8()).object();
    return top.value(QStringLiteral("status")).toVariant().toInt() == 1 ? top : QJsonObject();
}
} // namespace

HomeModel::HomeModel(QObject* parent) : Mediator(parent) {
    onViewInvalidated();
}

void HomeModel::onEvent(int id, const AnyValue& value) {
    switch (id) {
    case Event::RES_HOME_BANNER_OK:
        onBannerAnswer(value.as<QString>());
        break;
    case Event::RES_HOT_SEARCH_OK:
        onHotSearchAnswer(value.as<QString>());
        break;
    case Event::RES_HOME_INDEX_OK:
        m_sections = value.as<QVariant>().toMap().value(QStringLiteral("list"));
        m_viewModel->onUpdateList(m_sections);
        break;
    case Event::RES_HOME_REFRESH_OK:
        onRefreshAnswer(value.as<QString>());
        break;
    case Event::RES_HOME_BANNER_FAIL:
    case Event::RES_HOT_SEARCH_FAIL:
    case Event::RES_HOME_INDEX_FAIL:
        m_viewModel->onUpdateLoadFailed(value.as<QString>());
        break;
    case Event::RES_HOME_REFRESH_FAIL:
        Toast::info(value.as<QString>().isEmpty() ? QStringLiteral("加载失败，请稍后重试")
                                                  : value.as<QString>(),
                    kToastMs);
        break;
    default:
        break;
    }
}

void HomeModel::onBannerAnswer(const QString& body) {
    const QJsonObject answer = successfulAnswer(body);
    if (answer.isEmpty())
        return;
    m_banner = QJsonDocument(answer.value(QStringLiteral("data")).toArray()).toJson();
    m_viewModel->onUpdateBanner(m_banner);
}

void HomeModel::onHotSearchAnswer(const QString& body) {
    const QJsonObject answer = successfulAnswer(body);
    if (answer.isEmpty())
        return;
    m_hotSearch = QJsonDocument(answer.value(QStringLiteral("data")).toObject()).toJson();
    qDebug() << "hotData" << m_hotSearch;
    m_viewModel->onUpdateHotSearch(m_hotSearch);
}

void HomeModel::onRefreshAnswer(const QString& body) {
    const QJsonObject answer = successfulAnswer(body);
    if (answer.isEmpty())
        return;
    m_viewModel->onUpdateListItem(answer.value(QStringLiteral("data")).toVariant());
}
