#pragma once

#include <QPlainTextEdit>

// The English subtitle line over the playing clip: a click picks out the
// word under it.
class EnText : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit EnText(QWidget* parent = nullptr);

    // The word around the cursor position pos, without its punctuation.
    static QString wordAt(const QString& text, int pos);

signals:
    void QueryWord(QString word);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    static QString rawWordAt(const QString& text, int pos);
};
