#pragma once
#include <QCheckBox>

// A check box that speaks in check box values: 0 unchecked, 1 checked, 2 grayed.
// Handlers hang on stateChanged, so they run when the value changes, from code or from a click.
class ValueCheckBox : public QCheckBox {
public:
    explicit ValueCheckBox(QWidget* parent = nullptr);

    int Value() const;
    // Any other number is refused (false) and the box keeps its value.
    bool setValue(int value);

protected:
    // A click checks an unchecked or grayed box and unchecks a checked one; it never grays.
    void nextCheckState() override;
};
