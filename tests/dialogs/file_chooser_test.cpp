#include "core/alarms/alarm_engine.h"
#include "core/alarms/alarm_file.h"
#include "clock/warning_window.h"
#include "dialogs/alarm_set_window.h"
#include "dialogs/file_chooser_window.h"
#include "dialogs/overwrite_window.h"
#include "support/test_program.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

namespace {

const QString kNoFile = QStringLiteral("No file is chosen");

// One program with the chooser at hand, 09:00 in the morning.
struct Chooser {
    TestProgram t;
    Program& p = t.program;

    Chooser()
    {
        t.platform.setTime(QStringLiteral("09:00:00"));
        t.start();
        t.platform.programsOnPath.insert(QStringLiteral("xdg-open"), QStringLiteral("/usr/bin/xdg-open"));
    }

    // Opens the chooser by the Alarm Set window's buttons; mode is "Load", "Save" or "Open".
    Form14& open(const QString& mode)
    {
        if (mode == QLatin1String("Save")) p.form4().cmdSaveFile_Click();
        else if (mode == QLatin1String("Open")) p.form4().cmdEditor_Click();
        else p.form4().cmdLoad_Click();
        Form14& f = p.form14();
        f.window()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(f.window()));
        return f;
    }
    Form14& f() { return p.form14(); }
    void clickFile(const QString& name, Qt::KeyboardModifiers mods = {})
    {
        const QList<QListWidgetItem*> items = f().File1->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        QTest::mouseClick(f().File1->viewport(), Qt::LeftButton, mods, f().File1->visualItemRect(items.first()).center());
    }
    void clickNameBox()
    {
        QTest::mouseClick(f().txtInput, Qt::LeftButton);
        EXPECT_TRUE(f().txtInput->hasFocus());
    }
    QStringList warnings() { return t.warnings(); }
    QStringList datFiles() const { return QDir(p.gAppPath).entryList({QStringLiteral("*.dat")}, QDir::Files); }
    void addAlarms()
    {
        p.form4().c().lstData.setItems({"once 10:00:00", "twice 11:00:00"});
        p.form4().c().lstMessage.setItems({"Tea at 11:00:00"});
    }
    QByteArray listsAsFile() { return composeDataFile(p.form4().c().lstData, p.form4().c().lstMessage); }
};

// Sets (or with nullptr removes) an environment variable until the returned guard goes.
auto setEnv(const char* name, const char* value)
{
    const std::optional<QByteArray> old = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
    value ? qputenv(name, value) : qunsetenv(name);
    return qScopeGuard([name, old] { old ? qputenv(name, *old) : qunsetenv(name); });
}

}  // namespace

