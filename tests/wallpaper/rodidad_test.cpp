#include "core/model/controls.h"
#include "core/files/settings_file.h"
#include "clock/warning_window.h"
#include "support/test_program.h"
#include "wallpaper/rodidad_client.h"
#include "core/wallpaper/wallpaper_list_file.h"

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace {
// The wallpaper window's controls as the library sees them, with their handlers counted.
struct Controls {
    CheckBox chkKeepSet, chkChange;
    ComboBox cbChange, cbPaper;
    ListBox lstShow;
    int chkChangeClicks = 0;
    int cbChangeClicks = 0;

    Controls()
    {
        lstShow.setMultiSelect(true);
        cbChange.setItems({"5 min", "10 min", "15 min", "30 min", "1 hr", "2 hrs", "3 hrs", "4 hrs"});
        QObject::connect(&chkChange, &CheckBox::Click, [this] { ++chkChangeClicks; });
        QObject::connect(&cbChange, &ListBox::Click, [this] { ++cbChangeClicks; });
    }
};

struct F12Result {
    Rodidad::Status status;
    bool opt1 = false, opt2 = false;
    std::int16_t top = 11, left = 22;  // what the caller put in
    QString myPath;
};

// One library copy for the whole run, in a program folder of its own; each case has its own
// application folder and a pictures folder whose path is longer than 34 characters.
struct RodidadTest : ::testing::Test {
    static inline QTemporaryDir* programDir = nullptr;
    static inline QTemporaryDir* home = nullptr;
    static inline QString pictures;

    static void SetUpTestSuite()
    {
        ensureApplication();
        programDir = new QTemporaryDir;
        home = new QTemporaryDir;
        QFile::copy(QStringLiteral(RODIDAD_PLUGIN_FILE), programDir->path() + QStringLiteral("/librodidad.so"));
        pictures = home->path() + QStringLiteral("/a pictures folder with a long name/Bilder");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home->path()));
        ASSERT_TRUE(writeFile(home->path() + QStringLiteral("/user-dirs.dirs"),
                   "XDG_PICTURES_DIR=\"" + QFile::encodeName(pictures) + "\"\n"));
    }
    static void TearDownTestSuite()
    {
        delete programDir;
        delete home;
    }

    QTemporaryDir appDir;
    QString app() const { return appDir.path() + QStringLiteral("/"); }
    // The library keeps nothing between calls: one object serves a whole test.
    std::unique_ptr<Rodidad::_Class1> object;

    void SetUp() override
    {
        QString reason;
        object = CreateClass1(programDir->path() + QStringLiteral("/"), &reason);
        ASSERT_TRUE(object) << reason.toStdString();
    }

    F12Result F12Load(Controls& c)
    {
        F12Result r;
        QObject* chkChange = &c.chkChange;
        QObject* cbChange = &c.cbChange;
        QObject* cbPaper = &c.cbPaper;
        QObject* chkKeepSet = &c.chkKeepSet;
        QObject* lstShow = &c.lstShow;
        r.status = object->F12Load(0, 0, chkChange, cbChange, r.opt1, cbPaper, r.top, r.left, chkKeepSet, lstShow,
                                   r.opt2, r.myPath, app());
        return r;
    }

    void writeList(int lines)
    {
        QStringList entries;
        for (int i = 0; i < lines; ++i) entries << QStringLiteral("p%1.jpg").arg(i);
        ASSERT_TRUE(WriteWallpaperList(WallpaperListPath(app()), entries));
    }
};

}  // namespace

