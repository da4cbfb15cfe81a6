#include "core/files/settings_file.h"
#include "core/model/truth.h"
#include "core/model/twips.h"

#include "support/full_disk.h"
#include "support/unreadable_file.h"
#include "support/files.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
struct SettingsFileTest : ::testing::Test {
    QTemporaryDir dir;
    QString app() const { return dir.path() + QStringLiteral("/"); }
};
}  // namespace

TEST_F(SettingsFileTest, RecordBytesAreLabelValuesTextLittleEndianPadded)
{
    const QByteArray b = makeRecord(QStringLiteral("[Setting]"), 1, -2, QStringLiteral("AutomaticLoadOn")).toBytes();
    ASSERT_EQ(b.size(), 51);
    EXPECT_EQ(b.left(17), QByteArray("[Setting]        "));
    EXPECT_EQ(b.mid(17, 4), QByteArray("\x01\x00\xfe\xff", 4));
    EXPECT_EQ(b.mid(21), QByteArray("AutomaticLoadOn               "));

    const SettingsRecord back = SettingsRecord::fromBytes(b);
    EXPECT_EQ(trimBlanks(back.Label()), QStringLiteral("[Setting]"));
    EXPECT_EQ(back.Value1, 1);
    EXPECT_EQ(back.Value2, -2);
    EXPECT_EQ(trimBlanks(back.Text()), QStringLiteral("AutomaticLoadOn"));
}

TEST_F(SettingsFileTest, FieldsAreCutToTheirWidthAtCharacterBoundaries)
{
    SettingsRecord r;
    r.setLabel(QStringLiteral("[MessaegInputLoc]"));  // exactly 17: fills the field
    EXPECT_EQ(r.LabelBytes, QByteArray("[MessaegInputLoc]"));
    r.setText(QString(31, QLatin1Char('a')));
    EXPECT_EQ(r.TextBytes, QByteArray(30, 'a'));
    // 29 ASCII bytes then a two-byte character: it cannot fit whole, so it goes and a blank pads.
    r.setText(QString(29, QLatin1Char('b')) + QStringLiteral("é"));
    EXPECT_EQ(r.TextBytes, QByteArray(29, 'b') + ' ');
    // Three-byte characters: 10 fit exactly in 30 bytes, the eleventh is dropped whole.
    r.setText(QString(11, QChar(0x6642)));
    EXPECT_EQ(r.Text(), QString(10, QChar(0x6642)));
}

TEST_F(SettingsFileTest, StoringCreatesFolderAndZeroFillsEarlierRecords)
{
    const QString app = dir.path() + QStringLiteral("/new/folder/");
    const SettingsRecord r = makeRecord(QStringLiteral("[Setting]"), 1, 1, QStringLiteral("AutomaticLoadOff"));
    ASSERT_TRUE(storeSettingsRecord(app, 4, r));
    const QByteArray zeros(51, '\0');
    EXPECT_EQ(readFile(app + QStringLiteral("voz.ini")), zeros + zeros + zeros + r.toBytes());

    // Writing record 2 later keeps record 4 and does not grow the file.
    const SettingsRecord two = makeRecord(QStringLiteral("[MessaegInputLoc]"));
    ASSERT_TRUE(storeSettingsRecord(app, 2, two));
    EXPECT_EQ(readFile(app + QStringLiteral("voz.ini")), zeros + two.toBytes() + zeros + r.toBytes());
}

TEST_F(SettingsFileTest, ReaderToleratesMissingShortAndDamagedFiles)
{
    SettingsRecord r = makeRecord(QStringLiteral("junk"));
    {
        SettingsReader missing(app());
        EXPECT_FALSE(missing.exists());
        EXPECT_FALSE(missing.read(4, r));
        EXPECT_EQ(r.LabelBytes, QByteArray(17, '\0'));
    }
    const SettingsRecord one = makeRecord(QStringLiteral("[TimeInputLoc]"), 300);
    ASSERT_TRUE(writeFile(app() + QStringLiteral("voz.ini"), one.toBytes() + "garbage"));  // then a half record

    SettingsReader reader(app());
    ASSERT_TRUE(reader.exists());
    SettingsRecord got;
    EXPECT_TRUE(reader.read(1, got));
    EXPECT_EQ(got.Value1, 300);
    EXPECT_FALSE(reader.read(2, got));  // short: the rest reads as zeros
    EXPECT_EQ(got.LabelBytes.left(7), QByteArray("garbage"));
    EXPECT_EQ(got.Value1, 0);
    EXPECT_FALSE(reader.read(7, got));
    EXPECT_EQ(got.toBytes().mid(17, 4), QByteArray(4, '\0'));
}

