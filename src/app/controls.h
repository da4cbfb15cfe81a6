#pragma once
#include <QString>
#include <QStringList>

// Plain states of the window controls that the engine operations read and set.
// Windows copy their widgets into these and back, so the logic runs without a screen.

struct TextBox {
    QString Text;
    bool Enabled = true;
    bool Visible = true;
};

struct CheckBox {
    int Value = 0;  // 0 unchecked, 1 checked, 2 grayed
    bool Enabled = true;
    bool Visible = true;
};

struct Shape {
    bool Visible = false;
};

// A list box or the list part of a combo box. Reading an index outside the list gives "",
// as the alarm code relies on ("entry 0 of an empty list is empty").
struct ListBox {
    QStringList items;
    int ListIndex = -1;
    QString Text;  // combo boxes: the edit field; list boxes: unused (see CurrentText)
    bool Enabled = true;
    bool Visible = true;

    int ListCount() const { return static_cast<int>(items.size()); }
    QString List(int i) const { return (i >= 0 && i < items.size()) ? items.at(i) : QString(); }
    QString CurrentText() const { return List(ListIndex); }
    void AddItem(const QString& s) { items.append(s); }
    void InsertItem(int i, const QString& s) { items.insert(i, s); if (ListIndex >= i) ++ListIndex; }
    void RemoveItem(int i)
    {
        if (i < 0 || i >= items.size()) return;
        items.removeAt(i);
        if (ListIndex == i) ListIndex = -1;
        else if (ListIndex > i) --ListIndex;
    }
    void Clear() { items.clear(); ListIndex = -1; }
};
using ComboBox = ListBox;
