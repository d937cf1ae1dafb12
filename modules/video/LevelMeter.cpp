#include "LevelMeter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr double kLoudDb = -6;
constexpr double kClipDb = -0.1;
} // namespace

LevelMeter::LevelMeter(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

double LevelMeter::share(double db) {
    return qBound(0.0, (db + kRangeDb) / kRangeDb, 1.0);
}

void LevelMeter::setLevel(double peakDb, double rmsDb) {
    if (qFuzzyCompare(peakDb, m_peakDb) && qFuzzyCompare(rmsDb, m_rmsDb))
        return;
    m_peakDb = peakDb;
    m_rmsDb = rmsDb;
    update();
}

void LevelMeter::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bar = QRectF(rect()).adjusted(0, 1, 0, -1);
    const qreal radius = bar.height() / 2;
    QPainterPath groove;
    groove.addRoundedRect(bar, radius, radius);
    painter.fillPath(groove, QColor(0xE3, 0xEB, 0xEB));

    QLinearGradient accent(bar.topLeft(), bar.topRight());
    accent.setColorAt(0, QColor(44, 211, 215));
    accent.setColorAt(1, QColor(42, 207, 111));
    const QBrush fill = m_peakDb >= kClipDb  ? QBrush(QColor(240, 90, 90))
                        : m_rmsDb >= kLoudDb ? QBrush(QColor(255, 176, 64))
                                             : QBrush(accent);
    QRectF level = bar;
    level.setWidth(bar.width() * share(m_rmsDb));
    painter.save();
    painter.setClipPath(groove);
    painter.fillRect(level, fill);
    painter.restore();

    if (m_peakDb > -kRangeDb) {
        const qreal x = bar.left() + (bar.width() - 2) * share(m_peakDb);
        painter.fillRect(QRectF(x, bar.top(), 2, bar.height()), QColor(0x33, 0x33, 0x33));
    }
}
