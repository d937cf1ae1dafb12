#include "ChildProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
constexpr int kErrorTailBytes = 2048;

QString platformName(const QString& name) {
#ifdef Q_OS_WIN
    return name + QStringLiteral(".exe");
#else
    return name;
#endif
}

bool isProgram(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}
} // namespace

QString ChildProcess::programPath(const QString& name) {
    const QString file = platformName(name);
    const QString inWorkingDir = QDir::currentPath() + QLatin1Char('/') + file;
    if (isProgram(inWorkingDir))
        return inWorkingDir;
    const QString besideClient = QCoreApplication::applicationDirPath() + QLatin1Char('/') + file;
    if (QCoreApplication::instance() && isProgram(besideClient))
        return besideClient;
    return file;
}

ChildProcess* ChildProcess::start(const QString& name, const QStringList& arguments,
                                  QObject* parent) {
    return new ChildProcess(name, arguments, parent);
}

ChildProcess::ChildProcess(const QString& name, const QStringList& arguments, QObject* parent)
    : QObject(parent), m_name(name) {
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &ChildProcess::readOutput);
    connect(&m_process, &QProcess::readyReadStandardError, this, [this] {
        m_errorTail = (m_errorTail + m_process.readAllStandardError()).right(kErrorTailBytes);
    });
    connect(&m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &ChildProcess::onFinished);
    connect(&m_process, &QProcess::errorOccurred, this, &ChildProcess::onError);
    m_process.start(programPath(name), arguments);
}

ChildProcess::~ChildProcess() {
    m_process.disconnect(this);
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(1000); // a killed process ends at once; reap it
    }
}

void ChildProcess::kill(const QString& reason) {
    m_killReason = reason;
    m_process.kill();
}

void ChildProcess::readOutput() {
    m_pending += m_process.readAllStandardOutput();
    int end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        QByteArray line = m_pending.left(end);
        m_pending.remove(0, end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        emit outputLine(line);
    }
}

void ChildProcess::onFinished(int exitCode, QProcess::ExitStatus status) {
    readOutput();
    if (!m_pending.isEmpty()) // a last line without its line break
        emit outputLine(std::exchange(m_pending, QByteArray()));
    if (!m_killReason.isEmpty())
        return report(false, m_killReason);
    if (status == QProcess::CrashExit)
        return report(false, QStringLiteral("%1 crashed").arg(m_name));
    if (exitCode != 0) {
        const QList<QByteArray> lines = m_errorTail.trimmed().split('\n');
        const QString last = QString::fromLocal8Bit(lines.last().trimmed());
        return report(false, QStringLiteral("%1 exited with code %2%3")
                                 .arg(m_name)
                                 .arg(exitCode)
                                 .arg(last.isEmpty() ? QString() : QStringLiteral(": ") + last));
    }
    report(true, QString());
}

void ChildProcess::onError(QProcess::ProcessError error) {
    // Crashes and kills also arrive as finished(); only a failed start does not.
    if (error == QProcess::FailedToStart)
        report(false,
               QStringLiteral("%1 could not be started: %2").arg(m_name, m_process.errorString()));
}

void ChildProcess::report(bool ok, const QString& error) {
    if (m_reported)
        return;
    m_reported = true;
    emit done(ok, error);
    deleteLater();
}
