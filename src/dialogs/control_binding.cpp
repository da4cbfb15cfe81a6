#include "dialogs/control_binding.h"

#include "app/check_box.h"
#include "core/files/message_font.h"

#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>

void place(QWidget* widget, const char* name, QRect r)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(r);
}

QPushButton* pictureButton(QWidget* parent, const char* name, QRect r, QPixmap (*draw)(QSize))
{
    auto* b = place<QPushButton>(parent, name, r);
    const QSize inner = r.size() - QSize(4, 4);
    b->setIcon(QIcon(draw(inner.expandedTo(QSize(4, 4)))));
    b->setIconSize(inner);
    return b;
}

namespace {
class EventHook : public QObject {
public:
    EventHook(QObject* parent, QEvent::Type type, std::function<bool(QEvent*)> act)
        : QObject(parent), m_type(type), m_act(std::move(act))
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override { return e->type() == m_type && m_act(e); }

private:
    QEvent::Type m_type;
    std::function<bool(QEvent*)> m_act;
};
}  // namespace

void hookEvent(QObject* object, QEvent::Type type, std::function<bool(QEvent*)> act)
{
    object->installEventFilter(new EventHook(object, type, std::move(act)));
}

void enterPresses(QWidget* window, std::function<void()> press)
{
    for (QPushButton* b : window->findChildren<QPushButton*>()) b->setAutoDefault(true);
    hookEvent(window, QEvent::KeyPress, [press = std::move(press)](QEvent* e) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        press();
        return true;
    });
}

void DropDownComboBox::showPopup()
{
    if (DropDown) DropDown();
    QComboBox::showPopup();
}

namespace {
template <typename C>
void followState(C& control, QWidget* widget)
{
    auto show = [&control, widget] {
        widget->setEnabled(control.Enabled());
        widget->setHidden(!control.Visible());
    };
    show();
    QObject::connect(&control, &C::StateChanged, widget, show);
}

class KeyFilterObject : public QObject {
public:
    KeyFilterObject(QObject* parent, KeyFilter filter, std::function<void()> beep)
        : QObject(parent), m_filter(std::move(filter)), m_beep(std::move(beep))
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        // Shortcuts with Ctrl type nothing; Return, Tab and Escape belong to the window.
        if (key->modifiers() & Qt::ControlModifier) return false;
        const QString text = key->text();
        if (text.isEmpty()) return false;
        const QChar c = text.at(0);
        if (c != QChar(8) && c.unicode() < 0x20) return false;
        if (c.unicode() == 0x7f) return false;  // Delete
        const KeyVerdict verdict = m_filter(c);
        if (verdict == KeyVerdict::Pass) return false;
        if (verdict == KeyVerdict::SwallowWithBeep && m_beep) m_beep();
        return true;
    }

private:
    KeyFilter m_filter;
    std::function<void()> m_beep;
};
}  // namespace

void bindEnabledVisible(QObject& control, QWidget* widget)
{
    if (auto* c = qobject_cast<Control*>(&control)) followState(*c, widget);
    else if (auto* l = qobject_cast<ListBox*>(&control)) followState(*l, widget);
}

void bindTextBox(TextBox& control, QLineEdit* widget)
{
    followState(control, widget);
    widget->setText(control.Text());
    QObject::connect(widget, &QLineEdit::textEdited, &control, [&control](const QString& s) { control.setText(s); });
    QObject::connect(&control, &TextBox::Change, widget, [&control, widget] {
        if (widget->text() != control.Text()) widget->setText(control.Text());
    });
}

void bindTextView(TextBox& control, QPlainTextEdit* widget)
{
    followState(control, widget);
    // Messages from a data file can be megabytes long: shown cut, as the message window does.
    widget->setPlainText(shownMessageText(control.Text()));
    QObject::connect(&control, &TextBox::Change, widget,
                     [&control, widget] { widget->setPlainText(shownMessageText(control.Text())); });
}

void bindButton(Button& control, QPushButton* widget)
{
    auto show = [&control, widget] {
        widget->setText(control.Caption());
        widget->setEnabled(control.Enabled());
        widget->setHidden(!control.Visible());
    };
    show();
    QObject::connect(&control, &Button::StateChanged, widget, show);
}

void bindCheckBox(CheckBox& control, ValueCheckBox* widget)
{
    followState(control, widget);
    widget->setValue(control.Value());
    QObject::connect(widget, &QCheckBox::stateChanged, &control, [&control, widget] { control.setValue(widget->Value()); });
    QObject::connect(&control, &CheckBox::Click, widget, [&control, widget] {
        if (widget->Value() != control.Value()) widget->setValue(control.Value());
    });
}

void bindShape(Shape& control, QWidget* widget) { followState(control, widget); }

void bindList(ListBox& control, QListView* widget)
{
    followState(control, widget);
    widget->setUniformItemSizes(true);  // a long list lays out without measuring every row
    widget->setModel(&control);
    QItemSelectionModel* own = widget->selectionModel();
    widget->setSelectionModel(control.selectionModel());
    delete own;
    widget->setSelectionMode(control.MultiSelect() ? QAbstractItemView::ExtendedSelection
                                                   : QAbstractItemView::SingleSelection);
}

void bindCombo(ComboBox& control, DropDownComboBox* widget)
{
    followState(control, widget);
    widget->setEditable(true);
    widget->setInsertPolicy(QComboBox::NoInsert);
    widget->lineEdit()->setReadOnly(true);  // values come from the list only
    // A placeholder keeps the combo from picking item 0 by itself when its empty list fills.
    widget->setPlaceholderText(QStringLiteral(" "));
    widget->setModel(&control);
    auto show = [&control, widget] {
        const QSignalBlocker quiet(widget);
        if (widget->currentIndex() != control.ListIndex()) widget->setCurrentIndex(control.ListIndex());
        if (widget->currentText() != control.Text()) widget->setEditText(control.Text());
    };
    show();
    QObject::connect(&control, &ListBox::Click, widget, show);
    QObject::connect(&control, &ComboBox::TextChanged, widget, show);
    QObject::connect(&control, &QAbstractItemModel::modelReset, widget, show);
    QObject::connect(&control, &QAbstractItemModel::rowsInserted, widget, show);
    QObject::connect(widget, &QComboBox::activated, &control, [&control](int i) { control.setListIndex(i); });
}

void filterKeys(QWidget* widget, KeyFilter filter, std::function<void()> beep)
{
    auto* f = new KeyFilterObject(widget, std::move(filter), std::move(beep));
    widget->installEventFilter(f);
    if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->lineEdit())
        combo->lineEdit()->installEventFilter(f);
}
