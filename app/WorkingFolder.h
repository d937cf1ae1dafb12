#pragma once

#include <QString>

// The client keeps its working files (recordings, mixes, downloads) in one
// folder and works inside it. Installed, that is a per-user data folder,
// prepared at the first start. A folder that already is a working folder
// (it holds the marker file) is kept, as development runs and tests do.
class WorkingFolder {
public:
    static const QString& markerName();

    static bool isWorkingFolder(const QString& path);
    // Makes `path` a working folder; false when it cannot be created.
    static bool prepare(const QString& path);
    // Enters the folder to use and returns it, or an empty text when the
    // per-user folder cannot be prepared (the current folder is kept then).
    static QString enter();
};
