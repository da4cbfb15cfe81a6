// The wave decoding and sample conversion of the wave player, on bytes made here.
#include "platform/wav_decoder.h"

#include <QtEndian>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

using namespace voz::audio;

namespace {

void putLe16(QByteArray& b, quint16 v)
{
    b.append(char(v & 0xFF)).append(char(v >> 8));
}
void putLe32(QByteArray& b, quint32 v)
{
    putLe16(b, quint16(v & 0xFFFF));
    putLe16(b, quint16(v >> 16));
}

// A chunk with its header; odd sizes get their pad byte unless told not to.
QByteArray chunk(const char* id, const QByteArray& body, bool pad = true, qint64 declaredSize = -1)
{
    QByteArray c(id, 4);
    putLe32(c, quint32(declaredSize >= 0 ? declaredSize : body.size()));
    c.append(body);
    if (pad && (body.size() & 1)) c.append('\0');
    return c;
}

QByteArray fmtBody(quint16 tag, int channels, int rate, int bits, int blockAlign = -1)
{
    const int align = blockAlign >= 0 ? blockAlign : channels * bits / 8;
    QByteArray f;
    putLe16(f, tag);
    putLe16(f, quint16(channels));
    putLe32(f, quint32(rate));
    putLe32(f, quint32(rate * align));
    putLe16(f, quint16(align));
    putLe16(f, quint16(bits));
    return f;
}

QByteArray extensibleFmtBody(quint16 subtype, int channels, int rate, int bits, int validBits)
{
    QByteArray f = fmtBody(0xFFFE, channels, rate, bits);
    putLe16(f, 22);
    putLe16(f, quint16(validBits));
    putLe32(f, channels == 1 ? 0x4 : 0x3);
    putLe32(f, subtype);
    f.append("\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 12);
    return f;
}

QByteArray riff(const QByteArray& chunks)
{
    QByteArray b("RIFF", 4);
    putLe32(b, quint32(4 + chunks.size()));
    b.append("WAVE", 4);
    b.append(chunks);
    return b;
}

QByteArray wave(quint16 tag, int channels, int rate, int bits, const QByteArray& data)
{
    return riff(chunk("fmt ", fmtBody(tag, channels, rate, bits)) + chunk("data", data));
}

QByteArray int16Samples(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values) putLe16(b, quint16(std::int16_t(v)));
    return b;
}

template <typename T>
std::vector<T> samplesOf(const QByteArray& pcm)
{
    std::vector<T> out(static_cast<size_t>(pcm.size()) / sizeof(T));
    std::memcpy(out.data(), pcm.constData(), out.size() * sizeof(T));
    return out;
}

}  // namespace

// ---- Formats played ----------------------------------------------------------

TEST(WavDecoder, Pcm8Mono)
{
    const auto w = decodeWave(wave(1, 1, 11025, 8, QByteArray("\x80\xFF\x00\x40", 4)));
    ASSERT_TRUE(w);
    EXPECT_EQ(w->format, (PcmFormat{11025, 1, SampleFormat::UInt8}));
    EXPECT_EQ(w->fileBits, 8);
    EXPECT_EQ(w->frames(), 4);
    EXPECT_EQ(w->pcm, QByteArray("\x80\xFF\x00\x40", 4));
}

TEST(WavDecoder, Pcm16Stereo)
{
    const auto w = decodeWave(wave(1, 2, 44100, 16, int16Samples({1, -1, 32767, -32768, 1000, -1000})));
    ASSERT_TRUE(w);
    EXPECT_EQ(w->format, (PcmFormat{44100, 2, SampleFormat::Int16}));
    EXPECT_EQ(w->frames(), 3);
    EXPECT_EQ(samplesOf<std::int16_t>(w->pcm), (std::vector<std::int16_t>{1, -1, 32767, -32768, 1000, -1000}));
    EXPECT_EQ(w->durationUs(), 3 * 1000000 / 44100);
}

TEST(WavDecoder, Pcm24BecomesInt32InTheHighBits)
{
    // 0x123456, -1 (0xFFFFFF), the lowest (0x800000), the highest (0x7FFFFF)
    const QByteArray data("\x56\x34\x12" "\xFF\xFF\xFF" "\x00\x00\x80" "\xFF\xFF\x7F", 12);
    const auto w = decodeWave(wave(1, 1, 48000, 24, data));
    ASSERT_TRUE(w);
    EXPECT_EQ(w->format, (PcmFormat{48000, 1, SampleFormat::Int32}));
    EXPECT_EQ(w->fileBits, 24);
    EXPECT_EQ(samplesOf<std::int32_t>(w->pcm),
              (std::vector<std::int32_t>{0x12345600, -256, std::numeric_limits<std::int32_t>::min(), 0x7FFFFF00}));
}