TEST_F(RodidadTest, F12LoadFillsTheWindowFromRecordFiveAndTheList)
{
    struct Case {
        const char* name;
        std::optional<QString> text;  // record 5's choices; none: no voz.ini at all
        int lines;
        int presetInterval;           // the interval list's selection before the call
        // expected
        std::int16_t top, left;
        int keep, entries, interval;
        bool cbEnabled, chkEnabled;
        int chkValue;
        bool opt2;
        int cbClicks, chkClicks;
    };
    const Case cases[] = {
        {"no settings file", std::nullopt, 3, -1, 11, 22, 0, 0, -1, false, false, 0, false, 0, 0},
        {"Empty, two lines", "Empty", 2, -1, -30, 4500, 0, 2, -1, true, false, 0, false, 0, 0},
        {"random, one line", "CheckCheckRando 2", 1, -1, -30, 4500, 1, 1, 2, false, false, 0, true, 1, 0},
        {"priority, two lines", "CheckCheckPrior 7", 2, -1, -30, 4500, 1, 2, 7, true, true, 1, false, 1, 1},
        {"no interval", "CheckEmptyPrior-1", 2, -1, -30, 4500, 1, 2, -1, true, false, 0, false, 0, 0},
        {"interval out of range", "CheckCheckPrior 9", 2, 4, -30, 4500, 1, 2, 4, true, true, 1, false, 0, 1},
        {"unknown text", "Whatever", 3, -1, -30, 4500, 0, 0, -1, false, false, 0, false, 0, 0},
        {"no Wpaper.dat", "CheckCheckPrior 1", 0, -1, -30, 4500, 1, 0, 1, false, false, 0, false, 1, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        QDir(appDir.path()).removeRecursively();
        QDir().mkpath(appDir.path());
        QDir(pictures).removeRecursively();
        if (k.text) {
            ASSERT_TRUE(storeSettingsRecord(app(), kWallpaperRecord, WallpaperRecord(-30, 4500, *k.text)));
        }
        if (k.lines) writeList(k.lines);

        Controls c;
        c.cbChange.setListIndex(k.presetInterval);
        c.cbChangeClicks = 0;
        const F12Result r = F12Load(c);
        ASSERT_TRUE(r.status.ok) << r.status.error.toStdString();

        EXPECT_EQ(r.myPath, pictures);  // created when missing, whole path, no trailing "/"
        EXPECT_TRUE(QDir(pictures).exists());
        EXPECT_EQ(r.top, k.top);
        EXPECT_EQ(r.left, k.left);
        EXPECT_EQ(c.chkKeepSet.Value(), k.keep);
        EXPECT_EQ(c.lstShow.ListCount(), k.entries);
        EXPECT_EQ(c.cbChange.ListIndex(), k.interval);
        EXPECT_EQ(c.cbChange.Enabled(), k.cbEnabled);
        EXPECT_EQ(c.chkChange.Enabled(), k.chkEnabled);
        EXPECT_EQ(c.chkChange.Value(), k.chkValue);
        EXPECT_TRUE(r.opt1);
        EXPECT_EQ(r.opt2, k.opt2);
        // The window's own handlers ran as for a user's change.
        EXPECT_EQ(c.cbChangeClicks, k.cbClicks);
        EXPECT_EQ(c.chkChangeClicks, k.chkClicks);
    }
}

TEST_F(RodidadTest, SearchListTakesBmpThenGifThenJpgFilesInAnyCase)
{
    QDir().mkpath(pictures + QStringLiteral("/folder.jpg"));
    for (const char* name : {"b.bmp", "A.BMP", "c.gif", "d.jpg", "C.Jpg", "e.png", "f.jpeg", "g.bmp.txt"})
        ASSERT_TRUE(writeFile(pictures + QLatin1Char('/') + QLatin1String(name), "x"));
    Controls c;
    const F12Result r = F12Load(c);
    ASSERT_TRUE(r.status.ok);
    EXPECT_EQ(c.cbPaper.items(), QStringList({"A.BMP", "b.bmp", "c.gif", "C.Jpg", "d.jpg"}));
}

// What F12Load makes of each stored text is the table above.
TEST_F(RodidadTest, ClosingStoresRecordFive)
{
    struct Case {
        int keep, change;
        bool random;
        int interval;
        QByteArray text;  // stored, padded to 30
    };
    const Case cases[] = {
        {1, 1, false, 3, "CheckCheckPrior 3"},
        {1, 0, false, -1, "CheckEmptyPrior-1"},
        {1, 1, true, 0, "CheckCheckRando 0"},
        {0, 1, true, 5, "Empty"},
    };
    // voz.ini with records 1 to 4 only: they stay, and record 5 is added.
    const QByteArray four = QByteArray(3 * 51, '\x07') + WallpaperRecord(1, 2, QStringLiteral("x")).toBytes();
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text.toStdString());
        ASSERT_TRUE(writeFile(settingsPath(app()), four));
        Controls c;
        c.chkKeepSet.setValue(k.keep);
        c.chkChange.setValue(k.change);
        c.cbChange.setListIndex(k.interval);
        const Rodidad::Status s = object->cmdCloseRet(&c.chkKeepSet, -30, 4500, &c.chkChange, k.random, &c.cbChange, app());
        ASSERT_TRUE(s.ok) << s.error.toStdString();
        const QByteArray ini = readFile(settingsPath(app()));
        ASSERT_EQ(ini.size(), 5 * 51);
        EXPECT_EQ(ini.left(4 * 51), four);
        EXPECT_EQ(ini.mid(4 * 51), QByteArray("[WallpaperLoc]   ") + QByteArray("\xe2\xff\x94\x11", 4) +
                                       k.text.leftJustified(30, ' '));
    }
}

