#include "platform/x11_tray_watch.h"

#include <QByteArray>
#include <QSocketNotifier>

#include <cstdlib>
#include <xcb/xcb.h>

namespace {
std::uint32_t internAtom(xcb_connection_t* c, const QByteArray& name)
{
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.constData()), nullptr);
    const std::uint32_t atom = r ? r->atom : 0;
    std::free(r);
    return atom;
}
}  // namespace

X11TrayWatch::X11TrayWatch(QObject* parent) : QObject(parent)
{
    int screenNumber = 0;
    m_connection = xcb_connect(nullptr, &screenNumber);
    if (!m_connection || xcb_connection_has_error(m_connection)) {
        if (m_connection) xcb_disconnect(m_connection);
        m_connection = nullptr;
        return;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
    if (!it.rem) return;
    m_root = it.data->root;
    m_selection = internAtom(m_connection, "_NET_SYSTEM_TRAY_S" + QByteArray::number(screenNumber));
    m_manager = internAtom(m_connection, "MANAGER");
    // This connection's own mask on the root: the toolkit's connection keeps its own.
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
    followOwner(queryOwner());
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11TrayWatch::readEvents);
}

X11TrayWatch::~X11TrayWatch()
{
    if (m_connection) xcb_disconnect(m_connection);
}

std::uint32_t X11TrayWatch::queryOwner()
{
    xcb_get_selection_owner_reply_t* r =
        xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, m_selection), nullptr);
    const std::uint32_t owner = r ? r->owner : 0;
    std::free(r);
    return owner;
}

void X11TrayWatch::followOwner(std::uint32_t owner)
{
    if (owner) {
        // Its destruction ends the tray. Asked for with a check: the owner may already be gone.
        const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_generic_error_t* error =
            xcb_request_check(m_connection, xcb_change_window_attributes_checked(m_connection, owner, XCB_CW_EVENT_MASK, &mask));
        if (error) {
            std::free(error);
            owner = queryOwner();
            if (owner) xcb_change_window_attributes(m_connection, owner, XCB_CW_EVENT_MASK, &mask);
        }
    }
    xcb_flush(m_connection);
    m_owner = owner;
}

void X11TrayWatch::readEvents()
{
    if (xcb_connection_has_error(m_connection)) {
        m_notifier->setEnabled(false);
        return;
    }
    const std::uint32_t before = m_owner;
    bool replaced = false;
    while (xcb_generic_event_t* e = xcb_poll_for_event(m_connection)) {
        switch (e->response_type & 0x7f) {
        case XCB_CLIENT_MESSAGE: {
            auto* m = reinterpret_cast<xcb_client_message_event_t*>(e);
            if (m->window == m_root && m->type == m_manager && m->format == 32 && m->data.data32[1] == m_selection) {
                followOwner(m->data.data32[2]);
                replaced = true;
            }
            break;
        }
        case XCB_DESTROY_NOTIFY: {
            auto* d = reinterpret_cast<xcb_destroy_notify_event_t*>(e);
            if (d->window == m_owner) followOwner(queryOwner());
            break;
        }
        default:
            break;
        }
        std::free(e);
    }
    if (m_owner != before || replaced) emit trayChanged(m_owner != 0);
}