TEST(WavDecoder, Pcm32Stereo)
{
    QByteArray data;
    putLe32(data, 0x7FFFFFFF);
    putLe32(data, 0x80000000);
    const auto w = decodeWave(wave(1, 2, 96000, 32, data));
    ASSERT_TRUE(w);
    EXPECT_EQ(w->format, (PcmFormat{96000, 2, SampleFormat::Int32}));
    EXPECT_EQ(samplesOf<std::int32_t>(w->pcm),
              (std::vector<std::int32_t>{0x7FFFFFFF, std::numeric_limits<std::int32_t>::min()}));
}

TEST(WavDecoder, Float32WithBrokenSamplesSilencedAndClamped)
{
    const std::vector<float> values{0.5f, -0.25f, std::numeric_limits<float>::quiet_NaN(), 3.0f,
                                    -std::numeric_limits<float>::infinity(), -1.0f};
    QByteArray data;
    for (float v : values) {
        quint32 bits;
        std::memcpy(&bits, &v, 4);
        putLe32(data, bits);
    }
    const auto w = decodeWave(wave(3, 1, 22050, 32, data));
    ASSERT_TRUE(w);
    EXPECT_EQ(w->format, (PcmFormat{22050, 1, SampleFormat::Float}));
    EXPECT_EQ(samplesOf<float>(w->pcm), (std::vector<float>{0.5f, -0.25f, 0.0f, 1.0f, 0.0f, -1.0f}));
}

TEST(WavDecoder, ExtensibleHeaders)
{
    const auto pcm24 = decodeWave(
        riff(chunk("fmt ", extensibleFmtBody(1, 2, 48000, 24, 24)) + chunk("data", QByteArray(12, '\x01'))));
    ASSERT_TRUE(pcm24);
    EXPECT_EQ(pcm24->format, (PcmFormat{48000, 2, SampleFormat::Int32}));
    EXPECT_EQ(pcm24->frames(), 2);

    QByteArray one;
    putLe32(one, 0x3F800000);  // 1.0f
    const auto flt = decodeWave(riff(chunk("fmt ", extensibleFmtBody(3, 1, 8000, 32, 32)) + chunk("data", one)));
    ASSERT_TRUE(flt);
    EXPECT_EQ(flt->format, (PcmFormat{8000, 1, SampleFormat::Float}));

    // A sub-format that is neither PCM nor float, and a GUID that is not a format GUID.
    EXPECT_FALSE(decodeWave(riff(chunk("fmt ", extensibleFmtBody(2, 1, 8000, 16, 16)) + chunk("data", one))));
    QByteArray badGuid = extensibleFmtBody(1, 1, 8000, 16, 16);
    badGuid[39] = 'x';
    EXPECT_FALSE(decodeWave(riff(chunk("fmt ", badGuid) + chunk("data", one))));
    // More valid bits than the container holds.
    EXPECT_FALSE(decodeWave(riff(chunk("fmt ", extensibleFmtBody(1, 1, 8000, 16, 20)) + chunk("data", one))));
}

TEST(WavDecoder, AnySampleRate)
{
    for (int rate : {1, 8000, 11025, 44100, 192000, 768000})
        EXPECT_TRUE(decodeWave(wave(1, 1, rate, 16, int16Samples({1, 2})))) << rate;
}

// ---- Chunks ---------------------------------------------------------------------

TEST(WavDecoder, ExtraChunksAreSkipped)
{
    const QByteArray chunks = chunk("LIST", QByteArray("INFOISFT\x05\x00\x00\x00Voz!\x00", 17)) +
                              chunk("fmt ", fmtBody(1, 1, 8000, 16)) + chunk("fact", QByteArray(4, '\x02')) +
                              chunk("junk", QByteArray(100, '\xAA')) + chunk("data", int16Samples({7, 8, 9})) +
                              chunk("LIST", QByteArray("INFO", 4));
    const auto w = decodeWave(riff(chunks));
    ASSERT_TRUE(w);
    EXPECT_EQ(samplesOf<std::int16_t>(w->pcm), (std::vector<std::int16_t>{7, 8, 9}));
}

