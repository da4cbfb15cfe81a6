#include "wallpaper/wallpaper_window.h"

#include "wallpaper/rodidad_client.h"
#include "core/wallpaper/wallpaper_list_file.h"

#include "core/alarms/alarm_file.h"
#include "app/check_box.h"
#include "app/program.h"
#include "core/model/twips.h"
#include "clock/warning_window.h"
#include "dialogs/control_binding.h"
#include "dialogs/overwrite_window.h"
#include "dialogs/pictures.h"
#include "core/check_kit.h"
#include "rodidad/class1_interface.h"
#include "wallpaper/wallpaper_pictures.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <cmath>

namespace {
const QString kListFile = QStringLiteral("Wpaper.dat");
const QString kBitmapFile = QStringLiteral("tmpFile.bmp");

// A picture file as an image, null with the reader's reason when it cannot be read. A picture
// above Qt's allocation limit is read smaller where its format allows (JPEG decodes straight at
// the smaller size, at most twice as large each way as asked), so a large photo still shows.
QImage readPicture(const QString& file, QString* reason)
{
    QImageReader reader(file);
    const QSize size = reader.size();
    const qint64 limit = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
    const qint64 bytes = qint64(size.width()) * size.height() * 4;
    if (size.isValid() && limit > 0 && bytes > limit / 4 && reader.supportsOption(QImageIOHandler::ScaledSize)) {
        const double scale = std::sqrt(double(limit / 4) / double(bytes));
        reader.setScaledSize(QSize(std::max(1, int(size.width() * scale)), std::max(1, int(size.height() * scale))));
    }
    QImage image = reader.read();
    if (image.isNull() && reason) *reason = reader.errorString();
    return image;
}

// One warning for every picture a change found gone, naming a few of them.
QString notFoundText(const QStringList& names)
{
    constexpr int kNamed = 3;
    QString text = names.mid(0, kNamed).join(QStringLiteral(", "));
    if (names.size() > kNamed) text += QStringLiteral(" and %1 more").arg(names.size() - kNamed);
    return text + (names.size() == 1 ? QStringLiteral(" file not found") : QStringLiteral(" files not found"));
}
}  // namespace

void OptionButton::setValue(bool on)
{
    if (m_value == on) return;
    m_value = on;
    emit StateChanged();
    if (on) emit Click();
}

Form12Controls::Form12Controls()
{
    cbPaper.setText(QStringLiteral("Search"));
    cbChange.setText(QStringLiteral("min / hr"));
    cbChange.AddItems({QStringLiteral("5 min"), QStringLiteral("10 min"), QStringLiteral("15 min"),
                       QStringLiteral("30 min"), QStringLiteral("1 hr"), QStringLiteral("2 hrs"),
                       QStringLiteral("3 hrs"), QStringLiteral("4 hrs")});
    lstShow.setMultiSelect(true);
    // Nothing to change between yet: the library enables them once the list allows it.
    chkChange.setEnabled(false);
    cbChange.setEnabled(false);
    // One group: selecting an option clears the other before its handler runs.
    QObject::connect(&optOption[1], &OptionButton::Click, [this] { optOption[2].setValue(false); });
    QObject::connect(&optOption[2], &OptionButton::Click, [this] { optOption[1].setValue(false); });
}

Form12::Form12(Program& program) : FormBase(program)
{
    p.platform.setWallpaperFailureCallback([this](const QString& reason) { WallpaperFailed(reason); });
}

Form12::~Form12() { p.platform.setWallpaperFailureCallback({}); }

Qt::WindowFlags Form12::WindowFlags() const
{
    // Window managers that follow the Motif hints (icewm) minimise only a window whose title bar
    // has a minimise box, and the window's own minimise button asks them to.
    return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
           Qt::WindowCloseButtonHint;
}

