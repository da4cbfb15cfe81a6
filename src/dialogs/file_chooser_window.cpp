#include "dialogs/file_chooser_window.h"

#include "core/alarms/alarm_engine.h"
#include "app/program.h"
#include "core/model/twips.h"
#include "dialogs/control_binding.h"
#include "clock/warning_window.h"
#include "dialogs/alarm_set_window.h"
#include "dialogs/pictures.h"

#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QValidator>

#include <algorithm>

namespace {

constexpr int kNameMaxLength = 50;
const QString kNoFileChosen = QStringLiteral("No file is chosen");
const QString kWallpaperFile = QStringLiteral("Wpaper.dat has data of wallpaper");

// Names reach the box by typing, pasting or dropping; all three obey the same character rule.
class NameValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        for (QChar c : input)
            if (c == QChar(8) || !Form14::NameCharAllowed(c)) return Invalid;
        return Acceptable;
    }
};

// Hands the name box's and the file list's keys and focus to the chooser's handlers.
class ChooserEvents : public QObject {
public:
    ChooserEvents(Form14& form, QObject* parent) : QObject(parent), m_f(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_f.txtInput) {
            if (event->type() == QEvent::FocusIn) m_f.txtInput_GotFocus();
            if (event->type() == QEvent::KeyPress) return nameKey(static_cast<QKeyEvent*>(event));
        } else if (watched == m_f.File1 && event->type() == QEvent::KeyPress) {
            auto* ke = static_cast<QKeyEvent*>(event);
            if (isEnter(ke)) {
                m_f.cmdConfirm->click();
                return true;
            }
            const int code = ke->key() == Qt::Key_Shift ? 16 : ke->key() == Qt::Key_Control ? 17 : 0;
            m_f.File1_KeyDown(code);
        }
        return false;
    }

private:
    static bool isEnter(const QKeyEvent* ke) { return ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter; }

    bool nameKey(QKeyEvent* ke)
    {
        // Enter presses the default button.
        if (isEnter(ke)) {
            m_f.cmdConfirm->click();
            return true;
        }
        // Only printable characters are typed; editing keys and shortcuts go to the box as usual.
        const QString text = ke->text();
        if (text.isEmpty() || !text.at(0).isPrint()) return false;
        if (ke->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return false;
        for (QChar c : text) {
            m_f.txtInput_KeyPress(c);
            if (c.isNull()) return true;
        }
        return false;
    }

    Form14& m_f;
};

}  // namespace

Form14::Form14(Program& program) : FrontWindow(program, kFrontFileChooser) {}

// The window is destroyed after this object (by the base); its controls' last events (focus
// leaving as they go) must not reach handlers that are gone.
Form14::~Form14() { RemoveEventHandlers(); }

void Form14::RemoveEventHandlers()
{
    if (!m_events) return;
    txtInput->removeEventFilter(m_events);
    File1->removeEventFilter(m_events);
    m_events = nullptr;
}

Qt::WindowFlags Form14::WindowFlags() const
{
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
}

void Form14::CreateControls(FormWindow* w)
{
    w->setWindowTitle(QStringLiteral("Voz files"));
    w->setFixedSize(twipsToPixels(5736), twipsToPixels(3720));

    Label1 = new QLabel(QStringLiteral("Load data from files :"), w);
    place(Label1, "Label1", twipsRect(240, 240, 2652, 252));
    File1 = new QListWidget(w);
    place(File1, "File1", twipsRect(240, 600, 4452, 1824));
    File1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lblInputFileN = new QLabel(QStringLiteral("Input file name :"), w);
    place(lblInputFileN, "lblInputFileN", twipsRect(240, 2880, 1692, 252));
    txtInput = new QLineEdit(w);
    place(txtInput, "txtInput", twipsRect(240, 3240, 3132, 264));
    txtInput->setMaxLength(kNameMaxLength);
    txtInput->setValidator(new NameValidator(txtInput));
    cmdConfirm = new QPushButton(QStringLiteral("Load"), w);
    place(cmdConfirm, "cmdConfirm", twipsRect(4920, 2160, 732, 372));
    cmdConfirm->setDefault(true);
    cmdConfirm->setAutoDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), w);
    place(cmdCancel, "cmdCancel", twipsRect(4920, 2760, 732, 372));
    cmdCancel->setAutoDefault(true);

    imgEdit = new QLabel(w);
    place(imgEdit, "imgEdit", twipsRect(5040, 240, 312, 300));
    imgEdit->setPixmap(scrollQuillPicture(imgEdit->size()));
    imgSave = new QLabel(w);
    place(imgSave, "imgSave", twipsRect(5040, 240, 192, 204));
    imgSave->setPixmap(floppyPicture(imgSave->size()));
    imgLoad = new QLabel(w);
    place(imgLoad, "imgLoad", twipsRect(5040, 240, 216, 192));
    imgLoad->setPixmap(openFolderPicture(imgLoad->size()));
    for (QLabel* img : {imgEdit, imgSave, imgLoad}) img->hide();

    m_events = new ChooserEvents(*this, w);
    txtInput->installEventFilter(m_events);
    File1->installEventFilter(m_events);
    QObject::connect(cmdConfirm, &QPushButton::clicked, [this] { cmdConfirm_Click(); });
    QObject::connect(cmdCancel, &QPushButton::clicked, [this] { cmdCancel_Click(); });
    // A click on an item, and every change of the selection (keys, code), is the list's click.
    QObject::connect(File1, &QListWidget::itemSelectionChanged, [this] { File1_Click(); });
    QObject::connect(File1, &QListWidget::itemClicked, [this] { File1_Click(); });

    w->setTabOrder(txtInput, cmdConfirm);
    w->setTabOrder(cmdConfirm, cmdCancel);
    w->setTabOrder(cmdCancel, File1);
    txtInput->setFocus();
    CenterOnOwner();
}

