#include "core/alarms/alarm_set_controls.h"

Form4Controls::Form4Controls()
{
    lstMessage.setVisible(false);
    cbHour.setText(QStringLiteral("hour"));
    QStringList hours, digits;
    for (int h = 1; h <= 12; ++h) hours << QStringLiteral("%1").arg(h, 2, 10, QLatin1Char('0'));
    for (int m = 0; m <= 9; ++m) digits << QStringLiteral("0%1").arg(m);
    cbHour.AddItems(hours);
    cbMin.setText(QStringLiteral("min"));
    cbMin.AddItems(digits);
    cbSec.setText(QStringLiteral("sec"));
    cbSec.AddItems(digits);
    cbPlayTimes.setText(QStringLiteral("Play Times"));
    cbPlayTimes.AddItems({QStringLiteral("once"), QStringLiteral("twice"), QStringLiteral("thrice"),
                          QStringLiteral("repeat")});
    cmbSong.setText(QStringLiteral("Song"));
    cbEMPlay.AddItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                       QStringLiteral("5"), QStringLiteral("10"), QStringLiteral("15"), QStringLiteral("30"),
                       QStringLiteral("60")});
    chkEMPlay.setEnabled(false);
    shpInputTime.setVisible(false);
    shpClickTime.setVisible(false);
    imgSha.setVisible(false);
    txtViewM.setVisible(false);
    cmdViewM.setCaption(QStringLiteral("View Message"));
}
