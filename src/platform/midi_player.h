#pragma once
#include <QString>
#include <memory>

class MidiSynth;
class QLibrary;

// The MCI command strings the program uses for its MIDI tune: "open FILE type sequencer alias
// NAME", "play NAME", "close NAME". 0 on success, non-zero on any failure. The synthesizer module
// (midi_synth.h) is loaded on the first "open", from the program folder unless a module path is
// given; when it cannot be loaded, "open" fails and nothing plays.
class MidiPlayer {
public:
    explicit MidiPlayer(QString modulePath = {});
    ~MidiPlayer();
    int sendCommand(const QString& command);

private:
    QString m_modulePath;
    std::unique_ptr<QLibrary> m_library;
    std::unique_ptr<MidiSynth> m_synth;
    bool m_loadFailed = false;
    bool loadSynth();
};
