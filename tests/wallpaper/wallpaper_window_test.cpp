#include "core/alarms/alarm_host.h"
#include "core/wallpaper/wallpaper_list_file.h"
#include "dialogs/overwrite_window.h"
#include "support/tick_driver.h"
#include "wallpaper/rodidad_client.h"
#include "wallpaper/wallpaper_window.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QListView>
#include <QScopeGuard>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The real library, from one copy for the run.
std::unique_ptr<Rodidad::_Class1> createLibrary(QString* reason)
{
    static const QTemporaryDir folder;
    static const bool copied = QFile::copy(RODIDAD_PLUGIN_FILE, folder.filePath("librodidad.so"));
    EXPECT_TRUE(copied);
    return CreateClass1(folder.path() + '/', reason);
}

// A started program with the real library, whose pictures folder is `pictures`.
struct Rig {
    TestProgram t;
    Program& p = t.program;
    QTemporaryDir pictures, config;
    int libraryUses = 0;  // one for each load of the window's settings and each store

    // With record 5's choices, voz.ini holds them and Wpaper.dat the saved list when the program starts.
    explicit Rig(const QString& choices = {}, const QStringList& saved = {})
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        const QByteArray folder = QFile::encodeName(pictures.path());
        writeFile(config.filePath("user-dirs.dirs"), "XDG_PICTURES_DIR=\"" + folder + "\"\n");
        p.createClass1 = [this](QString* reason) {
            ++libraryUses;
            return createLibrary(reason);
        };
        if (!choices.isEmpty()) savedList(saved, choices);
        t.start();
    }

    // Pictures that exist, in colours told apart by their place, as the saved list with record 5's choices.
    void savedList(const QStringList& names, const QString& choices, std::int16_t top = 0, std::int16_t left = 0)
    {
        for (int i = 0; i < names.size(); ++i) {
            if (!QFile::exists(pictures.filePath(names[i])))
                makePicture(names[i], QColor::fromHsv(i * 40 % 360, 255, 255));
        }
        ASSERT_TRUE(WriteWallpaperList(WallpaperListPath(p.gAppPath), names));
        t.storeRecord(5, "[WallpaperLoc]", top, left, choices);
    }
    // A one-colour picture; Qt writes no GIF, and a reader decides by the content.
    void makePicture(const QString& name, QColor colour, QSize size = {8, 8})
    {
        QImage img(size, QImage::Format_RGB32);
        img.fill(colour);
        const QString kind = name.right(3).toLower();
        const char* format = kind == QLatin1String("jpg") ? "JPG" : kind == QLatin1String("bmp") ? "BMP" : "PNG";
        ASSERT_TRUE(img.save(pictures.filePath(name), format));
    }
    QStringList warnings() { return t.warnings(); }
};

struct WallpaperTest : ::testing::Test, Rig {
    Form12& open()
    {
        p.form1().mWallpaper_Click();
        return p.form12();
    }
    void click(const char* button) { QTest::mouseClick(p.form12().Widget(button), Qt::LeftButton); }
};

TEST_F(WallpaperTest, PriorityOrderWrapsAndGifJpgGoThroughTheBitmap)
{
    savedList({"a.bmp", "b.GIF", "c.jpeg", "d.jpg"}, "CheckEmptyPrior 0");
    Form12& w = open();
    const QString bitmap = pictures.filePath(QStringLiteral("tmpFile.bmp"));
    const struct {
        QString wallpaper;
        QColor colour;  // of the bitmap, when the change went through it
    } expected[] = {
        {pictures.filePath(QStringLiteral("a.bmp")), {}},
        {bitmap, QColor::fromHsv(40, 255, 255)},
        {pictures.filePath(QStringLiteral("c.jpeg")), {}},
        {bitmap, QColor::fromHsv(120, 255, 255)},
        {pictures.filePath(QStringLiteral("a.bmp")), {}},
    };
    for (const auto& e : expected) {
        w.EMShowToShow();
        ASSERT_EQ(t.platform.wallpapers.last(), e.wallpaper);
        if (!e.colour.isValid()) continue;
        // The same bitmap path each time, so its content must be the new picture.
        const QColor got = QImage(bitmap).pixelColor(4, 4);
        EXPECT_NEAR(got.hue(), e.colour.hue(), 8) << e.wallpaper.toStdString();
    }
    EXPECT_EQ(t.platform.wallpapers.size(), 5);
}

