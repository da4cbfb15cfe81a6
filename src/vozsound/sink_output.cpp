#include "vozsound/sink_output.h"

#include "platform/sound_file.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>
#include <utility>

using voz::audio::DecodedSound;
using voz::audio::PcmFormat;
using voz::audio::SampleFormat;

namespace {

// What the output stream buffers ahead: short, so that a sound starts and ends on time.
constexpr qint64 kStreamBufferUs = 200'000;
// Silence played after the last sample, beyond the stream's buffer, so that the end of the
// sound has left the sound server before the stream is closed.
constexpr qint64 kTailUs = 150'000;

QAudioFormat::SampleFormat toQt(SampleFormat f)
{
    switch (f) {
    case SampleFormat::UInt8: return QAudioFormat::UInt8;
    case SampleFormat::Int16: return QAudioFormat::Int16;
    case SampleFormat::Int32: return QAudioFormat::Int32;
    case SampleFormat::Float: return QAudioFormat::Float;
    }
    return QAudioFormat::Unknown;
}

QAudioFormat toQt(const PcmFormat& format)
{
    QAudioFormat f;
    f.setSampleRate(format.sampleRate);
    f.setChannelCount(format.channels);
    f.setChannelConfig(QAudioFormat::defaultChannelConfigForChannelCount(format.channels));
    f.setSampleFormat(toQt(format.format));
    return f;
}

std::optional<PcmFormat> fromQt(const QAudioFormat& f)
{
    PcmFormat format{f.sampleRate(), f.channelCount(), SampleFormat::Int16};
    switch (f.sampleFormat()) {
    case QAudioFormat::UInt8: format.format = SampleFormat::UInt8; break;
    case QAudioFormat::Int16: format.format = SampleFormat::Int16; break;
    case QAudioFormat::Int32: format.format = SampleFormat::Int32; break;
    case QAudioFormat::Float: format.format = SampleFormat::Float; break;
    default: return std::nullopt;
    }
    if (format.sampleRate <= 0 || format.channels <= 0) return std::nullopt;
    return format;
}

// The layout the device plays: the file's own when it can, else float or 16-bit samples at the
// file's rate, then at the device's preferred rate and channel count.
std::optional<PcmFormat> outputLayout(const QAudioDevice& device, const PcmFormat& file)
{
    const QAudioFormat preferred = device.preferredFormat();
    const int rate = preferred.sampleRate() > 0 ? preferred.sampleRate() : 48000;
    const int channels = preferred.channelCount() > 0 ? preferred.channelCount() : 2;
    const PcmFormat candidates[] = {
        file,
        {file.sampleRate, file.channels, SampleFormat::Float},
        {file.sampleRate, file.channels, SampleFormat::Int16},
        {rate, file.channels, SampleFormat::Float},
        {rate, file.channels, SampleFormat::Int16},
        {rate, channels, SampleFormat::Float},
        {rate, channels, SampleFormat::Int16},
    };
    for (const PcmFormat& c : candidates)
        if (device.isFormatSupported(toQt(c))) return c;
    if (auto own = fromQt(preferred)) return own;
    return std::nullopt;
}

// The samples `times` times over (0: without end), then a little silence; read by the sink.
class RepeatingSource final : public QIODevice {
public:
    RepeatingSource(QByteArray pcm, int frameBytes, int times, char silence, QObject* parent)
        : QIODevice(parent), m_pcm(std::move(pcm)), m_frame(frameBytes), m_forever(times == 0),
          m_left(times), m_silence(silence)
    {
    }
    void setTail(qint64 bytes) { m_tail = std::max<qint64>(0, bytes - bytes % m_frame); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return remaining() + QIODevice::bytesAvailable(); }
    // Also asked from the sound server's thread when the stream runs dry.
    bool atEnd() const override { return m_ended; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        maxSize -= maxSize % m_frame;  // whole frames only
        qint64 done = 0;
        while (done < maxSize) {
            if (m_forever || m_left > 0) {
                const qint64 n = std::min(maxSize - done, m_pcm.size() - m_pos);
                std::memcpy(data + done, m_pcm.constData() + m_pos, static_cast<size_t>(n));
                done += n;
                m_pos += n;
                if (m_pos == m_pcm.size()) {
                    m_pos = 0;
                    if (!m_forever) --m_left;
                }
            } else if (m_tail > 0) {
                const qint64 n = std::min(maxSize - done, m_tail);
                std::memset(data + done, m_silence, static_cast<size_t>(n));
                done += n;
                m_tail -= n;
            } else {
                break;
            }
        }
        if (!m_forever && remaining() == 0) m_ended = true;
        return done;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    qint64 remaining() const
    {
        if (m_forever) return std::numeric_limits<qint64>::max() / 4;
        const qint64 sound = m_left > 0 ? (m_left - 1) * m_pcm.size() + (m_pcm.size() - m_pos) : 0;
        return sound + m_tail;
    }

    const QByteArray m_pcm;
    const int m_frame;
    const bool m_forever;
    int m_left;
    const char m_silence;
    qint64 m_pos = 0;
    qint64 m_tail = 0;
    std::atomic<bool> m_ended{false};
};

// Owns the sink; lives in the audio thread, so that the sound is fed whatever the UI thread does.
class SinkWorker final : public QObject {
public:
    std::atomic<bool> playing{false};

