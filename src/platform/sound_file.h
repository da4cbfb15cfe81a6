#pragma once
#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

// Decoding of sound files (through libsndfile) and conversion of the samples, without any audio
// device, so that both are tested on their own.
namespace voz::audio {

// The sample formats handed to an audio output.
enum class SampleFormat { UInt8, Int16, Int32, Float };

int bytesPerSample(SampleFormat format);

// The layout of interleaved native-endian samples.
struct PcmFormat {
    int sampleRate = 0;
    int channels = 0;
    SampleFormat format = SampleFormat::Int16;
    int bytesPerFrame() const { return channels * bytesPerSample(format); }
    bool operator==(const PcmFormat&) const = default;
};

// Where a channel goes when the sound is mixed down to two speakers.
enum class Side : unsigned char { Left, Right, Both, None };

struct DecodedSound {
    PcmFormat format;         // Int16 for files of 16 bits or less, else Float
    QByteArray pcm;           // whole frames, interleaved, native-endian, in format's layout
    std::vector<Side> sides;  // one per channel
    qint64 frames() const { return format.bytesPerFrame() > 0 ? pcm.size() / format.bytesPerFrame() : 0; }
    qint64 durationUs() const;
};

// Neither the decoded samples nor a conversion of them may exceed this.
inline constexpr qint64 kMaxPcmBytes = 64 * 1024 * 1024;
inline constexpr int kMinSampleRate = 1;
inline constexpr int kMaxSampleRate = 768000;

// Decodes any sound file libsndfile reads (WAVE in PCM, float, ADPCM, mu-law, A-law and more,
// AIFF, FLAC, Ogg, ...) with any number of channels. The format is told by the file's bytes
// alone, never by its name. Nothing when the path is not a regular file, the bytes are no sound
// file the library reads, have no samples, or decode to more than kMaxPcmBytes.
std::optional<DecodedSound> decodeSoundFile(const QString& path);

// The samples of `sound` in the layout `target`: sample format converted, rate changed by linear
// interpolation, mono spread to both front channels; more channels than the target has are mixed
// down to its front pair (or to mono), each by its side. Nothing when the result would exceed
// kMaxPcmBytes or the target is unusable.
std::optional<QByteArray> convertPcm(const DecodedSound& sound, const PcmFormat& target);

}  // namespace voz::audio
