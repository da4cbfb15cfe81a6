// The grammar of the MCI command strings the MIDI player takes.
#include "platform/mci_command.h"

#include <gtest/gtest.h>

using voz::mci::Command;
using voz::mci::parseCommand;
using voz::mci::Verb;

namespace {
Command parsed(const char* text)
{
    const auto c = parseCommand(QString::fromUtf8(text));
    EXPECT_TRUE(c) << text;
    return c.value_or(Command{});
}
}  // namespace

TEST(MciCommand, OpenAsTheProgramSendsIt)
{
    const Command c = parsed("open \"/run/user/1000/voz/air.mid\" type sequencer alias tmpMidiPlay");
    EXPECT_EQ(c.verb, Verb::Open);
    EXPECT_EQ(c.file, QStringLiteral("/run/user/1000/voz/air.mid"));
    EXPECT_EQ(c.type, QStringLiteral("sequencer"));
    EXPECT_EQ(c.alias, QStringLiteral("tmpMidiPlay"));
}

TEST(MciCommand, QuotedFileWithSpaces)
{
    const Command c = parsed("open \"/home/ana/My Music/alarm tune.mid\" type sequencer alias tune");
    EXPECT_EQ(c.file, QStringLiteral("/home/ana/My Music/alarm tune.mid"));
    EXPECT_EQ(c.alias, QStringLiteral("tune"));
}

TEST(MciCommand, UnquotedFileWithSpaces)
{
    const Command c = parsed("open /home/ana/My Music/alarm  tune.mid type sequencer alias tune");
    EXPECT_EQ(c.file, QStringLiteral("/home/ana/My Music/alarm  tune.mid"));
    EXPECT_EQ(c.type, QStringLiteral("sequencer"));
    EXPECT_EQ(c.alias, QStringLiteral("tune"));

    // A keyword inside the name is part of the name when the rest does not read as options.
    const Command k = parsed("open /tmp/my type alias x.mid type sequencer alias a");
    EXPECT_EQ(k.file, QStringLiteral("/tmp/my type alias x.mid"));
    EXPECT_EQ(k.alias, QStringLiteral("a"));

    const Command bare = parsed("open /tmp/some file.mid");
    EXPECT_EQ(bare.file, QStringLiteral("/tmp/some file.mid"));
    EXPECT_TRUE(bare.alias.isEmpty());
    EXPECT_TRUE(bare.type.isEmpty());
}

TEST(MciCommand, KeywordsAreCaseInsensitiveAndInAnyOrder)
{
    const Command c = parsed("  OPEN \"a.mid\"   ALIAS Song  Type Sequencer ");
    EXPECT_EQ(c.verb, Verb::Open);
    EXPECT_EQ(c.file, QStringLiteral("a.mid"));
    EXPECT_EQ(c.alias, QStringLiteral("Song"));
    EXPECT_EQ(c.type, QStringLiteral("Sequencer"));
    EXPECT_EQ(parsed("Play Song").verb, Verb::Play);
    EXPECT_EQ(parsed("CLOSE song").verb, Verb::Close);
}

TEST(MciCommand, PlayAndClose)
{
    const Command p = parsed("play tmpMidiPlay");
    EXPECT_EQ(p.verb, Verb::Play);
    EXPECT_EQ(p.alias, QStringLiteral("tmpMidiPlay"));
    const Command c = parsed("close \"my tune\"");
    EXPECT_EQ(c.verb, Verb::Close);
    EXPECT_EQ(c.alias, QStringLiteral("my tune"));
}

TEST(MciCommand, Rejected)
{
    for (const char* text : {
             "",
             "   ",
             "stop tmpMidiPlay",    // unknown verb
             "pause x",
             "openx \"a.mid\"",
             "\"open\" a.mid",      // a quoted verb is no verb
             "play",                // no name
             "close",
             "play a b",            // one name only
             "play a wait",
             "close \"\"",
             "open",                // no file
             "open \"\" alias a",
             "open \"a.mid alias x",           // unclosed quote
             "open \"a.mid\"alias x",          // quote glued to the next word
             "open \"a.mid\" alias",           // keyword without value
             "open \"a.mid\" alias a alias b", // repeated keyword
             "open \"a.mid\" type sequencer shareable",
         })
        EXPECT_FALSE(parseCommand(QString::fromUtf8(text))) << '"' << text << '"';
}
