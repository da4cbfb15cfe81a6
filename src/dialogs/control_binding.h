#pragma once
#include "core/model/controls.h"

#include <QComboBox>
#include <QEvent>
#include <QPointer>
#include <functional>

class QAbstractButton;
class QLineEdit;
class QListView;
class QPixmap;
class QPlainTextEdit;
class QPushButton;
class QWidget;
class ValueCheckBox;

// Making a window's widgets: a widget named as its control and placed where the design puts it
// (a rectangle from twipsRect).
template <typename W>
W* place(QWidget* parent, const char* name, QRect r)
{
    auto* widget = new W(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(r);
    return widget;
}
// Names and places a widget made already.
void place(QWidget* widget, const char* name, QRect r);

// A box or button that shows no text of its own is never made smaller than its indicator.
template <typename W>
W* bareIndicator(QWidget* parent, const char* name, QRect r)
{
    auto* b = place<W>(parent, name, r);
    r.setSize(r.size().expandedTo(b->minimumSizeHint()));
    b->setGeometry(r);
    return b;
}

// A button that shows a picture drawn to its size.
QPushButton* pictureButton(QWidget* parent, const char* name, QRect r, QPixmap (*draw)(QSize));

// Runs `act` on every event of one type that reaches `object`; it returns whether the event is
// used up. The hook goes with the object.
void hookEvent(QObject* object, QEvent::Type type, std::function<bool(QEvent*)> act);

// Enter on the window presses `press` unless a button has the focus: buttons take Return themselves.
void enterPresses(QWidget* window, std::function<void()> press);

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
