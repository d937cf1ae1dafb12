#pragma once

#include "Mediator.h"

#include <QVariant>

class MainModel;

// Navigation state of the main window: which page fills the right-hand side,
// the natures of the left list, the search keyword and the user header.
class MainViewModel : public Mediator {
    Q_OBJECT
    Q_PROPERTY(QString keyword READ keyword WRITE setKeyword NOTIFY KeywordChanged)
    Q_PROPERTY(QVariant leftList READ leftList WRITE setLeftList NOTIFY LeftListChanged)
    Q_PROPERTY(QVariant userInfo READ userInfo WRITE setUserInfo NOTIFY UserInfoChanged)
    Q_PROPERTY(QString rightPage READ rightPage WRITE setRightPage NOTIFY RightPageChanged)
    Q_PROPERTY(bool peiyinStatus READ peiyinStatus WRITE setPeiyinStatus NOTIFY PeiYinStatusChanged)
public:
    // Rows of the left list before the natures.
    enum FixedRow { RowHome = 0, RowFavorite = 1, RowVip = 2, FixedRows = 3 };
    // Entries per list page; load more asks for the next page of this size.
    static constexpr int PageSize = 50;

    explicit MainViewModel(QObject* parent = nullptr) : Mediator(parent) {}

    void setModel(MainModel* model) { m_model = model; }
    // Runs once all connections exist: opens the home page.
    void start();

    QString keyword() const { return m_keyword; }
    void setKeyword(const QString& keyword);
    QVariant leftList() const { return m_leftList; }
    void setLeftList(const QVariant& list);
    QVariant userInfo() const { return m_userInfo; }
    void setUserInfo(const QVariant& info);
    QString rightPage() const { return m_rightPage; }
    void setRightPage(const QString& page);
    bool peiyinStatus() const { return m_peiyinStatus; }
    void setPeiyinStatus(bool on);

    int lastClickedRow() const { return m_lastRow; }
    bool favoritePending() const { return m_favoritePending; }

    void onEvent(int id, const AnyValue& value) override;

public slots:
    void onShowMax();
    void onShowNormal();
    void onClickSearch(const QString& keyword);
    void onClickSpace();
    void onClickLeftList(int row);
    void onClickLogin();
    void onClickLogout();
    void onClickPrev();
    void onClickNext();
    void onClickHotSearch(const QVariant& keyword);
    void onClickSearchVideo();
    void onClickSearchAlbum();
    void onUpdateLeftList(const QVariant& list);
    void onUpdateUserInfo(const QVariant& info);

signals:
    void KeywordChanged(const QString& keyword);
    void LeftListChanged(const QVariant& list);
    void UserInfoChanged(const QVariant& info);
    void RightPageChanged(const QString& page);
    void PeiYinStatusChanged(bool on);

private:
    void search(const QString& keyword);
    void openItem(const QVariantMap& item);
    // A fresh page of the given name even when it is already shown.
    void rebuildPage(const QString& page);
    void requestRowList(int row);
    void rememberListQuery(int id, const QVariantMap& query);
    void requestNextListPage();

    MainModel* m_model = nullptr;
    QString m_keyword;
    QVariant m_leftList;
    QVariant m_userInfo;
    QString m_rightPage;
    bool m_peiyinStatus = false;
    int m_lastRow = RowHome;
    bool m_favoritePending = false;
    // The list request that filled the current page, repeated with the next
    // `start` when the page asks for more.
    int m_listRequest = 0;
    QVariantMap m_listQuery;
    int m_nextStart = 0;
};
