#pragma once
#include <QString>
#include <cstdint>

class Platform;

// Plays the alarm song. Created for one call.
class SoundKit {
public:
    explicit SoundKit(Platform& platform) : m_platform(platform) {}

    // "once", "twice", "thrice" play the wave file 1, 2, 3 times; "repeat" loops until stopped.
    // flag becomes 0 when the file cannot be decoded or no audio output can play it.
    void PlayWave(const QString& word, const QString& path, std::int16_t& flag);

    static int timesOf(const QString& word);

private:
    Platform& m_platform;
};
