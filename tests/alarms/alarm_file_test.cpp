#include "alarms/alarm_file.h"
#include "outside/check_kit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
struct Lists {
    ListBox data, messages;
};

LoadReport load(Lists& l, const QByteArray& content, const QString& now = QStringLiteral("06:00:00"))
{
    CheckKit kit(QDateTime(QDate(2026, 12, 7), QTime::fromString(now, QStringLiteral("HH:mm:ss"))));
    return mergeDataFile(content, QStringLiteral("my.dat"), now, kit, l.data, l.messages);
}
}  // namespace

TEST(DataFileFields, QuotedUnquotedAndLineEnds)
{
    EXPECT_EQ(readDataFields("\"once 07:00:00\"\r\n\"Hi, you at 07:00:00\"\r\n"),
              (QStringList{QStringLiteral("once 07:00:00"), QStringLiteral("Hi, you at 07:00:00")}));
    EXPECT_EQ(readDataFields("  once 07:00:00,twice 08:00:00\nthrice 09:00:00\rrepeat 10:00:00"),
              (QStringList{QStringLiteral("once 07:00:00"), QStringLiteral("twice 08:00:00"),
                           QStringLiteral("thrice 09:00:00"), QStringLiteral("repeat 10:00:00")}));
    // A quoted field ends at the next quote: what follows up to the delimiter is dropped.
    EXPECT_EQ(readDataFields("\"a\"junk,\"b\"\n"), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    // A lone quote runs to the end of the file.
    EXPECT_EQ(readDataFields("\"unterminated\r\nline"), QStringList{QStringLiteral("unterminated\r\nline")});
    EXPECT_TRUE(readDataFields("").isEmpty());
    EXPECT_EQ(readDataFields(QByteArray::fromHex("22c3a922")), QStringList{QStringLiteral("é")});
}

TEST(DataFileWrite, AlarmsThenMessagesQuotedWithCrLf)
{
    ListBox data, messages;
    EXPECT_TRUE(composeDataFile(data, messages).isEmpty());
    data.setItems({QStringLiteral("once 07:00:00"), QStringLiteral("twice 08:00:00")});
    messages.setItems({QStringLiteral("Café at 08:00:00")});
    EXPECT_EQ(composeDataFile(data, messages),
              QByteArray("\"once 07:00:00\"\r\n\"twice 08:00:00\"\r\n\"Caf\xc3\xa9 at 08:00:00\"\r\n"));
}

TEST(DataFileWrite, FailedWriteKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/my.dat");
    ASSERT_TRUE(writeFileSafely(path, "old\r\n"));
    ASSERT_TRUE(writeFileSafely(path, "new\r\n"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("new\r\n"));
    f.close();
    // A folder that cannot be written: the write fails with a reason, the file stays.
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QString reason;
    const bool ok = writeFileSafely(path, "lost", &reason);
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (ok) GTEST_SKIP() << "running as a user that ignores folder permissions";
    EXPECT_FALSE(reason.isEmpty());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("new\r\n"));
}

TEST(DataFileLoad, MergesInTimeOrderDroppingPassedAndTakenTimes)
{
    Lists l;
    l.data.setItems({QStringLiteral("repeat 13:00:00")});
    const LoadReport r = load(l,
                              "\"once 14:00:00\"\r\n\"twice 13:00:00\"\r\n\"once 11:00:00\"\r\n\"thrice 12:00:00\"\r\n"
                              "\"once 12:30:00\"\r\n\"Lunch at 12:30:00\"\r\n\"Again at 12:30:00\"\r\n"
                              "\"Orphan at 15:00:00\"\r\n\"Old at 11:00:00\"\r\n",
                              QStringLiteral("12:00:00"));
    EXPECT_EQ(r.badRecords, 0);
    EXPECT_TRUE(r.errorLines.isEmpty());
    // 11:00 and 12:00 have passed (now counts as passed), 13:00 was already in the list.
    EXPECT_EQ(l.data.items(), (QStringList{QStringLiteral("once 12:30:00"), QStringLiteral("repeat 13:00:00"),
                                         QStringLiteral("once 14:00:00")}));
    // One message per time; a message without an alarm is still loaded.
    EXPECT_EQ(l.messages.items(), (QStringList{QStringLiteral("Lunch at 12:30:00"), QStringLiteral("Orphan at 15:00:00")}));

    // Loading the same file again adds nothing and reports nothing.
    Lists again;
    again.data.setItems(l.data.items());
    again.messages.setItems(l.messages.items());
    const LoadReport r2 = load(again, composeDataFile(l.data, l.messages), QStringLiteral("12:00:00"));
    EXPECT_EQ(r2.badRecords, 0);
    EXPECT_EQ(again.data.items(), l.data.items());
    EXPECT_EQ(again.messages.items(), l.messages.items());
}

TEST(DataFileLoad, BadRecordsAreReportedByNumberAndGoodOnesStillLoad)
{
    Lists l;
    const LoadReport r =
        load(l, "\"once 07:00:00\"\r\n\"sometimes 08:00:00\"\r\n\"twice 09:00:00\"\r\n\"once 25:00:00\"\r\n"
                "\"Hi at 7:00\"\r\n\"once 10:00:00\"\r\n");
    EXPECT_EQ(r.errorLines, (QStringList{QStringLiteral("my.dat"), QStringLiteral("Invalid data in file, Data  2"),
                                         QStringLiteral("Invalid data in file, Data  4"),
                                         QStringLiteral("Invalid data in file, Data  5")}));
    EXPECT_EQ(l.data.items().size(), 3);
}

TEST(DataFileLoad, EighthBadRecordStopsTheLoad)
{
    QByteArray content;
    for (int i = 1; i <= 20; ++i) content += "\"junk " + QByteArray::number(i) + "\"\r\n";
    content += "\"once 07:00:00\"\r\n";
    Lists l;
    const LoadReport r = load(l, content);
    ASSERT_EQ(r.errorLines.size(), 10);
    EXPECT_EQ(r.errorLines[8], QStringLiteral("Invalid data in file, Data  8"));
    EXPECT_EQ(r.errorLines[9], QStringLiteral("my.dat seems to be wrong format"));
    EXPECT_EQ(r.recordsRead, 8);
    EXPECT_TRUE(l.data.items().isEmpty());
}

TEST(DataFileLoad, JunkNeverBreaksTheListOrder)
{
    QByteArray junk;
    for (int i = 0; i < 5000; ++i) junk += static_cast<char>((i * 7919) % 256);
    junk += "\n\"once 23:00:00\",\"once 22:00:00\"\n";
    junk += QByteArray(1 << 20, 'x');  // a line of a megabyte
    Lists l;
    const LoadReport r = load(l, junk);
    EXPECT_LE(r.badRecords, 8);
    for (int i = 1; i < l.data.items().size(); ++i)
        EXPECT_LT(l.data.items()[i - 1].right(8), l.data.items()[i].right(8));
}

TEST(DataFileLoad, ManyLinesCountBeyondSixteenBits)
{
    QByteArray content;
    for (int i = 0; i < 70000; ++i) content += "\"once 23:59:59\"\r\n";
    content += "\"bad\"\r\n";
    Lists l;
    const LoadReport r = load(l, content);
    EXPECT_EQ(l.data.items(), QStringList{QStringLiteral("once 23:59:59")});
    ASSERT_EQ(r.errorLines.size(), 2);
    EXPECT_EQ(r.errorLines[1], QStringLiteral("Invalid data in file, Data  70001"));
}
