#pragma once

#include <QLabel>

// A transient message centred over the active window; it deletes itself.
class Toast : public QLabel {
    Q_OBJECT
public:
    static void info(const QString& text, int ms);
    // The most recent message, for callers that must not lose what was said.
    static QString lastText();

private:
    Toast(const QString& text, QWidget* parent);
};
