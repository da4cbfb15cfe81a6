#pragma once
#include <QObject>
#include <QString>
#include <memory>

// Plays sound files (wave and whatever else libsndfile reads) asynchronously on the default
// audio output.
class WavePlayer : public QObject {
    Q_OBJECT
public:
    explicit WavePlayer(QObject* parent = nullptr);
    ~WavePlayer() override;

    // Plays the file `times` times (0 = until stop()). Any sound playing is stopped first.
    // False when the file is no sound file libsndfile reads, or no output can play it.
    bool play(const QString& path, int times);
    void stop();
    bool isPlaying() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
