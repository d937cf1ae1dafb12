#pragma once

#include "Widget.h"

#include <QVariant>
#include <memory>

namespace Ui {
class TeachView;
}
class PlayerView;

// The teaching window: the clip in the full-window player, opened full screen
// at the video page's position, with clickable English words.
class TeachView : public Widget {
    Q_OBJECT
public:
    // `content`: {url, pos, dur, srt, title} from the video page.
    explicit TeachView(const QVariant& content, QWidget* parent = nullptr);
    ~TeachView() override;

    PlayerView* player() const { return m_player; }

signals:
    void CloseTeach();
    void QueryWord(const QString& word);

public slots:
    void onQueryWordSuccess(const QVariant& result);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Closed by the system (the module itself only hides the window): treated
    // as the close button, so the module goes and the main window comes back.
    void closeEvent(QCloseEvent* event) override;

private:
    void setupWindow();
    void connectPlayer();
    void load(const QVariantMap& content);
    void seekOnceLoaded(qint64 position);
    void onClickRestore();
    void closeWordCards();

    std::unique_ptr<Ui::TeachView> m_ui;
    PlayerView* m_player = nullptr;
};
