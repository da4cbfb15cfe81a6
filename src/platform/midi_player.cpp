#include "platform/midi_player.h"

#include "platform/module_loader.h"
#include "platform/mci_command.h"
#include "platform/midi_synth.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcVozMidiPlayer, "voz.midi")

MidiPlayer::MidiPlayer(QString modulePath) : m_modulePath(std::move(modulePath)) {}

// The synthesizer goes before its code; the library itself stays mapped, as FluidSynth's audio
// threads may still be winding down.
MidiPlayer::~MidiPlayer() { m_synth.reset(); }

bool MidiPlayer::loadSynth()
{
    if (m_synth) return true;
    if (m_loadFailed) return false;
    QString reason;
    m_synth.reset(createFromModule<MidiSynth>(m_library, m_modulePath, kMidiSynthModule, kMidiSynthFactory, reason));
    if (!m_synth) {
        qCWarning(lcVozMidiPlayer, "no MIDI synthesizer: %s", qPrintable(reason));
        m_loadFailed = true;
        return false;
    }
    return true;
}

int MidiPlayer::sendCommand(const QString& command)
{
    const std::optional<voz::mci::Command> c = voz::mci::parseCommand(command);
    if (!c) return voz::mci::kUnrecognizedCommand;
    // Before any "open" nothing is open: close and play need no synthesizer.
    if (!m_synth) {
        switch (c->verb) {
        case voz::mci::Verb::Close: return 0;
        case voz::mci::Verb::Play: return voz::mci::kInvalidDeviceName;
        case voz::mci::Verb::Open:
            if (!loadSynth()) return voz::mci::kCannotLoadDriver;
            break;
        }
    }
    return m_synth->run(*c);
}
