#pragma once
#include <QString>
#include <memory>

// The MCI command strings the program uses for its MIDI tune, played with FluidSynth:
// "open FILE type sequencer alias NAME", "play NAME", "close NAME". 0 on success, non-zero on
// any failure.
class MidiPlayer {
public:
    MidiPlayer();
    ~MidiPlayer();
    int sendCommand(const QString& command);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
