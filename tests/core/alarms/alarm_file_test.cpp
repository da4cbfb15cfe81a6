#include "core/alarms/alarm_file.h"
#include "core/files/readable_file.h"
#include "core/check_kit.h"
#include "support/full_disk.h"
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>
#include <sys/sysmacros.h>

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

TEST(DataFileWrite, AlarmsThenMessagesQuotedWithCrLf)
{
    ListBox data, messages;
    EXPECT_TRUE(composeDataFile(data, messages).isEmpty());
    data.setItems({"once 07:00:00", "twice 08:00:00"});
    messages.setItems({"Café at 08:00:00"});
    EXPECT_EQ(composeDataFile(data, messages),
              QByteArray("\"once 07:00:00\"\r\n\"twice 08:00:00\"\r\n\"Caf\xc3\xa9 at 08:00:00\"\r\n"));
}

namespace {
// Lines of a data file, different for each seed.
QByteArray dataLines(int count, char seed)
{
    QByteArray out;
    for (int i = 0; i < count; ++i) out += "\"once " + QByteArray(1, seed) + QByteArray::number(i) + "\"\r\n";
    return out;
}

struct FailedWrite : ::testing::TestWithParam<NoRoom> {};
}  // namespace

TEST_P(FailedWrite, KeepsEveryByteOfTheOldFileAndSaysWhy)
{
    const NoRoomFolder folder(GetParam());
    if (folder.disk && !folder.disk->ok()) GTEST_SKIP() << qPrintable(folder.disk->whyNot());
    const QString path = folder.path() + QStringLiteral("my.dat");
    ASSERT_TRUE(writeFileSafely(path, "first\r\n"));
    const QByteArray old = dataLines(150, 'o');  // a few KiB
    ASSERT_TRUE(writeFileSafely(path, old));
    ASSERT_EQ(readFile(path), old);

    // Less room than the new file needs, though it is small enough to sit in a write buffer.
    QString reason;
    EXPECT_FALSE(folder.starved(4096, [&] { return writeFileSafely(path, dataLines(400, 'n'), &reason); }));
    EXPECT_EQ(reason.toStdString(), folder.error().toStdString());
    EXPECT_EQ(readFile(path), old);
    // Nothing of the failed attempt is left behind.
    QStringList files = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    files.removeAll(QStringLiteral("filler"));
    EXPECT_EQ(files, QStringList{"my.dat"});
}

INSTANTIATE_TEST_SUITE_P(Disks, FailedWrite, ::testing::ValuesIn(kNoRooms), noRoomName);

TEST(DataFileLoad, MergesInTimeOrderDroppingPassedAndTakenTimes)
{
    Lists l;
    l.data.setItems({"repeat 13:00:00"});
    const LoadReport r = load(l,
                              "\"once 14:00:00\"\r\n\"twice 13:00:00\"\r\n\"once 11:00:00\"\r\n\"thrice 12:00:00\"\r\n"
                              "\"once 12:30:00\"\r\n\"Lunch at 12:30:00\"\r\n\"Again at 12:30:00\"\r\n"
                              "\"Orphan at 15:00:00\"\r\n\"Old at 11:00:00\"\r\n",
                              QStringLiteral("12:00:00"));
    EXPECT_EQ(r.badRecords, 0);
    EXPECT_TRUE(r.errorLines.isEmpty());
    // 11:00 and 12:00 have passed (now counts as passed), 13:00 was already in the list.
    EXPECT_EQ(l.data.items(), (QStringList{"once 12:30:00", "repeat 13:00:00", "once 14:00:00"}));
    // One message per time; a message without an alarm is still loaded.
    EXPECT_EQ(l.messages.items(), (QStringList{"Lunch at 12:30:00", "Orphan at 15:00:00"}));

    // Loading the same file again adds nothing and reports nothing.
    const QStringList alarms = l.data.items(), messages = l.messages.items();
    const LoadReport r2 = load(l, composeDataFile(l.data, l.messages), QStringLiteral("12:00:00"));
    EXPECT_EQ(r2.badRecords, 0);
    EXPECT_EQ(l.data.items(), alarms);
    EXPECT_EQ(l.messages.items(), messages);
}

// Bad records are reported after the file's name by their number, also beyond 16 bits; the eighth
// stops the load.
TEST(DataFileLoad, BadRecordsAreReportedByNumberAndTheEighthStopsTheLoad)
{
    QByteArray junk, many;
    for (int i = 1; i <= 20; ++i) junk += "\"junk " + QByteArray::number(i) + "\"\r\n";
    for (int i = 0; i < 70000; ++i) many += "\"once 23:59:59\"\r\n";
    QStringList stopped{"my.dat"};
    for (int i = 1; i <= 8; ++i) stopped << QStringLiteral("Invalid data in file, Data  %1").arg(i);
    stopped << QStringLiteral("my.dat seems to be wrong format");
    const struct {
        QByteArray content;
        QStringList errors, data;
        qint64 read;
    } rows[] = {
        {"\"once 07:00:00\"\r\n\"sometimes 08:00:00\"\r\n\"twice 09:00:00\"\r\n\"once 25:00:00\"\r\n\"Hi at 7:00\"\r\n"
         "\"once 10:00:00\"\r\n",
         {"my.dat", "Invalid data in file, Data  2", "Invalid data in file, Data  4", "Invalid data in file, Data  5"},
         {"once 07:00:00", "twice 09:00:00", "once 10:00:00"}, 6},
        {junk + "\"once 07:00:00\"\r\n", stopped, {}, 8},
        {many + "\"bad\"\r\n", {"my.dat", "Invalid data in file, Data  70001"}, {"once 23:59:59"}, 70001},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.read);
        Lists l;
        const LoadReport report = load(l, r.content);
        EXPECT_EQ(report.errorLines, r.errors);
        EXPECT_EQ(report.recordsRead, r.read);
        EXPECT_EQ(l.data.items(), r.data);
    }
}