TEST(WavDecoder, DataBeforeFormat)
{
    const auto w = decodeWave(riff(chunk("data", int16Samples({3, 4})) + chunk("fmt ", fmtBody(1, 1, 8000, 16))));
    ASSERT_TRUE(w);
    EXPECT_EQ(w->frames(), 2);
}

TEST(WavDecoder, OddChunksArePadded)
{
    const QByteArray odd("abc", 3);
    const auto w = decodeWave(riff(chunk("fmt ", fmtBody(1, 1, 8000, 8)) + chunk("note", odd) +
                                   chunk("data", QByteArray("\x10\x20\x30", 3)) + chunk("LIST", odd)));
    ASSERT_TRUE(w);
    EXPECT_EQ(w->pcm, QByteArray("\x10\x20\x30", 3));
}

TEST(WavDecoder, OddChunkWithoutItsPadByteIsTolerated)
{
    const auto w = decodeWave(riff(chunk("fmt ", fmtBody(1, 1, 8000, 16)) + chunk("note", "abc", false) +
                                   chunk("data", int16Samples({5, 6}))));
    ASSERT_TRUE(w);
    EXPECT_EQ(samplesOf<std::int16_t>(w->pcm), (std::vector<std::int16_t>{5, 6}));
}

TEST(WavDecoder, DataLargerThanTheFileIsCutToWhatIsThere)
{
    // Declared 1000 bytes, 5 there: two whole 16-bit frames, the odd byte dropped.
    const QByteArray data = int16Samples({11, 12}) + QByteArray(1, '\x7F');
    const auto w = decodeWave(riff(chunk("fmt ", fmtBody(1, 1, 8000, 16)) + chunk("data", data, false, 1000)));
    ASSERT_TRUE(w);
    EXPECT_EQ(samplesOf<std::int16_t>(w->pcm), (std::vector<std::int16_t>{11, 12}));

    // The streaming writers' "unknown" size.
    const auto streamed =
        decodeWave(riff(chunk("fmt ", fmtBody(1, 1, 8000, 16)) + chunk("data", data, false, 0xFFFFFFFF)));
    ASSERT_TRUE(streamed);
    EXPECT_EQ(streamed->frames(), 2);
}

TEST(WavDecoder, TheRiffSizeIsNotTrusted)
{
    QByteArray b = wave(1, 1, 8000, 16, int16Samples({1, 2, 3}));
    qToLittleEndian<quint32>(0xFFFFFFF0, b.data() + 4);
    EXPECT_TRUE(decodeWave(b));
    qToLittleEndian<quint32>(4, b.data() + 4);
    EXPECT_TRUE(decodeWave(b));
}

// ---- Rejected ---------------------------------------------------------------------

TEST(WavDecoder, NotAWaveFile)
{
    EXPECT_FALSE(decodeWave(QByteArray()));
    EXPECT_FALSE(decodeWave(QByteArray("RIFF", 4)));
    EXPECT_FALSE(decodeWave(QByteArray("RIFF\x04\x00\x00\x00WAVE", 12)));
    EXPECT_FALSE(decodeWave(QByteArray("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xE0", 14)));
    EXPECT_FALSE(decodeWave(QByteArray(4096, '\0')));
    QByteArray avi = wave(1, 1, 8000, 16, int16Samples({1}));
    avi.replace(8, 4, "AVI ");
    EXPECT_FALSE(decodeWave(avi));
    QByteArray rifx = wave(1, 1, 8000, 16, int16Samples({1}));
    rifx.replace(0, 4, "RIFX");
    EXPECT_FALSE(decodeWave(rifx));
}

TEST(WavDecoder, GarbageDoesNotCrash)
{
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return char(seed >> 24);
    };
    for (int round = 0; round < 500; ++round) {
        QByteArray b("RIFF\xFF\xFF\xFF\xFFWAVE", 12);
        const int n = round % 97;
        for (int i = 0; i < n; ++i) b.append(next());
        // Sometimes a well-formed format and a data chunk after garbage.
        if (round % 3 == 0) b.append(chunk("fmt ", fmtBody(1, 1, 8000, 16)) + chunk("data", QByteArray(n, next())));
        const auto w = decodeWave(b);
        if (w) {
            EXPECT_LE(w->pcm.size(), b.size() * 2);
        }
    }
}

