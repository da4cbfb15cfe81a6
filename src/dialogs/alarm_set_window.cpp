#include "dialogs/alarm_set_window.h"

#include "core/alarms/alarm_engine.h"
#include "app/program.h"
#include "core/model/twips.h"
#include "app/check_box.h"
#include "dialogs/control_binding.h"
#include "dialogs/file_chooser_window.h"
#include "dialogs/message_input_window.h"
#include "dialogs/pictures.h"
#include "core/check_kit.h"
#include "platform/x11_frame.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

Form4::Form4(Program& program) : FormBase(program) {}

void Form4::CreateControls(FormWindow* w)
{
    w->setWindowTitle(QStringLiteral("Voz Alarm Set"));
    w->setFixedSize(twipsToPixels(6384), twipsToPixels(4188));
    m_c = std::make_unique<Form4Controls>();
    p.alarmListControls = m_c.get();
    Form4Controls& c = *m_c;
    QObject::connect(&c.chkEMPlay, &CheckBox::Click, [this] { chkEMPlay_Click(); });
    QObject::connect(&c.cbEMPlay, &ListBox::Click, [this] { cbEMPlay_Click(); });
    for (int i = 1; i <= 3; ++i) QObject::connect(&c.txtTime[i], &TextBox::Change, [this] { txtTime_Change(); });
    CreateWidgets(w);
}

Qt::WindowFlags Form4::WindowFlags() const
{
    // A title bar without close, minimise or maximise boxes: the window has its own buttons.
    return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
}

