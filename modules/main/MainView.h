#pragma once

#include "Widget.h"

class MainView : public Widget {
    Q_OBJECT
public:
    explicit MainView(QWidget* parent = nullptr);

    // Places a page's view into the right-hand container.
    void setRightPage(QWidget* page);

private:
    QWidget* m_right;
};
