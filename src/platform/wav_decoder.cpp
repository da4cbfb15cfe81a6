#include "platform/wav_decoder.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace voz::audio {

namespace {

constexpr std::uint16_t kFormatPcm = 0x0001;
constexpr std::uint16_t kFormatFloat = 0x0003;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
// The fixed tail of the KSDATAFORMAT_SUBTYPE_PCM / _IEEE_FLOAT GUIDs.
constexpr unsigned char kSubtypeTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                            0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint16_t le16(const char* p) { return qFromLittleEndian<std::uint16_t>(p); }
std::uint32_t le32(const char* p) { return qFromLittleEndian<std::uint32_t>(p); }
bool tagIs(const char* p, const char (&tag)[5]) { return std::memcmp(p, tag, 4) == 0; }
// A chunk id is four printable ASCII characters.
bool looksLikeChunkId(const char* p)
{
    return std::all_of(p, p + 4, [](char c) { return c >= 0x20 && c <= 0x7E; });
}

struct FmtChunk {
    std::uint16_t tag = 0;  // PCM or float once resolved
    int channels = 0;
    qint64 rate = 0;
    int blockAlign = 0;
    int bits = 0;
};

std::optional<FmtChunk> parseFmt(const char* p, qint64 size)
{
    if (size < 16) return std::nullopt;
    FmtChunk f;
    f.tag = le16(p);
    f.channels = le16(p + 2);
    f.rate = le32(p + 4);
    f.blockAlign = le16(p + 12);
    f.bits = le16(p + 14);
    if (f.tag == kFormatExtensible) {
        if (size < 40 || le16(p + 16) < 22) return std::nullopt;
        const int validBits = le16(p + 18);
        if (validBits > f.bits) return std::nullopt;
        if (std::memcmp(p + 28, kSubtypeTail, sizeof kSubtypeTail) != 0) return std::nullopt;
        const std::uint32_t sub = le32(p + 24);
        if (sub != kFormatPcm && sub != kFormatFloat) return std::nullopt;
        f.tag = static_cast<std::uint16_t>(sub);
    }
    return f;
}

float toFloat(const char* p, SampleFormat format)
{
    switch (format) {
    case SampleFormat::UInt8: return (static_cast<int>(static_cast<unsigned char>(*p)) - 128) / 128.0f;
    case SampleFormat::Int16: {
        std::int16_t v;
        std::memcpy(&v, p, sizeof v);
        return v / 32768.0f;
    }
    case SampleFormat::Int32: {
        std::int32_t v;
        std::memcpy(&v, p, sizeof v);
        return static_cast<float>(v / 2147483648.0);
    }
    case SampleFormat::Float: {
        float v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    }
    return 0.0f;
}

void fromFloat(float v, char* p, SampleFormat format)
{
    const double x = std::clamp(static_cast<double>(v), -1.0, 1.0);
    switch (format) {
    case SampleFormat::UInt8: {
        const auto u = static_cast<unsigned char>(std::clamp(std::lround(x * 128.0 + 128.0), 0L, 255L));
        *p = static_cast<char>(u);
        return;
    }
    case SampleFormat::Int16: {
        const auto s = static_cast<std::int16_t>(std::clamp(std::lround(x * 32768.0), -32768L, 32767L));
        std::memcpy(p, &s, sizeof s);
        return;
    }
    case SampleFormat::Int32: {
        const auto s = static_cast<std::int32_t>(
            std::clamp(std::llround(x * 2147483648.0), -2147483648LL, 2147483647LL));
        std::memcpy(p, &s, sizeof s);
        return;
    }
    case SampleFormat::Float: {
        const float f = static_cast<float>(x);
        std::memcpy(p, &f, sizeof f);
        return;
    }
    }
}

}  // namespace

int bytesPerSample(SampleFormat format)
{
    switch (format) {
    case SampleFormat::UInt8: return 1;
    case SampleFormat::Int16: return 2;
    case SampleFormat::Int32: return 4;
    case SampleFormat::Float: return 4;
    }
    return 0;
}

qint64 DecodedWave::durationUs() const
{
    return format.sampleRate > 0 ? frames() * 1000000 / format.sampleRate : 0;
}

std::optional<DecodedWave> decodeWave(const QByteArray& bytes)
{
    const qint64 total = bytes.size();
    const char* const b = bytes.constData();
    if (total < 12 || !tagIs(b, "RIFF") || !tagIs(b + 8, "WAVE")) return std::nullopt;

    std::optional<FmtChunk> fmt;
    qint64 dataAt = -1, dataSize = 0;
    qint64 at = 12;
    while (at + 8 <= total) {
        const char* header = b + at;
        const qint64 declared = le32(header + 4);
        const qint64 body = at + 8;
        const qint64 present = std::min(declared, total - body);
        if (tagIs(header, "fmt ")) {
            if (fmt) return std::nullopt;  // two formats: which one?
            if (present < declared) return std::nullopt;  // truncated header
            fmt = parseFmt(b + body, declared);
            if (!fmt) return std::nullopt;
        } else if (tagIs(header, "data")) {
            if (dataAt < 0) {
                dataAt = body;
                dataSize = present;  // a size past the end of the file is cut to what is there
            }
        }
        if (dataAt >= 0 && fmt) break;
        // Chunks start on even offsets; some writers leave out the pad byte of an odd chunk.
        at = body + declared;
        if (declared & 1) {
            const bool padded = at + 9 <= total && looksLikeChunkId(b + at + 1);
            const bool unpadded = at + 8 <= total && looksLikeChunkId(b + at);
            if (padded || !unpadded) at += 1;
        }
    }
    if (!fmt || dataAt < 0) return std::nullopt;

    // Which formats are played.
    const FmtChunk& f = *fmt;
    if (f.channels != 1 && f.channels != 2) return std::nullopt;
    if (f.rate < kMinSampleRate || f.rate > kMaxSampleRate) return std::nullopt;
    SampleFormat out;
    if (f.tag == kFormatPcm) {
        switch (f.bits) {
        case 8: out = SampleFormat::UInt8; break;
        case 16: out = SampleFormat::Int16; break;
        case 24: out = SampleFormat::Int32; break;
        case 32: out = SampleFormat::Int32; break;
        default: return std::nullopt;
        }
    } else if (f.tag == kFormatFloat) {
        if (f.bits != 32) return std::nullopt;
        out = SampleFormat::Float;
    } else {
        return std::nullopt;
    }
    const int inSampleBytes = f.bits / 8;
    const int inFrameBytes = inSampleBytes * f.channels;
    if (f.blockAlign != inFrameBytes) return std::nullopt;

    const qint64 frames = dataSize / inFrameBytes;
    if (frames <= 0) return std::nullopt;
    DecodedWave wave;
    wave.format = PcmFormat{static_cast<int>(f.rate), f.channels, out};
    wave.fileBits = f.bits;
    const qint64 outBytes = frames * wave.format.bytesPerFrame();
    if (outBytes > kMaxPcmBytes) return std::nullopt;

    wave.pcm.resize(outBytes);
    const char* in = b + dataAt;
    char* dst = wave.pcm.data();
    const qint64 samples = frames * f.channels;
    switch (f.bits) {
    case 8:
        std::memcpy(dst, in, static_cast<size_t>(samples));
        break;
    case 16:
        for (qint64 i = 0; i < samples; ++i) {
            const auto v = qFromLittleEndian<std::int16_t>(in + 2 * i);
            std::memcpy(dst + 2 * i, &v, 2);
        }
        break;
    case 24:
        for (qint64 i = 0; i < samples; ++i) {
            const auto* s = reinterpret_cast<const unsigned char*>(in + 3 * i);
            const std::uint32_t u = (std::uint32_t(s[0]) << 8) | (std::uint32_t(s[1]) << 16) | (std::uint32_t(s[2]) << 24);
            const auto v = static_cast<std::int32_t>(u);
            std::memcpy(dst + 4 * i, &v, 4);
        }
        break;
    case 32:
        if (out == SampleFormat::Int32) {
            for (qint64 i = 0; i < samples; ++i) {
                const auto v = qFromLittleEndian<std::int32_t>(in + 4 * i);
                std::memcpy(dst + 4 * i, &v, 4);
            }
        } else {
            for (qint64 i = 0; i < samples; ++i) {
                const std::uint32_t bits = qFromLittleEndian<std::uint32_t>(in + 4 * i);
                float v;
                std::memcpy(&v, &bits, 4);
                // Out-of-range or broken samples would only be noise.
                v = std::isfinite(v) ? std::clamp(v, -1.0f, 1.0f) : 0.0f;
                std::memcpy(dst + 4 * i, &v, 4);
            }
        }
        break;
    default:
        return std::nullopt;
    }
    return wave;
}

std::optional<QByteArray> convertPcm(const DecodedWave& wave, const PcmFormat& target)
{
    const PcmFormat& src = wave.format;
    if (target.channels < 1 || target.channels > 32 || target.sampleRate < kMinSampleRate ||
        target.sampleRate > kMaxSampleRate || src.channels < 1 || src.sampleRate < 1)
        return std::nullopt;
    if (target == src) return wave.pcm;

    const qint64 inFrames = wave.frames();
    if (inFrames <= 0) return std::nullopt;
    // Frames out: the same length of time.
    const qint64 outFrames =
        src.sampleRate == target.sampleRate
            ? inFrames
            : std::max<qint64>(1, (inFrames * target.sampleRate + src.sampleRate - 1) / src.sampleRate);
    const qint64 outBytes = outFrames * target.bytesPerFrame();
    if (outBytes > kMaxPcmBytes) return std::nullopt;

    QByteArray out(outBytes, Qt::Uninitialized);
    const char* in = wave.pcm.constData();
    char* dst = out.data();
    const int inSample = bytesPerSample(src.format);
    const int inFrame = src.bytesPerFrame();
    const int outSample = bytesPerSample(target.format);
    const double step = static_cast<double>(src.sampleRate) / target.sampleRate;

    auto sampleAt = [&](qint64 frame, int channel) {
        return toFloat(in + frame * inFrame + channel * inSample, src.format);
    };
    // One source channel layout mapped to the target's: value of target channel `c` at a frame.
    auto mapped = [&](qint64 frame, int c) -> float {
        if (src.channels == 1) return c < 2 ? sampleAt(frame, 0) : 0.0f;
        if (target.channels == 1) return 0.5f * (sampleAt(frame, 0) + sampleAt(frame, 1));
        return c < src.channels ? sampleAt(frame, c) : 0.0f;
    };

    for (qint64 i = 0; i < outFrames; ++i) {
        qint64 i0 = i;
        float frac = 0.0f;
        if (src.sampleRate != target.sampleRate) {
            const double pos = static_cast<double>(i) * step;
            i0 = std::min<qint64>(static_cast<qint64>(pos), inFrames - 1);
            frac = static_cast<float>(pos - static_cast<double>(i0));
        }
        const qint64 i1 = std::min(i0 + 1, inFrames - 1);
        for (int c = 0; c < target.channels; ++c) {
            float v = mapped(i0, c);
            if (frac > 0.0f) v += (mapped(i1, c) - v) * frac;
            fromFloat(v, dst + (i * target.channels + c) * outSample, target.format);
        }
    }
    return out;
}

}  // namespace voz::audio
