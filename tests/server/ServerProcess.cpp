#include "ServerProcess.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QRegularExpression>

ServerProcess::ServerProcess() = default;

ServerProcess::~ServerProcess() {
    stop();
}

bool ServerProcess::start(const QStringList& extraArguments, bool testEndpoints) {
    extra_ = extraArguments;
    testEndpoints_ = testEndpoints;
    process_ = std::make_unique<QProcess>();
    QStringList arguments = {"--port",        "0",       "--data",
                             dataDir_.path(), "--media", QStringLiteral(LINTAVO_TEST_MEDIA_DIR)};
    if (testEndpoints)
        arguments << "--test-endpoints";
    process_->start(QStringLiteral(LINTAVO_SERVER_BINARY), arguments + extraArguments);
    if (!process_->waitForStarted(10000))
        return false;
    static const QRegularExpression ready("listening on (http://127\\.0\\.0\\.1:\\d+)");
    QString out;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 60000) {
        process_->waitForReadyRead(200);
        out += QString::fromUtf8(process_->readAllStandardOutput());
        auto match = ready.match(out);
        if (match.hasMatch()) {
            origin_ = QUrl(match.captured(1));
            return true;
        }
        if (process_->state() == QProcess::NotRunning)
            return false;
    }
    return false;
}

void ServerProcess::stop() {
    if (!process_)
        return;
    log();
    if (process_->state() != QProcess::NotRunning) {
        process_->terminate();
        if (!process_->waitForFinished(10000)) {
            process_->kill();
            process_->waitForFinished(5000);
        }
    }
    log_ += QString::fromUtf8(process_->readAllStandardError());
    process_.reset();
    // A sanitizer report of the service goes where the sanitizer run looks for one.
    if (log_.contains(QLatin1String("runtime error:")))
        qWarning().noquote() << log_;
}

bool ServerProcess::restart() {
    stop();
    return start(extra_, testEndpoints_);
}

QString ServerProcess::log() {
    if (process_)
        log_ += QString::fromUtf8(process_->readAllStandardError());
    return log_;
}
