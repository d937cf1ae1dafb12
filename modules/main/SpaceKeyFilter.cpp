#include "SpaceKeyFilter.h"

#include "TextFocus.h"

#include <QApplication>
#include <QKeyEvent>

SpaceKeyFilter::SpaceKeyFilter(QWidget* window) : QObject(window), m_window(window) {
    qApp->installEventFilter(this);
}

bool SpaceKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Space || key->isAutoRepeat() || !m_window->isActiveWindow())
        return false;
    // A key press passes the filter at every step of its delivery; answer the
    // step that reaches the receiving widget.
    QWidget* focus = QApplication::focusWidget();
    if (watched != (focus ? focus : m_window))
        return false;
    if (isTextField(focus))
        return false;
    emit pressed();
    return true;
}
