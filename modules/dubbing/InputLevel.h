#pragma once

#include <QAudioDeviceInfo>
#include <QAudioFormat>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QAudioInput;
class QIODevice;

// Listens to a microphone and reports its level 40 times a second: the peak
// and the RMS, in dBFS, of the audio that arrived since the last report
// (a full-scale sine reads 0 dBFS peak and -3 dBFS RMS). It warns when
// nothing louder than -45 dBFS has been heard for two seconds and when the
// input clips.
class InputLevel : public QObject {
    Q_OBJECT
public:
    enum class Warning { None, Quiet, Clipping };
    struct Level {
        double peakDb = -90;
        double rmsDb = -90;
        bool clipped = false;
        int frames = 0;
    };

    static constexpr double kFloorDb = -90;
    static constexpr double kQuietDb = -45;
    static constexpr int kIntervalMs = 25;
    static constexpr int kQuietMs = 2000;
    static constexpr int kClipHoldMs = 1500;

    explicit InputLevel(QObject* parent = nullptr);
    ~InputLevel() override;

    void start(const QAudioDeviceInfo& device);
    void stop();
    bool isRunning() const;
    QAudioDeviceInfo device() const { return m_device; }
    Level level() const { return m_level; }
    Warning warning() const { return m_warning; }

    // The level of interleaved samples in `format` (any channel count; 16-
    // or 32-bit integers or 32-bit floats).
    static Level measure(const QByteArray& samples, const QAudioFormat& format);
    // Takes in one report at time `ms` and updates the warning.
    void take(const Level& level, qint64 ms);

signals:
    void levelChanged(double peakDb, double rmsDb);
    void warningChanged(InputLevel::Warning warning);
    // The device cannot be opened; the text says so to the learner.
    void failed(const QString& reason);

private:
    void onTick();

    QAudioDeviceInfo m_device;
    QAudioFormat m_format;
    QAudioInput* m_input = nullptr;
    QIODevice* m_io = nullptr;
    QTimer m_timer;
    QElapsedTimer m_clock;
    Level m_level;
    Warning m_warning = Warning::None;
    qint64 m_heardMs = 0;
    qint64 m_dataMs = 0;
    qint64 m_clippedMs = -1;
};
