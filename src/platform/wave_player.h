#pragma once
#include <QString>
#include <memory>

class QLibrary;
class WaveOutput;

// Plays sound files (wave and whatever else libsndfile reads) asynchronously on the default
// audio output. The output (wave_output.h) is loaded on the first play, from the program folder
// unless a module path is given; when it cannot be loaded, nothing plays and play() fails.
class WavePlayer {
public:
    explicit WavePlayer(QString modulePath = {});
    ~WavePlayer();

    // Plays the file `times` times (0 = until stop()). Any sound playing is stopped first.
    // False when the file is no sound file libsndfile reads, or no output can play it.
    bool play(const QString& path, int times);
    void stop();
    bool isPlaying() const;

private:
    bool loadOutput();
    QString m_modulePath;
    std::unique_ptr<QLibrary> m_library;
    std::unique_ptr<WaveOutput> m_output;
    bool m_loadFailed = false;
};