TEST(FileChooser, SaveAndEditTakeTheTypedNameByTheirOwnCaseRules)
{
    const QString fifty(50, QLatin1Char('a'));
    struct Row {
        QString mode, typed;
        QString box;      // the name box after confirming
        QString written;  // the file saved, if any
        QString edited;   // the file handed to the editor, if any
        QString warning;
    } rows[] = {
        {"Save", "backup", "backup.dat", "backup.dat", {}, {}},
        {"Save", "Backup.DAT", "Backup.DAT", "Backup.DAT", {}, {}},
        {"Save", "WPaper", "WPaper.dat", {}, {}, "Wpaper.dat has data of wallpaper"},
        {"Save", "wpaper.DAT", "wpaper.DAT", {}, {}, "Wpaper.dat has data of wallpaper"},
        {"Save", fifty, fifty + ".dat", fifty + ".dat", {}, {}},
        {"Open", "Backup.DAT", "Backup.DAT.dat", {}, "Backup.DAT.dat", {}},
        {"Open", "notes.dat", "notes.dat", {}, "notes.dat", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE((row.mode + " " + row.typed).toStdString());
        Chooser c;
        c.addAlarms();
        Form14& f = c.open(row.mode);
        QTest::keyClicks(f.txtInput, row.typed);
        screenshot(f.window(), "file_chooser_" + row.mode + ".png");
        QTest::keyClick(f.txtInput, Qt::Key_Return);  // the default button
        const bool refused = !row.warning.isEmpty();
        EXPECT_EQ(f.Loaded(), refused);
        if (refused) {
            EXPECT_EQ(f.txtInput->text(), row.box);
        }
        EXPECT_EQ(c.warnings(), refused ? QStringList{row.warning} : QStringList{});
        EXPECT_EQ(c.datFiles(), row.written.isEmpty() ? QStringList{} : QStringList{row.written});
        if (!row.written.isEmpty()) {
            EXPECT_EQ(c.t.readFile(row.written), c.listsAsFile());
        }
        if (row.edited.isEmpty()) {
            EXPECT_TRUE(c.t.platform.started.empty());
        } else {
            ASSERT_EQ(c.t.platform.started.size(), 1u);
            EXPECT_EQ(c.t.platform.started[0].second, QStringList{c.t.path(row.edited)});
        }
    }
}

TEST(FileChooser, LoadTakesTheTypedNameAsItIsThenTheSelectedFilesInListOrder)
{
    Chooser c;
    // All three hold 10:00:00; a later load drops a time already there, so the word shows which came first.
    c.t.writeFile(QStringLiteral("my"), "\"thrice 10:00:00\"\r\n");
    c.t.writeFile(QStringLiteral("c.dat"), "\"twice 10:00:00\"\r\n\"once 12:00:00\"\r\n");
    c.t.writeFile(QStringLiteral("B.dat"), "\"once 11:00:00\"\r\n");
    c.t.writeFile(QStringLiteral("a.dat"), "\"once 10:00:00\"\r\n");
    Form14& f = c.open(QStringLiteral("Load"));
    ASSERT_EQ(f.File1->count(), 3);
    EXPECT_EQ(f.File1->item(0)->text(), QStringLiteral("a.dat"));
    EXPECT_EQ(f.File1->item(1)->text(), QStringLiteral("B.dat"));
    c.clickFile(QStringLiteral("c.dat"));
    c.clickFile(QStringLiteral("a.dat"), Qt::ControlModifier);
    c.clickNameBox();  // does not deselect in load mode
    QTest::keyClicks(f.txtInput, QStringLiteral("my"));
    screenshot(f.window(), QStringLiteral("file_chooser_Load.png"));
    QTest::mouseClick(f.cmdConfirm, Qt::LeftButton);
    EXPECT_FALSE(c.p.form14().Loaded());
    EXPECT_TRUE(c.warnings().isEmpty());
    EXPECT_EQ(c.p.form4().c().lstData.items(), (QStringList{"thrice 10:00:00", "once 12:00:00"}));
}

TEST(FileChooser, NothingChosenIsRefusedAndTheChooserStays)
{
    enum Action { None, PickThenNameBox, PickThenShift, PickThenCtrl };
    struct Row {
        const char* mode;
        bool files;
        Action action;
    } rows[] = {
        {"Load", false, None},         {"Load", true, None},         {"Save", true, None},
        {"Save", true, PickThenNameBox}, {"Open", true, PickThenShift}, {"Save", true, PickThenCtrl},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.mode << " files " << row.files << " action " << row.action);
        Chooser c;
        if (row.files) {
            c.t.writeFile(QStringLiteral("one.dat"), "\"once 10:00:00\"\r\n");
            c.t.writeFile(QStringLiteral("two.dat"), "\"once 11:00:00\"\r\n");
        }
        Form14& f = c.open(QString::fromLatin1(row.mode));
        if (row.action != None) {
            c.clickFile(QStringLiteral("two.dat"));
            ASSERT_TRUE(f.File1->currentItem()->isSelected());
        }
        if (row.action == PickThenNameBox) c.clickNameBox();
        if (row.action == PickThenShift) QTest::keyClick(f.File1, Qt::Key_Shift);
        if (row.action == PickThenCtrl) QTest::keyClick(f.File1, Qt::Key_Control);
        QTest::mouseClick(f.cmdConfirm, Qt::LeftButton);
        EXPECT_EQ(c.warnings(), QStringList{kNoFile});
        EXPECT_TRUE(f.Visible());
        EXPECT_TRUE(c.p.form4().c().lstData.items().isEmpty());
        EXPECT_TRUE(c.t.platform.started.empty());
        EXPECT_FALSE(c.p.form13().Loaded());
    }
}

TEST(FileChooser, PickingAFileClearsTheTypedNameOnlyWhenOneNameIsUsed)
{
    for (const char* mode : {"Load", "Save", "Open"}) {
        SCOPED_TRACE(mode);
        Chooser c;
        c.t.writeFile(QStringLiteral("day.dat"), "old");
        Form14& f = c.open(QString::fromLatin1(mode));
        c.clickNameBox();
        QTest::keyClicks(f.txtInput, QStringLiteral("abc"));
        c.clickFile(QStringLiteral("day.dat"));
        EXPECT_EQ(f.txtInput->text(), QString::fromLatin1(mode) == QLatin1String("Load") ? "abc" : "");
    }
}

