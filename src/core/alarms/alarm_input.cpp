#include "core/alarms/alarm_engine.h"

#include "core/alarms/alarm_host.h"
#include "core/alarms/time_text.h"
#include "core/model/program_state.h"

namespace {
// The number of the leading digits of a box's text; empty reads as 0.
int leadingNumber(const QString& s)
{
    int v = 0;
    for (QChar ch : s) {
        if (ch < u'0' || ch > u'9') break;
        v = v * 10 + (ch.unicode() - '0');
        if (v > 9999) break;
    }
    return v;
}
}  // namespace

QString Form8::Hour24(const QString& H, const QString& A) const
{
    if (H != QLatin1String("12") && A == QLatin1String("PM")) return QString::number(leadingNumber(H) + 12);
    if (H == QLatin1String("12") && A == QLatin1String("AM")) return QStringLiteral("00");
    return H;
}

void Form8::AddClick(VBool& Switch, std::array<TextBox, 4>& txtTime, TextBox& txtAm, ComboBox& cbPlayTimes,
                     QString& strTimesOfPlay, ComboBox& cbHour, ComboBox& cbMin, ComboBox& cbSec)
{
    touch();
    ListBox& lstData = host.lstData();
    auto finish = [&] { p.gHasAlarms = toVBool(lstData.ListCount() >= 1); };

    if (Switch != VFalse) {
        if (txtTime[1].Text().isEmpty() || txtTime[2].Text().isEmpty() || txtTime[3].Text().isEmpty()) {
            host.tell(QStringLiteral("Invalid input"));
            return finish();
        }
        const int H = leadingNumber(txtTime[1].Text()), M = leadingNumber(txtTime[2].Text()),
                  S = leadingNumber(txtTime[3].Text());
        if (H == 0 || H > 12 || M > 59 || S > 59) {
            host.tell(QStringLiteral("Invalid input"));
            return finish();
        }
    }
    for (int i = 1; i <= 3; ++i)
        if (txtTime[i].Text().size() == 1) txtTime[i].setText(QLatin1Char('0') + txtTime[i].Text());
    const QString A = txtAm.Text();
    strAlarmTime = Hour24(txtTime[1].Text(), A) + QLatin1Char(':') + txtTime[2].Text() + QLatin1Char(':') + txtTime[3].Text();

    if (Switch == VFalse) {
        if (cbHour.ListIndex() < 0 || cbMin.ListIndex() < 0 || cbSec.ListIndex() < 0) {
            host.tell(QStringLiteral("invalid input"));
            return;
        }
        strAlarmTime = Hour24(cbHour.CurrentText(), A) + QLatin1Char(':') + cbMin.CurrentText() + QLatin1Char(':') +
                       cbSec.CurrentText();
    }
    if (cbPlayTimes.ListIndex() >= 0) strTimesOfPlay = cbPlayTimes.CurrentText();

    if (strAlarmTime.size() != 8) {
        host.tell(QStringLiteral("Time input example 12:59:01"));
        return finish();
    }
    const QString now = timeOfDay();
    const TimeKey n = timeKeyOf(now), t = timeKeyOf(strAlarmTime);
    const bool passed = n.h.compare(t.h) > 0 || (n.h == t.h && n.m.compare(t.m) > 0) ||
                        (n.h == t.h && n.m == t.m && n.s.compare(t.s) >= 0);
    if (passed) {
        host.tell(QStringLiteral("Time was passed or next day"));
    } else {
        p.gTimerArmed = VTrue;
        Sorting(strAlarmTime, strTimesOfPlay);
    }
    finish();
}

void Form8::ToListMode(VBool& Switch, Shape& shpInputTime, Shape& shpClickTime, std::array<TextBox, 4>& txtTime)
{
    if (Switch != VTrue) return;
    for (int i = 1; i <= 3; ++i) txtTime[i].setEnabled(false);
    Switch = VFalse;
    shpInputTime.setVisible(false);
    shpClickTime.setVisible(true);
}

void Form8::HourDropDown(VBool& Switch, std::array<TextBox, 4>& txtTime, Shape& shpInputTime, Shape& shpClickTime)
{
    touch();
    ToListMode(Switch, shpInputTime, shpClickTime, txtTime);
}

namespace {
void completeMinutes(ComboBox& cb)
{
    if (cb.ListCount() != 10) return;
    for (int v = 10; v <= 59; ++v) cb.AddItem(QString::number(v));
}
}  // namespace

void Form8::MinDropDown(VBool& Switch, ComboBox& cbMin, Shape& shpInputTime, Shape& shpClickTime,
                        std::array<TextBox, 4>& txtTime)
{
    touch();
    completeMinutes(cbMin);
    ToListMode(Switch, shpInputTime, shpClickTime, txtTime);
}

void Form8::SecDropDown(VBool& Switch, ComboBox& cbSec, Shape& shpInputTime, Shape& shpClickTime,
                        std::array<TextBox, 4>& txtTime)
{
    touch();
    completeMinutes(cbSec);
    ToListMode(Switch, shpInputTime, shpClickTime, txtTime);
}

void Form8::Label1Click(VBool& Switch, Shape& shpInputTime, Shape& shpClickTime, std::array<TextBox, 4>& txtTime)
{
    touch();
    Switch = VTrue;
    shpInputTime.setVisible(true);
    shpClickTime.setVisible(false);
    for (int i = 1; i <= 3; ++i) txtTime[i].setEnabled(true);
}

void Form8::UpClick(TextBox& txtAm)
{
    touch();
    if (txtAm.Text() == QLatin1String("AM")) txtAm.setText(QStringLiteral("PM"));
    else if (txtAm.Text() == QLatin1String("PM")) txtAm.setText(QStringLiteral("AM"));
}

void Form8::DownClick(TextBox& txtAm) { UpClick(txtAm); }
