#pragma once

#include <QObject>

class QWidget;

// Watches the application's key presses and reports the space key pressed in
// the given window while no text field has the focus (the player's play and
// pause key). Auto-repeated presses are ignored.
class SpaceKeyFilter : public QObject {
    Q_OBJECT
public:
    explicit SpaceKeyFilter(QWidget* window);

signals:
    void pressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
};
