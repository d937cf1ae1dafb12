#pragma once

#include "Widget.h"

#include <QStringList>
#include <QVariant>
#include <memory>

class QModelIndex;
class QStringListModel;

namespace Ui {
class MainView;
}

// The frameless main window: left navigation, title bar with search and
// user header, and the right-hand container for the current page.
class MainView : public Widget {
    Q_OBJECT
public:
    explicit MainView(QWidget* parent = nullptr);
    ~MainView() override;

    // Places a page's view into the right-hand container.
    void setRightPage(QWidget* page);
    QStringList leftRows() const { return m_rows; }

signals:
    void ClickPrev();
    void ClickNext();
    void ClickSearch(const QString& keyword);
    void ClickHead();
    void ClickLogin();
    void ClickLogout();
    void ClickLeftList(int row);
    void ClickSpace();
    void ShowMax();
    void ShowNormal();

public slots:
    void onClickLogin();
    void onClickLeftList(const QModelIndex& index);
    void onKeywordChanged(const QString& keyword);
    void onLeftListChanged(const QVariant& list);
    void onUserInfoChanged(const QVariant& info);
    void onPeiYinStatusChanged(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void connectTitleBar();
    void submitSearch();
    void setDefaultHead();

    std::unique_ptr<Ui::MainView> ui;
    QStringList m_rows;
    QStringListModel* m_rowsModel;
};
