#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QStringList>

// One run of one of our child programs (ffmpeg, upload, qrcode), without
// blocking: reports exactly once by `done`, and hands over its standard output
// line by line. A child process object dies with the run.
class ChildProcess : public QObject {
    Q_OBJECT
public:
    // The program as started: found in the working directory first, then next
    // to the client's executable, else by its platform name on the search
    // path ("ffmpeg", or "ffmpeg.exe" on Windows).
    static QString programPath(const QString& name);

    // Starts `name` with `arguments`; `parent` owns the run. A run whose
    // parent dies first is killed without a report.
    static ChildProcess* start(const QString& name, const QStringList& arguments, QObject* parent);

    ~ChildProcess() override;

    // Kills the program; `done` then reports a failure with `reason`.
    void kill(const QString& reason);
    QString program() const { return m_process.program(); }

signals:
    // ok: the program ran and exited normally with code 0. Otherwise `error`
    // says why in one line (not found, crashed, exit code and the last line of
    // its error output).
    void done(bool ok, const QString& error);
    void outputLine(const QByteArray& line);

private:
    ChildProcess(const QString& name, const QStringList& arguments, QObject* parent);
    void readOutput();
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void onError(QProcess::ProcessError error);
    void report(bool ok, const QString& error);

    QProcess m_process;
    QString m_name;
    QByteArray m_pending;   // an output line not yet complete
    QByteArray m_errorTail; // the end of the error output, for the reason
    QString m_killReason;
    bool m_reported = false;
};
