#include "platform/wave_player.h"

#include "platform/module_loader.h"
#include "platform/wave_output.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcVozWavePlayer, "voz.sound")

WavePlayer::WavePlayer(QString modulePath) : m_modulePath(std::move(modulePath)) {}

// The output goes before its code; the library itself stays mapped, as the sound server's
// threads may still be winding down.
WavePlayer::~WavePlayer() { m_output.reset(); }

bool WavePlayer::loadOutput()
{
    if (m_output) return true;
    if (m_loadFailed || !QCoreApplication::instance()) return false;
    QString reason;
    m_output.reset(createFromModule<WaveOutput>(m_library, m_modulePath, kWaveOutputModule, kWaveOutputFactory, reason));
    if (!m_output) {
        qCWarning(lcVozWavePlayer, "no sound output: %s", qPrintable(reason));
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