TEST(FileChooser, NameBoxTakesOnlyFileNameCharacters)
{
    const QString sixty(60, QLatin1Char('x'));
    struct Row {
        QString typed;          // typed key by key
        QString sentText;       // a key event carrying this text (characters QTest cannot type)
        QString pasted;         // pasted with Ctrl+V
        QString expected;
    } rows[] = {
        {"a b/c*d\\e:f", {}, {}, "abcdef"},
        {"my_file-2.dat", {}, {}, "my_file-2.dat"},
        {sixty, {}, {}, sixty.left(50)},
        {"ok", QString::fromUtf8("ä"), {}, QString::fromUtf8("okä")},
        {"ok", QString::fromUtf8("日"), {}, QString::fromUtf8("ok日")},
        {"ok", QString::fromUtf8("€"), {}, "ok"},
        {"ok", QString::fromUtf8("é"), "bad name", "oké"},
        {"ok", {}, "-2", "ok-2"},
        {"ab\b", {}, {}, "a"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected.toStdString());
        Chooser c;
        Form14& f = c.open(QStringLiteral("Save"));
        QTest::keyClicks(f.txtInput, row.typed);
        if (!row.sentText.isEmpty()) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, row.sentText);
            QApplication::sendEvent(f.txtInput, &press);
        }
        if (!row.pasted.isEmpty()) {
            QGuiApplication::clipboard()->setText(row.pasted);
            QTest::keyClick(f.txtInput, Qt::Key_V, Qt::ControlModifier);
        }
        EXPECT_EQ(f.txtInput->text(), row.expected);
        EXPECT_EQ(c.t.platform.beeps, 0);
    }
}

TEST(FileChooser, SavingOverAFileAsksAndOnlyYesWrites)
{
    Chooser c;
    c.addAlarms();
    c.t.writeFile("day.dat", "old");
    // A picked file is saved under its own name.
    Form14& f = c.open("Save");
    c.clickFile("day.dat");
    QTest::keyClick(f.File1, Qt::Key_Return);
    Form13& q = c.p.form13();
    EXPECT_FALSE(c.p.form14().Loaded());
    ASSERT_TRUE(q.Visible());
    screenshot(q.window(), QStringLiteral("overwrite.png"));
    EXPECT_EQ(q.window()->focusWidget(), q.cmdYes);
    EXPECT_EQ(q.PrevFrontCode, kFrontFileChooser);
    EXPECT_EQ(c.p.gFrontCode, 0);  // the chooser's closing cleared it after the confirmation claimed it
    EXPECT_EQ(c.t.readFile("day.dat"), QByteArray("old"));
    QTest::keyClick(q.cmdYes, Qt::Key_Return);
    EXPECT_FALSE(q.Loaded());
    EXPECT_EQ(c.p.gFrontCode, 0);
    EXPECT_EQ(c.t.readFile("day.dat"), c.listsAsFile());
    EXPECT_TRUE(c.warnings().isEmpty());

    // Typed without its extension, it asks too; Cancel and the close box leave the file as it is.
    const QByteArray saved = c.t.readFile("day.dat");
    c.p.form4().c().lstData.Clear();
    for (bool useCloseBox : {false, true}) {
        QTest::keyClicks(c.open("Save").txtInput, "day");
        QTest::mouseClick(c.f().cmdConfirm, Qt::LeftButton);
        ASSERT_TRUE(q.Visible());
        if (useCloseBox) q.window()->close();
        else QTest::mouseClick(q.cmdCancel, Qt::LeftButton);
        EXPECT_FALSE(q.Loaded());
        EXPECT_EQ(c.t.readFile("day.dat"), saved);
    }
    // The remembered code is taken only once per run.
    c.p.gFrontCode = kFrontWarning;
    q.FileAlreadyExist([] {});
    EXPECT_EQ(q.PrevFrontCode, kFrontFileChooser);
    EXPECT_EQ(c.p.gFrontCode, kFrontOverwrite);
}

