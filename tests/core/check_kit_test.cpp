#include "core/check_kit.h"

#include <gtest/gtest.h>

namespace {
CheckKit at(const char* hhmmss)
{
    return CheckKit(QDateTime(QDate(2026, 12, 7), QTime::fromString(QString::fromLatin1(hhmmss), QStringLiteral("HH:mm:ss"))));
}

// How far `to` lies ahead of `from` on a dial of `turn` (60 minutes, 24 hours); 0 is the coming turn.
int stepsAhead(int from, int to, int turn) { return (to - from + turn) % turn; }
}  // namespace

TEST(CheckKit, AcceptsExactlyTheEntriesTheProgramWrites)
{
    const CheckKit kit = at("12:00:00");
    auto takes = [&](void (CheckKit::*check)(const QString&, std::int16_t&) const, const char* line) {
        std::int16_t answer = 1;
        (kit.*check)(QString::fromLatin1(line), answer);
        return answer != 0;
    };
    for (const char* good : {"once 00:00:00", "twice 23:59:59", "thrice 12:30:05", "repeat 07:00:00"})
        EXPECT_TRUE(takes(&CheckKit::CheckAlarmLine, good)) << good;
    for (const char* bad : {"once  07:00:00", "Once 07:00:00", "once 24:00:00", "once 07:60:00", "once07:00:00",
                            "07:00:00", "", "often 07:00:00", "once 7:00:00", "once 07:00:00 "})
        EXPECT_FALSE(takes(&CheckKit::CheckAlarmLine, bad)) << bad;
    for (const char* good : {" at 07:00:00", "Wake up at 07:00:00", "Meet me at at 23:59:59"})
        EXPECT_TRUE(takes(&CheckKit::CheckMessageLine, good)) << good;
    // A quote could not be saved back into a data file.
    for (const char* bad :
         {"Wake up at 7:00:00", "Wake up 07:00:00", "at 07:00:00", "x at 07:00:61", "Say \"hi\" at 20:00:00"})
        EXPECT_FALSE(takes(&CheckKit::CheckMessageLine, bad)) << bad;
}

TEST(CheckKit, ChimeTargetsAreTheNextStepAndZeroAtTheTurn)
{
    const struct {
        const char* now;
        std::int16_t interval, next;
    } rows[] = {{"07:44:59", 15, 45}, {"07:45:00", 15, 0}, {"07:59:10", 1, 0},
                {"07:03:10", 4, 4},   {"22:10:00", 60, 23}, {"23:10:00", 60, 0}};
    std::int16_t next = -1;
    for (const auto& r : rows) {
        at(r.now).CalcEMNext(r.interval, next);
        EXPECT_EQ(next, r.next) << r.now;
    }
}

TEST(CheckKit, ChimeSetupFromTheWindowControls)
{
    CheckBox chk;
    ComboBox cb;
    cb.setItems({"1", "5", "60"});
    std::int16_t interval = 0, answer = 0, next = -1;
    at("10:07:00").EMPlaySetup(chk, cb, interval, answer, next);  // unchecked
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(next, -1);
    chk.setValue(1);
    cb.setListIndex(1);
    at("10:07:00").EMPlaySetup(chk, cb, interval, answer, next);
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(interval, 5);
    EXPECT_EQ(next, 10);
    // A reloaded window shows " 60" with no item chosen.
    cb.setListIndex(-1);
    cb.setText(QStringLiteral(" 60"));
    at("10:07:00").EMPlaySetup(chk, cb, interval, answer, next);
    EXPECT_EQ(interval, 60);
    EXPECT_EQ(next, 11);
}

// A change is planned after now and at most one interval ahead, the next one exactly one interval
// after it: never behind the clock, where the resync at second 45 would take it as missed.
TEST(CheckKit, WallpaperTargetsComeWithinOneIntervalAndFollowEachOtherByIt)
{
    const QStringList entries = {"5 min", "10 min", "15 min", "30 min", "1 hr", "2 hrs", "3 hrs", "4 hrs"};
    const int minutes[] = {5, 10, 15, 30, 60, 120, 180, 240};
    CheckBox chk;
    chk.setValue(1);
    ComboBox cb;
    cb.setItems(entries);
    for (int e = 0; e < entries.size(); ++e) {
        cb.setListIndex(e);
        for (int h = 0; h < 24; ++h) {
            for (int m = 0; m < 60; ++m) {
                const CheckKit kit(QDateTime(QDate(2026, 12, 7), QTime(h, m, 45)));
                VBool armed = VFalse;
                std::int16_t interval = 0, next = -1;
                kit.WallpaperSetup(chk, cb, armed, interval, next);
                ASSERT_EQ(interval, minutes[e]);
                ASSERT_EQ(armed, VTrue);
                const bool hours = interval >= 60;
                const int step = hours ? interval / 60 : interval, turn = hours ? 24 : 60;
                const int ahead = stepsAhead(hours ? h : m, next, turn);
                ASSERT_TRUE(ahead > 0 && ahead <= step) << h << ":" << m << " " << entries[e].toStdString() << " -> " << next;
                std::int16_t after = next;
                kit.CalcWallNext(interval, after);
                ASSERT_TRUE(after >= 0 && after < turn && stepsAhead(next, after, turn) == step) << "after " << next;
            }
        }
    }
    chk.setValue(0);
    VBool armed = VFalse;
    std::int16_t interval = 0, next = 7;
    at("10:00:00").WallpaperSetup(chk, cb, armed, interval, next);
    EXPECT_EQ(next, -1);
    EXPECT_EQ(armed, VFalse);
}
