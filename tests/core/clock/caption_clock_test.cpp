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

TEST(CaptionClock, ShortDateAndLongTimeOfTheLocale)
{
    const QDateTime t(QDate(2026, 12, 7), QTime(7, 30, 5), QTimeZone::utc());
    const struct {
        const char *locale, *expected;
    } cases[] = {
        {"en_US", "12/7/26 7:30:05 AM"},
        {"de_DE", "07.12.26 07:30:05"},
        {"fr_CA", "2026-12-07 07 h 30 min 05 s"},
        {"ca_ES", "7/12/26 7:30:05"},
        {"zh_HK", "7/12/2026 上午7:30:05"},
        {"sq_AL", "7.12.26 7:30:05 E PARADITES"},
        {"nds_DE", "7.12.26 Klock 7.30:05"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(generalDateTime(t, QLocale(QString::fromLatin1(c.locale))), QString::fromUtf8(c.expected)) << c.locale;
}
