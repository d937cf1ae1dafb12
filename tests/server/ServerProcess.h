#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>

// A lintavo-server child process on a free loopback port with its own temporary data folder
// (kept across restart() so persistence can be tested) and the shared media folder.
class ServerProcess {
public:
    ServerProcess();
    ~ServerProcess();

    // The /test/ endpoints are on unless `testEndpoints` is false.
    bool start(const QStringList& extraArguments = {}, bool testEndpoints = true);
    void stop();
    bool restart();
    QUrl origin() const { return origin_; }
    QString dataDir() const { return dataDir_.path(); }
    // Everything the server wrote on stderr so far (request log lines, SMS codes).
    QString log();

private:
    QTemporaryDir dataDir_;
    std::unique_ptr<QProcess> process_;
    QUrl origin_;
    QString log_;
    QStringList extra_;
    bool testEndpoints_ = true;
};