TEST(WavDecoder, EveryTruncationIsHandled)
{
    const QByteArray full = riff(chunk("LIST", QByteArray("INFOabc", 7)) + chunk("fmt ", fmtBody(1, 2, 8000, 16)) +
                                 chunk("data", int16Samples({1, 2, 3, 4, 5, 6})));
    for (qsizetype n = 0; n < full.size(); ++n) {
        const auto w = decodeWave(full.left(n));
        if (w) {
            // Only cut samples: the header was whole.
            EXPECT_GE(w->frames(), 1);
            EXPECT_LT(w->frames(), 3);
        }
    }
    EXPECT_TRUE(decodeWave(full));
}

TEST(WavDecoder, MissingOrTruncatedChunks)
{
    const QByteArray fmt = chunk("fmt ", fmtBody(1, 1, 8000, 16));
    const QByteArray data = chunk("data", int16Samples({1, 2}));
    EXPECT_FALSE(decodeWave(riff(fmt)));                                   // no data
    EXPECT_FALSE(decodeWave(riff(data)));                                  // no format
    EXPECT_FALSE(decodeWave(riff(fmt + chunk("data", QByteArray()))));     // no samples
    EXPECT_FALSE(decodeWave(riff(fmt + chunk("data", QByteArray(1, 'x'))))); // less than a frame
    EXPECT_FALSE(decodeWave(riff(fmt.left(20))));                          // format cut short
    EXPECT_FALSE(decodeWave(riff(chunk("fmt ", fmtBody(1, 1, 8000, 16).left(14)) + data)));  // format too small
    EXPECT_FALSE(decodeWave(riff(fmt + fmt + data)));                      // two formats
    // A chunk before the samples claims more than the file has: the samples are never reached.
    EXPECT_FALSE(decodeWave(riff(fmt + chunk("LIST", QByteArray(8, 'x'), true, 0x7FFFFFF0) + data)));
    // A format chunk of absurd size.
    EXPECT_FALSE(decodeWave(riff(chunk("fmt ", fmtBody(1, 1, 8000, 16), true, 0xFFFFFFFF) + data)));
}

TEST(WavDecoder, UnsupportedFormats)
{
    const QByteArray d(64, '\x01');
    EXPECT_FALSE(decodeWave(wave(2, 1, 8000, 4, d)));     // MS ADPCM
    EXPECT_FALSE(decodeWave(wave(6, 1, 8000, 8, d)));     // A-law
    EXPECT_FALSE(decodeWave(wave(1, 1, 8000, 12, d)));    // 12-bit
    EXPECT_FALSE(decodeWave(wave(1, 1, 8000, 0, d)));
    EXPECT_FALSE(decodeWave(wave(3, 1, 8000, 64, d)));    // double
    EXPECT_FALSE(decodeWave(wave(3, 1, 8000, 16, d)));
    EXPECT_FALSE(decodeWave(wave(1, 3, 8000, 16, d)));    // three channels
    EXPECT_FALSE(decodeWave(wave(1, 0, 8000, 16, d)));
    EXPECT_FALSE(decodeWave(wave(1, 1, 0, 16, d)));       // no rate
    EXPECT_FALSE(decodeWave(wave(1, 1, 10'000'000, 16, d)));
    // A block alignment that does not match the samples.
    EXPECT_FALSE(decodeWave(riff(chunk("fmt ", fmtBody(1, 2, 8000, 16, 2)) + chunk("data", d))));
}

TEST(WavDecoder, TooManySamplesAreRefused)
{
    // 24-bit samples grow by a third: 51 MB in the file, 68 MB decoded.
    const QByteArray big(51 * 1024 * 1024, '\0');
    EXPECT_FALSE(decodeWave(wave(1, 2, 48000, 24, big)));
    EXPECT_TRUE(decodeWave(wave(1, 2, 48000, 16, big)));
}

// ---- Conversion -------------------------------------------------------------------

TEST(WavConvert, SameLayoutIsTheSameBytes)
{
    const auto w = decodeWave(wave(1, 2, 44100, 16, int16Samples({1, 2, 3, 4})));
    ASSERT_TRUE(w);
    const auto out = convertPcm(*w, w->format);
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, w->pcm);
}

