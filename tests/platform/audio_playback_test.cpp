// Real playback through the default audio output. What needs a sound server is skipped when
// there is none, and fails when the run promised one (VOZ_AUDIO_REQUIRED, set by ctest).
#include "clock/sound_kit.h"
#include "platform/midi_player.h"
#include "platform/qt_platform.h"
#include "platform/wave_player.h"
#include "midi_bytes.h"
#include "sound_files.h"
#include "support/test_program.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QProcess>
#include <QAudioDevice>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct AudioPlaybackTest : ::testing::Test {
    QTemporaryDir dir;
    WavePlayer player{QStringLiteral(VOZ_SOUND_MODULE)};
    void SetUp() override { ensureApplication(); }
    QString write(const QString& name, const QByteArray& bytes) { return writeFileIn(dir, name, bytes); }
    static bool haveOutput() { return !QMediaDevices::defaultAudioOutput().isNull(); }
};

// The playback streams the sound server has open, or -1 when it cannot be asked.
int serverStreams()
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sink-inputs")});
    if (!pactl.waitForFinished(10'000) || pactl.exitStatus() != QProcess::NormalExit || pactl.exitCode() != 0)
        return -1;
    return static_cast<int>(pactl.readAllStandardOutput().count('\n'));
}

// A test that needs what is missing cannot run: skipped, or failed where it was promised.
#define REQUIRE_AUDIO(have, what)                                                \
    do {                                                                         \
        if (!(have)) {                                                           \
            if (qEnvironmentVariableIsSet("VOZ_AUDIO_REQUIRED")) FAIL() << what; \
            else GTEST_SKIP() << what;                                           \
        }                                                                        \
    } while (false)

// How long a finite playback holds the output, in milliseconds; -1 when it did not start or end.
qint64 playUntilDone(WavePlayer& player, const QString& path, int times)
{
    QElapsedTimer t;
    t.start();
    if (!player.play(path, times) || !player.isPlaying()) return -1;
    if (!QTest::qWaitFor([&] { return !player.isPlaying(); }, 30'000)) return -1;
    return t.elapsed();
}

}  // namespace

// The sound output is a module loaded on the first play: with it, what is no wave does not play;
// without it (not there, or a library that is not it) a good song does not play, and the alarm's
// call goes on to its MIDI tune.
TEST_F(AudioPlaybackTest, WithoutTheSoundModuleOrAWaveNothingPlays)
{
    EXPECT_FALSE(player.play(dir.path() + QStringLiteral("/missing.wav"), 1));
    EXPECT_FALSE(player.play(write(QStringLiteral("text.wav"), "hello, world"), 1));
    EXPECT_FALSE(player.isPlaying());
    player.stop();
    EXPECT_FALSE(player.isPlaying());

    const QString song = toneFileIn(dir, QStringLiteral("song.wav"), 0.2, 22050, 1);
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(QStringLiteral(VOZ_MIDI_MODULE), folder.filePath(QStringLiteral("libvozsound.so"))));
    for (const QString& moduleFolder : {dir.filePath(QStringLiteral("none")), folder.path()}) {
        SCOPED_TRACE(moduleFolder.toStdString());
        WavePlayer without{QDir(moduleFolder).filePath(QStringLiteral("libvozsound.so"))};
        without.stop();
        EXPECT_FALSE(without.play(song, 1));
        EXPECT_FALSE(without.isPlaying());
        QtPlatform platform{moduleFolder};
        std::int16_t flag = -1;
        SoundKit(platform).PlayWave(QStringLiteral("once"), song, flag);
        EXPECT_EQ(flag, 0);
        EXPECT_FALSE(platform.sndPlaySound(song, 1));
    }
}

TEST_F(AudioPlaybackTest, EveryEncodingTheLibraryReadsPlays)
{
    REQUIRE_AUDIO(haveOutput(), "no audio output device");
    QtPlatform platform{QStringLiteral(VOZ_MODULE_DIR)};
    for (const SoundFileKind& kind : kSoundFileKinds) {
        SCOPED_TRACE(kind.name);
        const QString path = dir.filePath(QString::fromLatin1(kind.name) + QStringLiteral(".wav"));
        ASSERT_TRUE(writeToneFile(path, kind, kind.rate * 3 / 10));
        EXPECT_GE(playUntilDone(player, path, 1), 300);
        // The song's own way in: the flag stays set.
        std::int16_t flag = -1;
        SoundKit(platform).PlayWave(QStringLiteral("once"), path, flag);
        EXPECT_EQ(flag, -1);
        platform.sndPlaySound(QString(), 0);
    }
}

TEST_F(AudioPlaybackTest, WavePlaysTheNumberOfTimesAsked)
{
    REQUIRE_AUDIO(haveOutput(), "no audio output device");
    // The extension does not matter.
    const QString tone = toneFileIn(dir, QStringLiteral("didi.snd"), 0.4, 22050, 1);
    const qint64 once = playUntilDone(player, tone, 1);
    ASSERT_GE(once, 400);
    const qint64 twice = playUntilDone(player, tone, 2);
    ASSERT_GE(twice, 800);
    // The second time follows the first without a gap of its own (generous for a busy machine).
    EXPECT_LT(twice - once, 2000);
    EXPECT_FALSE(player.isPlaying());
}

TEST_F(AudioPlaybackTest, RepeatPlaysUntilStopped)
{
    REQUIRE_AUDIO(haveOutput(), "no audio output device");
    const QString tone = toneFileIn(dir, QStringLiteral("ding.wav"), 0.2, 44100, 1);
    ASSERT_TRUE(player.play(tone, 0));
    // Several lengths of the sound later it still plays.
    QTest::qWait(1000);
    EXPECT_TRUE(player.isPlaying());
    player.stop();
    EXPECT_FALSE(player.isPlaying());

    // A new sound stops the one playing; a file that is no wave stops it too, and plays nothing.
    ASSERT_TRUE(player.play(tone, 0));
    ASSERT_TRUE(player.play(tone, 0));
    EXPECT_TRUE(player.isPlaying());
    EXPECT_FALSE(player.play(write(QStringLiteral("bad.wav"), "RIFF"), 1));
    EXPECT_FALSE(player.isPlaying());
}

TEST_F(AudioPlaybackTest, PlayerDestroyedWhilePlayingClosesItsStream)
{
    REQUIRE_AUDIO(haveOutput(), "no audio output device");
    const int before = serverStreams();
    REQUIRE_AUDIO(before >= 0, "pactl cannot ask the sound server");
    auto own = std::make_unique<WavePlayer>(QStringLiteral(VOZ_SOUND_MODULE));
    ASSERT_TRUE(own->play(toneFileIn(dir, QStringLiteral("t.wav"), 0.3, 44100, 2), 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return serverStreams() == before + 1; }, 10'000));
    own.reset();
    // The repeating sound does not outlive its player.
    EXPECT_TRUE(QTest::qWaitFor([&] { return serverStreams() == before; }, 10'000));
}

TEST_F(AudioPlaybackTest, MidiTunePlaysAndCloses)
{
    REQUIRE_AUDIO(haveOutput(), "no audio output device");
    MidiPlayer midi{QStringLiteral(VOZ_MIDI_MODULE)};
    const QString mid = write(QStringLiteral("air.mid"), airMidi());
    ASSERT_EQ(midi.sendCommand(QStringLiteral("open \"%1\" type sequencer alias tmpMidiPlay").arg(mid)), 0);
    EXPECT_EQ(midi.sendCommand(QStringLiteral("play tmpMidiPlay")), 0);
    QTest::qWait(300);
    EXPECT_EQ(midi.sendCommand(QStringLiteral("close tmpMidiPlay")), 0);
    EXPECT_NE(midi.sendCommand(QStringLiteral("play tmpMidiPlay")), 0);
}
