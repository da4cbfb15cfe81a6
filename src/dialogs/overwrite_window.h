#pragma once
#include "clock/front_window.h"

#include <QString>
#include <cstdint>

class QLabel;
class QPushButton;

// Form13, "Voz Warning Message": the overwrite confirmation before a data file is written again.
// On "Yes" it writes the file itself; the caller goes on without waiting for the answer.
class Form13 : public FrontWindow {
public:
    explicit Form13(Program& p);

    // These belong to the window object and outlive its on-screen window.
    QString WhereDoYouComeFrom;
    QString fFileName;

    void FileAlreadyExist(const QString& WhereDoYouComeFrom, const QString& fFileName);
    void cmdYes_Click();
    void cmdCancel_Click();

    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdYes = nullptr;
    QLabel* Label1 = nullptr;

protected:
    void CreateControls(FormWindow* w) override;
    void ReleaseControls() override;
    Qt::WindowFlags WindowFlags() const override;
    void Form_QueryUnload() override;
};