void Form12::CreateControls(FormWindow* w)
{
    w->setWindowTitle(QStringLiteral("Voz Wallpaper"));
    w->setFixedSize(twipsToPixels(5820), twipsToPixels(4428));
    m_c = std::make_unique<Form12Controls>();
    Form12Controls& c = *m_c;
    QObject::connect(&c.cbPaper, &ListBox::Click, [this] { cbPaper_Click(); });
    QObject::connect(&c.lstShow, &ListBox::Click, [this] { lstShow_Click(); });
    QObject::connect(&c.chkChange, &CheckBox::Click, [this] { chkChange_Click(); });
    QObject::connect(&c.cbChange, &ListBox::Click, [this] { cbChange_Click(); });
    QObject::connect(&c.optOption[1], &OptionButton::Click, [this] { optOption_Click(1); });
    QObject::connect(&c.optOption[2], &OptionButton::Click, [this] { optOption_Click(2); });
    CreateWidgets(w);
}

void Form12::CreateWidgets(FormWindow* w)
{
    Form12Controls& c = *m_c;
    setDesignFont(w);

    auto* imgShow = place<QLabel>(w, "imgShow", twipsRect(120, 120, 1572, 1332));
    imgShow->setFrameStyle(QFrame::Box | QFrame::Plain);
    imgShow->setLineWidth(1);
    imgShow->setToolTip(QStringLiteral("圖片預覽"));

    auto combo = [&](ComboBox& control, const char* name, QRect r) {
        auto* cb = place<DropDownComboBox>(w, name, r);
        bindCombo(control, cb);
        filterKeys(cb, [](QChar) { return KeyVerdict::Swallow; }, {});
        return cb;
    };
    {
        auto* cbPaper = place<DropDownComboBox>(w, "cbPaper", twipsRect(2520, 240, 2652, 276));
        // Picking the entry already chosen picks it again; a change of entry clicks through the
        // binding, whose handler runs after this one.
        QObject::connect(cbPaper, &QComboBox::activated, [this](int i) {
            if (i == m_c->cbPaper.ListIndex()) cbPaper_Click();
        });
        bindCombo(c.cbPaper, cbPaper);
        filterKeys(cbPaper, [](QChar) { return KeyVerdict::Swallow; }, {});
    }

    auto button = [&](const char* name, const QString& text, QRect r, void (Form12::*handler)()) {
        auto* b = place<QPushButton>(w, name, r);
        b->setText(text);
        QObject::connect(b, &QPushButton::clicked, [this, handler] { (this->*handler)(); });
        return b;
    };
    auto picture = [&](const char* name, QRect r, QPixmap (*draw)(QSize), void (Form12::*handler)()) {
        QObject::connect(pictureButton(w, name, r, draw), &QPushButton::clicked, [this, handler] { (this->*handler)(); });
    };
    button("cmdChangeWall", QStringLiteral("Change Now"), twipsRect(3720, 720, 1452, 252), &Form12::cmdChangeWall_Click);
    button("cmdClearWall", QStringLiteral("Clear Wallpaper"), twipsRect(3720, 1200, 1452, 252),
           &Form12::cmdClearWall_Click);
    QPushButton* cmdAdd = button("cmdAdd", QStringLiteral("Add"), twipsRect(600, 1560, 492, 252), &Form12::cmdAdd_Click);

    auto label = [&](const char* name, const QString& text, QRect r) {
        auto* l = place<QLabel>(w, name, r);
        l->setText(text);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    };
    label("Label3", QStringLiteral("Wallpaper list :"), twipsRect(120, 1920, 1452, 252));
    auto* lstShow = place<QListView>(w, "lstShow", twipsRect(120, 2160, 1572, 1308));
    bindList(c.lstShow, lstShow);
    lstShow->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Clicking the entry that is already current picks it again, as a click on another one does.
    hookEvent(lstShow->viewport(), QEvent::MouseButtonPress, [this](QEvent*) {
        m_listIndexAtPress = m_c->lstShow.ListIndex();
        return false;
    });
    QObject::connect(lstShow, &QListView::clicked, [this](const QModelIndex& at) {
        if (at.row() == m_listIndexAtPress && at.row() == m_c->lstShow.ListIndex()) lstShow_Click();
    });

    bindCheckBox(c.chkChange, bareIndicator<ValueCheckBox>(w, "chkChange", twipsRect(1920, 2280, 132, 180)));
    label("Label1", QStringLiteral("Change in every "), twipsRect(2160, 2280, 1572, 252));
    combo(c.cbChange, "cbChange", twipsRect(3480, 2280, 1092, 276));
    for (int i = 1; i <= 2; ++i) {
        const QByteArray name = "optOption" + QByteArray::number(i);
        auto* opt = bareIndicator<QRadioButton>(w, name.constData(), twipsRect(4680, i == 1 ? 2280 : 2640, 252, 180));
        opt->setAutoExclusive(false);  // the controls keep the group
        OptionButton& control = c.optOption[i];
        bindEnabledVisible(control, opt);
        auto show = [opt, &control] { opt->setChecked(control.Value()); };
        show();
        QObject::connect(&control, &OptionButton::StateChanged, opt, show);
        // A click selects; it never clears a selected option.
        QObject::connect(opt, &QRadioButton::clicked, &control, [&control, show] {
            control.setValue(true);
            show();
        });
    }
    label("Label4", QStringLiteral("priority"), twipsRect(5040, 2280, 732, 252));
    label("Label5", QStringLiteral("random"), twipsRect(5040, 2640, 732, 252));
    bindCheckBox(c.chkKeepSet, bareIndicator<ValueCheckBox>(w, "chkKeepSet", twipsRect(1920, 2760, 132, 180)));
    label("Label2", QStringLiteral("Save above setting"), twipsRect(2160, 2760, 1812, 252));

    picture("cmdMinimize", twipsRect(4560, 3312, 852, 180), flatBarPicture, &Form12::cmdMinimize_Click);
    picture("cmdDelete", twipsRect(240, 3600, 372, 252), removeEntryPicture, &Form12::cmdDelete_Click);
    picture("cmdDeleteAll", twipsRect(840, 3600, 732, 252), clearListPicture, &Form12::cmdDeleteAll_Click);
    button("cmdClose", QStringLiteral("Close"), twipsRect(4560, 3600, 852, 372), &Form12::cmdClose_Click);
    picture("CmdSaveToFile", twipsRect(240, 3960, 252, 252), floppyPicture, &Form12::CmdSaveToFile_Click);
    picture("cmdLoad", twipsRect(720, 3960, 252, 252), openFolderPicture, &Form12::cmdLoad_Click);

    enterPresses(w, [this] { cmdAdd_Click(); });
    cmdAdd->setDefault(true);
}

