#include "SpaceKeyFilter.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

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
    const bool typing = qobject_cast<QLineEdit*>(focus) || qobject_cast<QTextEdit*>(focus) ||
                        qobject_cast<QPlainTextEdit*>(focus) ||
                        qobject_cast<QAbstractSpinBox*>(focus);
    if (typing)
        return false;
    emit pressed();
    return true;
}
