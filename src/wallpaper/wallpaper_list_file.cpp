#include "wallpaper/wallpaper_list_file.h"

#include "alarms/alarm_file.h"

#include <limits>

QString WallpaperListPath(const QString& appPath) { return appPath + QStringLiteral("Wpaper.dat"); }

QByteArray ComposeWallpaperList(const QStringList& entries)
{
    QByteArray out;
    for (const QString& e : entries) {
        out += '"';
        out += e.toUtf8();
        out += "\"\r\n";
    }
    return out;
}

namespace {
bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }
}  // namespace

QStringList ReadWallpaperList(const QByteArray& content)
{
    const QString s = QString::fromUtf8(content);
    const qsizetype n = s.size();
    QStringList fields;
    qsizetype pos = 0;
    while (pos < n) {
        while (pos < n && s.at(pos) == u' ') ++pos;
        if (pos >= n) break;
        qsizetype end;
        if (s.at(pos) == u'"') {
            const qsizetype close = s.indexOf(u'"', pos + 1);
            if (close < 0) {
                fields << s.mid(pos + 1);
                break;
            }
            fields << s.mid(pos + 1, close - pos - 1);
            // Anything between the closing quote and the delimiter is dropped.
            end = close + 1;
            while (end < n && s.at(end) != u',' && !isLineEnd(s.at(end))) ++end;
        } else {
            end = pos;
            while (end < n && s.at(end) != u',' && !isLineEnd(s.at(end))) ++end;
            fields << trimBlanks(s.mid(pos, end - pos));
        }
        // Step over the delimiter; CR LF counts as one line end.
        if (end < n && s.at(end) == u'\r' && end + 1 < n && s.at(end + 1) == u'\n') ++end;
        pos = end + 1;
    }
    return fields;
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
