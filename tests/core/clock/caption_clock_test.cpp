#include "core/clock/caption_clock.h"

#include <QTimeZone>
#include <gtest/gtest.h>

TEST(CaptionClock, TimeZoneFieldGoesLiteralTextStays)
{
    const struct {
        const char *format, *expected;
    } cases[] = {
        {"HH:mm:ss t", "HH:mm:ss"},
        {"h:mm:ss AP, t", "h:mm:ss AP"},
        {"H:mm:ss (t)", "H:mm:ss"},
        {"APh:mm:ss [t]", "APh:mm:ss"},
        {"t APh:mm:ss", "APh:mm:ss"},
        {"H:mm:ss 'ч'. t", "H:mm:ss 'ч'."},
        {"HH 'h' mm 'min' ss 's' t", "HH 'h' mm 'min' ss 's'"},
        // Quoted text with the letter t, and a quote inside quoted text.
        {"HH 'Uhr' mm 'Minuten' ss t", "HH 'Uhr' mm 'Minuten' ss"},
        {"h 'o''clock' mm 'et' ss t", "h 'o''clock' mm 'et' ss"},
        {"HH:mm:ss", "HH:mm:ss"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(withoutTimeZone(QString::fromUtf8(c.format)), QString::fromUtf8(c.expected)) << c.format;
}

// The caption shows the locale's short date, then its time to the second with the locale's
// markers, and no time zone nor what held it.
TEST(CaptionClock, ShortDateThenTheSecondWithoutTheZone)
{
    const QDateTime t(QDate(2026, 12, 7), QTime(7, 30, 5), QTimeZone::utc());
    for (const char* name : {"en_US", "de_DE", "fr_CA", "ca_ES", "zh_HK", "sq_AL", "nds_DE"}) {
        const QLocale locale(QString::fromLatin1(name));
        const QString shown = generalDateTime(t, locale);
        SCOPED_TRACE(std::string(name) + ": " + shown.toStdString());
        const QString date = locale.toString(t.date(), QLocale::ShortFormat) + QLatin1Char(' ');
        ASSERT_TRUE(shown.startsWith(date));
        const QString time = shown.mid(date.size());
        EXPECT_TRUE(time.contains(QLatin1String("30")) && time.contains(QLatin1String("05")));
        if (locale.timeFormat(QLocale::LongFormat).contains(QLatin1String("AP"), Qt::CaseInsensitive)) {
            EXPECT_TRUE(time.contains(locale.amText(), Qt::CaseInsensitive));
        }
        EXPECT_FALSE(time.contains(QLatin1String("UTC")));
        EXPECT_EQ(shown, shown.simplified());
        EXPECT_FALSE(time.endsWith(u',') || time.contains(QLatin1String("()")) || time.contains(QLatin1String("[]")));
    }
}
