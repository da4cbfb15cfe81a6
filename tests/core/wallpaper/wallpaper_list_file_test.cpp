#include "core/wallpaper/wallpaper_list_file.h"
#include "support/files.h"

#include <QFile>
#include <climits>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(WallpaperChoicesTest, TextBothWays)
{
    struct Case {
        WallpaperChoices choices;
        const char* text;
    };
    const Case cases[] = {
        {{true, true, false, 3}, "CheckCheckPrior 3"},
        {{true, false, true, -1}, "CheckEmptyRando-1"},
        {{true, true, true, 0}, "CheckCheckRando 0"},
        {{true, false, false, 7}, "CheckEmptyPrior 7"},
        {{false, false, false, -1}, "Empty"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ComposeWallpaperChoices(c.choices), QString::fromLatin1(c.text));
        // As read back from a record: padded to the field's width.
        const auto back = ParseWallpaperChoices(QString::fromLatin1(c.text).leftJustified(30, u' '));
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(back->keep, c.choices.keep);
        if (!c.choices.keep) continue;
        EXPECT_EQ(back->change, c.choices.change);
        EXPECT_EQ(back->random, c.choices.random);
        EXPECT_EQ(back->interval, c.choices.interval);
    }
}

TEST(WallpaperChoicesTest, HandEditedTexts)
{
    struct Case {
        const char* text;
        std::optional<WallpaperChoices> choices;
    };
    const Case cases[] = {
        {"Check", WallpaperChoices{true, false, true, 0}},  // no order word: random; no digits: 0
        {"CheckCheckPrior  12x", WallpaperChoices{true, true, false, 12}},
        {"CheckCheckPrior-99999999999", WallpaperChoices{true, true, false, INT_MIN}},
        {" Check", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto got = ParseWallpaperChoices(QString::fromLatin1(c.text));
        ASSERT_EQ(got.has_value(), c.choices.has_value());
        if (!got) continue;
        EXPECT_EQ(got->change, c.choices->change);
        EXPECT_EQ(got->random, c.choices->random);
        EXPECT_EQ(got->interval, c.choices->interval);
    }
}

TEST(WallpaperListFileTest, WrittenListReadsBackTheSame)
{
    QTemporaryDir dir;
    const QString path = WallpaperListPath(dir.path() + QStringLiteral("/"));
    struct Case {
        QStringList entries;
        QByteArray bytes;
    };
    const Case cases[] = {
        {{"sea.jpg", " lead.gif", "a,b.bmp", "夏.jpg", "sea.jpg"},
         "\"sea.jpg\"\r\n\" lead.gif\"\r\n\"a,b.bmp\"\r\n\"\xe5\xa4\x8f.jpg\"\r\n\"sea.jpg\"\r\n"},
        // A quote in a name, even before a comma or at either end, survives.
        {{"my \"best\".jpg", "a\",b.jpg", "\"", "\"q\""},
         "\"my \"\"best\"\".jpg\"\r\n\"a\"\",b.jpg\"\r\n\"\"\"\"\r\n\"\"\"q\"\"\"\r\n"},
        {{}, ""},  // written over the longer list
    };
    for (const Case& c : cases) {
        QString error;
        ASSERT_TRUE(WriteWallpaperList(path, c.entries, &error)) << error.toStdString();
        const QByteArray bytes = readFile(path);
        EXPECT_EQ(bytes, c.bytes);
        EXPECT_EQ(ReadWallpaperList(bytes), c.entries);
    }
}
