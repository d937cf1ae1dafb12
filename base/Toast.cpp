#include "Toast.h"

#include <QApplication>
#include <QTimer>

namespace {
QString g_lastText;
}

Toast::Toast(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setObjectName(QStringLiteral("toast"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setWordWrap(true);
    setAlignment(Qt::AlignCenter);
    setStyleSheet(QStringLiteral("QLabel#toast{background:rgba(0,0,0,170);color:white;"
                                 "border-radius:6px;padding:10px 18px;"
                                 "font-family:'PingFang SC';font-size:14px;}"));
    setMaximumWidth(420);
    adjustSize();
}

void Toast::info(const QString& text, int ms) {
    g_lastText = text;
    QWidget* window = QApplication::activeWindow();
    auto* toast = new Toast(text, window);
    if (window) {
        toast->move(window->rect().center() - toast->rect().center());
    } else {
        toast->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    }
    toast->show();
    toast->raise();
    QTimer::singleShot(ms, toast, &QWidget::close);
}

QString Toast::lastText() {
    return g_lastText;
}
