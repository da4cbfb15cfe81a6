#pragma once
#include <QString>

// The sound output behind WavePlayer. It lives in the module libvozsound.so in the program folder,
// loaded on the first play: Qt Multimedia, the PulseAudio client and libsndfile with its codecs
// (some 25 libraries, a few megabytes resident) are not in the program until a sound is played.
class WaveOutput {
public:
    virtual ~WaveOutput() = default;
    virtual bool play(const QString& path, int times) = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;
};

// The module's file name and its one exported function, which returns a new output (nullptr
// when it cannot make one); the caller owns it.
inline constexpr char kWaveOutputModule[] = "libvozsound.so";
inline constexpr char kWaveOutputFactory[] = "voz_create_wave_output";
using WaveOutputFactory = WaveOutput* (*)();
