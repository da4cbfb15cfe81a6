#include "clock/message_window.h"
#include "clock/warning_window.h"
#include "dialogs/alarm_set_window.h"
#include "dialogs/message_input_window.h"
#include "support/test_program.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {
struct MessageInputTest : ProgramTest {
    Form5& in = p.form5();

    Form4Controls& lists() { return p.form4().c(); }
    // Puts alarms and messages into the Alarm Set window in place of any there, and selects one alarm.
    void prepare(const QStringList& alarms, const QStringList& messages, int selected)
    {
        lists().lstData.setItems(alarms);
        lists().lstMessage.setItems(messages);
        lists().lstData.setListIndex(selected);
    }
    QStringList messages() { return lists().lstMessage.items(); }
    double inputSize() { return in.txtInput->font().pointSizeF(); }
    void setInputSize(double points)
    {
        QFont f = in.txtInput->font();
        f.setPointSizeF(points);
        in.txtInput->setFont(f);
    }
};
}  // namespace

TEST_F(MessageInputTest, TheAlarmsMessageIsTakenOutForEditingAndEveryClosingKeepsIt)
{
    enum class Close { Save, Abandon, CloseBox, SaveEmptied };
    const struct {
        Close close;
        QStringList after;
    } cases[] = {
        {Close::Save, {"Other at 08:00:00", "Second at 07:30:00", "Wake up at 07:30:00"}},
        // Not saved: the message goes back to its place.
        {Close::Abandon, {"Other at 08:00:00", "Wake up at 07:30:00", "Second at 07:30:00"}},
        {Close::CloseBox, {"Other at 08:00:00", "Wake up at 07:30:00", "Second at 07:30:00"}},
        // Emptied and saved: the user took the message away (with the warning of an empty Save).
        {Close::SaveEmptied, {"Other at 08:00:00", "Second at 07:30:00"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.close));
        prepare({"twice 06:00:00", "once 07:30:00"}, {"Other at 08:00:00", "Wake up at 07:30:00", "Second at 07:30:00"},
                1);
        p.form4().lstData_DblClick();
        ASSERT_TRUE(in.Visible());
        EXPECT_EQ(in.txtInput->toPlainText(), QStringLiteral("Wake up"));
        EXPECT_EQ(messages(), QStringList({"Other at 08:00:00", "Second at 07:30:00"}));
        EXPECT_FALSE(lists().lstData.Visible());
        EXPECT_TRUE(lists().imgSha.Visible());
        EXPECT_EQ(p.gFrontCode, kFrontMessageInput);

        in.window()->move(200, 100);
        switch (c.close) {
        case Close::Save: QTest::mouseClick(in.cmdOk, Qt::LeftButton); break;
        case Close::Abandon: QTest::mouseClick(in.cmdCancel, Qt::LeftButton); break;
        case Close::CloseBox: in.window()->close(); break;
        case Close::SaveEmptied:
            in.txtInput->clear();
            QTest::mouseClick(in.cmdOk, Qt::LeftButton);
            break;
        }
        EXPECT_FALSE(in.Loaded());
        EXPECT_EQ(messages(), c.after);
        EXPECT_TRUE(lists().lstData.Visible());
        EXPECT_FALSE(lists().imgSha.Visible());
        EXPECT_EQ(p.form11().Visible(), c.close == Close::SaveEmptied);
        p.form11().Unload();
        EXPECT_EQ(p.gFrontCode, 0);
        const SettingsRecord pos = t.record(2);
        EXPECT_EQ(pos.Label(), QStringLiteral("[MessaegInputLoc]"));
        EXPECT_EQ(pos.Value1, 1500);
        EXPECT_EQ(pos.Value2, 3000);
    }
    // The next opening goes back to the stored place.
    p.form4().lstData_DblClick();
    EXPECT_EQ(in.window()->pos(), QPoint(200, 100));
}

TEST_F(MessageInputTest, RefusedSaveWarnsAndStillStoresTheFontSize)
{
    const struct {
        const char* text;
        int selected;
        int stored;  // one step up from the size the previous Save stored
    } cases[] = {{"", 0, 10}, {"Hello", -1, 11}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        prepare({"once 07:30:00"}, {}, c.selected);
        in.Show();
        in.txtInput->setPlainText(QString::fromLatin1(c.text));
        in.lblPlus_Click();
        in.cmdOk_Click();
        EXPECT_TRUE(messages().isEmpty());
        EXPECT_EQ(t.answerWarnings(), QStringList{QStringLiteral("No message input or Play list time was executed")});
        EXPECT_EQ(trimBlanks(t.record(7).Label()), QStringLiteral("[FontSize]"));
        EXPECT_EQ(t.record(7).Value1, c.stored);
    }
}

