#include "clock/front_window.h"

#include "app/program.h"
#include "core/model/program_state.h"

#include <algorithm>

FrontWindow::FrontWindow(Program& program, std::int16_t rank) : FormBase(program), m_rank(rank)
{
    p.frontWindows.push_back(this);
}

FrontWindow::~FrontWindow() { std::erase(p.frontWindows, this); }

void FrontWindow::PutBackOnTop(Program& p, std::int16_t who)
{
    if (who <= 0 || who == kFrontMessage) return;
    const auto it = std::find_if(p.frontWindows.begin(), p.frontWindows.end(),
                                 [who](const FrontWindow* w) { return w->m_rank == who; });
    if (it == p.frontWindows.end() || !(*it)->Visible()) return;
    p.gWindowPosResult = p.platform.setWindowPosTopmost((*it)->window());
}

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
    PutBackOnTop(p, PrevFrontCode);
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
