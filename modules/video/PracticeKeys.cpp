#include "PracticeKeys.h"

#include "TextFocus.h"

#include <QApplication>
#include <QHash>
#include <QKeyEvent>
#include <QWidget>

namespace {
const QHash<int, PracticeKeys::Key>& keys() {
    static const QHash<int, PracticeKeys::Key> map{
        {Qt::Key_R, PracticeKeys::Record},       {Qt::Key_O, PracticeKeys::Original},
        {Qt::Key_T, PracticeKeys::Take},         {Qt::Key_C, PracticeKeys::Compare},
        {Qt::Key_Up, PracticeKeys::Previous},    {Qt::Key_Down, PracticeKeys::Next},
        {Qt::Key_Return, PracticeKeys::Preview}, {Qt::Key_Enter, PracticeKeys::Preview}};
    return map;
}
} // namespace

PracticeKeys::PracticeKeys(QWidget* page, std::function<bool()> active)
    : QObject(page), m_page(page), m_active(std::move(active)) {
    qApp->installEventFilter(this);
}

PracticeKeys::~PracticeKeys() {
    qApp->removeEventFilter(this);
}

QString PracticeKeys::name(Key key) {
    switch (key) {
    case Record:
        return QStringLiteral("R");
    case Original:
        return QStringLiteral("O");
    case Take:
        return QStringLiteral("T");
    case Compare:
        return QStringLiteral("C");
    case Previous:
        return QStringLiteral("↑");
    case Next:
        return QStringLiteral("↓");
    case Preview:
        return QStringLiteral("Enter");
    }
    return {};
}

bool PracticeKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* press = static_cast<QKeyEvent*>(event);
    const auto found = keys().constFind(press->key());
    if (found == keys().constEnd())
        return false;
    const Qt::KeyboardModifiers modifiers = press->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier)
        return false; // Ctrl+C and the like belong to others
    // Holding a letter would record, stop and record again.
    if (press->isAutoRepeat() && *found != Previous && *found != Next)
        return false;
    // A key press passes the filter at every step of its delivery; answer
    // the step that reaches the receiving widget.
    QWidget* focus = QApplication::focusWidget();
    QWidget* window = m_page->window();
    if (watched != (focus ? static_cast<QObject*>(focus) : window))
        return false;
    if (isTextField(focus) || !window->isActiveWindow() || !m_active())
        return false;
    emit pressed(*found);
    return true;
}