TEST_F(MessageInputTest, NoDoubleQuoteReachesTheListAndTheLengthIsLimited)
{
    prepare({"once 07:30:00"}, {}, 0);
    p.form4().lstData_DblClick();
    QTest::keyClicks(in.txtInput, QStringLiteral("Say \"hi\""));
    EXPECT_EQ(in.txtInput->toPlainText(), QStringLiteral("Say 'hi'"));
    QTest::keyClick(in.txtInput, Qt::Key_Return);
    QGuiApplication::clipboard()->setText(QStringLiteral("\"go\""));
    in.txtInput->paste();
    ASSERT_EQ(in.txtInput->toPlainText(), QStringLiteral("Say 'hi'\n\"go\""));  // the paste went in as it was
    in.cmdOk_Click();
    EXPECT_EQ(messages(), QStringList({"Say 'hi'\r\n'go' at 07:30:00"}));

    // At most 626 characters as stored, a line break (CR LF) counting two.
    const QString full(Form5::kMaxMessageLength, QLatin1Char('a'));
    p.form4().lstData_DblClick();
    in.txtInput->setPlainText(full.left(624));
    in.txtInput->moveCursor(QTextCursor::End);
    QTest::keyClicks(in.txtInput, QStringLiteral("bcd"));
    EXPECT_EQ(in.txtInput->toPlainText(), full.left(624) + QStringLiteral("bc"));
    in.txtInput->setPlainText(full.left(625));
    in.txtInput->moveCursor(QTextCursor::End);
    QTest::keyClick(in.txtInput, Qt::Key_Return);
    EXPECT_EQ(in.txtInput->toPlainText(), full.left(625));
    EXPECT_FALSE(p.form11().Visible());
    in.txtInput->selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("x\n") + QString(700, QLatin1Char('y')));
    in.txtInput->paste();
    EXPECT_EQ(in.txtInput->toPlainText(), QStringLiteral("x\n") + QString(623, QLatin1Char('y')));
    // A paste cut to fit says so.
    EXPECT_EQ(warnings(), QStringList{"A message holds at most 626 characters: the pasted text was cut to fit."});
    in.cmdCancel_Click();
}

TEST_F(MessageInputTest, FontSizeStepsStopAtTheirLimitsAndAreStoredRounded)
{
    const struct {
        double before;
        bool plus;
        double after;
        int beeps;
    } steps[] = {
        {6, false, 6, 1}, {7, false, 6, 0}, {6.5, false, 5.5, 0}, {16, true, 17, 0},
        {17, true, 17, 1}, {16.8, true, 16.8, 1}, {16.5, true, 17.5, 0},
    };
    prepare({"once 07:30:00"}, {}, 0);
    in.Show();
    for (const auto& s : steps) {
        SCOPED_TRACE(s.before);
        setInputSize(s.before);
        const int beeps = t.platform.beeps;
        QTest::mouseClick(s.plus ? in.lblPlus : in.lblMinus, Qt::LeftButton);
        EXPECT_DOUBLE_EQ(inputSize(), s.after);
        EXPECT_EQ(t.platform.beeps - beeps, s.beeps);
    }
    in.Unload();

    const struct {
        double size;
        int stored;
    } rounding[] = {{9.5, 10}, {10.5, 10}};
    for (const auto& r : rounding) {
        SCOPED_TRACE(r.size);
        in.Show();
        in.txtInput->setPlainText(QStringLiteral("x"));
        setInputSize(r.size);
        in.cmdOk_Click();
        EXPECT_EQ(t.record(7).Value1, r.stored);
    }
}

