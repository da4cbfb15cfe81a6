// The grammar of the MCI command strings the MIDI player takes.
#include "platform/mci_command.h"

#include <gtest/gtest.h>

using voz::mci::parseCommand;
using voz::mci::Verb;

// Each accepted command as the player reads it: verb, file, type, alias.
TEST(MciCommand, Accepted)
{
    const struct {
        const char* text;
        Verb verb;
        const char *file, *type, *alias;
    } rows[] = {
        // As the program sends them.
        {"open \"/run/user/1000/voz/air.mid\" type sequencer alias tmpMidiPlay", Verb::Open,
         "/run/user/1000/voz/air.mid", "sequencer", "tmpMidiPlay"},
        {"play tmpMidiPlay", Verb::Play, "", "", "tmpMidiPlay"},
        {"close \"my tune\"", Verb::Close, "", "", "my tune"},
        // A file name with blanks, quoted or not.
        {"open \"/home/ana/My Music/alarm tune.mid\" type sequencer alias tune", Verb::Open,
         "/home/ana/My Music/alarm tune.mid", "sequencer", "tune"},
        {"open /home/ana/My Music/alarm  tune.mid type sequencer alias tune", Verb::Open,
         "/home/ana/My Music/alarm  tune.mid", "sequencer", "tune"},
        // A keyword inside the name is part of the name when the rest does not read as options.
        {"open /tmp/my type alias x.mid type sequencer alias a", Verb::Open, "/tmp/my type alias x.mid", "sequencer",
         "a"},
        {"open /tmp/some file.mid", Verb::Open, "/tmp/some file.mid", "", ""},
        // Keywords in any case and order.
        {"  OPEN \"a.mid\"   ALIAS Song  Type Sequencer ", Verb::Open, "a.mid", "Sequencer", "Song"},
        {"Play Song", Verb::Play, "", "", "Song"},
        {"CLOSE song", Verb::Close, "", "", "song"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        const auto c = parseCommand(QString::fromUtf8(r.text));
        ASSERT_TRUE(c);
        EXPECT_EQ(c->verb, r.verb);
        EXPECT_EQ(c->file, QString::fromUtf8(r.file));
        EXPECT_EQ(c->type, QString::fromUtf8(r.type));
        EXPECT_EQ(c->alias, QString::fromUtf8(r.alias));
    }
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