TEST_F(RodidadTest, ClosingWithoutASettingsFileCreatesFolderAndZeroRecords)
{
    const QString fresh = app() + QStringLiteral("new/");
    Controls c;
    c.chkKeepSet.setValue(0);
    ASSERT_TRUE(object->cmdCloseRet(&c.chkKeepSet, 0, 0, &c.chkChange, false, &c.cbChange, fresh).ok);
    const QByteArray ini = readFile(settingsPath(fresh));
    ASSERT_EQ(ini.size(), 5 * 51);
    EXPECT_EQ(ini.left(4 * 51), QByteArray(4 * 51, '\0'));

    // A grayed keep box stores nothing; a control without the property is the call's error.
    QFile::remove(settingsPath(fresh));
    c.chkKeepSet.setValue(2);
    EXPECT_TRUE(object->cmdCloseRet(&c.chkKeepSet, 0, 0, &c.chkChange, false, &c.cbChange, fresh).ok);
    EXPECT_FALSE(QFile::exists(settingsPath(fresh)));
    QObject plain;
    EXPECT_FALSE(object->cmdCloseRet(&plain, 0, 0, &c.chkChange, false, &c.cbChange, fresh).ok);
}

TEST_F(RodidadTest, LoadWallpaperListAppendsWithoutClearing)
{
    ASSERT_TRUE(writeFile(WallpaperListPath(app()), "\"a.jpg\"\r\nb.gif, c.bmp\r\n"));
    ListBox list;
    list.AddItem(QStringLiteral("old.jpg"));
    QObject* lstShow = &list;
    ASSERT_TRUE(object->LoadWallpaperList(lstShow, app()).ok);
    EXPECT_EQ(list.items(), QStringList({"old.jpg", "a.jpg", "b.gif", "c.bmp"}));
}

TEST_F(RodidadTest, MissingOrForeignLibraryGivesNoObject)
{
    QTemporaryDir empty, foreign;
    ASSERT_TRUE(writeFile(foreign.path() + QStringLiteral("/librodidad.so"), "not a library"));
    for (const QTemporaryDir* dir : {&empty, &foreign}) {
        QString reason;
        EXPECT_EQ(CreateClass1(dir->path() + QStringLiteral("/"), &reason), nullptr);
        EXPECT_TRUE(reason.contains(QStringLiteral("librodidad.so"))) << reason.toStdString();
    }
    // Never looked for elsewhere, not even in the current folder.
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(programDir->path());
    EXPECT_EQ(CreateClass1(QString()), nullptr);
    QDir::setCurrent(cwd);

    // The whole text of the warning fits the warning's label, with the loader's usual reason.
    TestProgram t;
    t.start();
    Form11& w = t.program.form11();
    for (const QString& text : {RodidadMissingText(), RodidadMissingText(RodidadLibraryPath(t.path(QString())) +
                                                                           QStringLiteral(": not found"))}) {
        w.AnswerOk(text);
        const QRect need =
            w.Label1->fontMetrics().boundingRect(QRect(QPoint(), w.Label1->size()), Qt::TextWordWrap, text);
        EXPECT_LE(need.height(), w.Label1->height()) << text.toStdString();
        w.cmdOk_Click();
    }
}