TEST(WavConvert, SampleFormats)
{
    const auto w = decodeWave(wave(1, 1, 8000, 16, int16Samples({0, 16384, -32768, 32767})));
    ASSERT_TRUE(w);
    const auto f = convertPcm(*w, {8000, 1, SampleFormat::Float});
    ASSERT_TRUE(f);
    const auto floats = samplesOf<float>(*f);
    ASSERT_EQ(floats.size(), 4u);
    EXPECT_FLOAT_EQ(floats[0], 0.0f);
    EXPECT_FLOAT_EQ(floats[1], 0.5f);
    EXPECT_FLOAT_EQ(floats[2], -1.0f);
    EXPECT_NEAR(floats[3], 1.0f, 1e-4);

    const auto u8 = convertPcm(*w, {8000, 1, SampleFormat::UInt8});
    ASSERT_TRUE(u8);
    EXPECT_EQ(*u8, QByteArray("\x80\xC0\x00\xFF", 4));

    const auto i32 = convertPcm(*w, {8000, 1, SampleFormat::Int32});
    ASSERT_TRUE(i32);
    EXPECT_EQ(samplesOf<std::int32_t>(*i32)[1], 1 << 30);

    // And back: 8-bit to 16-bit.
    const auto w8 = decodeWave(wave(1, 1, 8000, 8, QByteArray("\x80\x00\xC0", 3)));
    ASSERT_TRUE(w8);
    const auto s16 = convertPcm(*w8, {8000, 1, SampleFormat::Int16});
    ASSERT_TRUE(s16);
    EXPECT_EQ(samplesOf<std::int16_t>(*s16), (std::vector<std::int16_t>{0, -32768, 16384}));
}

TEST(WavConvert, Channels)
{
    const auto mono = decodeWave(wave(1, 1, 8000, 16, int16Samples({100, -200})));
    ASSERT_TRUE(mono);
    const auto stereo = convertPcm(*mono, {8000, 2, SampleFormat::Int16});
    ASSERT_TRUE(stereo);
    EXPECT_EQ(samplesOf<std::int16_t>(*stereo), (std::vector<std::int16_t>{100, 100, -200, -200}));
    // Four channels: the front pair sounds, the rest is silent.
    const auto quad = convertPcm(*mono, {8000, 4, SampleFormat::Int16});
    ASSERT_TRUE(quad);
    EXPECT_EQ(samplesOf<std::int16_t>(*quad), (std::vector<std::int16_t>{100, 100, 0, 0, -200, -200, 0, 0}));

    const auto st = decodeWave(wave(1, 2, 8000, 16, int16Samples({100, 300, -100, -300})));
    ASSERT_TRUE(st);
    const auto down = convertPcm(*st, {8000, 1, SampleFormat::Int16});
    ASSERT_TRUE(down);
    EXPECT_EQ(samplesOf<std::int16_t>(*down), (std::vector<std::int16_t>{200, -200}));
}

TEST(WavConvert, RateIsChangedByLinearInterpolation)
{
    const auto w = decodeWave(wave(1, 1, 8000, 16, int16Samples({0, 1000, 2000, 3000})));
    ASSERT_TRUE(w);
    const auto up = convertPcm(*w, {16000, 1, SampleFormat::Int16});
    ASSERT_TRUE(up);
    EXPECT_EQ(samplesOf<std::int16_t>(*up), (std::vector<std::int16_t>{0, 500, 1000, 1500, 2000, 2500, 3000, 3000}));
    const auto down = convertPcm(*w, {4000, 1, SampleFormat::Int16});
    ASSERT_TRUE(down);
    EXPECT_EQ(samplesOf<std::int16_t>(*down), (std::vector<std::int16_t>{0, 2000}));

    // A second of sound stays a second long.
    const auto second = decodeWave(wave(1, 2, 44100, 16, QByteArray(44100 * 4, '\0')));
    ASSERT_TRUE(second);
    const auto at48 = convertPcm(*second, {48000, 2, SampleFormat::Float});
    ASSERT_TRUE(at48);
    EXPECT_EQ(at48->size(), 48000 * 8);
}

TEST(WavConvert, HugeResultsAreRefused)
{
    // 8 MB of 8-bit mono at 1 kHz would be 3 GB of float stereo at 48 kHz.
    const auto w = decodeWave(wave(1, 1, 1000, 8, QByteArray(8 * 1024 * 1024, '\x80')));
    ASSERT_TRUE(w);
    EXPECT_FALSE(convertPcm(*w, {48000, 2, SampleFormat::Float}));
    EXPECT_FALSE(convertPcm(*w, {48000, 0, SampleFormat::Float}));
    EXPECT_FALSE(convertPcm(*w, {0, 2, SampleFormat::Float}));
}
