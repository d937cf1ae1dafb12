#pragma once

#include <QListWidget>

// The wrapping grid of cards of a list page. When its scroll bar reaches the
// bottom it asks once for more; it asks again only after loading finished.
class ListWidget : public QListWidget {
    Q_OBJECT
public:
    explicit ListWidget(QWidget* parent = nullptr);

    void loadingFinished();
    bool isLoading() const { return m_loading; }

signals:
    void LoadMore();

private:
    void onScrolled(int value);

    bool m_loading = false;
};
