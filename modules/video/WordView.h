#pragma once

#include "Widget.h"

#include <QUrl>
#include <QVariantMap>
#include <memory>

class QMediaPlayer;

namespace Ui {
class WordView;
}

// The word card: a looked-up word with its phonetics, meaning and the two
// pronunciations from the dictionary's voice service.
class WordView : public Widget {
    Q_OBJECT
public:
    enum Accent { British = 1, American = 0 };

    explicit WordView(QWidget* parent = nullptr);
    ~WordView() override;

    void setWord(const QVariantMap& record);
    static QUrl voiceUrl(const QString& word, Accent accent);
    QMediaPlayer* player() const { return m_player; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void pronounce(Accent accent);

    std::unique_ptr<Ui::WordView> ui;
    QMediaPlayer* m_player = nullptr;
};
