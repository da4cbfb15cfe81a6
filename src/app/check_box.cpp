#include "app/check_box.h"

ValueCheckBox::ValueCheckBox(QWidget* parent) : QCheckBox(parent) {}

int ValueCheckBox::Value() const
{
    switch (checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

bool ValueCheckBox::setValue(int value)
{
    // Qt numbers the states 0, 2, 1 where check box values are 0, 1, 2.
    switch (value) {
    case 0: setCheckState(Qt::Unchecked); return true;
    case 1: setCheckState(Qt::Checked); return true;
    case 2: setCheckState(Qt::PartiallyChecked); return true;
    default: return false;
    }
}

void ValueCheckBox::nextCheckState() { setValue(Value() == 1 ? 0 : 1); }
