#pragma once
#include "app/form.h"

#include <cstdint>

// A dialog that keeps the foreground while it is open. Each has a rank; gFrontCode holds the rank
// of the one that claimed the front last (0: none), so a window of lower rank yields to one of
// higher rank. The windows differ only in their rank and in when they remember the code before
// theirs.
class FrontWindow : public FormBase {
public:
    FrontWindow(Program& p, std::int16_t rank);
    ~FrontWindow() override;

    // Puts the shown dialog of rank `who` back on top; the message window keeps itself on top
    // and is never chosen.
    static void PutBackOnTop(Program& p, std::int16_t who);

    // gFrontCode as it was when the window opened; closing puts that window back on top.
    std::int16_t PrevFrontCode = 0;
    std::int16_t FrontRank() const { return m_rank; }

    // Activation went to another window of ours: a hidden window unloads, a shown one takes the
    // front back unless a higher rank holds it.
    void Form_Deactivate() override;

protected:
    // The remembered code outlives unloading: some windows take it anew on each opening, others
    // only while it is still 0.
    enum class Remember { EachTime, WhileZero };
    void RememberFront(Remember when);
    void ClaimFront();
    void TakeFrontBack();
    // Puts the remembered window back on top, if it is still shown, and clears the code.
    void LeaveFront();

private:
    std::int16_t m_rank;
};
