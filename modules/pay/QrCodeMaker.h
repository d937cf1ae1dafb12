#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class ChildProcess;

// Writes the picture of a payment QR code with our qrcode program, without
// blocking. One picture at a time: a new request abandons the one before, so
// only the latest order's code is ever reported.
class QrCodeMaker : public QObject {
    Q_OBJECT
public:
    static constexpr int kTimeoutMs = 30000;

    explicit QrCodeMaker(QObject* parent = nullptr) : QObject(parent) {}

    void make(const QString& text, const QString& path);
    void cancel();
    bool isBusy() const { return !m_run.isNull(); }

signals:
    void made(const QString& path);
    void failed(const QString& reason);

private:
    QPointer<ChildProcess> m_run;
};
