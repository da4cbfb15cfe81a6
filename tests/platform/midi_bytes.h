#pragma once
#include "sound_synth.h"

#include <QByteArray>

// The tune the program ships, as the bytes of its MIDI file.
inline QByteArray airMidi()
{
    const std::vector<std::uint8_t> bytes = voz::sounds::makeAirMidi();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}
