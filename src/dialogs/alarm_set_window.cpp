#include "dialogs/alarm_set_window.h"

#include "alarms/alarm_engine.h"
#include "app/program.h"
#include "app/twips.h"
#include "dialogs/message_input_window.h"
#include "outside/check_kit.h"

Form4Controls Form4Controls::designState()
{
    Form4Controls c;
    c.lstData.Visible = true;
    c.lstMessage.Visible = false;
    for (int i = 1; i <= 3; ++i) c.txtTime[i] = TextBox{};
    c.cbHour.Text = QStringLiteral("hour");
    for (int h = 1; h <= 12; ++h) c.cbHour.AddItem(QStringLiteral("%1").arg(h, 2, 10, QLatin1Char('0')));
    c.cbMin.Text = QStringLiteral("min");
    c.cbSec.Text = QStringLiteral("sec");
    for (int m = 0; m <= 9; ++m) {
        c.cbMin.AddItem(QStringLiteral("0%1").arg(m));
        c.cbSec.AddItem(QStringLiteral("0%1").arg(m));
    }
    c.cbPlayTimes.Text = QStringLiteral("Play Times");
    c.cbPlayTimes.items = {QStringLiteral("once"), QStringLiteral("twice"), QStringLiteral("thrice"),
                           QStringLiteral("repeat")};
    c.cmbSong.Text = QStringLiteral("Song");
    c.cbEMPlay.items = {QStringLiteral("1"),  QStringLiteral("2"),  QStringLiteral("3"),
                        QStringLiteral("4"),  QStringLiteral("5"),  QStringLiteral("10"),
                        QStringLiteral("15"), QStringLiteral("30"), QStringLiteral("60")};
    c.chkEMPlay.Enabled = false;
    c.shpInputTime.Visible = false;
    c.shpClickTime.Visible = false;
    c.imgSha.Visible = false;
    c.txtViewM.Visible = false;
    c.cmdViewMCaption = QStringLiteral("View Message");
    return c;
}

Form4::Form4(Program& program) : FormBase(program) {}

void Form4::CreateControls(FormWindow* w)
{
    w->setWindowTitle(QStringLiteral("Voz Alarm Set"));
    w->setFixedSize(twipsToPixels(6384), twipsToPixels(4188));
    m_c.emplace(Form4Controls::designState());
}

void Form4::ReleaseControls() { m_c.reset(); }

Form4Controls& Form4::c()
{
    window();
    return *m_c;
}

void Form4::Form_Load()
{
    Switch = VTrue;
    SFjumper = VFalse;
    strTimesOfPlay = QStringLiteral("once");
    p.form8().fForm4Load();
}

void Form4::ListsChanged() {}

void Form4::chkEMPlay_Click()
{
    Form4Controls& ctl = c();
    std::int16_t answer = 0;
    {
        CheckKit kit(p.platform.now());
        kit.EMPlaySetup(ctl.chkEMPlay, ctl.cbEMPlay, p.gEMInterval, answer, p.gEMNextTime);
        if (answer == 1) p.gTimerArmed = VTrue;
    }
    p.gEMPlayOn = toVBool(ctl.chkEMPlay.Value == 1);
}

void Form4::lstData_DblClick()
{
    // The message is tied to the selected alarm; a front window holding the foreground wins.
    if (c().lstData.ListIndex < 0 || p.gFrontCode != 0) return;
    ShowMessagePlaceholder(true);
    p.form5().Show();
}

void Form4::ShowMessagePlaceholder(bool on)
{
    Form4Controls& ctl = c();
    ctl.lstData.Visible = !on;
    ctl.imgSha.Visible = on;
}
