#include "platform/x11_root_wallpaper.h"

#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace {

struct Free {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, Free>;

struct Connection {
    xcb_connection_t* c = nullptr;
    ~Connection()
    {
        if (c) xcb_disconnect(c);
    }
};

xcb_atom_t internAtom(xcb_connection_t* c, const char* name)
{
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

xcb_pixmap_t pixmapProperty(xcb_connection_t* c, xcb_window_t root, xcb_atom_t atom)
{
    Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, root, atom, XCB_ATOM_PIXMAP, 0, 1), nullptr));
    if (!reply || reply->type != XCB_ATOM_PIXMAP || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return XCB_NONE;
    xcb_pixmap_t pixmap;
    std::memcpy(&pixmap, xcb_get_property_value(reply.get()), sizeof pixmap);
    return pixmap;
}

// A pixmap that both properties name was left by a setter that kept its client's resources
// alive after closing (as we do); killing that client frees it. One named by _XROOTPMAP_ID
// alone belongs to a running program and is not ours to free.
void releaseOldPixmap(xcb_connection_t* c, xcb_window_t root, xcb_atom_t rootPmap, xcb_atom_t esetroot)
{
    const xcb_pixmap_t old = pixmapProperty(c, root, rootPmap);
    if (old == XCB_NONE || old != pixmapProperty(c, root, esetroot)) return;
    // The client may be gone already; that error is expected and dropped.
    std::free(xcb_request_check(c, xcb_kill_client_checked(c, old)));
}

xcb_screen_t* screenOf(xcb_connection_t* c, int number)
{
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; it.rem && i < number; ++i) xcb_screen_next(&it);
    return it.rem ? it.data : nullptr;
}

// The QImage format whose bytes are the server's pixels for the root window's depth, if any.
QImage::Format pixelFormatFor(xcb_connection_t* c, const xcb_screen_t* screen)
{
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return QImage::Format_Invalid;
    int bitsPerPixel = 0;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == screen->root_depth) bitsPerPixel = f.data->bits_per_pixel;
    const xcb_visualtype_t* visual = nullptr;
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem && !visual; xcb_depth_next(&d))
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
            if (v.data->visual_id == screen->root_visual) {
                visual = v.data;
                break;
            }
    if (!visual) return QImage::Format_Invalid;
    if (bitsPerPixel == 32 && visual->red_mask == 0xff0000 && visual->green_mask == 0xff00 && visual->blue_mask == 0xff)
        return QImage::Format_RGB32;
    if (bitsPerPixel == 16 && visual->red_mask == 0xf800 && visual->green_mask == 0x7e0 && visual->blue_mask == 0x1f)
        return QImage::Format_RGB16;
    return QImage::Format_Invalid;
}

// The picture scaled to cover width x height, its middle cut out. A JPEG is decoded at a
// reduced size straight away, which makes a large photo several times cheaper.
QImage coverImage(const QString& path, int width, int height)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QSize source = reader.size();
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    if (source.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize)) {
        if (turned) source.transpose();
        const double scale = std::max(double(width) / source.width(), double(height) / source.height());
        if (scale < 1.0) {
            QSize scaled(std::max(width, int(std::ceil(source.width() * scale))),
                         std::max(height, int(std::ceil(source.height() * scale))));
            if (turned) scaled.transpose();
            reader.setScaledSize(scaled);
        }
    }
    QImage image = reader.read();
    if (image.isNull()) return {};
    if (image.size() == QSize(width, height)) return image;
    image = image.scaled(width, height, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    return image.copy((image.width() - width) / 2, (image.height() - height) / 2, width, height);
}

// Waits until the server has handled everything sent; false when one of the requests failed.
bool settle(xcb_connection_t* c)
{
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    bool ok = !xcb_connection_has_error(c);
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
        if (event->response_type == 0) ok = false;
        std::free(event);
    }
    return ok;
}

}  // namespace

bool setX11RootWallpaper(const QString& display, const QString& path)
{
    Connection conn;
    int screenNumber = 0;
    const QByteArray name = display.toLocal8Bit();
    conn.c = xcb_connect(name.isEmpty() ? nullptr : name.constData(), &screenNumber);
    xcb_connection_t* c = conn.c;
    if (xcb_connection_has_error(c)) return false;
    xcb_screen_t* screen = screenOf(c, screenNumber);
    if (!screen) return false;
    const xcb_window_t root = screen->root;
    const int width = screen->width_in_pixels, height = screen->height_in_pixels;

    QImage image;
    if (!path.isEmpty()) {
        const QImage::Format format = pixelFormatFor(c, screen);
        if (format == QImage::Format_Invalid) return false;
        image = coverImage(path, width, height);
        if (image.isNull()) return false;
        image.convertTo(format);
    }

    const xcb_atom_t rootPmap = internAtom(c, "_XROOTPMAP_ID");
    const xcb_atom_t esetroot = internAtom(c, "ESETROOT_PMAP_ID");
    if (rootPmap == XCB_ATOM_NONE || esetroot == XCB_ATOM_NONE) return false;

    // No other setter may read or replace the properties halfway through.
    xcb_grab_server(c);
    releaseOldPixmap(c, root, rootPmap, esetroot);

    if (image.isNull()) {
        xcb_delete_property(c, root, rootPmap);
        xcb_delete_property(c, root, esetroot);
        const std::uint32_t black = screen->black_pixel;
        xcb_change_window_attributes(c, root, XCB_CW_BACK_PIXEL, &black);
        xcb_clear_area(c, 0, root, 0, 0, 0, 0);
        xcb_ungrab_server(c);
        return settle(c);
    }

    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    xcb_create_pixmap(c, screen->root_depth, pixmap, root, static_cast<std::uint16_t>(width),
                      static_cast<std::uint16_t>(height));
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, pixmap, 0, nullptr);
    // In bands that fit one request.
    const std::size_t stride = static_cast<std::size_t>(image.bytesPerLine());
    const std::size_t maxBytes = std::size_t(xcb_get_maximum_request_length(c)) * 4 - 64;
    const int band = std::max(1, static_cast<int>(std::min<std::size_t>(maxBytes, 4u << 20) / stride));
    for (int y = 0; y < height; y += band) {
        const int rows = std::min(band, height - y);
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, static_cast<std::uint16_t>(width),
                      static_cast<std::uint16_t>(rows), 0, static_cast<std::int16_t>(y), 0, screen->root_depth,
                      static_cast<std::uint32_t>(stride * rows), image.constScanLine(y));
    }
    xcb_free_gc(c, gc);

    xcb_change_window_attributes(c, root, XCB_CW_BACK_PIXMAP, &pixmap);
    xcb_clear_area(c, 0, root, 0, 0, 0, 0);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, rootPmap, XCB_ATOM_PIXMAP, 32, 1, &pixmap);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, esetroot, XCB_ATOM_PIXMAP, 32, 1, &pixmap);
    // The pixmap stays on the server after we disconnect, until the next setter kills it.
    xcb_set_close_down_mode(c, XCB_CLOSE_DOWN_RETAIN_PERMANENT);
    xcb_ungrab_server(c);
    return settle(c);
}
