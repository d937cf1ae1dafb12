#pragma once

#include <QObject>

class QWebEngineView;
class QWidget;

// Shows the WeChat login QR code: loads the QR page invisibly, picks the
// image address out of its HTML, downloads the image and sets it as the
// target's border image. Any failure leaves the target as it is.
class QrCodeLoader : public QObject {
    Q_OBJECT
public:
    QrCodeLoader(QWebEngineView* web, QWidget* target, QObject* parent);

    void load(const QString& pageUrl);

private:
    void onLoadFinished(bool ok);
    void onHtml(const QString& html);

    QWebEngineView* m_web;
    QWidget* m_target;
};
