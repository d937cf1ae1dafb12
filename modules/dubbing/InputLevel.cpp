#include "InputLevel.h"

#include <QAudioInput>
#include <QtEndian>
#include <cmath>

namespace {
constexpr int kSampleRate = 44100;
// A sample this close to full scale has clipped (or is about to).
constexpr double kClipLevel = 0.999;
// The input's own buffer: short, so that audio arrives in blocks of about
// this length and the reports follow the voice closely.
constexpr int kBufferMs = 20;
// Audio arrives in blocks; a tick between two of them is not silence.
constexpr int kStallMs = 200;

double toDb(double value) {
    return value > 0 ? qMax(InputLevel::kFloorDb, 20.0 * std::log10(value)) : InputLevel::kFloorDb;
}

double sampleAt(const char* data, const QAudioFormat& format) {
    const bool little = format.byteOrder() == QAudioFormat::LittleEndian;
    if (format.sampleType() == QAudioFormat::Float && format.sampleSize() == 32) {
        const quint32 bits =
            little ? qFromLittleEndian<quint32>(data) : qFromBigEndian<quint32>(data);
        float value;
        memcpy(&value, &bits, sizeof value);
        return value;
    }
    if (format.sampleSize() == 32) {
        const qint32 value =
            little ? qFromLittleEndian<qint32>(data) : qFromBigEndian<qint32>(data);
        return value / 2147483648.0;
    }
    const qint16 value = little ? qFromLittleEndian<qint16>(data) : qFromBigEndian<qint16>(data);
    return value / 32768.0;
}
} // namespace

InputLevel::InputLevel(QObject* parent) : QObject(parent) {
    m_timer.setInterval(kIntervalMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &InputLevel::onTick);
}

InputLevel::~InputLevel() {
    stop();
}

bool InputLevel::isRunning() const {
    return m_input && m_io;
}

void InputLevel::start(const QAudioDeviceInfo& device) {
    stop();
    m_device = device;
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(1);
    format.setSampleSize(16);
    format.setSampleType(QAudioFormat::SignedInt);
    format.setByteOrder(QAudioFormat::LittleEndian);
    format.setCodec(QStringLiteral("audio/pcm"));
    m_format = device.isFormatSupported(format) ? format : device.nearestFormat(format);
    const bool readable = m_format.sampleType() == QAudioFormat::Float
                              ? m_format.sampleSize() == 32
                              : m_format.sampleType() == QAudioFormat::SignedInt &&
                                    (m_format.sampleSize() == 16 || m_format.sampleSize() == 32);
    if (device.isNull() || !readable) {
        emit failed(QStringLiteral("没有可用的麦克风"));
        return;
    }
    m_input = new QAudioInput(device, m_format, this);
    m_input->setBufferSize(m_format.bytesForDuration(kBufferMs * 1000));
    m_io = m_input->start();
    if (!m_io || m_input->error() != QAudio::NoError) {
        stop();
        emit failed(QStringLiteral("麦克风无法打开"));
        return;
    }
    m_clock.start();
    m_heardMs = 0;
    m_dataMs = 0;
    m_clippedMs = -1;
    m_level = Level();
    m_timer.start();
}

void InputLevel::stop() {
    m_timer.stop();
    if (m_input) {
        m_input->stop();
        delete m_input;
    }
    m_input = nullptr;
    m_io = nullptr;
    if (m_warning != Warning::None) {
        m_warning = Warning::None;
        emit warningChanged(m_warning);
    }
}

InputLevel::Level InputLevel::measure(const QByteArray& samples, const QAudioFormat& format) {
    Level level;
    const int bytes = format.sampleSize() / 8;
    const int channels = qMax(1, format.channelCount());
    if (bytes <= 0)
        return level;
    const int count = samples.size() / bytes;
    double peak = 0;
    double sum = 0;
    for (int i = 0; i < count; ++i) {
        const double value = std::fabs(sampleAt(samples.constData() + i * bytes, format));
        peak = qMax(peak, value);
        sum += value * value;
    }
    level.frames = count / channels;
    level.peakDb = toDb(peak);
    level.rmsDb = count > 0 ? toDb(std::sqrt(sum / count)) : kFloorDb;
    level.clipped = peak >= kClipLevel;
    return level;
}

void InputLevel::take(const Level& level, qint64 ms) {
    m_level = level;
    if (level.peakDb >= kQuietDb)
        m_heardMs = ms;
    if (level.clipped)
        m_clippedMs = ms;
    const Warning warning = m_clippedMs >= 0 && ms - m_clippedMs < kClipHoldMs ? Warning::Clipping
                            : ms - m_heardMs >= kQuietMs                       ? Warning::Quiet
                                                                               : Warning::None;
    emit levelChanged(level.peakDb, level.rmsDb);
    if (warning != m_warning) {
        m_warning = warning;
        emit warningChanged(warning);
    }
}

void InputLevel::onTick() {
    if (!m_io)
        return;
    const int frame = m_format.bytesPerFrame();
    QByteArray samples = m_io->readAll();
    samples.truncate(samples.size() - samples.size() % qMax(1, frame));
    const qint64 now = m_clock.elapsed();
    if (!samples.isEmpty()) {
        m_dataMs = now;
        take(measure(samples, m_format), now);
    } else if (now - m_dataMs > kStallMs) {
        // A device that stopped delivering is as good as silent.
        take(Level(), now);
    }
}
