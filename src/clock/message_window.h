#pragma once
#include "clock/front_window.h"

#include <QString>
#include <cstdint>

class QPlainTextEdit;
class QPushButton;

// Form6, "Message": the window where fired and missed alarms show their messages.
// It stays on top and holds the highest front code.
class Form6 : public FrontWindow {
public:
    explicit Form6(Program& p);

    // txtMsg's text, exactly as the program composed it (CR LF line breaks included).
    QString MsgText();
    void SetMsgText(const QString& text);
    void SetCaption(const QString& caption);
    QString Caption();
    double MsgFontPointSize();

    void cmdOk_Click();
    void Form_Deactivate() override;
    void Form_Resize() override;

    QPlainTextEdit* txtMsg = nullptr;
    QPushButton* cmdOk = nullptr;

protected:
    void CreateControls(FormWindow* w) override;
    void ReleaseControls() override;
    Qt::WindowFlags WindowFlags() const override;
    void Form_Load() override;
    void Form_QueryUnload() override;

private:
    QString m_text;
    bool m_placed = false;
};
