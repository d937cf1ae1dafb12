#pragma once

#include <QSlider>

// The player's position slider: a press jumps straight to the pressed point.
class PlayerPositionSlider : public QSlider {
    Q_OBJECT
public:
    explicit PlayerPositionSlider(QWidget* parent = nullptr);

    static int valueAt(int maximum, int x, int width);

signals:
    void MousePress();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
