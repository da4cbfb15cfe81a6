#include "platform/sound_file.h"

#include <QFile>
#include <QFileInfo>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

namespace voz::audio {

namespace {

// libsndfile reads through a QFile: no path handed to the library, so that it never guesses a
// format from a file's name (it takes a headerless ".snd" for raw mu-law).
sf_count_t fileLength(void* user) { return static_cast<QFile*>(user)->size(); }

sf_count_t fileSeek(sf_count_t offset, int whence, void* user)
{
    auto* file = static_cast<QFile*>(user);
    qint64 to = offset;
    if (whence == SEEK_CUR) to += file->pos();
    else if (whence == SEEK_END) to += file->size();
    if (to < 0 || !file->seek(to)) return -1;
    return file->pos();
}

sf_count_t fileRead(void* ptr, sf_count_t count, void* user)
{
    const qint64 n = static_cast<QFile*>(user)->read(static_cast<char*>(ptr), count);
    return n < 0 ? 0 : n;
}

sf_count_t fileWrite(const void*, sf_count_t, void*) { return 0; }

sf_count_t fileTell(void* user) { return static_cast<QFile*>(user)->pos(); }

// Encodings of 16 bits or less are read as 16-bit samples, which halves the memory of a song
// against floats; the rest as floats.
bool fitsInt16(int subtype)
{
    switch (subtype) {
    case SF_FORMAT_PCM_S8: case SF_FORMAT_PCM_U8: case SF_FORMAT_PCM_16:
    case SF_FORMAT_ULAW: case SF_FORMAT_ALAW: case SF_FORMAT_IMA_ADPCM: case SF_FORMAT_MS_ADPCM:
    case SF_FORMAT_GSM610: case SF_FORMAT_VOX_ADPCM: case SF_FORMAT_NMS_ADPCM_16:
    case SF_FORMAT_NMS_ADPCM_24: case SF_FORMAT_NMS_ADPCM_32: case SF_FORMAT_G721_32:
    case SF_FORMAT_G723_24: case SF_FORMAT_G723_40: case SF_FORMAT_DWVW_12: case SF_FORMAT_DWVW_16:
    case SF_FORMAT_DPCM_8: case SF_FORMAT_DPCM_16: case SF_FORMAT_ALAC_16:
        return true;
    default:
        return false;
    }
}

Side sideOf(int position)
{
    switch (position) {
    case SF_CHANNEL_MAP_LEFT: case SF_CHANNEL_MAP_FRONT_LEFT: case SF_CHANNEL_MAP_REAR_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER: case SF_CHANNEL_MAP_SIDE_LEFT:
    case SF_CHANNEL_MAP_TOP_FRONT_LEFT: case SF_CHANNEL_MAP_TOP_REAR_LEFT:
        return Side::Left;
    case SF_CHANNEL_MAP_RIGHT: case SF_CHANNEL_MAP_FRONT_RIGHT: case SF_CHANNEL_MAP_REAR_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER: case SF_CHANNEL_MAP_SIDE_RIGHT:
    case SF_CHANNEL_MAP_TOP_FRONT_RIGHT: case SF_CHANNEL_MAP_TOP_REAR_RIGHT:
        return Side::Right;
    case SF_CHANNEL_MAP_LFE: case SF_CHANNEL_MAP_AMBISONIC_B_X: case SF_CHANNEL_MAP_AMBISONIC_B_Y:
    case SF_CHANNEL_MAP_AMBISONIC_B_Z:
        return Side::None;
    default:
        return Side::Both;
    }
}

// Without positions in the file, channels alternate left and right (quad: FL FR BL BR).
Side defaultSide(int channel, int channels)
{
    if (channels == 1) return Side::Both;
    return channel % 2 == 0 ? Side::Left : Side::Right;
}

std::vector<Side> sidesOf(SNDFILE* sf, int channels)
{
    std::vector<Side> sides(static_cast<size_t>(channels));
    std::vector<int> map(static_cast<size_t>(channels), SF_CHANNEL_MAP_INVALID);
    const bool known = channels > 1 && sf_command(sf, SFC_GET_CHANNEL_MAP_INFO, map.data(),
                                                  static_cast<int>(map.size() * sizeof(int))) == SF_TRUE;
    for (int c = 0; c < channels; ++c)
        sides[static_cast<size_t>(c)] = known && map[static_cast<size_t>(c)] != SF_CHANNEL_MAP_INVALID
                                            ? sideOf(map[static_cast<size_t>(c)])
                                            : defaultSide(c, channels);
    return sides;
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

qint64 DecodedSound::durationUs() const
{
    return format.sampleRate > 0 ? frames() * 1000000 / format.sampleRate : 0;
}

std::optional<DecodedSound> decodeSoundFile(const QString& path)
{
    // Only regular files: a FIFO or a device would block the open or the reading.
    if (!QFileInfo(path).isFile()) return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return std::nullopt;

    SF_VIRTUAL_IO io{fileLength, fileSeek, fileRead, fileWrite, fileTell};
    SF_INFO info{};
    const std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> sf(sf_open_virtual(&io, SFM_READ, &info, &file), sf_close);
    if (!sf || info.channels < 1 || info.samplerate < kMinSampleRate || info.samplerate > kMaxSampleRate)
        return std::nullopt;

    const bool narrow = fitsInt16(info.format & SF_FORMAT_SUBMASK);
    DecodedSound sound;
    sound.format = PcmFormat{info.samplerate, info.channels, narrow ? SampleFormat::Int16 : SampleFormat::Float};
    const qint64 frameBytes = sound.format.bytesPerFrame();
    const qint64 maxFrames = kMaxPcmBytes / frameBytes;
    if (maxFrames < 1 || info.frames > maxFrames) return std::nullopt;

    // The frame count of the header is only a hint (some formats estimate it), so the samples are
    // read until the end, with the limit kept.
    constexpr qint64 kChunkFrames = 16384;
    QByteArray& pcm = sound.pcm;
    pcm.reserve((std::max<qint64>(info.frames, 0) + kChunkFrames) * frameBytes);
    qint64 frames = 0;
    for (;;) {
        const qint64 want = std::min(kChunkFrames, maxFrames + 1 - frames);
        pcm.resize((frames + want) * frameBytes);
        char* at = pcm.data() + frames * frameBytes;
        const sf_count_t got = narrow ? sf_readf_short(sf.get(), reinterpret_cast<short*>(at), want)
                                      : sf_readf_float(sf.get(), reinterpret_cast<float*>(at), want);
        if (got <= 0) break;
        frames += got;
        if (frames > maxFrames) return std::nullopt;
    }
    if (frames == 0) return std::nullopt;
    pcm.resize(frames * frameBytes);
    if (!narrow) {
        // Float files may hold samples out of range or broken ones: they would only be noise.
        float* s = reinterpret_cast<float*>(pcm.data());
        for (qint64 i = 0, n = frames * info.channels; i < n; ++i)
            s[i] = std::isfinite(s[i]) ? std::clamp(s[i], -1.0f, 1.0f) : 0.0f;
    }
    sound.sides = sidesOf(sf.get(), info.channels);
    return sound;
}

std::optional<QByteArray> convertPcm(const DecodedSound& sound, const PcmFormat& target)
{
    const PcmFormat& src = sound.format;
    if (target.channels < 1 || target.channels > 32 || target.sampleRate < kMinSampleRate ||
        target.sampleRate > kMaxSampleRate || src.channels < 1 || src.sampleRate < 1)
        return std::nullopt;
    if (target == src) return sound.pcm;

    const qint64 inFrames = sound.frames();
    if (inFrames <= 0) return std::nullopt;
    // Frames out: the same length of time.
    const qint64 outFrames =
        src.sampleRate == target.sampleRate
            ? inFrames
            : std::max<qint64>(1, (inFrames * target.sampleRate + src.sampleRate - 1) / src.sampleRate);
    const qint64 outBytes = outFrames * target.bytesPerFrame();
    if (outBytes > kMaxPcmBytes) return std::nullopt;

    // mix[c * S + k]: the share of source channel k in target channel c; a row that mixes several
    // channels is their mean, so that the sum cannot clip.
    const int S = src.channels, T = target.channels;
    std::vector<float> mix(static_cast<size_t>(T * S), 0.0f);
    auto share = [&](int c, int k) -> float& { return mix[static_cast<size_t>(c * S + k)]; };
    if (S == 1) {
        for (int c = 0; c < std::min(T, 2); ++c) share(c, 0) = 1.0f;
    } else if (T >= S) {
        for (int c = 0; c < S; ++c) share(c, c) = 1.0f;
    } else {
        auto sideAt = [&](int k) {
            return sound.sides.size() == static_cast<size_t>(S) ? sound.sides[static_cast<size_t>(k)] : defaultSide(k, S);
        };
        for (int c = 0; c < std::min(T, 2); ++c) {
            int n = 0;
            for (int k = 0; k < S; ++k) {
                const Side side = sideAt(k);
                const bool here = T == 1 ? side != Side::None
                                         : side == Side::Both || side == (c == 0 ? Side::Left : Side::Right);
                if (here) {
                    share(c, k) = 1.0f;
                    ++n;
                }
            }
            for (int k = 0; k < S && n > 1; ++k) share(c, k) /= static_cast<float>(n);
        }
    }

    QByteArray out(outBytes, Qt::Uninitialized);
    const char* in = sound.pcm.constData();
    char* dst = out.data();
    const int inSample = bytesPerSample(src.format);
    const int inFrame = src.bytesPerFrame();
    const int outSample = bytesPerSample(target.format);
    const double step = static_cast<double>(src.sampleRate) / target.sampleRate;

    std::vector<float> frame0(static_cast<size_t>(S)), frame1(static_cast<size_t>(S));
    auto load = [&](qint64 frame, std::vector<float>& into) {
        for (int k = 0; k < S; ++k) into[static_cast<size_t>(k)] = toFloat(in + frame * inFrame + k * inSample, src.format);
    };
    auto mixed = [&](const std::vector<float>& frame, int c) {
        float v = 0.0f;
        for (int k = 0; k < S; ++k) v += share(c, k) * frame[static_cast<size_t>(k)];
        return v;
    };

    for (qint64 i = 0; i < outFrames; ++i) {
        qint64 i0 = i;
        float frac = 0.0f;
        if (src.sampleRate != target.sampleRate) {
            const double pos = static_cast<double>(i) * step;
            i0 = std::min<qint64>(static_cast<qint64>(pos), inFrames - 1);
            frac = static_cast<float>(pos - static_cast<double>(i0));
        }
        load(i0, frame0);
        if (frac > 0.0f) load(std::min(i0 + 1, inFrames - 1), frame1);
        for (int c = 0; c < T; ++c) {
            float v = mixed(frame0, c);
            if (frac > 0.0f) v += (mixed(frame1, c) - v) * frac;
            fromFloat(v, dst + (i * T + c) * outSample, target.format);
        }
    }
    return out;
}

}  // namespace voz::audio
