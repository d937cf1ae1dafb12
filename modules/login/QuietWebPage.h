#pragma once

#include <QWebEnginePage>

// A page for an invisible view: whatever the loaded site does, it never opens
// a dialog (alerts, confirmations, prompts, file choosers) in front of the
// user, and its console stays out of the log.
class QuietWebPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit QuietWebPage(QObject* parent = nullptr) : QWebEnginePage(parent) {}

protected:
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override {
        return false;
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {}
    QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override {
        return {};
    }
};
