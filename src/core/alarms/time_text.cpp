#include "core/alarms/time_text.h"

namespace {
bool twoDigits(QStringView v, int max)
{
    if (v.size() != 2 || !v[0].isDigit() || !v[1].isDigit()) return false;
    if (v[0].unicode() > '9' || v[1].unicode() > '9') return false;  // ASCII digits only
    return (v[0].unicode() - '0') * 10 + (v[1].unicode() - '0') <= max;
}
}  // namespace

bool isValidTimeText(QStringView t)
{
    return t.size() == 8 && t[2] == u':' && t[5] == u':' && twoDigits(t.mid(0, 2), 23) &&
           twoDigits(t.mid(3, 2), 59) && twoDigits(t.mid(6, 2), 59);
}
