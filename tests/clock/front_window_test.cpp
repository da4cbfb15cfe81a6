#include "clock/message_window.h"
#include "clock/warning_window.h"
#include "dialogs/file_chooser_window.h"
#include "dialogs/message_input_window.h"
#include "dialogs/overwrite_window.h"
#include "support/test_program.h"

#include <gtest/gtest.h>
#include <functional>

// Each front window, opened as the program opens it, loses the activation while the code is
// none, a lower rank, its own or a higher one: it takes the front back from all but the higher,
// and a further warning never does.
TEST(FrontWindow, TakesTheFrontBackUnlessAHigherRankHoldsIt)
{
    const QString warning = QStringLiteral("Voz Warning Message");
    const struct {
        QString title;
        int rank;
        std::function<FrontWindow&(Program&)> open;
        bool takesBack;
    } rows[] = {
        {"Input message", kFrontMessageInput, [](Program& p) -> FrontWindow& { p.form5().Show(); return p.form5(); }, true},
        {"Voz files", kFrontFileChooser, [](Program& p) -> FrontWindow& { p.form14().Show(); return p.form14(); }, true},
        {warning, kFrontOverwrite, [](Program& p) -> FrontWindow& { p.form13().Show(); return p.form13(); }, true},
        {warning, kFrontWarning, [](Program& p) -> FrontWindow& { p.form11().AnswerOk("a"); return p.form11(); }, true},
        {warning, -1, [](Program& p) -> FrontWindow& {
             p.form11().AnswerOk("a");
             p.form11().AnswerOk("b");
             return *p.form11Copies().front();
         }, false},
        {"Message", kFrontMessage, [](Program& p) -> FrontWindow& { p.form6().Show(); return p.form6(); }, true},
    };
    enum { None, Lower, Equal, Higher };
    for (const auto& r : rows) {
        for (int held : {None, Lower, Equal, Higher}) {
            SCOPED_TRACE(testing::Message() << r.title.toStdString() << " rank " << r.rank << " code " << held);
            TestProgram t;
            FrontWindow& w = r.open(t.program);
            ASSERT_TRUE(w.Visible());
            const int code[] = {0, r.rank - 1, r.rank, r.rank + 1};
            t.program.gFrontCode = static_cast<std::int16_t>(code[held]);
            t.platform.calls.clear();
            w.Form_Deactivate();
            const bool takes = r.takesBack && held != Higher;
            EXPECT_EQ(t.program.gFrontCode, takes ? r.rank : code[held]);
            const QStringList back{"foreground " + r.title, "beep"};
            EXPECT_EQ(t.platform.calls, takes ? back : QStringList());
        }
    }
}
