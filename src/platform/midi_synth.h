#pragma once
#include "platform/mci_command.h"

// The synthesizer behind MidiPlayer. It lives in the module libvozmidi.so in the program folder,
// loaded on the first "open": FluidSynth and the libraries it pulls in (SDL, JACK, libinstpatch,
// ...) cost several megabytes resident, and the tune is only the fallback of the alarm's song.
class MidiSynth {
public:
    virtual ~MidiSynth() = default;
    // Runs one parsed command; 0 on success, an MCI error number otherwise.
    virtual int run(const voz::mci::Command& command) = 0;
};

// The module's file name and its one exported function, which returns a new synthesizer
// (nullptr when it cannot make one); the caller owns it.
inline constexpr char kMidiSynthModule[] = "libvozmidi.so";
inline constexpr char kMidiSynthFactory[] = "voz_create_midi_synth";
using MidiSynthFactory = MidiSynth* (*)();
