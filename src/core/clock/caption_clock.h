#pragma once
#include <QDateTime>
#include <QLocale>
#include <QString>

// The date and time as the message window's caption shows them: the locale's short date, a
// blank and its long time without the time zone.
QString generalDateTime(const QDateTime& t, const QLocale& locale = QLocale());

// A time format with its time-zone field taken out, together with the brackets or separator
// that only belonged to it. Quoted literal text is left as it is.
QString withoutTimeZone(const QString& format);
