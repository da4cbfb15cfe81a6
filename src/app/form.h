#pragma once
#include <QList>
#include <QPointer>
#include <QWidget>
#include <cstdint>

class Program;
class FormBase;

// The windows were laid out for a small sans serif of Arial's widths; this font fits their places.
void setDesignFont(QWidget* window);

// The on-screen window of a form. It forwards closing and state changes to its form object.
class FormWindow : public QWidget {
    Q_OBJECT
public:
    FormWindow(FormBase* form, Qt::WindowFlags flags);
    FormBase* form() const { return m_form; }
    void detach() { m_form = nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    FormBase* m_form;
};

// A window object. It lives as long as the program; its window and controls exist only while
// it is loaded. Unloading destroys the controls and what they hold, not the object's variables.
class FormBase {
public:
    explicit FormBase(Program& p);
    virtual ~FormBase();
    FormBase(const FormBase&) = delete;
    FormBase& operator=(const FormBase&) = delete;

    bool Loaded() const { return !m_window.isNull(); }
    // Touching the window loads it; loading runs Form_Load.
    FormWindow* window();
    void Load() { window(); }
    // Closing from code or by the user: Form_QueryUnload runs, then the controls are destroyed.
    void Unload();
    void Show();
    void Hide();
    bool Visible() const;
    bool Minimized() const;
    void SetNormalState();
    void Minimize();

    // Position in twips (top and left edges as the window system reports them).
    double TopTwips() const;
    double LeftTwips() const;
    void MoveTwips(double top, double left);

    // Activation moved from this window to another window of the program.
    virtual void Form_Deactivate() {}
    // The window's state changed (minimized, restored).
    virtual void Form_Resize() {}

protected:
    // Builds the window and its controls in their design state.
    virtual void CreateControls(FormWindow* window) = 0;
    // Drops the pointers to controls that are about to be destroyed.
    virtual void ReleaseControls() = 0;
    virtual Qt::WindowFlags WindowFlags() const { return Qt::Window; }
    virtual void Form_Load() {}
    // Runs on every closing; closing is never refused.
    virtual void Form_QueryUnload() {}
    // The user closed the window from its title bar, or the window manager asked it to close
    // (a close key, wmctrl -c): it does what the window's own way out does. Unloading by
    // default; windows whose way out keeps or stores something say so.
    virtual void CloseBoxClicked() { Unload(); }

    // Centres the window on the screen it is on.
    void CenterOnScreen();

    Program& p;

private:
    friend class FormWindow;
    void destroyWindow();
    QPointer<FormWindow> m_window;
    // Unloaded windows whose deletion is still pending; they must not outlive this object,
    // whose handlers their controls still reach.
    QList<QPointer<FormWindow>> m_retired;
    bool m_loading = false;
};
