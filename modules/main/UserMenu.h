#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class UserMenu;
}

// The pop-up under the user name with the logout button. It closes itself
// when it loses the activation and deletes itself when closed.
class UserMenu : public QWidget {
    Q_OBJECT
public:
    explicit UserMenu(QWidget* parent = nullptr);
    ~UserMenu() override;

signals:
    void ClickLogout();

protected:
    void changeEvent(QEvent* event) override;

private:
    std::unique_ptr<Ui::UserMenu> ui;
};
