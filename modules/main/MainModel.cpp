#include "MainModel.h"

#include "EventIds.h"
#include "MainViewModel.h"

MainModel::MainModel(QObject* parent) : Mediator(parent) {
    onViewInvalidated();
}

void MainModel::start() {
    m_naturesAsked = true;
    dispatchEvent(Event::REQ_NATURES, AnyValue());
    dispatchEvent(Event::REQ_CATEGORIES, AnyValue());
}

void MainModel::reloadMissingNatures() {
    if (m_naturesAsked || !m_natures.toList().isEmpty())
        return;
    m_naturesAsked = true;
    dispatchEvent(Event::REQ_NATURES, AnyValue());
}

void MainModel::logout() {
    // The web service client, built before us, reads the record first.
    dispatchEvent(Event::REQ_LOGOUT, AnyValue());
}

void MainModel::onEvent(int id, const AnyValue& value) {
    switch (id) {
    case Event::RES_NATURES_FAIL:
        m_naturesAsked = false;
        break;
    case Event::RES_NATURES_OK:
        m_naturesAsked = false;
        m_natures = value.as<QVariant>();
        m_viewModel->onUpdateLeftList(m_natures);
        break;
    case Event::RES_CATEGORIES_OK:
        m_categories = value.as<QVariant>();
        break;
    case Event::RES_COURSE_DETAIL_OK:
        dispatchEvent(Event::OPEN_VIDEO, AnyValue::of(value.as<QVariant>()));
        break;
    case Event::RES_LOGIN_OK:
        m_viewModel->onUpdateUserInfo(QVariantMap{{QStringLiteral("name"), userDao->name},
                                                  {QStringLiteral("head"), userDao->head}});
        break;
    case Event::REQ_LOGOUT:
        userDao->reset();
        m_viewModel->onUpdateUserInfo(QVariantMap());
        break;
    default:
        break;
    }
}
