#pragma once
// Form12, "Voz Wallpaper": the wallpaper list, its preview and the timed wallpaper change.
#include "core/model/controls.h"
#include "app/form.h"

#include <QImage>
#include <QSet>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>
#include <random>

namespace Rodidad {
class _Class1;
}

// An option button: Value is true for the selected one of its group. Click runs when it becomes
// selected, from code or from the user.
class OptionButton : public Control {
    Q_OBJECT
    Q_PROPERTY(bool Value READ Value WRITE setValue NOTIFY StateChanged)
public:
    using Control::Control;
    bool Value() const { return m_value; }
    void setValue(bool on);

signals:
    void Click();

private:
    bool m_value = false;
};

// The wallpaper window's controls as the Rodidad library and the change see them; they live
// while the window is loaded.
struct Form12Controls {
    Form12Controls();  // every control in its design state
    Form12Controls(const Form12Controls&) = delete;
    Form12Controls& operator=(const Form12Controls&) = delete;

    ComboBox cbPaper;
    ComboBox cbChange;
    ListBox lstShow;
    CheckBox chkChange;
    CheckBox chkKeepSet;
    std::array<OptionButton, 3> optOption;  // indexes 1 (priority) and 2 (random)
    QImage imgShow;                         // the previewed picture, as read from its file
};

class Form12 : public FormBase {
public:
    explicit Form12(Program& p);
    ~Form12() override;

    // Touching the controls loads the window (hidden).
    Form12Controls& c();

    // Called by the clock: the change that is due now, and a new plan of the schedule.
    void EMShowToShow();
    void chkChange_Click();

    void cbPaper_Click();
    void lstShow_Click();
    void cmdAdd_Click();
    void cmdDelete_Click();
    void cmdDeleteAll_Click();
    void cbChange_Click();
    void CmdSaveToFile_Click();
    void cmdLoad_Click();
    void cmdMinimize_Click();
    void cmdClose_Click();
    void optOption_Click(int Index);
    void cmdChangeWall_Click();
    void cmdClearWall_Click();

    // The widgets, while the window is loaded (tests and screenshots reach them by these names).
    QWidget* Widget(const char* name) const;

protected:
    void CreateControls(FormWindow* w) override;
    void ReleaseControls() override;
    Qt::WindowFlags WindowFlags() const override;
    void Form_Load() override;
    // The title bar's close box acts as "Close", so a running schedule keeps its list.
    void CloseBoxClicked() override { cmdClose_Click(); }

private:
    void CreateWidgets(FormWindow* w);
    // Writes the list to Wpaper.dat; a failure is told.
    void WriteListFile();
    void RemoveFirstSelected();
    void AdvanceWallpaperTarget();
    void DropMissingPictures();
    // Removes an entry without running lstShow_Click for the entry that takes its place.
    void RemoveShowEntry(int i);
    QString PictureFile(const QString& name) const;
    bool ShowPreview(const QString& name);
    // Saves the picture as tmpFile.bmp in the pictures folder (in the runtime folder when the
    // pictures folder takes no file) and makes that the wallpaper.
    void SetWallpaperThroughBitmap(const QString& name, const QImage& picture);
    // Asks the desktop; the first refusal of a run is told (WallpaperFailed).
    void SetWallpaper(const QString& path);
    void WallpaperFailed(const QString& reason);
    // A picture that could not be shown: told once a run for each name, or every time.
    void CannotShow(const QString& name, const QString& reason, bool everyTime);
    // A fresh library object for one call, or null (the user is told once) when there is none.
    std::unique_ptr<Rodidad::_Class1> NewClass1();
    void LibraryFailed(const QString& message);

    std::unique_ptr<Form12Controls> m_c;
    bool m_quietList = false;
    int m_listIndexAtPress = -1;
    bool m_libraryProblemTold = false;
    bool m_wallpaperProblemTold = false;
    QSet<QString> m_cannotShowTold;
    QString m_previewName;     // the picture of the preview, or the one that could not be read
    QString m_previewProblem;  // why that picture could not be read
    std::mt19937 m_random{std::random_device{}()};

    // The window's own state; it outlives unloading.
    QString PickedName;
    std::int16_t ShowIndex = 0;
    QString PicturePath;
    std::int16_t DeleteCursor = 0;
};

