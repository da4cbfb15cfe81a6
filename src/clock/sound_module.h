#pragma once
#include <QString>
#include <cstdint>

class Program;

// Form9, the invisible sound module: plays an alarm's song and shows its message.
// It falls back to the MIDI tune, reports sound errors and keeps nothing between calls.
class Form9 {
public:
    explicit Form9(Program& p);

    void PlaySound(const QString& strTimes, const QString& sSoundName);
    void eErrorSong(std::int16_t& iCanPlay);
    void MidiSound();
    void sShowMsg(const QString& tTime);

    void Unload() { m_loaded = false; }
    bool Loaded() const { return m_loaded; }

    // The song path as the error box names it: without the program folder when it lies there.
    QString SongPathForMessage() const;

private:
    // A system-modal box; the clock stops and the tray ignores clicks while it is up.
    void ErrorBox(const QString& text);

    Program& p;
    bool m_loaded = false;
};
