#pragma once
#include "clock/front_window.h"

#include <QChar>
#include <QString>
#include <optional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// Form5, "Input message": writes or changes the message of the alarm selected in the Alarm Set window.
class Form5 : public FrontWindow {
public:
    explicit Form5(Program& p);

    static constexpr int kMaxMessageLength = 626;  // line breaks count two, as they are stored (CR LF)

    void cmdOk_Click();
    void cmdCancel_Click();
    void lblMinus_Click();
    void lblPlus_Click();
    // A typed character on its way into txtInput; the handler may change it.
    void txtInput_KeyPress(QChar& KeyAscii);

    QPlainTextEdit* txtInput = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    QLabel* lblFontSize = nullptr;
    QLabel* lblMinus = nullptr;
    QLabel* lblPlus = nullptr;

protected:
    void CreateControls(FormWindow* w) override;
    void ReleaseControls() override;
    Qt::WindowFlags WindowFlags() const override;
    void Form_Load() override;
    void Form_QueryUnload() override;

private:
    // The alarm entry selected in the Alarm Set window, if one is.
    std::optional<QString> SelectedAlarm();
    void SetInputFontSize(double points);
    // The alarm's message was too long for the box and stayed in the list untouched.
    bool m_kept = false;
    // The message taken out of the list for editing, and its place there: every closing but a
    // "Save" that stores the edited text puts it back.
    std::optional<QString> m_taken;
    int m_takenAt = 0;
};
