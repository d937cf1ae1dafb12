#pragma once

#include <QObject>
#include <QString>
#include <functional>

// Downloaded files (pictures, subtitles, background tracks) live in the
// working directory under the URL's last path segment and are reused when
// present. The service chooses that name, so only a plain file name is taken
// as it is; anything else, or a name of the client's own programs and
// working files, is replaced by a name derived from the URL's hash.
class CachedFile {
public:
    using Ready = std::function<void(const QString& localPath)>;

    static QString localPath(const QString& url);
    static QString safeName(const QString& url);
    static bool isPlainSafeName(const QString& name);

    // Calls onReady with the local path once the file is there: at once when
    // it exists (unless refresh is set), else after a successful download.
    // Nothing is called on failure or after context was destroyed.
    static void fetch(const QString& url, QObject* context, Ready onReady, bool refresh = false);
};