void Form4::CreateWidgets(FormWindow* w)
{
    Form4Controls& c = *m_c;
    auto beep = [this] { p.platform.beep(); };
    setDesignFont(w);

    // The frames lie behind the controls they frame.
    auto* shpClickTime = place<QFrame>(w, "shpClickTime", twipsRect(3720, 600, 2532, 492));
    auto* shpInputTime = place<QFrame>(w, "shpInputTime", twipsRect(3600, 0, 1812, 492));
    for (QFrame* f : {shpClickTime, shpInputTime}) f->setFrameShape(QFrame::Box);
    bindShape(c.shpClickTime, shpClickTime);
    bindShape(c.shpInputTime, shpInputTime);

    auto* lblLabel1 = place<QLabel>(w, "lblLabel1", twipsRect(2400, 120, 1092, 252));
    lblLabel1->setText(QStringLiteral("Alarm time is"));
    hookEvent(lblLabel1, QEvent::MouseButtonRelease, [this](QEvent*) {
        lblLabel1_Click();
        return true;
    });
    const int timeLeft[4] = {0, 3720, 4320, 4920};
    auto digitsOnly = [](QChar ch) {
        return (ch.unicode() >= '0' && ch.unicode() <= '9') || ch == QChar(8) ? KeyVerdict::Pass
                                                                               : KeyVerdict::SwallowWithBeep;
    };
    for (int i = 1; i <= 3; ++i) {
        const QByteArray name = "txtTime" + QByteArray::number(i);
        auto* box = place<QLineEdit>(w, name.constData(), twipsRect(timeLeft[i], 120, 372, 264));
        box->setMaxLength(2);
        // Pasted text goes by the key filter; the validator keeps it to digits too.
        box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), box));
        bindTextBox(c.txtTime[i], box);
        filterKeys(box, digitsOnly, beep);
        if (i == 1) box->setFocus();
    }
    auto* lblColon1 = place<QLabel>(w, "lblColon1", twipsRect(4200, 120, 132, 252));
    auto* lblColon2 = place<QLabel>(w, "lblColon2", twipsRect(4800, 120, 132, 252));
    for (QLabel* l : {lblColon1, lblColon2}) {
        l->setText(QStringLiteral(":"));
        l->setAlignment(Qt::AlignCenter);
    }
    auto* txtAm = place<QLineEdit>(w, "txtAm", twipsRect(5400, 120, 372, 264));
    txtAm->setReadOnly(true);
    bindTextBox(c.txtAm, txtAm);
    QObject::connect(pictureButton(w, "cmdUp", twipsRect(5880, 120, 252, 108), upTrianglePicture),
                     &QPushButton::clicked, [this] { cmdUp_Click(); });
    QObject::connect(pictureButton(w, "cmdDown", twipsRect(5880, 240, 252, 108), downTrianglePicture),
                     &QPushButton::clicked, [this] { cmdDown_Click(); });

    auto combo = [&](ComboBox& control, const char* name, QRect r, KeyVerdict onKey, std::function<void()> drop) {
        auto* cb = place<DropDownComboBox>(w, name, r);
        bindCombo(control, cb);
        cb->DropDown = std::move(drop);
        filterKeys(cb, [onKey](QChar) { return onKey; }, beep);
        return cb;
    };
    combo(c.cbHour, "cbHour", twipsRect(3840, 720, 792, 276), KeyVerdict::SwallowWithBeep, [this] {
        p.form8().HourDropDown(Switch, m_c->txtTime, m_c->shpInputTime, m_c->shpClickTime);
    });
    combo(c.cbMin, "cbMin", twipsRect(4680, 720, 732, 276), KeyVerdict::SwallowWithBeep, [this] {
        p.form8().MinDropDown(Switch, m_c->cbMin, m_c->shpInputTime, m_c->shpClickTime, m_c->txtTime);
    });
    combo(c.cbSec, "cbSec", twipsRect(5520, 720, 612, 276), KeyVerdict::SwallowWithBeep, [this] {
        p.form8().SecDropDown(Switch, m_c->cbSec, m_c->shpInputTime, m_c->shpClickTime, m_c->txtTime);
    });
    combo(c.cbPlayTimes, "cbPlayTimes", twipsRect(4800, 1200, 1332, 276), KeyVerdict::Swallow, {});
    combo(c.cmbSong, "cmbSong", twipsRect(1560, 2160, 2172, 276), KeyVerdict::Swallow,
          [this] { p.form8().SongDropDown(SFjumper, m_c->cmbSong); });
    QObject::connect(&c.cmbSong, &ListBox::Click, [this] { p.form8().SongClick(m_c->cmbSong); });
    combo(c.cbEMPlay, "cbEMPlay", twipsRect(3000, 1800, 732, 276), KeyVerdict::Swallow, {});

    auto* label1 = place<QLabel>(w, "Label1", twipsRect(120, 120, 852, 252));
    label1->setText(QStringLiteral("Play List :"));
    auto* lstData = place<QListView>(w, "lstData", twipsRect(120, 360, 1812, 1488));
    bindList(c.lstData, lstData);
    lstData->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QObject::connect(lstData, &QListView::doubleClicked, [this] { lstData_DblClick(); });
    auto* lstMessage = place<QListView>(w, "lstMessage", twipsRect(1320, 2640, 1092, 228));
    bindList(c.lstMessage, lstMessage);
    auto* imgSha = place<QLabel>(w, "imgSha", twipsRect(600, 960, 228, 312));
    imgSha->setPixmap(hourglassPicture(imgSha->size()));
    bindShape(c.imgSha, imgSha);

    auto* chkEMPlay = place<ValueCheckBox>(w, "chkEMPlay", twipsRect(2160, 1800, 732, 180));
    chkEMPlay->setText(QStringLiteral("Every"));
    chkEMPlay->adjustSize();
    chkEMPlay->move(twipsToPixels(2160), twipsToPixels(1800));
    bindCheckBox(c.chkEMPlay, chkEMPlay);
    auto* label2 = place<QLabel>(w, "Label2", twipsRect(3840, 1920, 372, 252));
    label2->setText(QStringLiteral("min"));
    QObject::connect(pictureButton(w, "cmdPlayB", twipsRect(3840, 2280, 252, 156), playTrianglePicture),
                     &QPushButton::clicked, [this] { p.form8().PlayBClick(m_c->cmbSong); });

    auto button = [&](const char* name, const QString& text, QRect r, void (Form4::*handler)()) {
        auto* b = place<QPushButton>(w, name, r);
        b->setText(text);
        QObject::connect(b, &QPushButton::clicked, [this, handler] { (this->*handler)(); });
        return b;
    };
    button("cmdAdd", QStringLiteral("Add"), twipsRect(5520, 1680, 612, 372), &Form4::cmdAdd_Click);
    button("cmdDelete", QStringLiteral("delete"), twipsRect(120, 2280, 972, 372), &Form4::cmdDelete_Click);
    button("cmdDeleteAll", QStringLiteral("Delete All"), twipsRect(120, 2880, 972, 372), &Form4::cmdDeleteAll_Click);
    auto* cmdViewM = place<QPushButton>(w, "cmdViewM", twipsRect(120, 3480, 1212, 492));
    bindButton(c.cmdViewM, cmdViewM);
    QObject::connect(cmdViewM, &QPushButton::clicked,
                     [this] { p.form8().ViewMClick(m_c->txtViewM, m_c->lstMessage, m_c->cmdViewM); });
    button("cmdExit", QStringLiteral("Exit"), twipsRect(5520, 3600, 612, 372), &Form4::cmdExit_Click);
    QObject::connect(pictureButton(w, "cmdSaveFile", twipsRect(1560, 3720, 252, 252), floppyPicture),
                     &QPushButton::clicked, [this] { cmdSaveFile_Click(); });
    QObject::connect(pictureButton(w, "cmdLoad", twipsRect(1920, 3720, 252, 252), openFolderPicture),
                     &QPushButton::clicked, [this] { cmdLoad_Click(); });
    QObject::connect(pictureButton(w, "cmdEditor", twipsRect(2400, 3600, 372, 372), scrollQuillPicture),
                     &QPushButton::clicked, [this] { cmdEditor_Click(); });
    QObject::connect(pictureButton(w, "cmdMin", twipsRect(5520, 3240, 612, 180), flatBarPicture),
                     &QPushButton::clicked, [this] { cmdMin_Click(); });

    // The message view opens over the window's lower left part.
    auto* txtViewM = place<QPlainTextEdit>(w, "txtViewM", twipsRect(2160, 0, 372, 264));
    txtViewM->setReadOnly(true);
    txtViewM->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    bindTextView(c.txtViewM, txtViewM);
    QObject::connect(&c.txtViewM, &TextBox::StateChanged, txtViewM, [txtViewM, &c] {
        if (!c.txtViewM.Visible()) return;
        txtViewM->resize(twipsToPixels(4092), twipsToPixels(3012));
        txtViewM->raise();
    });

    enterPresses(w, [this] { cmdAdd_Click(); });
}

