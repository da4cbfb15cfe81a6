#include "core/alarms/alarm_file.h"
#include "core/wallpaper/wallpaper_list_file.h"

#include <gtest/gtest.h>

// One reader, each file with its own blank and quote rules: a data file keeps the blanks after an
// unquoted field, skips tabs before one and closes a quoted field at the next quote; Wpaper.dat
// trims spaces around an unquoted entry and reads doubled quotes.
TEST(QuotedFields, EachFileWithItsRules)
{
    const struct {
        QByteArray content;
        QStringList data, wallpaper;
    } rows[] = {
        {"", {}, {}},
        {"\"once 07:00:00\"\r\n\"Hi, you at 07:00:00\"\r\n", {"once 07:00:00", "Hi, you at 07:00:00"},
         {"once 07:00:00", "Hi, you at 07:00:00"}},
        {"  once 07:00:00, twice 08:00:00\nthrice 09:00:00\rrepeat 10:00:00",
         {"once 07:00:00", "twice 08:00:00", "thrice 09:00:00", "repeat 10:00:00"},
         {"once 07:00:00", "twice 08:00:00", "thrice 09:00:00", "repeat 10:00:00"}},
        {"a\r\n\r\nb", {"a", "", "b"}, {"a", "", "b"}},  // a blank line is an empty field
        {"  x.gif  \n", {"x.gif  "}, {"x.gif"}},
        {"\t\"y,z.jpg\"\n", {"y,z.jpg"}, {"\t\"y", "z.jpg\""}},
        {"\" spaced \"\r\n", {" spaced "}, {" spaced "}},
        // After the closing quote, up to the delimiter: dropped.
        {"\"a\"junk,\"b\"\n", {"a", "b"}, {"a", "b"}},
        // An unclosed quote runs to the end of the file.
        {"\"unterminated\r\nline", {"unterminated\r\nline"}, {"unterminated\r\nline"}},
        // Doubled quotes; a list written before they were, with a quote inside a name.
        {"\"a\"\"b\"\r\n\"\"\r\n", {"a", ""}, {"a\"b", ""}},
        {"\"my \"best\".jpg\"\r\n\"b.jpg\"\r\n", {"my ", "b.jpg"}, {"my \"best\".jpg", "b.jpg"}},
        {QByteArray::fromHex("22c3a922"), {"é"}, {"é"}},
        // A byte order mark opening the file goes, one opening a later field stays.
        {"\xEF\xBB\xBF\"once 07:00:00\"\n\xEF\xBB\xBFx", {"once 07:00:00", QStringLiteral("\uFEFFx")},
         {"once 07:00:00", QStringLiteral("\uFEFFx")}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.content.toStdString());
        EXPECT_EQ(readDataFields(r.content), r.data);
        EXPECT_EQ(ReadWallpaperList(r.content), r.wallpaper);
    }
}
