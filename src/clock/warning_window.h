#pragma once
#include "clock/front_window.h"

#include <QString>
#include <cstdint>

class QLabel;
class QPushButton;

// Form11, "Voz Warning Message": short warnings with an OK button. While one warning shows,
// a further warning opens in an additional copy.
class Form11 : public FrontWindow {
public:
    Form11(Program& p, bool isCopy);

    void AnswerOk(const QString& ErrorMsgStr);
    void cmdOk_Click();
    void Form_Deactivate() override;

    bool isCopy() const { return m_isCopy; }
    QString LabelText();

    QLabel* Label1 = nullptr;
    QPushButton* cmdOk = nullptr;

protected:
    void CreateControls(FormWindow* w) override;
    void ReleaseControls() override;
    Qt::WindowFlags WindowFlags() const override;
    // The title bar's close box acts as OK, so the front code never stays claimed by a closed warning.
    void CloseBoxClicked() override { cmdOk_Click(); }
    void Form_Load() override;

private:
    void ShowWarning(const QString& text);
    bool m_isCopy;
};
