#include "core/wallpaper/wallpaper_list_file.h"

#include "core/alarms/alarm_file.h"
#include "core/files/quoted_fields.h"

#include <limits>

QString WallpaperListPath(const QString& appPath) { return appPath + QStringLiteral("Wpaper.dat"); }

QByteArray ComposeWallpaperList(const QStringList& entries)
{
    QByteArray out;
    for (const QString& e : entries) {
        out += '"';
        // A quote in a name is doubled, so that it cannot end the field.
        out += QString(e).replace(QLatin1Char('"'), QStringLiteral("\"\"")).toUtf8();
        out += "\"\r\n";
    }
    return out;
}

QStringList ReadWallpaperList(const QByteArray& content)
{
    // Blanks around an unquoted entry go, so a hand-edited "a.jpg, b.jpg" gives two entries; a
    // quoted one keeps them, and its quotes may be doubled. A blank line is an empty entry.
    return QuotedFieldReader(content, {.blanks = " ", .trimUnquoted = true, .doubledQuotes = true}).all();
}

bool WriteWallpaperList(const QString& path, const QStringList& entries, QString* error)
{
    return writeFileSafely(path, ComposeWallpaperList(entries), error);
}

QString SignedNumberText(int n)
{
    return n < 0 ? QString::number(n) : QLatin1Char(' ') + QString::number(n);
}

int LeadingNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u' ') ++i;
    bool negative = false;
    if (i < text.size() && text.at(i) == u'-') {
        negative = true;
        ++i;
    }
    qint64 value = 0;
    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    for (; i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128; ++i)
        value = std::min(limit, value * 10 + (text.at(i).unicode() - '0'));
    if (negative) return static_cast<int>(-value);
    return static_cast<int>(std::min<qint64>(value, std::numeric_limits<int>::max()));
}

QString ComposeWallpaperChoices(const WallpaperChoices& c)
{
    if (!c.keep) return QStringLiteral("Empty");
    return QStringLiteral("Check") + (c.change ? QStringLiteral("Check") : QStringLiteral("Empty"))
         + (c.random ? QStringLiteral("Rando") : QStringLiteral("Prior")) + SignedNumberText(c.interval);
}

std::optional<WallpaperChoices> ParseWallpaperChoices(const QString& text)
{
    WallpaperChoices c;
    if (text.startsWith(QStringLiteral("Empty"))) return c;
    if (!text.startsWith(QStringLiteral("Check"))) return std::nullopt;
    const QString t = trimBlanks(text);
    c.keep = true;
    c.change = text.mid(5, 5) == QStringLiteral("Check");
    c.random = t.mid(10, 5) != QStringLiteral("Prior");
    c.interval = LeadingNumber(t.mid(15));
    return c;
}

SettingsRecord WallpaperRecord(std::int16_t top, std::int16_t left, const QString& text)
{
    // A buffer of its own, zero-filled, so nothing of another record reaches this one.
    SettingsRecord r = SettingsRecord::fromBytes(QByteArray());
    r.setLabel(kWallpaperLabel);
    r.Value1 = top;
    r.Value2 = left;
    r.setText(text);
    return r;
}
