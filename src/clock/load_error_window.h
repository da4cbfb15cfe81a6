#pragma once
#include "app/form.h"

#include <QStringList>

class QListWidget;
class QPushButton;

// Form10, "Voz load data error": the lines a data file load rejected.
class Form10 : public FormBase {
public:
    explicit Form10(Program& p);

    void AddErrorLine(const QString& line);
    QStringList ErrorLines();
    void cmdOk_Click();

    QListWidget* lstErrorMsg = nullptr;
    QPushButton* cmdOk = nullptr;

protected:
    void CreateControls(FormWindow* w) override;
    void ReleaseControls() override;
    Qt::WindowFlags WindowFlags() const override;
};