void Form12::ReleaseControls() { m_c.reset(); }

QWidget* Form12::Widget(const char* name) const
{
    if (!Loaded()) return nullptr;
    return const_cast<Form12*>(this)->window()->findChild<QWidget*>(QLatin1String(name));
}

Form12Controls& Form12::c()
{
    window();
    return *m_c;
}

// ---- the library ---------------------------------------------------------------------------

std::unique_ptr<Rodidad::_Class1> Form12::NewClass1()
{
    std::unique_ptr<Rodidad::_Class1> object;
    QString reason;
    if (p.createClass1) object = p.createClass1(&reason);
    if (!object) LibraryFailed(RodidadMissingText(reason));
    return object;
}

void Form12::LibraryFailed(const QString& message)
{
    // Said once a run: the window goes on without the library either way.
    if (m_libraryProblemTold) return;
    m_libraryProblemTold = true;
    p.form11().AnswerOk(message);
}

// ---- loading and the list ------------------------------------------------------------------

void Form12::Form_Load()
{
    Form12Controls& ctl = *m_c;
    std::int16_t MeTop = 0;
    std::int16_t MeLeft = 0;
    bool FromLibOption1 = false;
    bool FromLibOption2 = false;
    if (auto lib = NewClass1()) {
        QObject* chkChange = &ctl.chkChange;
        QObject* cbChange = &ctl.cbChange;
        QObject* cbPaper = &ctl.cbPaper;
        QObject* chkKeepSet = &ctl.chkKeepSet;
        QObject* lstShow = &ctl.lstShow;
        const Rodidad::Status s = lib->F12Load(ShowIndex, DeleteCursor, chkChange, cbChange, FromLibOption1, cbPaper,
                                               MeTop, MeLeft, chkKeepSet, lstShow, FromLibOption2, PicturePath,
                                               p.gAppPath);
        if (!s.ok) LibraryFailed(QStringLiteral("The wallpaper library (Rodidad) failed: ") + s.error);
    } else {
        FromLibOption1 = true;  // as the library would: list order until the user picks
    }
    MoveTwips(MeTop, MeLeft);
    if (FromLibOption1) ctl.optOption[1].setValue(true);
    if (FromLibOption2) ctl.optOption[2].setValue(true);
}

