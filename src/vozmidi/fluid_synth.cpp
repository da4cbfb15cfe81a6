// The module libvozmidi.so: MidiPlayer's synthesizer, FluidSynth with a General MIDI soundfont.
#include "platform/midi_synth.h"

#include <QCoreApplication>
#include <QtGlobal>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>
#include <QTimer>

#include <fluidsynth.h>

#include <memory>
#include <mutex>

Q_LOGGING_CATEGORY(lcVozMidi, "voz.midi.fluidsynth")

namespace {

// The General MIDI soundfonts Debian installs, best first.
const char* const kSoundfonts[] = {
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
};
// FluidSynth's own gain (0.2) leaves a GM tune far quieter than the wave sounds; at 1.0 the
// program's tune peaks near -8 dBFS.
constexpr double kSynthGain = 1.0;
// How often a finished tune is looked for, to release the audio output it holds.
constexpr int kIdleCheckMs = 500;

void quietLog(int, const char*, void*) {}
void errorLog(int, const char* message, void*) { qCWarning(lcVozMidi, "fluidsynth: %s", message); }

void installLogFunctions()
{
    static std::once_flag once;
    std::call_once(once, [] {
        fluid_set_log_function(FLUID_DBG, quietLog, nullptr);
        fluid_set_log_function(FLUID_INFO, quietLog, nullptr);
        fluid_set_log_function(FLUID_WARN, quietLog, nullptr);
        fluid_set_log_function(FLUID_ERR, errorLog, nullptr);
        fluid_set_log_function(FLUID_PANIC, errorLog, nullptr);
    });
}

QByteArray soundfontPath()
{
    for (const char* path : kSoundfonts)
        if (QFileInfo(QString::fromLocal8Bit(path)).isFile()) return QByteArray(path);
    return {};
}

// One opened device: a synthesizer with the soundfont, a player with the file, and while it
// sounds an audio driver (a thread of FluidSynth's that writes to the sound server).
struct Session {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
    fluid_audio_driver_t* driver = nullptr;

    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    ~Session()
    {
        if (player) fluid_player_stop(player);
        releaseDriver();
        if (player) delete_fluid_player(player);
        if (synth) delete_fluid_synth(synth);
        if (settings) delete_fluid_settings(settings);
    }

    void releaseDriver()
    {
        if (driver) delete_fluid_audio_driver(driver);
        driver = nullptr;
    }

    // The sound server's driver first, then FluidSynth's default, then ALSA.
    bool startDriver()
    {
        if (driver) return true;
        QList<QByteArray> names{QByteArrayLiteral("pulseaudio")};
        char* fallback = nullptr;
        if (fluid_settings_getstr_default(settings, "audio.driver", &fallback) == FLUID_OK && fallback &&
            *fallback && !names.contains(fallback))
            names.append(QByteArray(fallback));
        if (!names.contains("alsa")) names.append(QByteArrayLiteral("alsa"));
        for (const QByteArray& name : names) {
            if (fluid_settings_setstr(settings, "audio.driver", name.constData()) != FLUID_OK) continue;
            driver = new_fluid_audio_driver(settings, synth);
            if (driver) return true;
        }
        return false;
    }

    bool finished() const
    {
        return fluid_player_get_status(player) == FLUID_PLAYER_DONE && fluid_synth_get_active_voice_count(synth) == 0;
    }
};

class FluidMidiSynth final : public MidiSynth {
public:
    FluidMidiSynth() { installLogFunctions(); }

    ~FluidMidiSynth() override
    {
        if (idleCheck) idleCheck->stop();
        sessions.clear();
    }

    int run(const voz::mci::Command& c) override
    {
        switch (c.verb) {
        case voz::mci::Verb::Open: return open(c);
        case voz::mci::Verb::Play: return play(c);
        case voz::mci::Verb::Close: return close(c);
        }
        return voz::mci::kUnrecognizedCommand;
    }

private:
    QHash<QString, std::shared_ptr<Session>> sessions;  // by alias, lower case
    std::unique_ptr<QTimer> idleCheck;

