// The MIDI player's commands that need no audio output: opening, refusing and closing.
#include "platform/mci_command.h"
#include "platform/midi_player.h"
#include "midi_bytes.h"
#include "support/test_program.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

bool haveSoundfont()
{
    for (const char* path : {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
                             "/usr/share/sounds/sf2/FluidR3_GM.sf2"})
        if (QFileInfo(QString::fromLatin1(path)).isFile()) return true;
    return false;
}

struct MidiPlayerTest : ::testing::Test {
    QTemporaryDir dir;
    MidiPlayer player{QStringLiteral(VOZ_MIDI_MODULE)};

    QString write(const QString& name, const QByteArray& bytes) { return writeFileIn(dir, name, bytes); }
    int send(const QString& command) { return player.sendCommand(command); }
    static QString openCommand(const QString& file, const QString& alias)
    {
        return QStringLiteral("open \"%1\" type sequencer alias %2").arg(file, alias);
    }
};

}  // namespace

TEST_F(MidiPlayerTest, UnknownCommandsFail)
{
    EXPECT_NE(send(QString()), 0);
    EXPECT_NE(send(QStringLiteral("stop tmpMidiPlay")), 0);
    EXPECT_NE(send(QStringLiteral("status tmpMidiPlay mode")), 0);
    EXPECT_NE(send(QStringLiteral("play")), 0);
}

TEST_F(MidiPlayerTest, CloseOfWhatIsNotOpenSucceeds)
{
    EXPECT_EQ(send(QStringLiteral("close tmpMidiPlay")), 0);
    EXPECT_EQ(send(QStringLiteral("close tmpMidiPlay")), 0);
}

TEST_F(MidiPlayerTest, PlayOfWhatIsNotOpenFails)
{
    EXPECT_EQ(send(QStringLiteral("play tmpMidiPlay")), voz::mci::kInvalidDeviceName);
}

TEST_F(MidiPlayerTest, OpenRefusesMissingAndInvalidFiles)
{
    EXPECT_EQ(send(openCommand(dir.path() + QStringLiteral("/none.mid"), QStringLiteral("a"))), voz::mci::kFileNotFound);
    EXPECT_EQ(send(openCommand(dir.path(), QStringLiteral("a"))), voz::mci::kFileNotFound);  // a folder
    const QString text = write(QStringLiteral("text.mid"), QByteArray("not a MIDI file at all\n"));
    EXPECT_EQ(send(openCommand(text, QStringLiteral("a"))), voz::mci::kInvalidFile);
    const QString empty = write(QStringLiteral("empty.mid"), QByteArray());
    EXPECT_EQ(send(openCommand(empty, QStringLiteral("a"))), voz::mci::kInvalidFile);
    // Nothing was opened: play has nothing to play.
    EXPECT_NE(send(QStringLiteral("play a")), 0);
}

TEST_F(MidiPlayerTest, OpenRefusesOtherDeviceTypesAndNoAlias)
{
    const QString mid = write(QStringLiteral("tune.mid"), midiFileBytes({60, 64, 67}));
    EXPECT_NE(send(QStringLiteral("open \"%1\" type waveaudio alias a").arg(mid)), 0);
    EXPECT_NE(send(QStringLiteral("open \"%1\" type sequencer").arg(mid)), 0);
}

TEST_F(MidiPlayerTest, OpenCloseAndAliasInUse)
{
    if (!haveSoundfont()) GTEST_SKIP() << "no General MIDI soundfont installed";
    const QString mid = write(QStringLiteral("my tune.mid"), midiFileBytes({60, 64, 67}));
    EXPECT_EQ(send(QStringLiteral("close tmpMidiPlay")), 0);
    EXPECT_EQ(send(openCommand(mid, QStringLiteral("tmpMidiPlay"))), 0);
    // The alias is taken, whatever its case.
    EXPECT_EQ(send(openCommand(mid, QStringLiteral("TMPMIDIPLAY"))), voz::mci::kDuplicateAlias);
    EXPECT_EQ(send(QStringLiteral("close tmpMidiPlay")), 0);
    EXPECT_EQ(send(openCommand(mid, QStringLiteral("tmpMidiPlay"))), 0);
    // Unquoted, with the space in the name.
    EXPECT_EQ(send(QStringLiteral("open %1 type sequencer alias other").arg(mid)), 0);
    EXPECT_EQ(send(QStringLiteral("close other")), 0);
    // Left open: the destructor frees it.
}

// Without its synthesizer module (missing, or no factory in it), "open" fails the way a failing
// synthesizer does, and the program's close and play still get their answers.
TEST_F(MidiPlayerTest, NoSynthesizerModuleFailsOpen)
{
    const QString mid = write(QStringLiteral("tune.mid"), midiFileBytes({60, 64, 67}));
    const QString notAModule = write(QStringLiteral("libvozmidi.so"), QByteArray("not a library"));
    for (const QString& module : {dir.path() + QStringLiteral("/none/libvozmidi.so"), notAModule}) {
        SCOPED_TRACE(module.toStdString());
        MidiPlayer without(module);
        EXPECT_EQ(without.sendCommand(QStringLiteral("close tmpMidiPlay")), 0);
        EXPECT_EQ(without.sendCommand(openCommand(mid, QStringLiteral("tmpMidiPlay"))), voz::mci::kCannotLoadDriver);
        EXPECT_EQ(without.sendCommand(openCommand(mid, QStringLiteral("tmpMidiPlay"))), voz::mci::kCannotLoadDriver);
        EXPECT_EQ(without.sendCommand(QStringLiteral("play tmpMidiPlay")), voz::mci::kInvalidDeviceName);
    }
}
