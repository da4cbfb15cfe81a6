#include "dialogs/settings_window.h"

#include "app/check_box.h"
#include "app/program.h"
#include "core/files/settings_store.h"
#include "core/model/twips.h"
#include "dialogs/control_binding.h"

#include <QFont>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {
const QString kSettingLabel = QStringLiteral("[Setting]");
const QString kAutoLoadOn = QStringLiteral("AutomaticLoadOn");
const QString kAutoLoadOff = QStringLiteral("AutomaticLoadOff");
}  // namespace

Form7::Form7(Program& program) : FormBase(program) {}

Qt::WindowFlags Form7::WindowFlags() const
{
    return Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
           Qt::WindowCloseButtonHint;
}

void Form7::CreateControls(FormWindow* w)
{
    w->setWindowTitle(QStringLiteral("Voz setting"));
    w->setFixedSize(twipsToPixels(4476), twipsToPixels(2496));
    setDesignFont(w);

    // The boxes are narrower than their text; the label beside each carries it. A box is never
    // made smaller than its indicator, so the mark is not cut off.
    auto box = [w](const char* name, int left, int top, Qt::CheckState state) {
        auto* b = bareIndicator<ValueCheckBox>(w, name, twipsRect(left, top, 132, 180));
        b->setCheckState(state);
        return b;
    };
    // A text a little wider than its label in this font runs on to the right rather than being cut.
    auto label = [w](const char* name, const QString& text, int left, int top, int width) {
        auto* l = new QLabel(text, w);
        QRect r = twipsRect(left, top, width, 252);
        r.setWidth(std::min(std::max(r.width(), l->sizeHint().width()), w->width() - r.left()));
        place(l, name, r);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    };
    chkSoundOn = box("chkSoundOn", 240, 120, Qt::Checked);
    lblSoundOn = label("lblSoundOn", QStringLiteral("Sound on"), 480, 120, 732);
    chkErrMsgPop = box("chkErrMsgPop", 240, 480, Qt::Checked);
    lblPremier = label("lblPremier", QStringLiteral("Show error message if sound cannot be played"), 480, 480, 3372);
    chkAutoLoad = box("chkAutoLoad", 240, 840, Qt::Unchecked);
    lblAutoLoad = label("lblAutoLoad", QStringLiteral("Automatic load alarm event when Voz start"), 480, 840, 3372);
    cmdClose = new QPushButton(QStringLiteral("Close"), w);
    place(cmdClose, "cmdClose", twipsRect(3480, 1920, 612, 372));

    // Connected after the design state is set: only later changes are clicks.
    QObject::connect(chkSoundOn, &QCheckBox::stateChanged, [this] { chkSoundOn_Click(); });
    QObject::connect(chkErrMsgPop, &QCheckBox::stateChanged, [this] { chkErrMsgPop_Click(); });
    QObject::connect(chkAutoLoad, &QCheckBox::stateChanged, [this] { chkAutoLoad_Click(); });
    QObject::connect(cmdClose, &QPushButton::clicked, [this] { cmdClose_Click(); });
    CenterOnScreen();  // no owner window to centre on
}

void Form7::ReleaseControls()
{
    chkSoundOn = nullptr;
    lblSoundOn = nullptr;
    chkErrMsgPop = nullptr;
    lblPremier = nullptr;
    chkAutoLoad = nullptr;
    lblAutoLoad = nullptr;
    cmdClose = nullptr;
}

void Form7::Form_Load()
{
    chkSoundOn->setValue(isTrue(p.gSoundOn) ? 1 : 0);
    chkErrMsgPop->setValue(isTrue(p.gErrMsgPop) ? 1 : 0);

    SettingsReader reader(p.gAppPath);
    if (!reader.exists()) return;
    SettingsRecord& rec = p.settingsRecord;
    reader.read(4, rec);
    if (trimBlanks(rec.Label()) != kSettingLabel) return;
    // A stored number that is no check box value is skipped; the box keeps what the flag gave it.
    chkSoundOn->setValue(rec.Value1);
    chkErrMsgPop->setValue(rec.Value2);
    const QString text = trimBlanks(rec.Text());
    if (text == kAutoLoadOn) chkAutoLoad->setValue(1);
    else if (text == kAutoLoadOff) chkAutoLoad->setValue(0);
}

void Form7::chkSoundOn_Click()
{
    if (!chkSoundOn) return;
    switch (chkSoundOn->Value()) {
    case 0:
        p.gSoundOn = VFalse;
        chkErrMsgPop->setEnabled(false);
        break;
    case 1:
        p.gSoundOn = VTrue;
        chkErrMsgPop->setEnabled(true);
        break;
    default: break;
    }
}

void Form7::chkErrMsgPop_Click()
{
    if (!chkErrMsgPop) return;
    switch (chkErrMsgPop->Value()) {
    case 0: p.gErrMsgPop = VFalse; break;
    case 1: p.gErrMsgPop = VTrue; break;
    default: break;
    }
}

void Form7::chkAutoLoad_Click()
{
    if (!chkAutoLoad) return;
    // Only the buffer changes here; the file is written on Close.
    switch (chkAutoLoad->Value()) {
    case 0: p.settingsRecord.setText(kAutoLoadOff); break;
    case 1: p.settingsRecord.setText(kAutoLoadOn); break;
    default: break;
    }
}

void Form7::cmdClose_Click()
{
    if (!Loaded()) return;
    SettingsRecord& rec = p.settingsRecord;
    rec.setLabel(kSettingLabel);
    rec.Value1 = static_cast<std::int16_t>(chkSoundOn->Value());
    rec.Value2 = static_cast<std::int16_t>(chkErrMsgPop->Value());
    // Other readers share the buffer and may have replaced the word since the box was clicked;
    // the stored word follows the box as it shows now.
    chkAutoLoad_Click();
    storeSettingsRecordOrWarn(p, p.host(), 4, rec);
    Unload();
}
