#pragma once

#include <QString>

// Finds the QR image in the HTML of the WeChat login page. The page carries
// the image as an <img> whose src is a site-absolute path closed by `">`.
class QrImageAddress {
public:
    // The image path ("/connect/qrcode/..."), or "" when the page lacks the
    // markers (the QR area then stays as it is).
    static QString pathFromHtml(const QString& html);
    // origin + path, or "" when no path was found.
    static QString fromHtml(const QString& html, const QString& origin);
};