TEST(WallpaperRandom, NeverShowsThePreviousPictureAgain)
{
    // Two pictures alternate: random order must still change the wallpaper.
    for (const QStringList& names : {QStringList{"a.bmp", "b.bmp", "c.bmp", "d.bmp"}, QStringList{"a.bmp", "b.bmp"}}) {
        SCOPED_TRACE(names.size());
        Rig r;
        r.savedList(names, "CheckEmptyRando 0");
        Form12& w = r.p.form12();
        r.p.form1().mWallpaper_Click();
        ASSERT_TRUE(w.c().optOption[2].Value());
        for (int i = 0; i < 300; ++i) w.EMShowToShow();
        const QStringList& shown = r.t.platform.wallpapers;
        ASSERT_EQ(shown.size(), 300);
        for (int i = 1; i < shown.size(); ++i) ASSERT_NE(shown[i], shown[i - 1]) << "change " << i;
        for (const QString& n : names) EXPECT_TRUE(shown.contains(r.pictures.filePath(n))) << n.toStdString();
    }
}

TEST_F(WallpaperTest, MissingPicturesAreDroppedWithOneWarningPerChange)
{
    QList<int> fifty;
    for (int i = 1; i <= 50; ++i) fifty << i;
    const struct {
        const char* name;
        int entries;
        int changesBefore;   // changes made before the files go
        QList<int> missing;  // entries whose files go
        int shown;           // entry shown by the next change; -1 none
        QList<int> left;
        const char* warning;  // the one warning of the change
    } cases[] = {
        {"middle", 5, 1, {1, 2}, 3, {0, 3, 4}, "p1.bmp, p2.bmp files not found"},
        {"last", 3, 2, {2}, 0, {0, 1}, "p2.bmp file not found"},
        {"last and first", 3, 2, {2, 0}, 1, {1}, "p2.bmp, p0.bmp files not found"},
        {"all", 2, 0, {0, 1}, -1, {}, "p0.bmp, p1.bmp files not found"},
        {"fifty", 52, 1, fifty, 51, {0, 51}, "p1.bmp, p2.bmp, p3.bmp and 47 more files not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r;
        QStringList names;
        for (int i = 0; i < c.entries; ++i) names << QStringLiteral("p%1.bmp").arg(i);
        r.savedList(names, "CheckCheckPrior 0");
        r.p.host().loadWallpaperWindowHidden();
        Form12& w = r.p.form12();
        ASSERT_NE(r.p.gWallNextTime, -1);
        for (int i = 0; i < c.changesBefore; ++i) w.EMShowToShow();
        for (int i : c.missing) QFile::remove(r.pictures.filePath(names[i]));
        const qsizetype before = r.t.platform.wallpapers.size();
        w.EMShowToShow();

        if (c.shown < 0) EXPECT_EQ(r.t.platform.wallpapers.size(), before);
        else EXPECT_EQ(r.t.platform.wallpapers.last(), r.pictures.filePath(names[c.shown]));
        QStringList left;
        for (int i : c.left) left << names[i];
        EXPECT_EQ(w.c().lstShow.items(), left);
        EXPECT_EQ(r.warnings(), QStringList{QString::fromUtf8(c.warning)});
        // Fewer than two left: the schedule ends and its box can no longer be checked.
        const bool ended = c.left.size() < 2;
        EXPECT_EQ(w.c().chkChange.Value(), ended ? 0 : 1);
        EXPECT_EQ(w.c().chkChange.Enabled(), !ended);
        EXPECT_EQ(r.p.gWallNextTime == -1, ended);
    }
}

TEST_F(WallpaperTest, ScheduledChangesComeOnTimeThroughTheTick)
{
    const struct {
        const char* start;
        int interval;        // entry of the interval list
        const char* jumpTo;  // the clock leaps (a suspended machine), or null
        int seconds;         // ticking after the start or the leap
        QStringList changes;  // times of day of the changes
        int nextTarget;
        bool unloaded;  // re-planned by the resync check while hidden
    } cases[] = {
        {"09:59:30", 2, nullptr, 50, {"10:00:00"}, 15, false},              // 15 min, over the hour
        {"23:59:40", 7, nullptr, 40, {"00:00:00"}, 4, false},               // 4 hrs, over midnight
        {"10:54:00", 0, nullptr, 600, {"10:55:00", "11:00:00"}, 5, false},  // 5 min
        {"10:00:10", 0, "10:20:40", 10, {}, 25, true},                      // missed: re-planned
        // 1 hr: midnight's change missed overnight; the next hour's comes, not the next midnight's.
        {"23:00:00", 4, "07:00:30", 3630, {"08:00:00"}, 10, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        Rig r;
        r.savedList({"a.bmp", "b.bmp", "c.bmp"}, QString("CheckCheckPrior%1").arg(c.interval, 2));
        r.t.platform.setTime(QLatin1String(c.start));
        r.p.host().loadWallpaperWindowHidden();
        ASSERT_EQ(r.p.gTimerArmed, VTrue);
        if (c.jumpTo) r.t.platform.setTime(QLatin1String(c.jumpTo));

        QStringList changes;
        for (int ms = 0; ms < c.seconds * 1000; ms += 800) {
            const qsizetype before = r.t.platform.wallpapers.size();
            tickOnce(r.t);
            if (r.t.platform.wallpapers.size() != before) changes << r.p.timeOfDay();
        }
        EXPECT_EQ(changes, c.changes);
        EXPECT_EQ(r.p.gWallNextTime, c.nextTarget);
        EXPECT_EQ(r.p.form12().Loaded(), !c.unloaded);
    }
}

TEST_F(WallpaperTest, PicturesThatCannotBeShownAreToldOnceAndTheBitmapGoesWhereItCanBeWritten)
{
    makePicture("small.jpg", Qt::green);
    makePicture("large.jpg", Qt::blue, {1200, 600});
    for (const char* text : {"text.bmp", "text.jpg"})
        ASSERT_TRUE(writeFile(pictures.filePath(QLatin1String(text)), "not a picture\n"));
    // A folder in the bitmap's place: no one, root included, can write that file.
    ASSERT_TRUE(QDir(pictures.path()).mkdir(QStringLiteral("tmpFile.bmp")));
    // Qt's limit lowered so that a small file is "too large" (1.2 Mpx is above 1 MB / 4 here).
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1);
    auto restore = qScopeGuard([limit] { QImageReader::setAllocationLimit(limit); });

    const QStringList saved = {"large.jpg", "text.bmp", "text.jpg", "small.jpg"};
    savedList(saved, "CheckEmptyPrior 0");
    Form12& w = open();
    const QString runBitmap = t.platform.runtimeDir + "tmpFile.bmp";
    // The text files are skipped each round but told only in the first.
    for (const int round : {1, 2}) {
        for (const QString& entry : saved) {
            SCOPED_TRACE(testing::Message() << "round " << round << ' ' << entry.toStdString());
            const bool text = entry.startsWith("text");
            const qsizetype before = t.platform.wallpapers.size();
            w.EMShowToShow();
            ASSERT_EQ(t.platform.wallpapers.size(), before + (text ? 0 : 1));
            if (!text) {
                EXPECT_EQ(t.platform.wallpapers.last(), runBitmap);
            }
            const QStringList told = t.answerWarnings();
            if (!text || round == 2) {
                EXPECT_TRUE(told.isEmpty()) << told.join('|').toStdString();
            } else {
                const QString why = entry + " cannot be shown: ";
                ASSERT_EQ(told.size(), 1);
                EXPECT_TRUE(told[0].startsWith(why)) << told[0].toStdString();
                EXPECT_GT(told[0].size(), why.size()) << "no reason given";
            }
        }
    }
    EXPECT_NEAR(QImage(runBitmap).pixelColor(1, 1).green(), 255, 8);
    EXPECT_EQ(w.c().lstShow.ListCount(), 4);

    // "Change Now" with an unreadable preview says so each time; with nowhere to write the
    // bitmap (the runtime folder below a plain file), it says that.
    w.c().lstShow.setListIndex(2);
    for (int i = 0; i < 2; ++i) {
        w.cmdChangeWall_Click();
        const QStringList told = t.answerWarnings();
        ASSERT_EQ(told.size(), 1);
        EXPECT_TRUE(told[0].startsWith("text.jpg cannot be shown: "));
    }
    t.platform.runtimeDir = pictures.filePath("text.bmp") + "/run/";
    w.c().lstShow.setListIndex(0);
    const qsizetype before = t.platform.wallpapers.size();
    w.cmdChangeWall_Click();
    EXPECT_EQ(t.platform.wallpapers.size(), before);
    ASSERT_EQ(warnings().size(), 1);
    EXPECT_TRUE(warnings()[0].startsWith("large.jpg cannot be shown: ")) << warnings()[0].toStdString();
    EXPECT_TRUE(warnings()[0].contains("tmpFile.bmp")) << warnings()[0].toStdString();
}

TEST_F(WallpaperTest, ADesktopThatRefusesIsToldOnceARun)
{
    savedList({"a.bmp", "b.jpg"}, "CheckEmptyPrior 0");
    t.platform.wallpaperFailure = "swaymsg output: Error: unknown output";
    Form12& w = open();
    w.EMShowToShow();
    w.EMShowToShow();
    w.cmdClearWall_Click();
    EXPECT_EQ(t.platform.wallpapers.size(), 3);
    EXPECT_EQ(t.answerWarnings(),
              QStringList{"The wallpaper cannot be changed on this desktop: swaymsg output: Error: unknown output"});
    // The window's state outlives unloading; the run is what counts.
    w.c().chkChange.setValue(0);
    w.cmdClose_Click();
    open().EMShowToShow();
    EXPECT_TRUE(warnings().isEmpty());
}

TEST(WallpaperStart, ASavedScheduleLoadsTheWindowUnseenSoThatItRuns)
{
    const struct {
        const char* record5;
        bool loaded;
        bool scheduled;
    } cases[] = {
        {"CheckCheckPrior 1", true, true},
        {"CheckEmptyRando 1", true, false},
        {"Empty", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record5);
        Rig r(QLatin1String(c.record5), {"a.bmp", "b.bmp"});
        EXPECT_EQ(r.p.form12().Loaded(), c.loaded);
        EXPECT_FALSE(r.p.form12().Visible());
        EXPECT_EQ(r.p.gWallNextTime != -1, c.scheduled);
        EXPECT_EQ(r.p.gTimerArmed == VTrue, c.scheduled);
    }
}

TEST_F(WallpaperTest, CloseHidesWhileAScheduleRunsAndUnloadsOtherwise)
{
    for (const bool scheduled : {true, false}) {
        SCOPED_TRACE(scheduled ? "scheduled" : "no schedule");
        savedList({"a.bmp", "b.bmp"}, scheduled ? "CheckCheckRando 3" : "CheckEmptyRando 3", 600, 1500);
        Form12& w = open();
        ASSERT_TRUE(w.Visible());
        EXPECT_EQ(w.window()->pos(), QPoint(100, 40));
        ASSERT_EQ(p.gWallNextTime != -1, scheduled);
        click("cmdClose");
        const SettingsRecord stored = t.record(5);
        EXPECT_EQ(QString("%1,%2 %3").arg(stored.Value1).arg(stored.Value2).arg(trimBlanks(stored.Text())),
                  QString(scheduled ? "600,1500 CheckCheckRando 3" : "600,1500 CheckEmptyRando 3"));
        EXPECT_EQ(w.Loaded(), scheduled);
        EXPECT_FALSE(w.Visible());

        // The tray shows it again as it was; a minimised window comes back.
        p.form1().mWallpaper_Click();
        EXPECT_TRUE(w.Visible());
        EXPECT_EQ(w.c().lstShow.ListCount(), 2);
        w.Minimize();
        p.form1().mWallpaper_Click();
        EXPECT_FALSE(w.Minimized());
        // The load and the close; once unloaded, a second load.
        EXPECT_EQ(libraryUses, scheduled ? 2 : 3);
        w.c().chkChange.setValue(0);
        w.cmdClose_Click();
        libraryUses = 0;
    }
}

TEST_F(WallpaperTest, MissingLibraryIsToldOnceWithItsReasonAndNothingIsStored)
{
    // The loader's own reason reaches the user, without the folder it names.
    p.createClass1 = [this](QString* reason) {
        *reason = t.path("librodidad.so: not found");
        return nullptr;
    };
    Form12& w = open();
    EXPECT_TRUE(w.Visible());
    EXPECT_EQ(t.answerWarnings(), QStringList{"Wallpaper library librodidad.so cannot be used (not found): "
                                              "settings are not loaded or saved"});
    EXPECT_TRUE(w.c().optOption[1].Value());
    w.cmdLoad_Click();
    w.cmdClose_Click();
    EXPECT_FALSE(w.Loaded());
    open();
    EXPECT_TRUE(warnings().isEmpty());
    EXPECT_FALSE(QFile::exists(t.path("voz.ini")));
}

TEST_F(WallpaperTest, BuildingSavingAndDeletingTheList)
{
    for (const char* n : {"a.bmp", "gone.bmp", "b.gif", "c.jpg"}) makePicture(QLatin1String(n), Qt::blue);
    Form12& w = open();
    ASSERT_TRUE(QFile::remove(pictures.filePath("gone.bmp")));
    Form12Controls& c = w.c();
    EXPECT_FALSE(c.cbChange.Enabled());
    EXPECT_FALSE(c.chkChange.Enabled());

    // Picking a file that went away drops it silently; "Change Now" without a preview does nothing.
    c.cbPaper.setListIndex(1);
    EXPECT_EQ(c.cbPaper.ListCount(), 3);
    w.cmdChangeWall_Click();
    EXPECT_TRUE(t.platform.wallpapers.isEmpty());

    c.cbPaper.setListIndex(0);
    click("cmdAdd");
    EXPECT_FALSE(c.cbChange.Enabled());
    QTest::keyClick(w.window(), Qt::Key_Return);  // Enter presses "Add"
    EXPECT_TRUE(c.cbChange.Enabled());
    EXPECT_FALSE(c.chkChange.Enabled());
    c.cbChange.setListIndex(1);
    EXPECT_TRUE(c.chkChange.Enabled());
    for (int i : {1, 2, 1}) {
        c.cbPaper.setListIndex(-1);
        c.cbPaper.setListIndex(i);
        w.cmdAdd_Click();
    }
    EXPECT_EQ(c.lstShow.items(), (QStringList{"a.bmp", "a.bmp", "b.gif", "c.jpg", "b.gif"}));

    // "Change Now" shows the preview through the bitmap.
    w.cmdChangeWall_Click();
    EXPECT_EQ(t.platform.wallpapers, QStringList{pictures.filePath("tmpFile.bmp")});
    w.cmdClearWall_Click();
    EXPECT_EQ(t.platform.wallpapers.last(), QString());

    // First save writes at once; the second asks and writes on "Yes".
    w.CmdSaveToFile_Click();
    EXPECT_EQ(t.readFile("Wpaper.dat"),
              QByteArray("\"a.bmp\"\r\n\"a.bmp\"\r\n\"b.gif\"\r\n\"c.jpg\"\r\n\"b.gif\"\r\n"));
    EXPECT_FALSE(p.form13().Visible());

    // Entries 1, 3 and 4 selected: 0 and 2 are left, and the order goes back to priority.
    c.optOption[2].setValue(true);
    for (int i : {1, 3, 4}) c.lstShow.setSelected(i, true);
    click("cmdDelete");
    EXPECT_EQ(c.lstShow.items(), (QStringList{"a.bmp", "b.gif"}));
    EXPECT_TRUE(c.optOption[1].Value());
    EXPECT_FALSE(c.optOption[2].Value());
    EXPECT_TRUE(c.chkChange.Enabled());

    w.CmdSaveToFile_Click();
    ASSERT_TRUE(p.form13().Visible());
    p.form13().cmdYes_Click();
    EXPECT_EQ(t.readFile("Wpaper.dat"), QByteArray("\"a.bmp\"\r\n\"b.gif\"\r\n"));

    // Clicking a listed picture that went away removes it with a warning.
    ASSERT_TRUE(QFile::remove(pictures.filePath("b.gif")));
    c.lstShow.setListIndex(1);
    EXPECT_EQ(c.lstShow.items(), QStringList{"a.bmp"});
    EXPECT_EQ(warnings(), QStringList{"b.gif file not found"});

    // Clicking the current entry again, or picking the chosen search entry again, picks it anew.
    auto* view = qobject_cast<QListView*>(w.Widget("lstShow"));
    auto* paper = qobject_cast<QComboBox*>(w.Widget("cbPaper"));
    const QPoint row0 = view->visualRect(view->model()->index(0, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row0);
    ASSERT_EQ(c.lstShow.ListIndex(), 0);
    c.cbPaper.setListIndex(2);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row0);
    w.cmdAdd_Click();
    emit paper->activated(2);
    w.cmdAdd_Click();
    EXPECT_EQ(c.lstShow.items(), (QStringList{"a.bmp", "a.bmp", "c.jpg"}));
}

}  // namespace