QString Form12::PictureFile(const QString& name) const { return PicturePath + QLatin1Char('/') + name; }

bool Form12::ShowPreview(const QString& name)
{
    const QString file = PictureFile(name);
    if (!QFileInfo(file).isFile()) return false;
    Form12Controls& ctl = *m_c;
    // A file that cannot be read as a picture leaves the preview blank; "Change Now" says why.
    m_previewName = name;
    m_previewProblem.clear();
    ctl.imgShow = readPicture(file, &m_previewProblem);
    if (auto* img = qobject_cast<QLabel*>(Widget("imgShow"))) {
        const QSize inside = img->contentsRect().size();
        img->setPixmap(ctl.imgShow.isNull() ? QPixmap()
                                            : QPixmap::fromImage(ctl.imgShow.scaled(inside, Qt::IgnoreAspectRatio,
                                                                                    Qt::SmoothTransformation)));
    }
    return true;
}

void Form12::cbPaper_Click()
{
    ComboBox& cbPaper = m_c->cbPaper;
    if (cbPaper.ListIndex() < 0) return;
    PickedName = cbPaper.CurrentText();
    if (!ShowPreview(PickedName)) cbPaper.RemoveItem(cbPaper.ListIndex());
}

void Form12::lstShow_Click()
{
    if (m_quietList) return;
    ListBox& lstShow = m_c->lstShow;
    const int i = lstShow.ListIndex();
    if (i < 0) return;
    PickedName = lstShow.List(i);
    if (ShowPreview(PickedName)) return;
    RemoveShowEntry(i);
    p.form11().AnswerOk(PickedName + QStringLiteral(" file not found"));
}

void Form12::RemoveShowEntry(int i)
{
    m_quietList = true;
    m_c->lstShow.RemoveItem(i);
    m_quietList = false;
}

void Form12::cmdAdd_Click()
{
    if (PickedName.isEmpty()) return;
    Form12Controls& ctl = c();
    ctl.lstShow.AddItem(PickedName);
    if (ctl.lstShow.ListCount() >= 2) {
        ctl.cbChange.setEnabled(true);
        if (ctl.cbChange.ListIndex() != -1) ctl.chkChange.setEnabled(true);
    }
}

void Form12::cmdDelete_Click()
{
    Form12Controls& ctl = c();
    auto selCount = [&ctl] { return ctl.lstShow.selectionModel()->selectedIndexes().size(); };
    if (selCount() < 1) return;
    while (selCount() >= 1) {
        const int before = ctl.lstShow.ListCount();
        RemoveFirstSelected();
        if (ctl.lstShow.ListCount() == before) break;  // the cursor stood past them
    }
    DeleteCursor = 0;
    const int n = ctl.lstShow.ListCount();
    if (n <= 2) ctl.optOption[1].setValue(true);
    if (n <= 1) {
        ctl.chkChange.setValue(0);
        ctl.chkChange.setEnabled(false);
        ctl.cbChange.setEnabled(true);
    }
}

void Form12::RemoveFirstSelected()
{
    ListBox& lstShow = m_c->lstShow;
    const int n = lstShow.ListCount();
    if (n == 0) return;
    if (DeleteCursor < 0) DeleteCursor = 0;
    while (DeleteCursor < n && !lstShow.Selected(DeleteCursor)) ++DeleteCursor;
    if (DeleteCursor >= n) return;
    // The cursor stays: the next entry moves into its place.
    RemoveShowEntry(DeleteCursor);
}

void Form12::cmdDeleteAll_Click()
{
    Form12Controls& ctl = c();
    ctl.lstShow.Clear();
    ctl.chkChange.setValue(0);
    ctl.chkChange.setEnabled(false);
    ctl.cbChange.setEnabled(true);
    ctl.optOption[1].setValue(true);
}

void Form12::cbChange_Click()
{
    Form12Controls& ctl = *m_c;
    if (ctl.lstShow.ListCount() >= 2) ctl.chkChange.setEnabled(true);
    else if (ctl.chkChange.Value() == 1) ctl.chkChange.setValue(0);
}

