#include "core/wallpaper/wallpaper_list_file.h"

#include "core/alarms/alarm_file.h"

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

namespace {
bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }

// Where the delimiter after `at` lies when only blanks stand between; -1 otherwise.
qsizetype delimiterAfter(const QString& s, qsizetype at)
{
    while (at < s.size() && s.at(at) == u' ') ++at;
    if (at >= s.size() || s.at(at) == u',' || isLineEnd(s.at(at))) return at;
    return -1;
}

// A quoted field from the quote at `open`: "" stands for one quote, and a lone quote closes it
// only before a delimiter. Lists written before quotes were doubled hold lone quotes inside
// names; a field that meets a comma or line end after a lone quote closes at that quote, as a
// plain reader would. Returns the field; `end` is where its delimiter lies.
QString quotedField(const QString& s, qsizetype open, qsizetype& end)
{
    const qsizetype n = s.size();
    QString text;
    qsizetype firstLone = -1;
    qsizetype textAtLone = 0;
    for (qsizetype i = open + 1; i < n; ++i) {
        const QChar c = s.at(i);
        if (c == u'"') {
            if (i + 1 < n && s.at(i + 1) == u'"') {
                text += c;
                ++i;
                continue;
            }
            const qsizetype at = delimiterAfter(s, i + 1);
            if (at >= 0) {
                end = at;
                return text;
            }
            if (firstLone < 0) {
                firstLone = i;
                textAtLone = text.size();
            }
        } else if ((isLineEnd(c) || c == u',') && firstLone >= 0) {
            break;
        }
        text += c;
    }
    if (firstLone < 0) {  // never closed: the rest of the file
        end = n;
        return text;
    }
    // Anything between the first lone quote and the delimiter is dropped.
    end = firstLone + 1;
    while (end < n && s.at(end) != u',' && !isLineEnd(s.at(end))) ++end;
    return text.left(textAtLone);
}
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
            fields << quotedField(s, pos, end);
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
