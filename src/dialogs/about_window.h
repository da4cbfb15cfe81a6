#pragma once
#include "app/form.h"

class QLabel;
class QPushButton;

// Form3, the About window: the product name and a date over a sky, closed with its OK button.
class Form3 : public FormBase {
public:
    explicit Form3(Program& p);

    void cmdOk_Click();

    QPushButton* cmdOk = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* imgMyName = nullptr;
    QLabel* imgClouds = nullptr;

protected:
    void CreateControls(FormWindow* w) override;
    void ReleaseControls() override;
    Qt::WindowFlags WindowFlags() const override;
};