    bool start(const QAudioDevice& device, const QAudioFormat& format, const QByteArray& pcm, int times)
    {
        release();
        const char silence = format.sampleFormat() == QAudioFormat::UInt8 ? char(0x80) : char(0);
        auto* source = new RepeatingSource(pcm, format.bytesPerFrame(), times, silence, this);
        source->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        auto* sink = new QAudioSink(device, format, this);
        sink->setBufferSize(format.bytesForDuration(kStreamBufferUs));
        sink->start(source);
        if (sink->error() != QAudio::NoError || sink->state() == QAudio::StoppedState) {
            delete sink;
            delete source;
            return false;
        }
        source->setTail(std::max<qint64>(sink->bufferSize(), format.bytesForDuration(kStreamBufferUs)) +
                        format.bytesForDuration(kTailUs));
        m_sink = sink;
        m_source = source;
        const quint64 generation = ++m_generation;
        // Queued: the sink is not deleted while it emits, and the pulse thread may emit too. A
        // change that arrives after this playback ended is ignored.
        connect(sink, &QAudioSink::stateChanged, this, [this, generation](QAudio::State state) {
            if (generation != m_generation || !m_sink) return;
            const bool done = state == QAudio::IdleState && m_source->atEnd();
            const bool failed = state == QAudio::StoppedState && m_sink->error() != QAudio::NoError;
            if (done || failed) release();
        }, Qt::QueuedConnection);
        playing = true;
        return true;
    }

    void release()
    {
        ++m_generation;
        QAudioSink* sink = std::exchange(m_sink, nullptr);
        RepeatingSource* source = std::exchange(m_source, nullptr);
        if (sink) {
            sink->disconnect(this);
            sink->stop();
            delete sink;
        }
        delete source;
        playing = false;
    }

    ~SinkWorker() override { release(); }

private:
    QAudioSink* m_sink = nullptr;
    RepeatingSource* m_source = nullptr;
    quint64 m_generation = 0;
};

// Decodes and converts on the caller's thread; the sink lives in its own.
class SinkOutput final : public WaveOutput {
public:
    ~SinkOutput() override
    {
        if (!worker) return;
        SinkWorker* w = worker;
        QMetaObject::invokeMethod(w, [w] { w->release(); }, Qt::BlockingQueuedConnection);
        thread.quit();
        thread.wait();
    }

    bool play(const QString& path, int times) override
    {
        stop();
        if (times < 0 || !QCoreApplication::instance()) return false;

        const std::optional<DecodedSound> sound = voz::audio::decodeSoundFile(path);
        if (!sound) return false;

        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) return false;
        const std::optional<PcmFormat> layout = outputLayout(device, sound->format);
        if (!layout) return false;
        const std::optional<QByteArray> pcm = voz::audio::convertPcm(*sound, *layout);
        if (!pcm || pcm->isEmpty()) return false;

        SinkWorker* w = ensureWorker();
        const QAudioFormat format = toQt(*layout);
        bool started = false;
        QMetaObject::invokeMethod(
            w, [w, device, format, pcm = *pcm, times] { return w->start(device, format, pcm, times); },
            Qt::BlockingQueuedConnection, &started);
        return started;
    }

    void stop() override
    {
        if (!worker || !worker->playing) return;
        SinkWorker* w = worker;
        QMetaObject::invokeMethod(w, [w] { w->release(); }, Qt::BlockingQueuedConnection);
    }

    bool isPlaying() const override { return worker && worker->playing; }

private:
    SinkWorker* ensureWorker()
    {
        if (!worker) {
            thread.setObjectName(QStringLiteral("voz-audio"));
            worker = new SinkWorker;
            worker->moveToThread(&thread);
            QObject::connect(&thread, &QThread::finished, worker, &QObject::deleteLater);
            thread.start();
        }
        return worker;
    }

    QThread thread;
    SinkWorker* worker = nullptr;  // lives in `thread` once it runs
};

}  // namespace

std::unique_ptr<WaveOutput> makeSinkOutput() { return std::make_unique<SinkOutput>(); }
