#include "platform/wave_player.h"

#include "platform/wave_output.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcVozWavePlayer, "voz.sound")

WavePlayer::WavePlayer(QString modulePath) : m_modulePath(std::move(modulePath)) {}

// The output goes before its code; the library itself stays mapped, as the sound server's
// threads may still be winding down.
WavePlayer::~WavePlayer() { m_output.reset(); }

// By absolute path only: a libvozsound.so found on the library search path is not ours.
bool WavePlayer::loadOutput()
{
    if (m_output) return true;
    if (m_loadFailed || !QCoreApplication::instance()) return false;
    const QString path = m_modulePath.isEmpty()
                             ? QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String(kWaveOutputModule))
                             : m_modulePath;
    m_library = std::make_unique<QLibrary>(QDir::cleanPath(QDir(path).absolutePath()));
    auto create = reinterpret_cast<WaveOutputFactory>(m_library->resolve(kWaveOutputFactory));
    if (create) m_output.reset(create());
    if (!m_output) {
        qCWarning(lcVozWavePlayer, "no sound output: %s", qPrintable(m_library->errorString()));
        m_library.reset();
        m_loadFailed = true;
        return false;
    }
    return true;
}

bool WavePlayer::play(const QString& path, int times)
{
    if (times < 0) return false;
    return loadOutput() && m_output->play(path, times);
}

// Nothing loaded: nothing plays, nothing to stop.
void WavePlayer::stop()
{
    if (m_output) m_output->stop();
}

bool WavePlayer::isPlaying() const { return m_output && m_output->isPlaying(); }
