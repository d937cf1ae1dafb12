#pragma once

#include <QListWidget>

// A section's row of cards; the mouse wheel scrolls the page, never the row.
class HomeItemListWidget : public QListWidget {
    Q_OBJECT
public:
    explicit HomeItemListWidget(QWidget* parent = nullptr) : QListWidget(parent) {}

protected:
    void wheelEvent(QWheelEvent* event) override;
};
