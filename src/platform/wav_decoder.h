#pragma once
#include <QByteArray>
#include <QtGlobal>
#include <optional>

// Pure decoding of RIFF/WAVE bytes and conversion of the samples, without any audio device, so
// that both are tested on their own.
namespace voz::audio {

// The sample formats the decoder hands out, each one a format an audio output can take as it
// is. 24-bit files come out as Int32 (the sample in the high 24 bits).
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

struct DecodedWave {
    PcmFormat format;
    int fileBits = 0;  // bits of a sample in the file: 8, 16, 24 or 32
    QByteArray pcm;    // whole frames, interleaved, native-endian, in format's layout
    qint64 frames() const { return format.bytesPerFrame() > 0 ? pcm.size() / format.bytesPerFrame() : 0; }
    qint64 durationUs() const;
};

// Neither the decoded samples nor a conversion of them may exceed this.
inline constexpr qint64 kMaxPcmBytes = 64 * 1024 * 1024;
inline constexpr int kMinSampleRate = 1;
inline constexpr int kMaxSampleRate = 768000;

// Decodes a RIFF/WAVE file: PCM 8/16/24/32-bit integer or 32-bit float (also in a
// WAVE_FORMAT_EXTENSIBLE header), mono or stereo, any rate. Chunks other than "fmt " and
// "data" are skipped (odd sizes padded); a data chunk larger than the bytes there is cut to
// what is there. Nothing when the bytes are not such a file, have no samples, or decode to more
// than kMaxPcmBytes.
std::optional<DecodedWave> decodeWave(const QByteArray& bytes);

// The samples of `wave` in the layout `target`: sample format converted, rate changed by linear
// interpolation, mono spread to both front channels or stereo mixed to mono (further channels
// stay silent). Nothing when the result would exceed kMaxPcmBytes or the target is unusable.
std::optional<QByteArray> convertPcm(const DecodedWave& wave, const PcmFormat& target);

}  // namespace voz::audio
