#include "TeachObject.h"

#include "EventIds.h"
#include "Facade.h"
#include "PlayerView.h"
#include "TeachModel.h"
#include "TeachView.h"
#include "TeachViewModel.h"
#include "Toast.h"

#include <QUrl>

TeachObject::TeachObject(const QVariant& content) {
    m_parts.view = new TeachView(content);
    m_parts.viewModel = new TeachViewModel;
    m_parts.model = new TeachModel;
    m_parts.viewModel->setModel(m_parts.model);
    m_parts.model->setViewModel(m_parts.viewModel);
    connectParts();
}

TeachObject::~TeachObject() = default;

bool TeachObject::canTeach(const QVariant& content) {
    const QVariant url = content.toMap().value(QStringLiteral("url"));
    return url.type() == QVariant::Url ? !url.toUrl().isEmpty() : !url.toString().isEmpty();
}

TeachObject* TeachObject::open(const QVariant& content) {
    if (!canTeach(content)) {
        Toast::info(QStringLiteral("视频尚未加载，暂时无法进入教学模式"), kToastMs);
        return nullptr;
    }
    auto* teach = new TeachObject(content); // released by itself on close
    teach->show(true);
    return teach;
}

void TeachObject::connectParts() {
    TeachView* view = m_parts.view;
    TeachViewModel* viewModel = m_parts.viewModel;
    connect(view, &TeachView::CloseTeach, this, &TeachObject::close);
    connect(view, &TeachView::QueryWord, viewModel, &TeachViewModel::onQueryWord);
    connect(viewModel, &TeachViewModel::QueryWordSuccess, view, &TeachView::onQueryWordSuccess);
}

void TeachObject::show(bool visible) {
    if (visible)
        m_parts.view->showFullScreen();
    else
        m_parts.view->hide();
}

void TeachObject::close() {
    if (m_closing)
        return;
    m_closing = true;
    m_parts.model->close();
    // The main window comes back before this one goes, so the application
    // never finds itself without a visible window.
    dispatchEvent(Event::TEACHING_CLOSED, AnyValue());
    m_parts.view->hide();
    m_parts.view->player()->stop();
    for (QObject* part : {static_cast<QObject*>(this), static_cast<QObject*>(m_parts.viewModel),
                          static_cast<QObject*>(m_parts.model)})
        Facade::instance()->detachTree(part);
    // The view's signal is still being delivered: free everything later.
    deleteLater();
}
