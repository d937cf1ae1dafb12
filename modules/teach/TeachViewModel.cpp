#include "TeachViewModel.h"

#include "TeachModel.h"

void TeachViewModel::onQueryWord(const QString& word) {
    if (m_model)
        m_model->lookUp(word);
}

void TeachViewModel::onQueryWordSuccess(const QVariant& result) {
    emit QueryWordSuccess(result);
}
