#include "Widget.h"

#include <QGraphicsDropShadowEffect>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

Widget::Widget(QWidget* parent) : QWidget(parent) {}

void Widget::setFrameLess(bool frameless) {
    setWindowFlag(Qt::FramelessWindowHint, frameless);
    setAttribute(Qt::WA_TranslucentBackground, frameless);
}

void Widget::setQSS(const QString& qss) {
    setStyleSheet(qss);
}

void Widget::setDropShadow(QWidget* target, QColor color) {
    if (!target)
        return;
    auto* shadow = new QGraphicsDropShadowEffect(target);
    shadow->setOffset(0, 0);
    shadow->setColor(color);
    shadow->setBlurRadius(12);
    target->setGraphicsEffect(shadow);
}

void Widget::setMoveable(bool moveable) {
    m_moveable = moveable;
}

void Widget::setOpaque() {
    setAttribute(Qt::WA_TranslucentBackground, false);
}

void Widget::adapterToScreen(bool adapt) {
    m_adaptToScreen = adapt;
}

float Widget::screenFactor() {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    return screen ? float(screen->logicalDotsPerInch() / 96.0) : 1.0f;
}

void Widget::centerToScreen() {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
}

int Widget::comScaledDOT(int value) {
    return int(value * screenFactor());
}

void Widget::mousePressEvent(QMouseEvent* event) {
    if (m_moveable && event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_dragOffset = event->globalPos() - frameGeometry().topLeft();
    }
    QWidget::mousePressEvent(event);
}

void Widget::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging && (event->buttons() & Qt::LeftButton) && !isMaximized())
        move(event->globalPos() - m_dragOffset);
    QWidget::mouseMoveEvent(event);
}

void Widget::mouseReleaseEvent(QMouseEvent* event) {
    m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}

void Widget::showEvent(QShowEvent* event) {
    if (m_adaptToScreen && isWindow())
        centerToScreen();
    QWidget::showEvent(event);
}

void Widget::closeEvent(QCloseEvent* event) {
    m_dragging = false;
    QWidget::closeEvent(event);
}
