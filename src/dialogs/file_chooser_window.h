#pragma once
#include "clock/front_window.h"

#include <QString>
#include <cstdint>

class QLabel;
class QLineEdit;
class QListWidget;
class QObject;
class QPushButton;

// Form14, "Voz files": picks a data file of the program folder to load, save or edit.
// The Alarm Set window sets its mode (captions and picture) after loading it, then shows it.
class Form14 : public FrontWindow {
public:
    explicit Form14(Program& p);
    ~Form14() override;

    enum class Picture { Load, Save, Edit };

    // Mode set-up, used by the Alarm Set window; each loads the chooser if needed.
    void SetLabel1Caption(const QString& caption);
    void SetConfirmCaption(const QString& caption);
    void ShowPicture(Picture picture);

    void cmdConfirm_Click();
    void cmdCancel_Click();
    void File1_Click();
    // keyCode as the window system numbers keys (16 Shift, 17 Ctrl).
    void File1_KeyDown(int keyCode);
    void txtInput_GotFocus();
    // Sets KeyAscii to 0 when the character may not stand in a file name.
    void txtInput_KeyPress(QChar& KeyAscii);

    // Whether a character may be typed into the name box (Backspace included).
    static bool NameCharAllowed(QChar c);

    QListWidget* File1 = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdConfirm = nullptr;
    QLineEdit* txtInput = nullptr;
    QLabel* imgEdit = nullptr;
    QLabel* imgSave = nullptr;
    QLabel* imgLoad = nullptr;
    QLabel* lblInputFileN = nullptr;
    QLabel* Label1 = nullptr;

protected:
    void CreateControls(FormWindow* w) override;
    void ReleaseControls() override;
    Qt::WindowFlags WindowFlags() const override;
    void Form_Load() override;
    void Form_QueryUnload() override;

private:
    enum class Mode { Load, Save, Edit, Other };
    Mode CurrentMode() const;
    bool CurrentItemSelected() const;
    void DeselectCurrentItem();
    void Warn(const QString& text);
    void CenterOnOwner();
    void RemoveEventHandlers();

    // Hands the name box's and the list's keys and focus to the handlers above.
    QObject* m_events = nullptr;
};