void Form12::CmdSaveToFile_Click()
{
    c();
    if (!QFileInfo(p.gAppPath).isDir()) QDir().mkpath(p.gAppPath);
    if (QFileInfo::exists(p.gAppPath + kListFile)) {
        // The list lives with this window: closed meanwhile, there is nothing to write.
        p.form13().FileAlreadyExist([this] {
            if (Loaded()) WriteListFile();
        });
        return;
    }
    WriteListFile();
}

void Form12::WriteListFile()
{
    QString reason;
    if (!WriteWallpaperList(p.gAppPath + kListFile, c().lstShow.items(), &reason))
        p.form11().AnswerOk(kListFile + QStringLiteral(", file cannot be saved: ") + reason);
}

void Form12::cmdLoad_Click()
{
    Form12Controls& ctl = c();
    // Without the library nothing could be read back: the list stays as it is.
    auto lib = NewClass1();
    if (!lib) return;
    ctl.lstShow.Clear();
    QObject* lstShow = &ctl.lstShow;
    const Rodidad::Status s = lib->LoadWallpaperList(lstShow, p.gAppPath);
    if (!s.ok) LibraryFailed(QStringLiteral("The wallpaper library (Rodidad) failed: ") + s.error);
    const int n = ctl.lstShow.ListCount();
    if (ctl.cbChange.ListIndex() >= 0 && n >= 2) ctl.chkChange.setEnabled(true);
    if (n <= 2) ctl.optOption[1].setValue(true);
    if (n <= 1) {
        ctl.chkChange.setValue(0);
        ctl.chkChange.setEnabled(false);
        ctl.cbChange.setEnabled(true);
    }
}

void Form12::cmdMinimize_Click() { Minimize(); }

void Form12::cmdClose_Click()
{
    Form12Controls& ctl = c();
    const std::int16_t top = twipsToInt16(TopTwips());
    const std::int16_t left = twipsToInt16(LeftTwips());
    if (auto lib = NewClass1()) {
        const Rodidad::Status s = lib->cmdCloseRet(&ctl.chkKeepSet, top, left, &ctl.chkChange,
                                                   ctl.optOption[2].Value(), &ctl.cbChange, p.gAppPath);
        if (!s.ok) LibraryFailed(QStringLiteral("The wallpaper library (Rodidad) failed: ") + s.error);
    }
    // A running schedule keeps the window, hidden, for its list.
    if (p.gWallNextTime == -1) Unload();
    else Hide();
}

// ---- the change ----------------------------------------------------------------------------

void Form12::chkChange_Click()
{
    Form12Controls& ctl = c();
    const bool byTimer = p.gWallByTimer == VTrue;
    CheckKit kit(p.platform.now());
    kit.WallpaperSetup(ctl.chkChange, ctl.cbChange, p.gTimerArmed, p.gWallInterval, p.gWallNextTime);
    if (byTimer) p.gWallByTimer = VFalse;
}

void Form12::optOption_Click(int Index)
{
    const int n = c().lstShow.ListCount();
    // Two pictures: the other one, or random order would never change the wallpaper.
    if (Index == 2 && n == 2) {
        ShowIndex = ShowIndex == 0 ? 1 : 0;
        return;
    }
    if (n < 3) return;
    if (Index == 2) {
        // The next pick always differs from the picture shown last.
        const int pick = std::uniform_int_distribution<int>(0, n - 1)(m_random);
        if (pick != ShowIndex) {
            ShowIndex = static_cast<std::int16_t>(pick);
        } else {
            --ShowIndex;
            if (ShowIndex == -1) ShowIndex = 1;
        }
    } else if (Index == 1) {
        ShowIndex = 0;
    }
}

void Form12::AdvanceWallpaperTarget()
{
    CheckKit kit(p.platform.now());
    kit.CalcWallNext(p.gWallInterval, p.gWallNextTime);
}

