// Decoding sound files through libsndfile and converting their samples, without an audio device.
#include "platform/sound_file.h"
#include "sound_files.h"
#include "midi_bytes.h"
#include "support/files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>

using namespace voz::audio;

namespace {

float sampleOf(const DecodedSound& s, qint64 frame, int c)
{
    const qint64 i = frame * s.format.channels + c;
    if (s.format.format == SampleFormat::Int16)
        return reinterpret_cast<const std::int16_t*>(s.pcm.constData())[i] / 32768.0f;
    return reinterpret_cast<const float*>(s.pcm.constData())[i];
}

template <typename T>
QByteArray bytesOf(const std::vector<T>& samples)
{
    const auto size = static_cast<qsizetype>(samples.size() * sizeof(T));
    return QByteArray(reinterpret_cast<const char*>(samples.data()), size);
}

template <typename T>
DecodedSound soundOf(int rate, int channels, SampleFormat format, const std::vector<T>& samples,
                     std::vector<Side> sides = {})
{
    return DecodedSound{{rate, channels, format}, bytesOf(samples), std::move(sides)};
}

}  // namespace

TEST(SoundFile, EveryEncodingDecodesToTheWrittenTone)
{
    QTemporaryDir dir;
    constexpr qint64 kFrames = 3000;
    for (const SoundFileKind& kind : kSoundFileKinds) {
        SCOPED_TRACE(kind.name);
        const QString path = dir.filePath(QString::fromLatin1(kind.name) + QStringLiteral(".wav"));
        ASSERT_TRUE(writeToneFile(path, kind, kFrames));
        const auto s = decodeSoundFile(path);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->format, (PcmFormat{kind.rate, kind.channels, kind.int16 ? SampleFormat::Int16 : SampleFormat::Float}));
        EXPECT_GE(s->frames(), kFrames);
        EXPECT_LE(s->frames(), kFrames + kind.extraFrames);
        EXPECT_EQ(s->sides.size(), static_cast<size_t>(kind.channels));
        for (int c = 0; c < kind.channels; ++c) {
            double err = 0;
            for (qint64 i = 0; i < kFrames; ++i) err += std::pow(sampleOf(*s, i, c) - toneSample(i, c, kind.rate), 2);
            EXPECT_LT(std::sqrt(err / kFrames), kind.tolerance) << "channel " << c;
        }
    }
}