TEST(FileChooser, FrontCodesYieldByRankAndClosingRaisesTheRememberedWindow)
{
    Chooser c;
    FakePlatform& pf = c.t.platform;
    Form14& f = c.open(QStringLiteral("Load"));
    EXPECT_EQ(f.PrevFrontCode, 0);
    EXPECT_EQ(c.p.gFrontCode, kFrontFileChooser);
    EXPECT_EQ(pf.countCalls(QStringLiteral("topmost Voz files")), 1);

    // The confirmation, once closed, puts the chooser back on top.
    c.p.form13().FileAlreadyExist([] {});
    pf.calls.clear();
    c.p.form13().cmdCancel_Click();
    EXPECT_EQ(pf.calls, QStringList{QStringLiteral("topmost Voz files")});
    EXPECT_EQ(c.p.gFrontCode, 0);

    // A warning holds the front until it closes.
    QTest::mouseClick(f.cmdConfirm, Qt::LeftButton);
    ASSERT_EQ(c.warnings(), QStringList{kNoFile});
    EXPECT_EQ(c.p.gFrontCode, kFrontWarning);
    c.t.answerWarnings();
    EXPECT_EQ(c.p.gFrontCode, 0);

    // A chooser opened over the confirmation raises it again when it closes.
    c.p.form14().cmdCancel_Click();
    c.p.form13().FileAlreadyExist([] {});
    Form14& again = c.open(QStringLiteral("Save"));
    EXPECT_EQ(again.PrevFrontCode, kFrontOverwrite);
    pf.calls.clear();
    QTest::mouseClick(again.cmdCancel, Qt::LeftButton);
    EXPECT_EQ(pf.calls, QStringList{QStringLiteral("topmost Voz Warning Message")});
    EXPECT_EQ(c.p.gFrontCode, 0);
}

// An unloaded window is deleted later, yet never after its window object: the chooser's key
// and focus handlers reach into that object, and a late event would find it gone.
TEST(FileChooser, UnloadedWindowGoesWithItsWindowObject)
{
    QPointer<QWidget> window;
    {
        Chooser c;
        window = c.open(QStringLiteral("Load")).window();
        c.f().Unload();
        ASSERT_FALSE(window.isNull());  // deletion waits for the event loop
    }
    EXPECT_TRUE(window.isNull());
}

TEST(EditorCommand, OpensTheFileWithTheDesktopEditorElseTheUsersEditorInATerminal)
{
    struct Row {
        QStringList onPath;
        const char* visual;
        const char* editor;
        QString program;  // empty: nothing can be started
        QStringList argsBeforePath;
    } rows[] = {
        {{"xdg-open", "xterm", "nano"}, "vim", "nano", "/usr/bin/xdg-open", {}},
        {{"xterm", "nano"}, nullptr, "nano", "/usr/bin/xterm", {"-e", "/usr/bin/nano"}},
        {{"x-terminal-emulator", "xterm", "vim", "nano"}, "vim -p", "nano", "/usr/bin/x-terminal-emulator",
         {"-e", "/usr/bin/vim", "-p"}},
        {{"gnome-terminal", "nano"}, "", "nano", "/usr/bin/gnome-terminal", {"--", "/usr/bin/nano"}},
        {{"nano"}, nullptr, "nano", {}, {}},
        {{"xterm"}, nullptr, "ghost-editor", {}, {}},
        {{"xterm"}, nullptr, nullptr, {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.onPath.join(' ').toStdString());
        const auto visual = setEnv("VISUAL", row.visual);
        const auto editor = setEnv("EDITOR", row.editor);
        TestProgram t;
        t.start();
        // Blanks and quotes in the folder must reach the editor untouched.
        t.program.gAppPath = t.dir.path() + QStringLiteral("/my \"alarm\" files/");
        for (const QString& name : row.onPath) t.platform.programsOnPath.insert(name, "/usr/bin/" + name);
        t.program.form8().EditorClick(QStringLiteral("Backup.DAT.dat"));
        const QString path = t.program.gAppPath + QStringLiteral("Backup.DAT.dat");
        if (row.program.isEmpty()) {
            EXPECT_TRUE(t.platform.started.empty());
            EXPECT_EQ(t.warnings(), QStringList{QStringLiteral("cannot load notepad.exe")});
        } else {
            ASSERT_EQ(t.platform.started.size(), 1u);
            EXPECT_EQ(t.platform.started[0].first, row.program);
            EXPECT_EQ(t.platform.started[0].second, row.argsBeforePath + QStringList{path});
            EXPECT_FALSE(t.program.form11().Loaded());
        }
    }
}
