#include "core/alarms/alarm_list.h"
#include "core/alarms/time_text.h"

#include <gtest/gtest.h>

TEST(AlarmList, InsertKeepsAscendingTimeOrder)
{
    ListBox l;
    // Each entry goes in front, between or behind; seconds decide only when hour and minute are equal.
    for (const char* entry : {"once 09:00:00", "once 07:00:00", "twice 08:00:00", "repeat 06:59:59", "thrice 23:59:59",
                              "once 09:01:00", "once 09:00:01"}) {
        const QString e = QString::fromLatin1(entry);
        EXPECT_EQ(insertSorted(l, e.right(8), e.left(e.size() - 9)), SortResult::Inserted) << entry;
    }
    EXPECT_EQ(l.items(), (QStringList{"repeat 06:59:59", "once 07:00:00", "twice 08:00:00", "once 09:00:00",
                                      "once 09:00:01", "once 09:01:00", "thrice 23:59:59"}));
}

TEST(AlarmList, SecondEntryForATimeIsRefusedWhateverItsWord)
{
    ListBox l;
    l.setItems({"once 07:00:00", "once 09:00:00"});
    l.setListIndex(1);
    EXPECT_EQ(insertSorted(l, QStringLiteral("09:00:00"), QStringLiteral("twice")), SortResult::Refused);
    EXPECT_EQ(insertSorted(l, QStringLiteral("07:00:00"), QStringLiteral("once")), SortResult::Refused);
    EXPECT_EQ(l.items().size(), 2);
    // An insertion in front moves the selection with its entry.
    insertSorted(l, QStringLiteral("06:00:00"), QStringLiteral("once"));
    EXPECT_EQ(l.CurrentText(), QStringLiteral("once 09:00:00"));
    EXPECT_EQ(findTime(l, QStringLiteral("07:00:00")), 1);
    EXPECT_EQ(findTime(l, QStringLiteral("07:00:01")), -1);
}

TEST(AlarmList, PassedTimeCountsNowAsPassed)
{
    const QString now = QStringLiteral("10:15:30");
    EXPECT_TRUE(timePassed(QStringLiteral("once 10:15:30"), now));
    EXPECT_FALSE(timePassed(QStringLiteral("once 10:15:31"), now));
    EXPECT_TRUE(timePassed(QStringLiteral("once 09:59:59"), now));
    EXPECT_TRUE(timePassed(QStringLiteral("x at 10:14:59"), now));
    EXPECT_FALSE(timePassed(QStringLiteral("x at 11:00:00"), now));
}

TEST(AlarmList, MessageRecordsAreKnownByTheirLastTwelveCharacters)
{
    EXPECT_TRUE(isMessageRecord(QStringLiteral("Meet me at at 12:00:00")));
    EXPECT_TRUE(isMessageRecord(QStringLiteral(" at 12:00:00")));
    EXPECT_FALSE(isMessageRecord(QStringLiteral("once 12:00:00")));
    EXPECT_FALSE(isMessageRecord(QStringLiteral("at 12:00:00")));
    EXPECT_TRUE(isMessageRecord(QStringLiteral(" at")));  // short: by its first three characters
    EXPECT_FALSE(isMessageRecord(QString()));
}

TEST(TimeText, ValidTimesOnly)
{
    EXPECT_TRUE(isValidTimeText(QStringLiteral("00:00:00")));
    EXPECT_TRUE(isValidTimeText(QStringLiteral("23:59:59")));
    for (const char* bad : {"24:00:00", "12:60:00", "12:00:60", "1:00:000", "12-00-00", "12:00:0", "ab:cd:ef",
                            "12:00:00 ", "\xd9\xa1\xd9\xa2:00:00"})
        EXPECT_FALSE(isValidTimeText(QString::fromUtf8(bad))) << bad;
}
