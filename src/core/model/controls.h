#pragma once
#include <QAbstractListModel>
#include <QItemSelectionModel>
#include <QObject>
#include <QString>
#include <QStringList>

// The controls that the engine operations read and set, as plain Qt Core objects. A window
// shows each one in a widget and feeds the user's changes back; a change made from code emits
// the same signal as the user's, so a handler connected to it runs either way. Properties are
// reachable by name through the meta-object system, as automation callers need.

class Control : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled NOTIFY StateChanged)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible NOTIFY StateChanged)
public:
    using QObject::QObject;
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool on);
    bool Visible() const { return m_visible; }
    void setVisible(bool on);

signals:
    void StateChanged();

private:
    bool m_enabled = true;
    bool m_visible = true;
};

// A text box; Change runs on every change of the text.
class TextBox : public Control {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText NOTIFY Change)
public:
    using Control::Control;
    const QString& Text() const { return m_text; }
    void setText(const QString& text);

signals:
    void Change();

private:
    QString m_text;
};

// A button whose caption the engine changes.
class Button : public Control {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption NOTIFY StateChanged)
public:
    using Control::Control;
    const QString& Caption() const { return m_caption; }
    void setCaption(const QString& caption);

private:
    QString m_caption;
};

// A check box: 0 unchecked, 1 checked, 2 grayed. Click runs when, and only when, the value changes.
class CheckBox : public Control {
    Q_OBJECT
    Q_PROPERTY(int Value READ Value WRITE setValue NOTIFY Click)
public:
    using Control::Control;
    int Value() const { return m_value; }
    void setValue(int value);

signals:
    void Click();

private:
    int m_value = 0;
};

// A rectangle or picture that is only shown or hidden.
class Shape : public Control {
    Q_OBJECT
public:
    using Control::Control;
};

// A list box: the items are a list model, the selection lives in the selection model that the
// view shares. Reading an index outside the list gives "" ("entry 0 of an empty list is empty").
// ListIndex is the selected item (-1 for none); in a multi-select list it is the current item,
// selected or not. Click runs when ListIndex changes.
class ListBox : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled NOTIFY StateChanged)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible NOTIFY StateChanged)
    Q_PROPERTY(int ListIndex READ ListIndex WRITE setListIndex NOTIFY Click)
    Q_PROPERTY(int ListCount READ ListCount)
public:
    explicit ListBox(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    int ListCount() const { return static_cast<int>(m_items.size()); }
    QString List(int i) const { return (i >= 0 && i < m_items.size()) ? m_items.at(i) : QString(); }
    QString CurrentText() const { return List(ListIndex()); }
    const QStringList& items() const { return m_items; }

    Q_INVOKABLE void AddItem(const QString& item);
    void InsertItem(int i, const QString& item);
    Q_INVOKABLE void RemoveItem(int i);
    Q_INVOKABLE void Clear();
    // Many items at once, with one notice to the views.
    void AddItems(const QStringList& items);
    // Replaces every item with one notice; the selection stays on the entry it was on.
    void setItems(QStringList items);

    int ListIndex() const;
    void setListIndex(int i);
    bool Selected(int i) const;
    void setSelected(int i, bool on);
    bool MultiSelect() const { return m_multiSelect; }
    void setMultiSelect(bool on) { m_multiSelect = on; }
    QItemSelectionModel* selectionModel() { return &m_selection; }

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool on);
    bool Visible() const { return m_visible; }
    void setVisible(bool on);

signals:
    void Click();
    void StateChanged();

protected:
    // Emits Click when the selection moved to another index.
    void selectionMoved();

private:
    QStringList m_items;
    QItemSelectionModel m_selection;
    int m_reportedIndex = -1;
    bool m_multiSelect = false;
    bool m_enabled = true;
    bool m_visible = true;
};

// A combo box: a list with an edit field. Picking an item puts it into the field; until then
// the field shows its design text.
class ComboBox : public ListBox {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText NOTIFY TextChanged)
public:
    explicit ComboBox(QObject* parent = nullptr);
    const QString& Text() const { return m_text; }
    void setText(const QString& text);

signals:
    void TextChanged();

private:
    QString m_text;
};
