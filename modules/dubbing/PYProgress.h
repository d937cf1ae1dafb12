#pragma once

#include "Widget.h"

#include <memory>

namespace Ui {
class PYProgress;
}

// The small modal window that shows what the dub is going through: the
// preview's steps, then the upload's share ("配音合成中: N%").
class PYProgress : public Widget {
    Q_OBJECT
public:
    explicit PYProgress(QWidget* parent = nullptr);
    ~PYProgress() override;

    QString title() const;
    int value() const;
    int maximum() const;
    // A step of the preview: its title, and done of total (total 0: busy).
    void showStep(const QString& title, int done, int total);
    // Shown centred over `window`, or over the screen without one.
    void popUp(QWidget* window);

public slots:
    void onProgress(qint64 current, qint64 total);

private:
    std::unique_ptr<Ui::PYProgress> ui;
};
