#pragma once

#include <QObject>
#include <QString>
#include <functional>

// Downloaded files (pictures, subtitles, background tracks) live in a cache
// folder of their own below the working directory, which keeps the client's
// programs and the dubbing working files. Each file is named by a hash of its
// whole address, so no two addresses share a file and no name chosen by the
// service reaches the disk; the suffix is kept for tools that look at it.
class CachedFile {
public:
    // What a file is decides how large it may be.
    enum class Kind { Picture, Text, Media };
    using Ready = std::function<void(const QString& localPath)>;

    static QString folder();
    static QString localPath(const QString& url);
    static QString safeName(const QString& url);
    static qint64 maxBytes(Kind kind);

    // Calls onReady with the local path once the file is there. Only http and
    // https addresses are fetched; one download per address is shared by all
    // who wait for it. A file present is used at once unless the service
    // gave validators (ETag, Last-Modified) that were not yet checked in this
    // run: then a conditional request brings a newer file or confirms the one
    // present. With refresh set the service is always asked, and an
    // unreachable service gives nothing rather than the old file. Nothing is
    // called on failure without a file, or after context was destroyed.
    static void fetch(const QString& url, QObject* context, Ready onReady, bool refresh = false,
                      Kind kind = Kind::Picture);
};
