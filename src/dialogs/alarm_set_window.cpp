#include "dialogs/alarm_set_window.h"

#include "alarms/alarm_engine.h"
#include "app/program.h"
#include "app/twips.h"
#include "dialogs/message_input_window.h"
#include "outside/check_kit.h"

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

Form4::Form4(Program& program) : FormBase(program) {}

void Form4::CreateControls(FormWindow* w)
{
    w->setWindowTitle(QStringLiteral("Voz Alarm Set"));
    w->setFixedSize(twipsToPixels(6384), twipsToPixels(4188));
    m_c = std::make_unique<Form4Controls>();
    Form4Controls& c = *m_c;
    QObject::connect(&c.chkEMPlay, &CheckBox::Click, [this] { chkEMPlay_Click(); });
    QObject::connect(&c.cbEMPlay, &ListBox::Click, [this] { cbEMPlay_Click(); });
    for (int i = 1; i <= 3; ++i) QObject::connect(&c.txtTime[i], &TextBox::Change, [this] { txtTime_Change(); });
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


void Form4::txtTime_Change()
{
    m_c->shpInputTime.setVisible(true);
    m_c->shpClickTime.setVisible(false);
}

void Form4::cbEMPlay_Click()
{
    if (m_c->cbEMPlay.ListIndex() >= 0) m_c->chkEMPlay.setEnabled(true);
}

void Form4::chkEMPlay_Click()
{
    Form4Controls& ctl = c();
    std::int16_t answer = 0;
    {
        CheckKit kit(p.platform.now());
        kit.EMPlaySetup(ctl.chkEMPlay, ctl.cbEMPlay, p.gEMInterval, answer, p.gEMNextTime);
        if (answer == 1) p.gTimerArmed = VTrue;
    }
    p.gEMPlayOn = toVBool(ctl.chkEMPlay.Value() == 1);
}

void Form4::lstData_DblClick()
{
    // The message is tied to the selected alarm; a front window holding the foreground wins.
    if (c().lstData.ListIndex() < 0 || p.gFrontCode != 0) return;
    ShowMessagePlaceholder(true);
    p.form5().Show();
}

void Form4::ShowMessagePlaceholder(bool on)
{
    Form4Controls& ctl = c();
    ctl.lstData.setVisible(!on);
    ctl.imgSha.setVisible(on);
}