TEST_F(SettingsFileTest, ReaderSaysWhyAFileInThePlaceCannotBeRead)
{
    EXPECT_TRUE(SettingsReader(app()).problem().isEmpty());  // missing is no problem
    const QString path = app() + QStringLiteral("voz.ini");
    for (const UnreadableFile& kind : unreadableFiles()) {
        SCOPED_TRACE(kind.what);
        placeUnreadable(path, kind);
        SettingsReader reader(app());
        SettingsRecord r = makeRecord(QStringLiteral("[Setting]"));
        for (int n = 4; n <= 6; ++n) EXPECT_FALSE(reader.read(n, r));
        EXPECT_EQ(r.LabelBytes, QByteArray(17, '\0'));  // a record that matches no label
        EXPECT_EQ(reader.problem(), kind.reason);
    }
    QFile::remove(path);
}

namespace {
struct FailedRecordWrite : ::testing::TestWithParam<NoRoom> {};
}  // namespace

TEST_P(FailedRecordWrite, LeavesNoHalfRecordAndSaysWhy)
{
    // A record that straddles a block (or the size limit) used to be cut after its first bytes.
    const NoRoomFolder room(GetParam());
    if (room.disk && !room.disk->ok()) GTEST_SKIP() << qPrintable(room.disk->whyNot());
    const QString folder = room.path();
    // On the small file system the next record starts 16 bytes before a page's end.
    const int records = room.disk ? 4096 / SettingsRecord::kSize : 3;
    SettingsRecord r = makeRecord(QStringLiteral("[Setting]"), 0, 0, QStringLiteral("AutomaticLoadOn"));
    for (int n = 1; n <= records; ++n) {
        r.Value1 = static_cast<std::int16_t>(n);
        ASSERT_TRUE(storeSettingsRecord(folder, n, r));
    }
    const QByteArray old = readFile(folder + QStringLiteral("voz.ini"));

    QString reason;
    r.Value1 = -1;
    EXPECT_FALSE(room.starved(static_cast<rlim_t>(old.size() + 20),
                              [&] { return storeSettingsRecord(folder, records + 1, r, &reason); }));
    EXPECT_EQ(reason.toStdString(), room.error().toStdString());
    EXPECT_EQ(readFile(folder + QStringLiteral("voz.ini")), old);

    // A record whose room is taken already is still stored on the full disk.
    r.Value1 = 1234;
    EXPECT_TRUE(storeSettingsRecord(folder, 1, r, &reason)) << qPrintable(reason);
    EXPECT_EQ(readFile(folder + QStringLiteral("voz.ini")).left(SettingsRecord::kSize), r.toBytes());
}

INSTANTIATE_TEST_SUITE_P(Disks, FailedRecordWrite, ::testing::ValuesIn(kNoRooms), noRoomName);

TEST_F(SettingsFileTest, TrimBlanksTrimsOnlySpaces)
{
    EXPECT_EQ(trimBlanks(QStringLiteral("  [Setting]   ")), QStringLiteral("[Setting]"));
    EXPECT_EQ(trimBlanks(QString(QChar(0)) + QStringLiteral("x ")), QString(QChar(0)) + QStringLiteral("x"));
    EXPECT_EQ(trimBlanks(QStringLiteral("   ")), QString());
}

TEST(TruthValues, OnlyMinusOneIsTrue)
{
    EXPECT_TRUE(isTrue(VTrue));
    EXPECT_FALSE(isTrue(1));
    EXPECT_FALSE(isTrue(0));
    EXPECT_EQ(toVBool(true), -1);
}

TEST(Twips, PixelsAndRoundingHalvesToEven)
{
    EXPECT_EQ(twipsToPixels(4476), 298);  // 298.4
    EXPECT_EQ(twipsToPixels(2892), 193);  // 192.8
    EXPECT_EQ(twipsToPixels(7.5 * 15), 8);  // 7.5 -> 8
    EXPECT_EQ(twipsToPixels(6.5 * 15), 6);  // 6.5 -> 6
    EXPECT_EQ(twipsToInt16(9.5), 10);
    EXPECT_EQ(twipsToInt16(10.5), 10);
    EXPECT_EQ(twipsToInt16(100000), 32767);
}
