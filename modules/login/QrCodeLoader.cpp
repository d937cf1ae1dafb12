#include "QrCodeLoader.h"

#include "CachedFile.h"
#include "QrImageAddress.h"
#include "QuietWebPage.h"
#include "WeChatSettings.h"

#include <QDebug>
#include <QPointer>
#include <QWebEngineView>

QrCodeLoader::QrCodeLoader(QWebEngineView* web, QWidget* target, QObject* parent)
    : QObject(parent), m_web(web), m_target(target) {
    m_web->setPage(new QuietWebPage(m_web));
    connect(m_web, &QWebEngineView::loadFinished, this, &QrCodeLoader::onLoadFinished);
}

void QrCodeLoader::load(const QString& pageUrl) {
    if (pageUrl.isEmpty())
        return;
    m_web->load(QUrl(pageUrl));
    m_web->setZoomFactor(0.25);
}

void QrCodeLoader::onLoadFinished(bool ok) {
    if (!ok) {
        qDebug() << "QR page failed to load:" << m_web->url();
        return;
    }
    // The page answers later; it may also answer (with nothing) while it is
    // being destroyed together with the window.
    QPointer<QrCodeLoader> guard(this);
    m_web->page()->toHtml([guard](const QString& html) {
        if (guard && !html.isEmpty())
            guard->onHtml(html);
    });
}

void QrCodeLoader::onHtml(const QString& html) {
    const QString image = QrImageAddress::fromHtml(html, WeChatSettings::webOrigin());
    if (image.isEmpty()) {
        qDebug() << "QR page without a QR image";
        return;
    }
    // Always fetched anew: a cached copy of an earlier code would show an
    // expired QR code.
    QPointer<QWidget> target(m_target);
    CachedFile::fetch(
        image, this,
        [target](const QString& localPath) {
            if (target)
                target->setStyleSheet(QStringLiteral("border-image:url(%1);").arg(localPath));
        },
        true);
}
