#pragma once

#include "Mediator.h"
#include "UserDao.h"

#include <QVariant>

class HomeViewModel;

// Unpacks the home page's service answers for the view model.
class HomeModel : public Mediator {
    Q_OBJECT
    DAO_POINTER_PROPERTY(UserDao, userDao)
public:
    explicit HomeModel(QObject* parent = nullptr);

    void setViewModel(HomeViewModel* viewModel) { m_viewModel = viewModel; }
    void onEvent(int id, const AnyValue& value) override;

private:
    void onBannerAnswer(const QString& body);
    void onHotSearchAnswer(const QString& body);
    void onRefreshAnswer(const QString& body);

    HomeViewModel* m_viewModel = nullptr;
    QVariant m_banner;
    QVariant m_hotSearch;
    QVariant m_sections;
};
