#pragma once
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

// Sound files written by libsndfile itself, in the encodings users' songs come in.
struct SoundFileKind {
    const char* name;
    int format;       // SF_FORMAT_* major | subtype
    int channels;
    int rate;
    bool int16;       // decoded as 16-bit samples (else float)
    int extraFrames;  // block codecs pad their last block with silence
    double tolerance; // RMS error of the decoded tone against the written one
};

inline const SoundFileKind kSoundFileKinds[] = {
    {"IMA ADPCM", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 1, 8000, true, 2048, 0.03},
    {"MS ADPCM", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 2, 22050, true, 2048, 0.03},
    {"mu-law", SF_FORMAT_WAV | SF_FORMAT_ULAW, 1, 8000, true, 0, 0.01},
    {"A-law", SF_FORMAT_WAV | SF_FORMAT_ALAW, 2, 8000, true, 0, 0.01},
    {"4 channels", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 4, 44100, true, 0, 0.001},
    {"8-bit", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 11025, true, 0, 0.005},
    {"float", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 48000, false, 0, 1e-6},
    {"24-bit extensible", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 6, 48000, false, 0, 1e-4},
    {"FLAC", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2, 44100, true, 0, 0.001},
    {"odd rate", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 7350, true, 0, 0.001},
};

// Channel c of the tone: a sine of its own pitch and level, so that a swapped channel shows.
inline float toneSample(qint64 frame, int c, int rate)
{
    return static_cast<float>(0.1 * (c + 1) * std::sin(2 * std::numbers::pi * 220.0 * (c + 1) * frame / rate));
}

// Writes `frames` frames of the tone; false when libsndfile refuses.
inline bool writeToneFile(const QString& path, const SoundFileKind& kind, qint64 frames)
{
    SF_INFO info{};
    info.samplerate = kind.rate;
    info.channels = kind.channels;
    info.format = kind.format;
    SNDFILE* sf = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!sf) return false;
    // In pieces: the limit test writes tens of millions of frames.
    constexpr qint64 kPiece = 65536;
    std::vector<float> samples(static_cast<size_t>(kPiece * kind.channels));
    bool ok = true;
    for (qint64 from = 0; ok && from < frames; from += kPiece) {
        const qint64 n = std::min(kPiece, frames - from);
        for (qint64 i = 0; i < n; ++i)
            for (int c = 0; c < kind.channels; ++c)
                samples[static_cast<size_t>(i * kind.channels + c)] = toneSample(from + i, c, kind.rate);
        ok = sf_writef_float(sf, samples.data(), n) == n;
    }
    return sf_close(sf) == 0 && ok;
}

// A 16-bit WAVE file of the tone in the folder; its path, empty when not written.
inline QString toneFileIn(const QTemporaryDir& dir, const QString& name, double seconds, int rate, int channels)
{
    const SoundFileKind kind{"tone", SF_FORMAT_WAV | SF_FORMAT_PCM_16, channels, rate, true, 0, 0};
    const QString path = dir.filePath(name);
    return writeToneFile(path, kind, static_cast<qint64>(seconds * rate)) ? path : QString();
}
