#include "QrCodeMaker.h"

#include "ChildProcess.h"

#include <QTimer>

void QrCodeMaker::make(const QString& text, const QString& path) {
    cancel();
    m_run = ChildProcess::start(QStringLiteral("qrcode"),
                                {QStringLiteral("-q"), text, QStringLiteral("-p"), path}, this);
    connect(m_run, &ChildProcess::done, this, [this, path](bool ok, const QString& error) {
        if (ok)
            emit made(path);
        else
            emit failed(error);
    });
    QPointer<ChildProcess> run = m_run;
    QTimer::singleShot(kTimeoutMs, this, [run] {
        if (run)
            run->kill(QStringLiteral("qrcode did not finish within %1 s").arg(kTimeoutMs / 1000));
    });
}

void QrCodeMaker::cancel() {
    delete m_run; // killed without a report
}
