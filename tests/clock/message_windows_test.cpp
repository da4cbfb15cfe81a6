#include "core/alarms/alarm_engine.h"
#include "core/files/message_font.h"
#include "clock/sound_module.h"
#include "dialogs/alarm_set_window.h"
#include "clock/message_window.h"
#include "clock/warning_window.h"
#include "support/test_program.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using MessageWindowsTest = ProgramTest;

TEST_F(MessageWindowsTest, WarningShowsTextBeepsClaimsTheFrontAndOkOrItsCloseBoxReleasesIt)
{
    p.form11().AnswerOk(QStringLiteral("Help file not found"));
    Form11& w = p.form11();
    ASSERT_TRUE(w.Visible());
    EXPECT_EQ(w.LabelText(), QStringLiteral("Help file not found"));
    EXPECT_EQ(p.gFrontCode, kFrontWarning);
    EXPECT_EQ(w.PrevFrontCode, 0);
    EXPECT_EQ(t.platform.beeps, 1);
    EXPECT_EQ(t.platform.countCalls(QStringLiteral("foreground Voz Warning Message")), 1);
    EXPECT_EQ(t.platform.countCalls(QStringLiteral("topmost Voz Warning Message")), 1);
    QTest::mouseClick(w.cmdOk, Qt::LeftButton);
    EXPECT_FALSE(w.Loaded());
    EXPECT_EQ(p.gFrontCode, 0);
    // The close box releases the front as OK does.
    p.form11().AnswerOk(QStringLiteral("x"));
    p.form11().window()->close();
    EXPECT_FALSE(p.form11().Loaded());
    EXPECT_EQ(p.gFrontCode, 0);
}

TEST_F(MessageWindowsTest, SecondWarningOpensACopyOnTop)
{
    p.form11().AnswerOk(QStringLiteral("Invalid input"));
    p.form11().AnswerOk(QStringLiteral("Time was passed or next day"));
    ASSERT_EQ(p.form11Copies().size(), 1u);
    Form11& copy = *p.form11Copies().front();
    EXPECT_TRUE(copy.Visible());
    EXPECT_EQ(copy.LabelText(), QStringLiteral("Time was passed or next day"));
    EXPECT_EQ(copy.PrevFrontCode, kFrontWarning);
    EXPECT_EQ(t.platform.beeps, 1);  // only the first warning beeps

    // Closing the copy puts the first warning back on top and clears the code.
    t.platform.calls.clear();
    copy.cmdOk_Click();
    EXPECT_EQ(p.gFrontCode, 0);
    EXPECT_EQ(t.platform.countCalls(QStringLiteral("topmost Voz Warning Message")), 1);
    EXPECT_TRUE(p.form11().Visible());
    EXPECT_TRUE(p.form11Copies().empty());

    // The first claims 25547 again the next time it loses the activation.
    p.form11().Form_Deactivate();
    EXPECT_EQ(p.gFrontCode, kFrontWarning);
    EXPECT_EQ(t.platform.beeps, 2);
}

TEST_F(MessageWindowsTest, MinimizingTheMessageWindowYieldsTheFront)
{
    p.form11().AnswerOk(QStringLiteral("first"));  // code 25547 before the message window loads
    Form6& m = p.form6();
    m.Show();
    EXPECT_EQ(m.PrevFrontCode, kFrontWarning);
    t.platform.calls.clear();
    m.Minimize();
    EXPECT_EQ(p.gFrontCode, 0);
    EXPECT_EQ(t.platform.countCalls(QStringLiteral("topmost Voz Warning Message")), 1);
    // A minimized message window does not take the activation back.
    m.Form_Deactivate();
    EXPECT_EQ(p.gFrontCode, 0);
}

TEST_F(MessageWindowsTest, ReopenedMessageWindowKeepsItsFirstPrevFrontCode)
{
    p.gFrontCode = kFrontFileChooser;
    p.form6().Show();
    EXPECT_EQ(p.form6().PrevFrontCode, kFrontFileChooser);
    QTest::mouseClick(p.form6().cmdOk, Qt::LeftButton);
    EXPECT_FALSE(p.form6().Loaded());
    EXPECT_EQ(p.gFrontCode, 0);
    EXPECT_EQ(p.gMsgWindowLoaded, VFalse);
    p.gFrontCode = kFrontWarning;
    p.form6().Show();
    EXPECT_EQ(p.form6().PrevFrontCode, kFrontFileChooser);
    EXPECT_TRUE(p.form6().MsgText().isEmpty());  // closing discarded the text
}

TEST_F(MessageWindowsTest, MessageFontComesFromRecordSeven)
{
    t.storeRecord(7, QStringLiteral("[FontSize]"), 14, 0, QStringLiteral("leftover"));
    p.form6().Show();
    EXPECT_DOUBLE_EQ(p.form6().MsgFontPointSize(), 14.0);
    // The read replaced the shared buffer, label trimmed.
    EXPECT_EQ(p.settingsRecord.Label(), QStringLiteral("[FontSize]       "));
    EXPECT_EQ(trimBlanks(p.settingsRecord.Text()), QStringLiteral("leftover"));
    p.form6().Unload();

    t.storeRecord(7, QStringLiteral("[FontSiz]"), 14, 0, QStringLiteral("leftover"));
    p.form6().Show();
    EXPECT_DOUBLE_EQ(p.form6().MsgFontPointSize(), 10.2);
}

TEST_F(MessageWindowsTest, HugeMessagesFromAFileShowAtOnceCutInTheMiddle)
{
    // A hand-edited data file can hold a message of any length; laying it out whole took minutes.
    for (const qsizetype size : {qsizetype(1) << 20, qsizetype(10) << 20}) {
        SCOPED_TRACE(size);
        const QString huge = QString(size, u'x') + QStringLiteral(" at 07:30:00");
        p.form4().c().lstMessage.setItems({huge, QStringLiteral("Tea at 07:30:00")});
        QElapsedTimer clock;
        clock.start();
        // The Alarm Set window's view of the messages cuts it the same way.
        Form4Controls& c = p.form4().c();
        p.form8().ViewMClick(c.txtViewM, c.lstMessage, c.cmdViewM);
        const auto* view = p.form4().window()->findChild<QPlainTextEdit*>(QStringLiteral("txtViewM"));
        ASSERT_NE(view, nullptr);
        EXPECT_LT(view->toPlainText().size(), 3 * kShownLineLength);
        p.form8().ViewMClick(c.txtViewM, c.lstMessage, c.cmdViewM);

        p.form9().sShowMsg(QStringLiteral("07:30:00"));
        p.form9().sShowMsg(QStringLiteral("07:30:00"));  // appended to the open window
        Form6& m = p.form6();
        QCoreApplication::processEvents();
        const QString shown = m.txtMsg->toPlainText();
        EXPECT_LT(shown.size(), 3 * kShownLineLength);
        const QString note = QStringLiteral(" \u2026 (%1 more characters not shown) \u2026 ")
                                 .arg(huge.size() - kShownLineLength);
        EXPECT_TRUE(shown.startsWith(QString(kShownLineLength - kShownLineTail, u'x') + note +
                                     QString(kShownLineTail - 12, u'x') + QStringLiteral(" at 07:30:00")))
            << qPrintable(shown.left(100));
        EXPECT_TRUE(shown.endsWith(QStringLiteral("\n ^-^ *************\nTea at 07:30:00")));
        // The program's own text is whole.
        EXPECT_TRUE(m.MsgText().startsWith(huge));
        EXPECT_LT(clock.elapsed(), 20000) << "far beyond the few milliseconds a showing takes";
        m.Unload();
    }
}
