#pragma once
#include "core/model/controls.h"
#include "core/model/truth.h"

#include <QDateTime>
#include <QString>
#include <cstdint>

// Checks data lines and works out the next chime and wallpaper times. Created for one call.
//
// Schedule targets are a minute of the hour (interval below 60) or an hour of the day (60 and
// more). A target past the turn of the hour (or of the day) is always 0, so that the clock's
// resync checks never take a fresh target for a missed one.
class CheckKit {
public:
    explicit CheckKit(const QDateTime& now) : m_now(now) {}

    void CalcEMNext(std::int16_t interval, std::int16_t& nextTime) const;
    void CheckAlarmLine(const QString& line, std::int16_t& answer) const;
    void CheckMessageLine(const QString& line, std::int16_t& answer) const;
    void WallpaperSetup(const CheckBox& chkChange, const ComboBox& cbChange, VBool& timerArmed,
                        std::int16_t& wallInterval, std::int16_t& wallNextTime) const;
    void CalcWallNext(std::int16_t interval, std::int16_t& nextTime) const;
    void EMPlaySetup(const CheckBox& chkEMPlay, const ComboBox& cbEMPlay, std::int16_t& emInterval,
                     std::int16_t& answer, std::int16_t& emNextTime) const;

    // Minutes of an entry of the wallpaper interval list ("5 min" ... "4 hrs"), 0 if unknown.
    static int wallIntervalMinutes(const QString& entry);

private:
    // The first target strictly after now for the interval.
    std::int16_t nextAfterNow(int intervalMinutes) const;
    QDateTime m_now;
};