TEST(SoundFile, WhatIsNoSoundFileOrTooLongIsRefused)
{
    QTemporaryDir dir;
    const QByteArray riffCut("RIFF\x24\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00", 22);
    const QString fifo = dir.filePath(QStringLiteral("pipe.wav"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString paths[] = {
        dir.filePath(QStringLiteral("missing.wav")),
        dir.path(),
        fifo,  // would block a reader that opened it
        writeFileIn(dir, QStringLiteral("empty.wav"), QByteArray()),
        writeFileIn(dir, QStringLiteral("text.wav"), "hello, world"),
        // libsndfile would take a headerless file named .snd for raw mu-law: the chime's name.
        writeFileIn(dir, QStringLiteral("didi.snd"), QByteArray(4000, 'x')),
        writeFileIn(dir, QStringLiteral("zeros.wav"), QByteArray(4096, '\0')),
        writeFileIn(dir, QStringLiteral("cut.wav"), riffCut),
        writeFileIn(dir, QStringLiteral("air.mid"), airMidi()),
    };
    for (const QString& path : paths) EXPECT_FALSE(decodeSoundFile(path)) << path.toStdString();

    // A format the library reads, but without a single sample.
    const QString silent = dir.filePath(QStringLiteral("none.wav"));
    ASSERT_TRUE(writeToneFile(silent, kSoundFileKinds[4], 0));
    EXPECT_FALSE(decodeSoundFile(silent));

    // 8-bit samples decode to 16 bits: one frame more than half the limit is too many.
    const QString over = dir.filePath(QStringLiteral("over.wav"));
    ASSERT_TRUE(writeToneFile(over, kSoundFileKinds[5], kMaxPcmBytes / 2 + 1));
    EXPECT_FALSE(decodeSoundFile(over));
}

// ---- Conversion -------------------------------------------------------------------

// Each conversion, byte for byte.
TEST(SoundConvert, SampleFormatsChannelsAndRate)
{
    using I16 = std::vector<std::int16_t>;
    const auto same = soundOf<std::int16_t>(44100, 2, SampleFormat::Int16, {1, 2, 3, 4});
    const auto levels = soundOf<std::int16_t>(8000, 1, SampleFormat::Int16, {0, 16384, -32768, 32767});
    const auto floats = soundOf<float>(8000, 1, SampleFormat::Float, {0.25f, -0.5f, 1.0f});
    const auto mono = soundOf<std::int16_t>(8000, 1, SampleFormat::Int16, {100, -200});
    const auto stereo = soundOf<std::int16_t>(8000, 2, SampleFormat::Int16, {100, 300, -100, -300});
    // Quad without positions: FL FR BL BR.
    const auto quad = soundOf<std::int16_t>(8000, 4, SampleFormat::Int16, {100, 200, 300, 400});
    // FL FR FC LFE: the centre goes to both sides, the LFE nowhere.
    const auto mapped = soundOf<std::int16_t>(8000, 4, SampleFormat::Int16, {100, 200, 400, 8000},
                                              {Side::Left, Side::Right, Side::Both, Side::None});
    const auto ramp = soundOf<std::int16_t>(8000, 1, SampleFormat::Int16, {0, 1000, 2000, 3000});
    const auto i16 = [](int rate, int channels) { return PcmFormat{rate, channels, SampleFormat::Int16}; };
    const struct {
        const char* name;
        const DecodedSound& sound;
        PcmFormat to;
        QByteArray expected;
    } cases[] = {
        {"same layout: the same bytes", same, same.format, same.pcm},
        {"16-bit to float", levels, {8000, 1, SampleFormat::Float}, bytesOf<float>({0, 0.5f, -1.0f, 32767 / 32768.0f})},
        {"16-bit to 8-bit", levels, {8000, 1, SampleFormat::UInt8}, QByteArray("\x80\xC0\x00\xFF", 4)},
        {"16-bit to 32-bit", levels, {8000, 1, SampleFormat::Int32},
         bytesOf<std::int32_t>({0, 1 << 30, INT32_MIN, 32767 << 16})},
        {"float to 16-bit, clamped", floats, i16(8000, 1), bytesOf<std::int16_t>({8192, -16384, 32767})},
        {"mono to stereo", mono, i16(8000, 2), bytesOf(I16{100, 100, -200, -200})},
        {"mono to quad: front pair only", mono, i16(8000, 4), bytesOf(I16{100, 100, 0, 0, -200, -200, 0, 0})},
        {"stereo to mono", stereo, i16(8000, 1), bytesOf(I16{200, -200})},
        {"stereo to quad", stereo, i16(8000, 4), bytesOf(I16{100, 300, 0, 0, -100, -300, 0, 0})},
        {"quad to stereo", quad, i16(8000, 2), bytesOf(I16{200, 300})},
        {"quad to mono", quad, i16(8000, 1), bytesOf(I16{250})},
        {"quad to three: front pair only", quad, i16(8000, 3), bytesOf(I16{200, 300, 0})},
        {"mapped to stereo", mapped, i16(8000, 2), bytesOf(I16{250, 300})},
        {"mapped to mono", mapped, i16(8000, 1), bytesOf(I16{233})},
        // The rate by linear interpolation.
        {"rate doubled", ramp, i16(16000, 1), bytesOf(I16{0, 500, 1000, 1500, 2000, 2500, 3000, 3000})},
        {"rate halved", ramp, i16(4000, 1), bytesOf(I16{0, 2000})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(convertPcm(c.sound, c.to), c.expected);
    }

    // A second of sound stays a second long.
    const auto second = soundOf<std::int16_t>(44100, 2, SampleFormat::Int16, I16(44100 * 2));
    const auto at48 = convertPcm(second, {48000, 2, SampleFormat::Float});
    ASSERT_TRUE(at48);
    EXPECT_EQ(at48->size(), 48000 * 8);
}

TEST(SoundConvert, HugeResultsAreRefused)
{
    // 8 MB of 16-bit mono at 1 kHz would be 1.5 GB of float stereo at 48 kHz.
    const auto s = soundOf<std::int16_t>(1000, 1, SampleFormat::Int16, std::vector<std::int16_t>(4 * 1024 * 1024));
    EXPECT_FALSE(convertPcm(s, {48000, 2, SampleFormat::Float}));
    EXPECT_FALSE(convertPcm(s, {48000, 0, SampleFormat::Float}));
    EXPECT_FALSE(convertPcm(s, {0, 2, SampleFormat::Float}));
}
