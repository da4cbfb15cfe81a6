#include "platform/midi_player.h"

struct MidiPlayer::Impl {};

MidiPlayer::MidiPlayer() : d(std::make_unique<Impl>()) {}
MidiPlayer::~MidiPlayer() = default;
int MidiPlayer::sendCommand(const QString& command)
{
    return command.startsWith(QLatin1String("close")) ? 0 : 1;
}
