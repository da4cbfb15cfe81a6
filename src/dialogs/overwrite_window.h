#pragma once
#include "clock/front_window.h"

#include <QString>
#include <cstdint>
#include <functional>

class QLabel;
class QPushButton;

// Form13, "Voz Warning Message": the overwrite confirmation before a data file is written again.
// On "Yes" it runs the write its caller gave; the caller goes on without waiting for the answer.
class Form13 : public FrontWindow {
public:
    explicit Form13(Program& p);

    // Asks; `write` runs on "Yes", after the window has closed, so that a warning about a
    // failed write keeps the front.
    void FileAlreadyExist(std::function<void()> write);
    void cmdYes_Click();
    void cmdCancel_Click();

    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdYes = nullptr;
    QLabel* Label1 = nullptr;

protected:
    void CreateControls(FormWindow* w) override;
    void ReleaseControls() override;
    Qt::WindowFlags WindowFlags() const override;
    void Form_QueryUnload() override;

private:
    std::function<void()> m_write;
};
