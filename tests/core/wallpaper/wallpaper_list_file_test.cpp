#include "core/wallpaper/wallpaper_list_file.h"
#include "support/files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <climits>
#include <tuple>

// The choices as the program writes them read back the same from a record, padded to the
// field's width; hand-edited texts read as well as they can.
TEST(WallpaperChoicesTest, TextBothWaysAndHandEdited)
{
    const struct {
        const char* text;
        std::optional<WallpaperChoices> choices;
        bool written;
    } rows[] = {
        {"CheckCheckPrior 3", WallpaperChoices{true, true, false, 3}, true},
        {"CheckEmptyRando-1", WallpaperChoices{true, false, true, -1}, true},
        {"CheckCheckRando 0", WallpaperChoices{true, true, true, 0}, true},
        {"CheckEmptyPrior 7", WallpaperChoices{true, false, false, 7}, true},
        {"Empty", WallpaperChoices{false, false, false, -1}, true},
        {"Check", WallpaperChoices{true, false, true, 0}, false},  // no order word: random; no digits: 0
        {"CheckCheckPrior  12x", WallpaperChoices{true, true, false, 12}, false},
        {"CheckCheckPrior-99999999999", WallpaperChoices{true, true, false, INT_MIN}, false},
        {" Check", std::nullopt, false},
    };
    auto fields = [](const WallpaperChoices& c) { return std::tuple(c.keep, c.change, c.random, c.interval); };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        const QString text = QString::fromLatin1(r.text);
        if (r.written) {
            EXPECT_EQ(ComposeWallpaperChoices(*r.choices), text);
        }
        const auto got = ParseWallpaperChoices(r.written ? text.leftJustified(30, u' ') : text);
        ASSERT_EQ(got.has_value(), r.choices.has_value());
        if (!got) continue;
        EXPECT_EQ(fields(*got), fields(*r.choices));
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
