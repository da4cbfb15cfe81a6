#include "platform/wayland_session.h"

#include <QGuiApplication>
#include <QWidget>
#include <xcb/xcb.h>

namespace {
bool xServerAnswers()
{
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const bool ok = c && !xcb_connection_has_error(c);
    if (c) xcb_disconnect(c);
    return ok;
}

// Qt runs on Wayland itself (not XWayland, not offscreen).
bool nativeWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}
}  // namespace

bool preferXWayland()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return false;
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY")) return false;
    if (!xServerAnswers()) return false;
    qputenv("QT_QPA_PLATFORM", "xcb");
    return true;
}

void floatAtOwnSize(QWidget* window)
{
    if (!window) return;
    const bool onXWayland = QGuiApplication::platformName() == QLatin1String("xcb") &&
                            !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (!nativeWayland() && !onXWayland) return;
    if (window->minimumSize() == window->maximumSize()) return;
    window->setFixedSize(window->size());
}

void prepareMenuWithoutParent(QWidget* menu)
{
    if (!menu || !nativeWayland()) return;
    if (!menu->windowFlags().testFlag(Qt::FramelessWindowHint)) menu->setWindowFlag(Qt::FramelessWindowHint, true);
    menu->setFixedSize(menu->sizeHint());
}
