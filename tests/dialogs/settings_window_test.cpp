#include "app/check_box.h"
#include "clock/main_window.h"
#include "dialogs/alarm_set_window.h"
#include "dialogs/settings_window.h"
#include "support/test_program.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {
struct SettingsWindowTest : ProgramTest {
    Form7& w = p.form7();

    QByteArray record4Bytes() const { return t.readFile(QStringLiteral("voz.ini")).mid(3 * 51, 51); }
    static void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }
};

QByteArray recordBytes(const char* label, char v1, char v2, const char* text)
{
    const char values[] = {v1, '\0', v2, '\0'};
    return QByteArray(label).leftJustified(17, ' ') + QByteArray(values, 4) + QByteArray(text).leftJustified(30, ' ');
}
}  // namespace

TEST_F(SettingsWindowTest, SoundOnBoxDrivesTheFlagsAtOnce)
{
    p.form1().mSetting_Click();
    ASSERT_TRUE(w.Visible());

    click(w.chkSoundOn);
    EXPECT_EQ(w.chkSoundOn->Value(), 0);
    EXPECT_EQ(p.gSoundOn, VFalse);
    EXPECT_FALSE(w.chkErrMsgPop->isEnabled());
    EXPECT_EQ(w.chkErrMsgPop->Value(), 1);  // disabling leaves value and flag alone
    EXPECT_EQ(p.gErrMsgPop, VTrue);
    click(w.chkSoundOn);
    EXPECT_EQ(p.gSoundOn, VTrue);
    EXPECT_TRUE(w.chkErrMsgPop->isEnabled());

    click(w.chkErrMsgPop);
    EXPECT_EQ(p.gErrMsgPop, VFalse);

    // Setting the value it already has runs no handler.
    p.gSoundOn = VFalse;
    EXPECT_TRUE(w.chkSoundOn->setValue(1));
    EXPECT_EQ(p.gSoundOn, VFalse);
    // Grayed changes no flag, and a click on a grayed box checks it rather than cycling.
    w.chkSoundOn->setValue(2);
    EXPECT_EQ(p.gSoundOn, VFalse);
    click(w.chkSoundOn);
    EXPECT_EQ(w.chkSoundOn->Value(), 1);
    EXPECT_EQ(p.gSoundOn, VTrue);
    click(w.chkSoundOn);
    EXPECT_EQ(w.chkSoundOn->Value(), 0);
    EXPECT_FALSE(w.chkSoundOn->setValue(7));
    EXPECT_EQ(w.chkSoundOn->Value(), 0);

    // The menu restores a minimized window instead of opening another.
    w.Minimize();
    ASSERT_TRUE(w.Minimized());
    p.form1().mSetting_Click();
    EXPECT_FALSE(w.Minimized());
}

TEST_F(SettingsWindowTest, OpeningAppliesRecord4)
{
    struct Row {
        const char* label;
        std::int16_t v1, v2;
        const char* text;
        VBool soundBefore, errBefore;
        int sound, err, autoLoad;
        VBool soundAfter, errAfter;
    };
    const Row rows[] = {
        {"[Setting]", 0, 1, "AutomaticLoadOff", VTrue, VTrue, 0, 1, 0, VFalse, VTrue},
        {"  [Setting]  ", 1, 0, "  AutomaticLoadOn", VFalse, VTrue, 1, 0, 1, VTrue, VFalse},
        {"[Setting]", 7, 0, "AutomaticLoadOn", VTrue, VTrue, 1, 0, 1, VTrue, VFalse},   // 7 skipped
        {"[Setting]", 0, 7, "", VFalse, VFalse, 0, 0, 0, VFalse, VFalse},               // 7 skipped
        {"[Setting]", 2, 2, "anything", VTrue, VTrue, 2, 2, 0, VTrue, VTrue},           // grayed
        {"[Settings]", 1, 1, "AutomaticLoadOn", VFalse, VFalse, 0, 0, 0, VFalse, VFalse},  // not ours
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.label << ' ' << r.v1 << ' ' << r.v2 << ' ' << r.text);
        t.storeRecord(4, r.label, r.v1, r.v2, r.text);
        p.gSoundOn = r.soundBefore;
        p.gErrMsgPop = r.errBefore;
        w.Load();
        EXPECT_EQ(w.chkSoundOn->Value(), r.sound);
        EXPECT_EQ(w.chkErrMsgPop->Value(), r.err);
        EXPECT_EQ(w.chkAutoLoad->Value(), r.autoLoad);
        EXPECT_EQ(w.chkErrMsgPop->isEnabled(), r.sound != 0);
        EXPECT_EQ(p.gSoundOn, r.soundAfter);
        EXPECT_EQ(p.gErrMsgPop, r.errAfter);
        w.Unload();
    }
}

TEST_F(SettingsWindowTest, CloseStoresRecord4)
{
    // No settings file yet: Close creates it.
    p.form1().mSetting_Click();
    click(w.chkErrMsgPop);
    click(w.chkAutoLoad);
    click(w.cmdClose);
    EXPECT_FALSE(w.Loaded());
    const QByteArray file = t.readFile(QStringLiteral("voz.ini"));
    ASSERT_EQ(file.size(), 4 * 51);
    EXPECT_EQ(record4Bytes(), recordBytes("[Setting]", 1, 0, "AutomaticLoadOn"));

    // The Alarm Set window reads record 4 through the shared buffer while the box is unchecked;
    // the word stored on Close still follows the box.
    p.form1().mSetting_Click();
    click(w.chkAutoLoad);
    p.form4().c();
    EXPECT_TRUE(w.Visible());
    EXPECT_EQ(trimBlanks(p.settingsRecord.Text()), QStringLiteral("AutomaticLoadOn"));
    click(w.cmdClose);
    EXPECT_EQ(record4Bytes(), recordBytes("[Setting]", 1, 0, "AutomaticLoadOff"));
}

TEST_F(SettingsWindowTest, CloseBoxStoresWhatCloseStores)
{
    t.storeRecord(4, "[Setting]", 1, 1, "AutomaticLoadOff");
    p.form1().mSetting_Click();
    click(w.chkSoundOn);
    click(w.chkAutoLoad);
    w.window()->close();
    EXPECT_FALSE(w.Loaded());
    EXPECT_EQ(record4Bytes(), recordBytes("[Setting]", 0, 1, "AutomaticLoadOn"));
}

TEST_F(SettingsWindowTest, AlarmSetWindowAppliesRecord4ThroughTheSettingsWindow)
{
    t.storeRecord(4, "[Setting]", 0, 1, "AutomaticLoadOff");
    EXPECT_EQ(p.gSoundOn, VTrue);  // start leaves record 4's sound values alone
    p.gErrMsgPop = VFalse;
    p.form4().c();
    EXPECT_EQ(p.gSoundOn, VFalse);
    EXPECT_EQ(p.gErrMsgPop, VTrue);
    EXPECT_FALSE(w.Loaded());

    // An open settings window stays open and shows the stored values.
    p.form4().Unload();
    p.form1().mSetting_Click();
    click(w.chkSoundOn);
    EXPECT_EQ(p.gSoundOn, VTrue);
    p.form4().c();
    EXPECT_TRUE(w.Visible());
    EXPECT_EQ(w.chkSoundOn->Value(), 0);
    EXPECT_EQ(p.gSoundOn, VFalse);
}
