#include "app/form.h"

#include "app/program.h"
#include "core/model/twips.h"
#include "platform/wayland_session.h"

#include <QCloseEvent>
#include <QFont>
#include <QGuiApplication>
#include <QScreen>

void setDesignFont(QWidget* window)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    window->setFont(font);
}

FormWindow::FormWindow(FormBase* form, Qt::WindowFlags flags) : QWidget(nullptr, flags), m_form(form) {}

void FormWindow::closeEvent(QCloseEvent* event)
{
    // The form decides what closing means; the widget itself is destroyed by the form.
    event->ignore();
    if (m_form) m_form->CloseBoxClicked();
}

void FormWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_form) m_form->Form_Resize();
}

FormBase::FormBase(Program& program) : p(program) {}

FormBase::~FormBase()
{
    if (m_window) {
        m_window->detach();
        delete m_window.data();
    }
    for (const QPointer<FormWindow>& w : std::as_const(m_retired)) delete w.data();
}

FormWindow* FormBase::window()
{
    if (!m_window) {
        m_window = new FormWindow(this, WindowFlags());
        m_window->setAttribute(Qt::WA_QuitOnClose, false);
        CreateControls(m_window);
        floatAtOwnSize(m_window);
        m_loading = true;
        Form_Load();
        m_loading = false;
    }
    return m_window;
}

void FormBase::Unload()
{
    if (!m_window) return;
    Form_QueryUnload();
    destroyWindow();
}

void FormBase::destroyWindow()
{
    if (!m_window) return;
    FormWindow* w = m_window;
    m_window = nullptr;
    ReleaseControls();
    w->detach();
    w->hide();
    // Deferred: the closing may have started inside one of this window's own handlers.
    w->deleteLater();
    m_retired.removeIf([](const QPointer<FormWindow>& r) { return r.isNull(); });
    m_retired.append(w);
    p.formDestroyed(this);
}

void FormBase::Show()
{
    FormWindow* w = window();
    w->show();
}

void FormBase::Hide()
{
    if (m_window) m_window->hide();
}

bool FormBase::Visible() const { return m_window && m_window->isVisible(); }

bool FormBase::Minimized() const { return m_window && (m_window->windowState() & Qt::WindowMinimized); }

void FormBase::SetNormalState()
{
    FormWindow* w = window();
    w->setWindowState(w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    if (w->isVisible()) w->showNormal();
}

void FormBase::Minimize()
{
    FormWindow* w = window();
    w->setWindowState(w->windowState() | Qt::WindowMinimized);
}

// The outer frame's position, which move() sets back exactly.
double FormBase::TopTwips() const { return m_window ? pixelsToTwips(m_window->pos().y()) : 0.0; }
double FormBase::LeftTwips() const { return m_window ? pixelsToTwips(m_window->pos().x()) : 0.0; }

void FormBase::MoveTwips(double top, double left)
{
    window()->move(twipsToPixels(left), twipsToPixels(top));
}

void FormBase::CenterOnScreen()
{
    FormWindow* w = window();
    QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize size = w->size();
    w->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}