QWidget* Form4::Widget(const char* name) const
{
    if (!Loaded()) return nullptr;
    return const_cast<Form4*>(this)->window()->findChild<QWidget*>(QLatin1String(name));
}

void Form4::ReleaseControls()
{
    p.alarmListControls = nullptr;
    m_c.reset();
}

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
    Form4Controls& ctl = c();
    p.form8().fForm4Load(ctl.txtAm, ctl.chkEMPlay, ctl.cbEMPlay);
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

void Form4::cmdAdd_Click()
{
    Form4Controls& ctl = c();
    p.form8().AddClick(Switch, ctl.txtTime, ctl.txtAm, ctl.cbPlayTimes, strTimesOfPlay, ctl.cbHour, ctl.cbMin,
                       ctl.cbSec);
}

void Form4::cmdDelete_Click()
{
    Form4Controls& ctl = c();
    if (ctl.lstData.ListIndex() < 0) return;
    p.form8().cClearMsg(ctl.lstMessage, ctl.lstData);
    ctl.lstData.RemoveItem(ctl.lstData.ListIndex());
    p.gListChanged = VTrue;
    p.gHasAlarms = toVBool(ctl.lstData.ListCount() >= 1);
    p.gNextAlarmTime.clear();
    p.gPlayTimes.clear();
}

void Form4::cmdDeleteAll_Click()
{
    Form4Controls& ctl = c();
    ctl.lstData.Clear();
    ctl.lstMessage.Clear();
    p.gListChanged = VTrue;
    p.gHasAlarms = VFalse;
    p.gNextAlarmTime.clear();
    p.gPlayTimes.clear();
}

void Form4::cmdLoad_Click()
{
    Form14& chooser = p.form14();
    chooser.ShowPicture(Form14::Picture::Load);
    chooser.Show();
}

void Form4::cmdSaveFile_Click()
{
    Form14& chooser = p.form14();
    chooser.SetLabel1Caption(QStringLiteral("Save file as :"));
    chooser.SetConfirmCaption(QStringLiteral("Save"));
    chooser.ShowPicture(Form14::Picture::Save);
    chooser.Show();
}

void Form4::cmdEditor_Click()
{
    Form14& chooser = p.form14();
    chooser.SetLabel1Caption(QStringLiteral("Open a file to edit data :"));
    chooser.SetConfirmCaption(QStringLiteral("Open"));
    chooser.ShowPicture(Form14::Picture::Edit);
    chooser.Show();
}

void Form4::cmdExit_Click()
{
    p.form8().fForm4ExitClick(c().lstData);
    Hide();
    p.form8().Unload();
}

void Form4::cmdMin_Click()
{
    // The title bar has no minimise box, and some window managers then refuse to minimise.
    minimizeWithoutBox(window());
    p.form8().Unload();
}

void Form4::cmdUp_Click() { p.form8().UpClick(c().txtAm); }

void Form4::cmdDown_Click() { p.form8().DownClick(c().txtAm); }

void Form4::lblLabel1_Click()
{
    Form4Controls& ctl = c();
    p.form8().Label1Click(Switch, ctl.shpInputTime, ctl.shpClickTime, ctl.txtTime);
}
