#pragma once
#include "core/model/controls.h"

#include <QComboBox>
#include <QPointer>
#include <functional>

class QAbstractButton;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QWidget;
class ValueCheckBox;

// Widgets that show the engine's controls. Each binding keeps the widget in step with its
// control both ways: what the user does is written into the control (so the control's own
// signal runs the handler), and what code writes into the control shows in the widget.

// What a key filter does with one typed character.
enum class KeyVerdict { Pass, Swallow, SwallowWithBeep };
using KeyFilter = std::function<KeyVerdict(QChar)>;

// A combo box whose drop-down handler runs before its list opens.
class DropDownComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    std::function<void()> DropDown;

    void showPopup() override;
};

void bindEnabledVisible(QObject& control, QWidget* widget);
void bindTextBox(TextBox& control, QLineEdit* widget);
void bindTextView(TextBox& control, QPlainTextEdit* widget);
void bindButton(Button& control, QPushButton* widget);
void bindCheckBox(CheckBox& control, ValueCheckBox* widget);
void bindShape(Shape& control, QWidget* widget);
void bindList(ListBox& control, QListView* widget);
void bindCombo(ComboBox& control, DropDownComboBox* widget);

// Typed characters that the filter swallows never reach the widget; beep runs for those it
// swallows with a beep. Keys that type nothing (arrows, Delete, Tab) are not filtered.
void filterKeys(QWidget* widget, KeyFilter filter, std::function<void()> beep);