void Form12::DropMissingPictures()
{
    Form12Controls& ctl = *m_c;
    ListBox& lstShow = ctl.lstShow;
    // Entries deleted since the last change may have left the index past the end.
    if (ShowIndex < 0 || ShowIndex >= lstShow.ListCount()) ShowIndex = 0;
    // One warning for the change, however many are gone: each would be a window to click away.
    QStringList gone;
    auto tell = qScopeGuard([&] {
        if (!gone.isEmpty()) p.form11().AnswerOk(notFoundText(gone));
    });
    while (lstShow.ListCount() > 0) {
        const QString name = lstShow.List(ShowIndex);
        if (QFileInfo(PictureFile(name)).isFile()) return;
        gone << name;
        RemoveShowEntry(ShowIndex);
        if (lstShow.ListCount() < 2) {
            ctl.chkChange.setValue(0);
            ctl.chkChange.setEnabled(false);
            ctl.cbChange.setEnabled(true);
        }
        // Past the last entry the walk goes on at the first, which is checked as well.
        if (ShowIndex == lstShow.ListCount()) ShowIndex = 0;
    }
    ShowIndex = 0;
}

void Form12::EMShowToShow()
{
    Form12Controls& ctl = c();
    ListBox& lstShow = ctl.lstShow;
    if (lstShow.ListCount() == 0) return;
    AdvanceWallpaperTarget();
    if (ctl.optOption[2].Value()) optOption_Click(2);
    DropMissingPictures();
    if (lstShow.ListCount() == 0) return;  // every picture had gone: nothing to show

    const QString name = lstShow.List(ShowIndex);
    const QString kind = name.right(3).toLower();
    if (kind == QLatin1String("gif") || kind == QLatin1String("jpg")) {
        QString why;
        const QImage picture = readPicture(PictureFile(name), &why);
        if (picture.isNull()) CannotShow(name, why, false);
        else SetWallpaperThroughBitmap(name, picture);
    } else {
        // The desktop reads it itself; what no reader takes as a picture is not handed on.
        QImageReader reader(PictureFile(name));
        if (reader.canRead()) SetWallpaper(PictureFile(name));
        else CannotShow(name, reader.errorString(), false);
    }
    if (ctl.optOption[1].Value()) {
        ++ShowIndex;
        if (ShowIndex > lstShow.ListCount() - 1) ShowIndex = 0;
    }
}

void Form12::SetWallpaperThroughBitmap(const QString& name, const QImage& picture)
{
    const QImage bits = picture.convertToFormat(QImage::Format_RGB32);
    QString firstProblem;
    for (const QString& folder : {PicturePath + QLatin1Char('/'), p.platform.runtimeFolder()}) {
        if (folder.isEmpty()) continue;
        QDir().mkpath(folder);
        const QString bitmap = folder + kBitmapFile;
        QImageWriter writer(bitmap, "BMP");
        if (writer.write(bits)) {
            SetWallpaper(bitmap);
            return;
        }
        if (firstProblem.isEmpty()) firstProblem = bitmap + QStringLiteral(": ") + writer.errorString();
    }
    // Without a fresh bitmap the desktop would be shown the previous picture again.
    CannotShow(name, firstProblem, false);
}

void Form12::SetWallpaper(const QString& path) { p.platform.setWallpaper(path); }

void Form12::WallpaperFailed(const QString& reason)
{
    if (m_wallpaperProblemTold) return;
    m_wallpaperProblemTold = true;
    p.form11().AnswerOk(QStringLiteral("The wallpaper cannot be changed on this desktop: ") + reason);
}

void Form12::CannotShow(const QString& name, const QString& reason, bool everyTime)
{
    // A schedule meets the same picture again and again: once a run is enough.
    if (!everyTime) {
        if (m_cannotShowTold.contains(name)) return;
        m_cannotShowTold.insert(name);
    }
    p.form11().AnswerOk(name + QStringLiteral(" cannot be shown: ") + reason);
}

void Form12::cmdChangeWall_Click()
{
    const QImage& preview = c().imgShow;
    if (preview.isNull()) {
        // A picture was picked but could not be read: the click would do nothing at all.
        if (!m_previewName.isEmpty() && !m_previewProblem.isEmpty()) CannotShow(m_previewName, m_previewProblem, true);
        return;
    }
    SetWallpaperThroughBitmap(m_previewName, preview);
}

void Form12::cmdClearWall_Click() { SetWallpaper(QString()); }
