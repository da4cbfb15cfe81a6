// The MIDI player's commands that need no audio output: opening, refusing and closing.
#include "platform/mci_command.h"
#include "platform/midi_player.h"
#include "midi_bytes.h"
#include "support/test_program.h"

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

// What each command answers with nothing open; kAnyError: any error.
TEST_F(MidiPlayerTest, AnswersWithNothingOpen)
{
    constexpr int kAnyError = -1;
    const QString mid = write(QStringLiteral("tune.mid"), airMidi());
    const QString text = write(QStringLiteral("text.mid"), QByteArray("not a MIDI file at all\n"));
    const QString empty = write(QStringLiteral("empty.mid"), QByteArray());
    const struct {
        QString command;
        int answer;
    } rows[] = {
        {QStringLiteral("status tmpMidiPlay mode"), kAnyError},
        {QStringLiteral("close tmpMidiPlay"), 0},
        {QStringLiteral("close tmpMidiPlay"), 0},
        {QStringLiteral("play tmpMidiPlay"), voz::mci::kInvalidDeviceName},
        {openCommand(dir.path() + QStringLiteral("/none.mid"), QStringLiteral("a")), voz::mci::kFileNotFound},
        {openCommand(dir.path(), QStringLiteral("a")), voz::mci::kFileNotFound},  // a folder
        {openCommand(text, QStringLiteral("a")), voz::mci::kInvalidFile},
        {openCommand(empty, QStringLiteral("a")), voz::mci::kInvalidFile},
        {QStringLiteral("play a"), kAnyError},  // nothing was opened
        {QStringLiteral("open \"%1\" type waveaudio alias a").arg(mid), kAnyError},
        {QStringLiteral("open \"%1\" type sequencer").arg(mid), kAnyError},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.command.toStdString());
        if (r.answer == kAnyError) EXPECT_NE(send(r.command), 0);
        else EXPECT_EQ(send(r.command), r.answer);
    }
}

TEST_F(MidiPlayerTest, OpenCloseAndAliasInUse)
{
    if (!haveSoundfont()) GTEST_SKIP() << "no General MIDI soundfont installed";
    const QString mid = write(QStringLiteral("my tune.mid"), airMidi());
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
    const QString mid = write(QStringLiteral("tune.mid"), airMidi());
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