TEST(DataFileLoad, JunkBetweenGoodRecordsNeverBreaksTheListOrder)
{
    // Seven junk records, one short of the limit, between good ones in scrambled order; one junk
    // record is a line of a megabyte.
    const QStringList good = {"once 23:00:00", "twice 08:00:00", "once 22:00:00", "thrice 09:30:00",
                              "repeat 12:00:00", "once 07:00:01", "once 15:45:00"};
    QByteArray content;
    QStringList expectedErrors{"my.dat"};
    for (int i = 0; i < good.size(); ++i) {
        QByteArray junk;
        for (int k = 0; k < 300; ++k) {
            const char ch = static_cast<char>((i * 7919 + k * 131) % 256);
            junk += QByteArrayView(",\"\r\n").contains(ch) ? '#' : ch;  // one field, one line
        }
        if (i == 3) junk += QByteArray(1 << 20, 'x');
        content += junk + "\n\"" + good[i].toLatin1() + "\"\r\n";
        expectedErrors << QStringLiteral("Invalid data in file, Data  ") + QString::number(2 * i + 1);
    }
    Lists l;
    const LoadReport r = load(l, content);
    EXPECT_EQ(r.errorLines, expectedErrors);
    QStringList sorted = good;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) { return a.right(8) < b.right(8); });
    EXPECT_EQ(l.data.items(), sorted);
}

TEST(DataFileWrite, OnlyAPlainFileIsReplacedAlsoThroughALink)
{
    // What stands at a path, the link itself rather than what it leads to.
    auto kindAt = [](const QString& path) {
        struct stat st {};
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return 'n';
        return S_ISLNK(st.st_mode) ? 'l' : S_ISFIFO(st.st_mode) ? 'p' : S_ISCHR(st.st_mode) ? 'c' : S_ISDIR(st.st_mode) ? 'd' : 'f';
    };
    // Each fails for root too; the device is /dev/null's, made where replacing it harms nothing.
    const struct {
        char kind;
        bool linked;  // my.dat is a link to a link to it
        const char* reason;  // empty: written through the links
    } cases[] = {{'c', true, "it is not a plain file"}, {'p', false, "it is not a plain file"},
                 {'p', true, "it is not a plain file"}, {'d', true, "it is a folder"}, {'f', true, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.kind) + (c.linked ? " linked" : ""));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("my.dat"));
        const QString target = c.linked ? dir.filePath(QStringLiteral("target")) : path;
        const QByteArray name = QFile::encodeName(target);
        const bool made = c.kind == 'c'   ? ::mknod(name.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0
                          : c.kind == 'p' ? ::mkfifo(name.constData(), 0600) == 0
                          : c.kind == 'd' ? QDir().mkpath(target)
                                          : writeFileSafely(target, "old\r\n");
        if (!made && c.kind == 'c') continue;  // only root makes devices
        ASSERT_TRUE(made);
        if (c.linked) {
            ASSERT_TRUE(QFile::link(target, dir.filePath(QStringLiteral("hop"))));
            ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("hop")), path));
        }
        QString reason;
        EXPECT_EQ(writeFileSafely(path, "\"once 07:00:00\"\r\n", &reason), *c.reason == '\0');
        EXPECT_EQ(reason, QString::fromLatin1(c.reason));
        // The links and what they lead to stay; a plain file got the bytes; no temporary is left.
        EXPECT_EQ(kindAt(target), c.kind);
        EXPECT_EQ(kindAt(path), c.linked ? 'l' : c.kind);
        if (c.kind == 'f') {
            EXPECT_EQ(readFile(path), QByteArray("\"once 07:00:00\"\r\n"));
        }
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size(), c.linked ? 3 : 1);
    }
}

TEST(DataFileRead, AFileBeyondTheLimitIsRefused)
{
    QTemporaryDir dir;
    const QByteArray lines = dataLines(10, 'a');
    const QString path = dir.filePath(QStringLiteral("my.dat"));
    ASSERT_TRUE(writeFileSafely(path, lines));
    const struct {
        QString path;
        qint64 limit;
        FileRead result;
    } cases[] = {
        {path, lines.size(), FileRead::Read},
        {path, lines.size() - 1, FileRead::TooLarge},
        // Its size reads 0 and its bytes come only by reading: the limit holds while reading.
        {QStringLiteral("/proc/self/maps"), 64, FileRead::TooLarge},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.limit);
        QByteArray bytes("left over");
        EXPECT_EQ(readWholeFile(c.path, c.limit, bytes), c.result);
        EXPECT_EQ(bytes, c.result == FileRead::Read ? lines : QByteArray());
        EXPECT_LE(bytes.capacity(), c.limit);  // never more than the file's size
    }
}
