#include "TeachModel.h"

#include "EventIds.h"
#include "TeachViewModel.h"
#include "Toast.h"

TeachModel::TeachModel(QObject* parent) : Mediator(parent) {
    onViewInvalidated();
}

void TeachModel::lookUp(const QString& word) {
    ++m_pending;
    dispatchEvent(Event::REQ_WORD_LOOKUP,
                  AnyValue::of(QVariant(QVariantMap{{QStringLiteral("word"), word}})));
}

void TeachModel::onEvent(int id, const AnyValue& value) {
    if ((id != Event::RES_WORD_LOOKUP_OK && id != Event::RES_WORD_LOOKUP_FAIL) || m_pending == 0)
        return;
    --m_pending;
    if (id == Event::RES_WORD_LOOKUP_FAIL) {
        // Without a card the click would seem to do nothing.
        Toast::info(value.as<QString>(), kToastMs);
        return;
    }
    if (m_viewModel)
        m_viewModel->onQueryWordSuccess(value.as<QVariant>());
}
