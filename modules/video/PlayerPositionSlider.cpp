#include "PlayerPositionSlider.h"

#include <QMouseEvent>

PlayerPositionSlider::PlayerPositionSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {}

int PlayerPositionSlider::valueAt(int maximum, int x, int width) {
    return width > 0 ? int(double(maximum) * x / width) : 0;
}

void PlayerPositionSlider::mousePressEvent(QMouseEvent* event) {
    setValue(valueAt(maximum(), event->pos().x(), width()));
    emit MousePress();
}
