#include "core/check_kit.h"

#include "core/alarms/time_text.h"

namespace {
const QStringList kPlayWords = {QStringLiteral("once"), QStringLiteral("twice"), QStringLiteral("thrice"),
                                QStringLiteral("repeat")};
}

std::int16_t CheckKit::nextAfterNow(int interval) const
{
    const QTime t = m_now.time();
    if (interval < 60) {
        if (interval <= 0) return -1;
        const int next = (t.minute() / interval + 1) * interval;
        return static_cast<std::int16_t>(next >= 60 ? 0 : next);
    }
    const int hours = interval / 60;
    const int next = (t.hour() / hours + 1) * hours;
    return static_cast<std::int16_t>(next >= 24 ? 0 : next);
}

void CheckKit::CalcEMNext(std::int16_t interval, std::int16_t& nextTime) const
{
    nextTime = nextAfterNow(interval);
}

void CheckKit::CheckAlarmLine(const QString& line, std::int16_t& answer) const
{
    const qsizetype blank = line.size() - 9;
    const bool ok = blank > 0 && line.at(blank) == u' ' && kPlayWords.contains(QStringView(line).left(blank)) &&
                    isValidTimeText(QStringView(line).right(8));
    if (!ok) answer = 0;
}

void CheckKit::CheckMessageLine(const QString& line, std::int16_t& answer) const
{
    // A double quote cannot be written back into a data file (it ends the quoted field), and
    // the message input turns typed quotes into apostrophes; a message holding one is refused.
    const bool ok = line.size() >= 12 && QStringView(line).right(12).left(4) == QLatin1String(" at ") &&
                    isValidTimeText(QStringView(line).right(8)) && !line.contains(QLatin1Char('"'));
    if (!ok) answer = 0;
}

int CheckKit::wallIntervalMinutes(const QString& entry)
{
    const QString e = entry.trimmed();
    const int space = e.indexOf(QLatin1Char(' '));
    bool ok = false;
    const int n = (space > 0 ? e.left(space) : e).toInt(&ok);
    if (!ok || n <= 0) return 0;
    if (e.endsWith(QLatin1String("min"))) return n;
    if (e.endsWith(QLatin1String("hr")) || e.endsWith(QLatin1String("hrs"))) return n * 60;
    return 0;
}

void CheckKit::WallpaperSetup(const CheckBox& chkChange, const ComboBox& cbChange, VBool& timerArmed,
                              std::int16_t& wallInterval, std::int16_t& wallNextTime) const
{
    const int minutes = cbChange.ListIndex() >= 0 ? wallIntervalMinutes(cbChange.CurrentText()) : 0;
    // Checked without an interval chosen runs no schedule, as unchecked does.
    if (chkChange.Value() != 1 || minutes <= 0) {
        wallNextTime = -1;
        return;
    }
    wallInterval = static_cast<std::int16_t>(minutes);
    wallNextTime = nextAfterNow(minutes);
    timerArmed = VTrue;
}

void CheckKit::CalcWallNext(std::int16_t interval, std::int16_t& nextTime) const
{
    if (interval <= 0) return;
    if (interval < 60) {
        const int next = nextTime + interval;
        nextTime = static_cast<std::int16_t>(next >= 60 ? 0 : next);
    } else {
        const int next = nextTime + interval / 60;
        nextTime = static_cast<std::int16_t>(next >= 24 ? 0 : next);
    }
}

void CheckKit::EMPlaySetup(const CheckBox& chkEMPlay, const ComboBox& cbEMPlay, std::int16_t& emInterval,
                           std::int16_t& answer, std::int16_t& emNextTime) const
{
    if (chkEMPlay.Value() != 1) {
        emNextTime = -1;
        answer = 0;
        return;
    }
    // The chosen item, or the text the window shows when it was set up from a running chime.
    const QString text = (cbEMPlay.ListIndex() >= 0 ? cbEMPlay.CurrentText() : cbEMPlay.Text()).trimmed();
    bool ok = false;
    int minutes = text.toInt(&ok);
    // A window reloaded while the chime runs checks its box before it shows the interval again:
    // the running interval stays.
    if (!ok && emInterval > 0) {
        minutes = emInterval;
        ok = true;
    }
    if (!ok || minutes <= 0 || minutes > 60) {
        emNextTime = -1;
        answer = 0;
        return;
    }
    emInterval = static_cast<std::int16_t>(minutes);
    emNextTime = nextAfterNow(minutes);
    answer = 1;
}
