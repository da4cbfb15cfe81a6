#include "platform/x11_frame.h"

#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace {
xcb_atom_t internAtom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// The Motif hints record that window managers read for decorations and allowed actions.
struct MotifHints {
    std::uint32_t flags, functions, decorations;
    std::int32_t inputMode;
    std::uint32_t status;
};
constexpr std::uint32_t kHintFunctions = 1, kHintDecorations = 2;
constexpr std::uint32_t kFunctionAll = 1, kFunctionMove = 4, kFunctionMinimize = 8;
constexpr std::uint32_t kDecorBorder = 2, kDecorTitle = 8;

xcb_connection_t* connectionOf(QWidget* window)
{
    // The offscreen platform answers as X11 too, but without a connection.
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 && window ? x11->connection() : nullptr;
}
}  // namespace

void requestBareDialogFrame(QWidget* window)
{
    xcb_connection_t* c = connectionOf(window);
    if (!c) return;
    const auto id = static_cast<xcb_window_t>(window->winId());

    // Qt leaves the decorations to the window manager when a title bar has no buttons, and
    // most then still draw a window menu; it keeps hints it finds when it maps the window.
    const MotifHints hints{kHintFunctions | kHintDecorations, kFunctionMove, kDecorBorder | kDecorTitle, 0, 0};
    const xcb_atom_t motif = internAtom(c, "_MOTIF_WM_HINTS");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, motif, motif, 32, 5, &hints);

    const xcb_atom_t skip[] = {internAtom(c, "_NET_WM_STATE_SKIP_TASKBAR"), internAtom(c, "_NET_WM_STATE_SKIP_PAGER")};
    xcb_change_property(c, XCB_PROP_MODE_APPEND, id, internAtom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32, 2, skip);
    xcb_flush(c);
}

void minimizeWithoutBox(QWidget* window)
{
    auto minimize = [window] { window->setWindowState(window->windowState() | Qt::WindowMinimized); };
    xcb_connection_t* c = connectionOf(window);
    if (!c) {
        minimize();
        return;
    }
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t motif = internAtom(c, "_MOTIF_WM_HINTS");
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, id, motif, motif, 0, 5), nullptr);
    MotifHints hints{};
    const bool found = reply && reply->format == 32 && xcb_get_property_value_length(reply) >= 12;
    if (found) {
        const int bytes = std::min<int>(xcb_get_property_value_length(reply), sizeof hints);
        std::memcpy(&hints, xcb_get_property_value(reply), static_cast<size_t>(bytes));
    }
    std::free(reply);
    // No functions named: every function is allowed already.
    if (!found || !(hints.flags & kHintFunctions)) {
        minimize();
        return;
    }
    MotifHints allowed = hints;
    // With "all" set, the functions named are the ones taken away.
    if (allowed.functions & kFunctionAll) allowed.functions &= ~kFunctionMinimize;
    else allowed.functions |= kFunctionMinimize;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, motif, motif, 32, 5, &allowed);
    xcb_flush(c);
    // The window manager reads the hints when it gets round to the change, so they are put
    // back only once it has minimised the window (or plainly will not).
    QWindow* handle = window->windowHandle();
    auto restored = std::make_shared<bool>(false);
    auto restore = [c, id, motif, hints, restored, w = QPointer<QWidget>(window)] {
        if (*restored || !w) return;
        *restored = true;
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, motif, motif, 32, 5, &hints);
        xcb_flush(c);
    };
    if (handle) {
        auto once = std::make_shared<QMetaObject::Connection>();
        *once = QObject::connect(handle, &QWindow::windowStateChanged, handle, [restore, once](Qt::WindowState state) {
            if (state != Qt::WindowMinimized) return;
            QObject::disconnect(*once);
            restore();
        });
    }
    QTimer::singleShot(3000, window, restore);
    minimize();
}
