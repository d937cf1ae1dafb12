#include "UpdateThread.h"

#include "ChildProcess.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>

UpdateThread::UpdateThread(const QStringList& arguments, QObject* parent)
    : QObject(parent), m_arguments(arguments) {
    m_stall.setSingleShot(true);
    m_stall.setInterval(kStallLimitMs);
    connect(&m_stall, &QTimer::timeout, this, [this] {
        if (m_run)
            m_run->kill(QStringLiteral("upload made no progress for %1 s")
                            .arg(m_stall.interval() / 1000.0));
    });
}

bool UpdateThread::parseProgress(const QByteArray& line, qint64& current, qint64& total) {
    const QJsonObject object = QJsonDocument::fromJson(line).object();
    const QJsonValue t = object.value(QLatin1String("total"));
    const QJsonValue c = object.value(QLatin1String("current"));
    if (!t.isDouble() || !c.isDouble())
        return false;
    total = qint64(t.toDouble());
    current = qint64(c.toDouble());
    return total >= 0 && current >= 0;
}

void UpdateThread::start() {
    m_run = ChildProcess::start(QStringLiteral("upload"), m_arguments, this);
    connect(m_run, &ChildProcess::outputLine, this, &UpdateThread::onOutput);
    connect(m_run, &ChildProcess::done, this, &UpdateThread::onDone);
    m_stall.start();
}

void UpdateThread::onOutput(const QByteArray& line) {
    qint64 current = 0;
    qint64 total = 0;
    if (!parseProgress(line, current, total))
        return;
    // Only bytes that moved count as progress; the same line again does not.
    if (current > m_current) {
        m_current = current;
        m_stall.start();
    }
    m_total = total;
    emit uploadProgress(current, total);
}

void UpdateThread::onDone(bool ok, const QString& error) {
    m_stall.stop();
    if (!ok) {
        qDebug() << "upload fail." << error;
        emit finished(false, error);
        return;
    }
    qDebug() << "upload success.";
    const qint64 total = m_total > 0 ? m_total : 100;
    emit uploadProgress(total, total);
    emit finished(true, QString());
}
