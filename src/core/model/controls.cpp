#include "core/model/controls.h"

void Control::setEnabled(bool on)
{
    if (m_enabled == on) return;
    m_enabled = on;
    emit StateChanged();
}

void Control::setVisible(bool on)
{
    if (m_visible == on) return;
    m_visible = on;
    emit StateChanged();
}

void TextBox::setText(const QString& text)
{
    if (m_text == text) return;
    m_text = text;
    emit Change();
}

void Button::setCaption(const QString& caption)
{
    if (m_caption == caption) return;
    m_caption = caption;
    emit StateChanged();
}

void CheckBox::setValue(int value)
{
    if (m_value == value) return;
    m_value = value;
    emit Click();
}

ListBox::ListBox(QObject* parent) : QAbstractListModel(parent), m_selection(this)
{
    connect(&m_selection, &QItemSelectionModel::currentChanged, this, &ListBox::selectionMoved);
    connect(&m_selection, &QItemSelectionModel::selectionChanged, this, &ListBox::selectionMoved);
}

int ListBox::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ListCount(); }

QVariant ListBox::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_items.size()) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) return m_items.at(index.row());
    return {};
}

void ListBox::AddItem(const QString& item) { InsertItem(ListCount(), item); }

void ListBox::InsertItem(int i, const QString& item)
{
    i = qBound(0, i, ListCount());
    beginInsertRows(QModelIndex(), i, i);
    m_items.insert(i, item);
    endInsertRows();
    m_reportedIndex = ListIndex();
}

void ListBox::RemoveItem(int i)
{
    if (i < 0 || i >= m_items.size()) return;
    beginRemoveRows(QModelIndex(), i, i);
    m_items.removeAt(i);
    endRemoveRows();
    // Removing the selected item leaves none selected, whatever the selection model made current.
    if (!m_multiSelect && m_selection.currentIndex().isValid() && !m_selection.isSelected(m_selection.currentIndex()))
        m_selection.clearCurrentIndex();
    m_reportedIndex = ListIndex();
}

void ListBox::Clear()
{
    if (m_items.isEmpty()) return;
    beginResetModel();
    m_items.clear();
    endResetModel();
    selectionMoved();
}

void ListBox::AddItems(const QStringList& items)
{
    if (items.isEmpty()) return;
    const int first = ListCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(items.size()) - 1);
    m_items.append(items);
    endInsertRows();
}

void ListBox::setItems(QStringList items)
{
    const int oldIndex = ListIndex();
    const QString selected = CurrentText();
    beginResetModel();
    m_items = std::move(items);
    endResetModel();
    if (oldIndex >= 0) {
        const QSignalBlocker quiet(this);
        setListIndex(static_cast<int>(m_items.indexOf(selected)));
    }
    selectionMoved();
}

int ListBox::ListIndex() const
{
    const QModelIndex current = m_selection.currentIndex();
    if (!current.isValid()) return -1;
    if (!m_multiSelect && !m_selection.isSelected(current)) return -1;
    return current.row();
}

void ListBox::setListIndex(int i)
{
    if (i < 0 || i >= ListCount()) {
        if (m_multiSelect) m_selection.clearCurrentIndex();
        else m_selection.clear();
    } else if (m_multiSelect) {
        m_selection.setCurrentIndex(index(i), QItemSelectionModel::NoUpdate);
    } else {
        m_selection.setCurrentIndex(index(i), QItemSelectionModel::ClearAndSelect);
    }
    selectionMoved();
}

bool ListBox::Selected(int i) const
{
    return i >= 0 && i < ListCount() && m_selection.isSelected(index(i));
}

void ListBox::setSelected(int i, bool on)
{
    if (i < 0 || i >= ListCount()) return;
    m_selection.select(index(i), on ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

void ListBox::setEnabled(bool on)
{
    if (m_enabled == on) return;
    m_enabled = on;
    emit StateChanged();
}

void ListBox::setVisible(bool on)
{
    if (m_visible == on) return;
    m_visible = on;
    emit StateChanged();
}

void ListBox::selectionMoved()
{
    const int now = ListIndex();
    if (now == m_reportedIndex) return;
    m_reportedIndex = now;
    emit Click();
}

ComboBox::ComboBox(QObject* parent) : ListBox(parent)
{
    connect(this, &ListBox::Click, this, [this] {
        if (ListIndex() >= 0) setText(CurrentText());
    });
}

void ComboBox::setText(const QString& text)
{
    if (m_text == text) return;
    m_text = text;
    emit TextChanged();
}
