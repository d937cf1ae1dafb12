#include "UserMenu.h"

#include "ui_UserMenu.h"

#include <QEvent>

UserMenu::UserMenu(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::UserMenu>()) {
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose);
    ui->btnLogout->setCursor(Qt::PointingHandCursor);
    connect(ui->btnLogout, &QPushButton::clicked, this, [this] {
        emit ClickLogout();
        close();
    });
}

UserMenu::~UserMenu() = default;

void UserMenu::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        close();
    QWidget::changeEvent(event);
}
