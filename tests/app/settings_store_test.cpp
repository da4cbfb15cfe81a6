#include "clock/main_window.h"
#include "clock/warning_window.h"
#include "dialogs/alarm_set_window.h"
#include "dialogs/message_input_window.h"
#include "dialogs/settings_window.h"
#include "support/test_program.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <functional>
#include <gtest/gtest.h>

// voz.ini turning unwritable while Voz runs (root included): every window that writes it tells
// the user, with the reason, once a run; the windows go on as before.
TEST(SettingsStore, AFailedWriteOfVozIniIsToldOnceARun)
{
    const struct {
        const char* what;
        QString reason;
    } breaks[] = {
        {"a folder named voz.ini", QStringLiteral("it is a folder")},
        {"a file in place of the program folder", QStringLiteral("Not a directory")},
    };
    auto openMessageInput = [](Program& p) {
        Form4Controls& lists = p.form4().c();
        if (lists.lstData.ListCount() == 0) lists.lstData.AddItem(QStringLiteral("once 07:30:00"));
        lists.lstData.setListIndex(0);
        p.form4().lstData_DblClick();
    };
    const struct {
        const char* what;
        std::function<void(Program&)> write;
    } writers[] = {
        {"message saved (records 7 and 2)",
         [&](Program& p) {
             openMessageInput(p);
             p.form5().txtInput->setPlainText(QStringLiteral("Hi"));
             p.form5().cmdOk_Click();
         }},
        {"message input abandoned (record 2)",
         [&](Program& p) {
             openMessageInput(p);
             p.form5().cmdCancel_Click();
         }},
        {"settings window closed (record 4)",
         [](Program& p) {
             p.form1().mSetting_Click();
             p.form7().cmdClose_Click();
         }},
        {"Alarm Set window left (record 1)", [](Program& p) { p.form4().cmdExit_Click(); }},
        {"song chosen (record 3)",
         [](Program& p) {
             ListBox& songs = p.form4().c().cmbSong;
             if (songs.ListCount() == 0) songs.AddItem(QStringLiteral("ding"));
             songs.setListIndex(-1);
             songs.setListIndex(0);
         }},
    };
    for (const auto& b : breaks) {
        for (const auto& first : writers) {
            SCOPED_TRACE(b.what);
            SCOPED_TRACE(first.what);
            TestProgram t;
            Program& p = t.program;
            t.start();
            ASSERT_FALSE(p.form11().Visible());
            if (b.reason == QStringLiteral("it is a folder")) {
                QFile::remove(t.path(QStringLiteral("voz.ini")));
                ASSERT_TRUE(QDir().mkpath(t.path(QStringLiteral("voz.ini/inside"))));
            } else {
                t.writeFile(QStringLiteral("folder"), "not a folder");
                p.gAppPath = t.path(QStringLiteral("folder/"));
            }

            first.write(p);
            EXPECT_EQ(t.answerWarnings(),
                      QStringList{QStringLiteral("voz.ini, file cannot be saved: %1. Changed settings may not be kept.")
                                      .arg(b.reason)});
            for (const auto& later : writers) later.write(p);
            EXPECT_EQ(t.warnings(), QStringList{});
        }
    }
}