    static QString key(const QString& alias) { return alias.toLower(); }

    int open(const voz::mci::Command& c)
    {
        if (c.alias.isEmpty()) return voz::mci::kUnrecognizedKeyword;
        if (!c.type.isEmpty() && c.type.compare(QLatin1String("sequencer"), Qt::CaseInsensitive) != 0)
            return voz::mci::kInvalidDeviceName;
        if (sessions.contains(key(c.alias))) return voz::mci::kDuplicateAlias;
        if (!QFileInfo(c.file).isFile()) return voz::mci::kFileNotFound;
        const QByteArray file = QFile::encodeName(c.file);
        if (!fluid_is_midifile(file.constData())) return voz::mci::kInvalidFile;
        const QByteArray soundfont = soundfontPath();
        if (soundfont.isEmpty()) return voz::mci::kCannotLoadDriver;

        auto s = std::make_shared<Session>();
        s->settings = new_fluid_settings();
        if (!s->settings) return voz::mci::kHardware;
        fluid_settings_setnum(s->settings, "synth.gain", kSynthGain);
        fluid_settings_setint(s->settings, "synth.reverb.active", 1);
        fluid_settings_setint(s->settings, "synth.chorus.active", 0);
        // Large periods: fewer wake-ups, and no underruns when the machine is busy. Latency does
        // not matter for a tune.
        fluid_settings_setint(s->settings, "audio.period-size", 2048);
        fluid_settings_setint(s->settings, "audio.periods", 4);
        // Only the instruments the tune uses are read from the (up to 148 MB) soundfont.
        fluid_settings_setint(s->settings, "synth.dynamic-sample-loading", 1);
        s->synth = new_fluid_synth(s->settings);
        if (!s->synth) return voz::mci::kHardware;
        if (fluid_synth_sfload(s->synth, soundfont.constData(), 1) == FLUID_FAILED) return voz::mci::kCannotLoadDriver;
        s->player = new_fluid_player(s->synth);
        if (!s->player) return voz::mci::kHardware;
        if (fluid_player_add(s->player, file.constData()) != FLUID_OK) return voz::mci::kInvalidFile;
        sessions.insert(key(c.alias), s);
        return 0;
    }

    int play(const voz::mci::Command& c)
    {
        const std::shared_ptr<Session> s = sessions.value(key(c.alias));
        if (!s) return voz::mci::kInvalidDeviceName;
        if (fluid_player_get_status(s->player) == FLUID_PLAYER_PLAYING) return 0;
        if (!s->startDriver()) return voz::mci::kHardware;
        if (fluid_player_get_status(s->player) == FLUID_PLAYER_DONE) fluid_player_seek(s->player, 0);
        if (fluid_player_play(s->player) != FLUID_OK) {
            s->releaseDriver();
            return voz::mci::kHardware;
        }
        watchForEnd();
        return 0;
    }

    int close(const voz::mci::Command& c)
    {
        sessions.remove(key(c.alias));
        return 0;
    }

    // Once a tune has ended and its last notes died away, its audio driver goes, so that nothing
    // runs while nothing sounds.
    void watchForEnd()
    {
        if (!QCoreApplication::instance()) return;
        if (!idleCheck) {
            idleCheck = std::make_unique<QTimer>();
            idleCheck->setInterval(kIdleCheckMs);
            QObject::connect(idleCheck.get(), &QTimer::timeout, [this] {
                bool sounding = false;
                for (const std::shared_ptr<Session>& s : std::as_const(sessions)) {
                    if (!s->driver) continue;
                    if (s->finished()) s->releaseDriver();
                    else sounding = true;
                }
                if (!sounding) idleCheck->stop();
            });
        }
        idleCheck->start();
    }
};

}  // namespace

extern "C" Q_DECL_EXPORT MidiSynth* voz_create_midi_synth()
{
    return new FluidMidiSynth;
}