TEST_F(MessageInputTest, StoredFontSizesOutsideWhatTheStepsReachAreIgnored)
{
    const struct {
        std::int16_t stored;
        double input;
        double message;
    } cases[] = {
        {0, 9, 10.2}, {5, 9, 10.2}, {6, 6, 6}, {17, 17, 17}, {18, 9, 10.2}, {32767, 9, 10.2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        t.storeRecord(7, "[FontSize]", c.stored, 0, {});
        in.Show();
        EXPECT_DOUBLE_EQ(inputSize(), c.input);
        in.Unload();
        EXPECT_DOUBLE_EQ(p.form6().MsgFontPointSize(), c.message);
        p.form6().Unload();
    }
}

TEST_F(MessageInputTest, GivesWayToTheMessageWindowAndTakesTheFrontBackAfterIt)
{
    prepare({"once 07:30:00"}, {}, 0);
    p.form4().lstData_DblClick();
    ASSERT_TRUE(in.Visible());
    p.form6().Show();
    EXPECT_EQ(p.form6().PrevFrontCode, kFrontMessageInput);
    EXPECT_EQ(p.gFrontCode, kFrontMessage);

    // Giving way and taking the front back on a deactivation: front_window_test's table.
    t.platform.calls.clear();
    p.form6().cmdOk_Click();  // puts the input window back on top
    EXPECT_EQ(t.platform.countCalls(QStringLiteral("topmost Input message")), 1);
    in.Form_Deactivate();
    EXPECT_EQ(p.gFrontCode, kFrontMessageInput);
}

TEST_F(MessageInputTest, DoubleClickOpensNothingWithoutASelectionOrWhileAFrontWindowHoldsTheFront)
{
    const struct {
        int selected;
        std::int16_t frontCode;
    } cases[] = {{0, kFrontWarning}, {0, kFrontMessageInput}, {-1, 0}};
    prepare({"once 07:30:00"}, {"Wake up at 07:30:00"}, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frontCode);
        lists().lstData.setListIndex(c.selected);
        p.gFrontCode = c.frontCode;
        p.form4().lstData_DblClick();
        EXPECT_FALSE(in.Loaded());
        EXPECT_TRUE(lists().lstData.Visible());
        EXPECT_FALSE(lists().imgSha.Visible());
        EXPECT_EQ(messages(), QStringList({"Wake up at 07:30:00"}));
    }
}

TEST_F(MessageInputTest, AMessageTooLongForTheBoxOpensQuicklyAndIsKeptByteForByte)
{
    enum class Close { Save, Abandon };
    const struct {
        qsizetype length;
        Close close;
    } cases[] = {
        {Form5::kMaxMessageLength + 1, Close::Save},
        {10 << 20, Close::Abandon},
        {10 << 20, Close::Save},
    };
    p.form4().Show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        SCOPED_TRACE(static_cast<int>(c.close));
        QString text(c.length, QLatin1Char('x'));
        text[0] = QLatin1Char('A');  // one line without blanks, as a hand-edited file may hold
        const QStringList before{"Other at 08:00:00", text + QStringLiteral(" at 07:30:00"), "Second at 07:30:00"};
        prepare({"once 07:30:00"}, before, 0);

        auto* view = p.form4().window()->findChild<QListView*>(QStringLiteral("lstData"));
        ASSERT_TRUE(view && view->isVisible());
        QCoreApplication::processEvents();
        const QPoint row = view->visualRect(view->model()->index(0, 0)).center();
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, row);
        QCoreApplication::processEvents();
        EXPECT_LT(timer.elapsed(), 5000);
        ASSERT_TRUE(in.Visible());
        EXPECT_EQ(messages(), before);
        EXPECT_TRUE(in.txtInput->toPlainText().isEmpty());
        EXPECT_EQ(t.answerWarnings(), QStringList{QString("The message of this alarm is too long to edit here (%1 "
                                                          "characters, at most 626). It is kept as it is.")
                                                      .arg(c.length)});

        // Nothing can be typed or pasted into the box in place of the message.
        QTest::keyClicks(in.txtInput, QStringLiteral("new"));
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        in.txtInput->paste();
        EXPECT_TRUE(in.txtInput->toPlainText().isEmpty());
        QTest::mouseClick(c.close == Close::Save ? in.cmdOk : in.cmdCancel, Qt::LeftButton);
        EXPECT_FALSE(in.Loaded());
        EXPECT_FALSE(p.form11().Visible());  // no "No message input" for a kept message
        EXPECT_TRUE(messages() == before);   // not printed: megabytes
    }
    // A message the box can hold is still taken out for editing.
    const QString fits(Form5::kMaxMessageLength, QLatin1Char('y'));
    prepare({"once 07:30:00"}, {fits + " at 07:30:00"}, 0);
    p.form4().lstData_DblClick();
    EXPECT_EQ(in.txtInput->toPlainText(), fits);
    EXPECT_FALSE(p.form11().Visible());
    EXPECT_TRUE(messages().isEmpty());
}
