#include "clock/front_window.h"

#include "app/program.h"
#include "clock/main_window.h"

FrontWindow::FrontWindow(Program& program, std::int16_t rank) : FormBase(program), m_rank(rank) {}

void FrontWindow::RememberFront(Remember when)
{
    if (when == Remember::EachTime || PrevFrontCode == 0) PrevFrontCode = p.gFrontCode;
}

void FrontWindow::ClaimFront() { p.gFrontCode = m_rank; }

void FrontWindow::TakeFrontBack()
{
    // A negative rank (a further warning) never takes it back.
    if (p.gFrontCode < 0 || p.gFrontCode > m_rank) return;
    p.gForegroundResult = p.platform.setForegroundWindow(window());
    p.platform.beep();
    p.gFrontCode = m_rank;
}

void FrontWindow::LeaveFront()
{
    p.form1().WhoWillForeground(PrevFrontCode);
    p.gFrontCode = 0;
}

void FrontWindow::Form_Deactivate()
{
    if (!Loaded()) return;
    if (!Visible()) {
        Unload();
        return;
    }
    TakeFrontBack();
}
