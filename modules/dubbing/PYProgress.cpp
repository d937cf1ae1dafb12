#include "PYProgress.h"

#include "ui_PYProgress.h"

#include <limits>

PYProgress::PYProgress(QWidget* parent) : Widget(parent), ui(std::make_unique<Ui::PYProgress>()) {
    ui->setupUi(this);
    setFrameLess(true);
    setDropShadow(ui->widget, QColor(0, 0, 0, 76));
    setMoveable(true);
    setWindowModality(Qt::ApplicationModal);
}

PYProgress::~PYProgress() = default;

QString PYProgress::title() const {
    return ui->title->text();
}

int PYProgress::value() const {
    return ui->progressBar->value();
}

int PYProgress::maximum() const {
    return ui->progressBar->maximum();
}

void PYProgress::showStep(const QString& title, int done, int total) {
    ui->title->setText(title);
    ui->progressBar->setRange(0, qMax(total, 0));
    ui->progressBar->setValue(done);
}

void PYProgress::onProgress(qint64 current, qint64 total) {
    if (total <= 0)
        return;
    const qint64 percent = current * 100 / total;
    ui->title->setText(QStringLiteral("配音合成中: %1%").arg(percent));
    // Byte counts beyond the bar's int range are shown in per mille.
    const qint64 scale = total > std::numeric_limits<int>::max() ? total / 1000 : 1;
    ui->progressBar->setRange(0, int(total / scale));
    ui->progressBar->setValue(int(qMin(current, total) / scale));
}

void PYProgress::popUp(QWidget* window) {
    if (window)
        move(window->geometry().center() - rect().center());
    else
        centerToScreen();
    show();
    raise();
}
