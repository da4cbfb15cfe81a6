#include "clock/main_window.h"
#include "dialogs/about_window.h"
#include "support/test_program.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

using AboutWindowTest = ProgramTest;

TEST_F(AboutWindowTest, AboutFromTheMenuOpensCentredAndOkOrEnterUnloadsIt)
{
    Form3& about = p.form3();

    p.form1().mOpen_Click();  // the menu's "About": main_window_test's table
    ASSERT_TRUE(about.Visible());
    FormWindow* w = about.window();
    EXPECT_FALSE(w->isModal());
    const QPointF offCentre = QRectF(w->geometry()).center() - QRectF(w->screen()->availableGeometry()).center();
    EXPECT_LE(offCentre.manhattanLength(), 4.0);  // whole pixels and the frame

    // The sky lies behind the heading, the date and the button.
    EXPECT_EQ(w->childAt(about.Label2->geometry().center()), about.Label2);
    EXPECT_EQ(w->childAt(about.imgMyName->geometry().center()), about.imgMyName);
    EXPECT_EQ(w->childAt(about.cmdOk->geometry().center()), about.cmdOk);
    EXPECT_EQ(w->childAt(QPoint(2, 2)), about.imgClouds);

    screenshot(w, QStringLiteral("about_window.png"));

    QTest::mouseClick(about.cmdOk, Qt::LeftButton);
    EXPECT_FALSE(about.Loaded());

    // Opened again, Enter presses OK.
    p.form1().mOpen_Click();
    ASSERT_TRUE(about.Visible());
    ASSERT_TRUE(QTest::qWaitForWindowActive(about.window()));
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key_Return);
    EXPECT_FALSE(about.Loaded());
}
