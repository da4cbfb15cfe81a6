#pragma once
#include "app/form.h"

class QLabel;
class QPushButton;
class ValueCheckBox;

// Form7, "Voz setting": sound on, sound error messages and automatic loading of my.dat.
class Form7 : public FormBase {
public:
    explicit Form7(Program& p);

    void chkSoundOn_Click();
    void chkErrMsgPop_Click();
    void chkAutoLoad_Click();
    void cmdClose_Click();

    ValueCheckBox* chkSoundOn = nullptr;
    QLabel* lblSoundOn = nullptr;
    ValueCheckBox* chkErrMsgPop = nullptr;
    QLabel* lblPremier = nullptr;
    ValueCheckBox* chkAutoLoad = nullptr;
    QLabel* lblAutoLoad = nullptr;
    QPushButton* cmdClose = nullptr;

protected:
    void CreateControls(FormWindow* w) override;
    void ReleaseControls() override;
    Qt::WindowFlags WindowFlags() const override;
    void Form_Load() override;
    // The close box stores what "Close" stores: without it the automatic-load word was lost.
    void CloseBoxClicked() override { cmdClose_Click(); }
};