void Form14::ReleaseControls()
{
    // An unloaded window is deleted later and may outlive this object.
    RemoveEventHandlers();
    File1 = nullptr;
    cmdCancel = nullptr;
    cmdConfirm = nullptr;
    txtInput = nullptr;
    imgEdit = nullptr;
    imgSave = nullptr;
    imgLoad = nullptr;
    lblInputFileN = nullptr;
    Label1 = nullptr;
}

void Form14::CenterOnOwner()
{
    Form4& owner = p.form4();
    if (!owner.Visible()) {
        CenterOnScreen();
        return;
    }
    const QRect o = owner.window()->frameGeometry();
    window()->move(o.center() - QPoint(window()->width() / 2, window()->height() / 2));
}

void Form14::Form_Load()
{
    if (!QDir(p.gAppPath).exists()) QDir().mkpath(p.gAppPath);
    // Sorted here rather than in directory order, so the list reads the same on every file system.
    QStringList names = QDir(p.gAppPath).entryList({QStringLiteral("*.dat")}, QDir::Files);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    File1->addItems(names);
    RememberFront(Remember::EachTime);
    ClaimFront();
    p.gWindowPosResult = p.platform.setWindowPosTopmost(window());
}

void Form14::SetLabel1Caption(const QString& caption)
{
    Load();
    Label1->setText(caption);
}

void Form14::SetConfirmCaption(const QString& caption)
{
    Load();
    cmdConfirm->setText(caption);
}

void Form14::ShowPicture(Picture picture)
{
    Load();
    QLabel* img = picture == Picture::Load ? imgLoad : picture == Picture::Save ? imgSave : imgEdit;
    img->show();
}

Form14::Mode Form14::CurrentMode() const
{
    const QString caption = cmdConfirm->text();
    if (caption == QLatin1String("Load")) return Mode::Load;
    if (caption == QLatin1String("Save")) return Mode::Save;
    if (caption == QLatin1String("Open")) return Mode::Edit;
    return Mode::Other;
}

bool Form14::CurrentItemSelected() const
{
    const QListWidgetItem* item = File1->currentItem();
    return item && item->isSelected();
}

void Form14::DeselectCurrentItem()
{
    if (QListWidgetItem* item = File1->currentItem()) item->setSelected(false);
}

void Form14::Warn(const QString& text) { p.form11().AnswerOk(text); }

void Form14::cmdConfirm_Click()
{
    if (!Loaded()) return;
    QString name = txtInput->text();
    const bool typed = !name.isEmpty();
    if (!typed && File1->count() == 0) {
        Warn(kNoFileChosen);
        return;
    }
    const Mode mode = CurrentMode();
    if (mode == Mode::Load) {
        // Collected first: the loads may open windows, the list must not change under the walk.
        QStringList names;
        if (typed) names << name;
        for (int i = 0; i < File1->count(); ++i)
            if (File1->item(i)->isSelected()) names << File1->item(i)->text();
        if (names.isEmpty()) {
            Warn(kNoFileChosen);
            return;
        }
        for (const QString& n : names) p.form8().LoadClick(n);
    } else if (mode == Mode::Save || mode == Mode::Edit) {
        if (typed) {
            // Saving takes any case of the extension; the editor gets exactly ".dat".
            const QString ext = name.right(4);
            if ((mode == Mode::Save ? ext.toLower() : ext) != QLatin1String(".dat")) {
                name += QStringLiteral(".dat");
                // The length limit is for typing; the appended extension must stay whole.
                if (name.size() > txtInput->maxLength()) txtInput->setMaxLength(name.size());
                txtInput->setText(name);
            }
        } else if (!CurrentItemSelected()) {
            Warn(kNoFileChosen);
            return;
        } else {
            name = File1->currentItem()->text();
        }
        if (mode == Mode::Save) {
            if (name.toLower() == QLatin1String("wpaper.dat")) {
                Warn(kWallpaperFile);
                return;
            }
            p.form8().SaveFileClick(name);
        } else {
            p.form8().EditorClick(name);
        }
    }
    Unload();
}

void Form14::cmdCancel_Click() { Unload(); }

void Form14::File1_Click()
{
    if (!Loaded() || File1->count() == 0) return;
    const Mode mode = CurrentMode();
    if (CurrentItemSelected() && (mode == Mode::Save || mode == Mode::Edit)) txtInput->clear();
}

void Form14::File1_KeyDown(int keyCode)
{
    if (!Loaded() || File1->count() == 0) return;
    const Mode mode = CurrentMode();
    if ((mode == Mode::Save || mode == Mode::Edit) && (keyCode == 17 || keyCode == 16)) DeselectCurrentItem();
}

void Form14::txtInput_GotFocus()
{
    if (!Loaded() || File1->count() == 0) return;
    const Mode mode = CurrentMode();
    if (mode == Mode::Save || mode == Mode::Edit) DeselectCurrentItem();
}

bool Form14::NameCharAllowed(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 128) {
        return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == 8 ||
               u == '_' || u == '-' || u == '.';
    }
    // Letters and digits of every script may name a file; symbols and blanks may not.
    return c.isLetterOrNumber();
}

void Form14::txtInput_KeyPress(QChar& KeyAscii)
{
    if (!NameCharAllowed(KeyAscii)) KeyAscii = QChar(0);
}

void Form14::Form_QueryUnload() { LeaveFront(); }
