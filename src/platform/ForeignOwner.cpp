// A foreign window as a dialog's owner, found through the X server.
#include "platform/ForeignOwner.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

namespace {

// xcb's replies are the caller's to free.
template <typename Reply>
struct XcbReply {
    Reply* reply;
    ~XcbReply() { std::free(reply); }
};

std::string Hex(unsigned long long id)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", id);
    return text;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    const XcbReply<xcb_intern_atom_reply_t> atom{xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, static_cast<uint16_t>(std::strlen(name)), name), nullptr)};
    return atom.reply ? atom.reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

bool HasProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property)
{
    const XcbReply<xcb_get_property_reply_t> reply{xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, XCB_ATOM_ANY, 0, 0), nullptr)};
    return reply.reply && reply.reply->type != XCB_ATOM_NONE;
}

// The host's top-level window that `window` is (or lies in): the nearest
// one the window manager manages (it has WM_STATE). A window that is in no
// managed one stands for itself. 0 when the display has no such window.
xcb_window_t TopLevelOf(xcb_connection_t* connection, xcb_window_t window)
{
    const xcb_atom_t wmState = Atom(connection, "WM_STATE");
    xcb_window_t at = window;
    // A tree deeper than this is no tree a toolkit makes.
    for (int depth = 0; depth < 64; ++depth) {
        const XcbReply<xcb_query_tree_reply_t> tree{
            xcb_query_tree_reply(connection, xcb_query_tree(connection, at), nullptr)};
        if (!tree.reply)
            return depth == 0 ? 0 : window;

        if (wmState != XCB_ATOM_NONE && HasProperty(connection, at, wmState))
            return at;
        if (tree.reply->parent == tree.reply->root || tree.reply->parent == XCB_WINDOW_NONE)
            return window;
        at = tree.reply->parent;
    }
    return window;
}

}  // namespace

ForeignOwner::ForeignOwner(unsigned long long windowId) : m_windowId(windowId) {}

ForeignOwner::~ForeignOwner() = default;

bool ForeignOwner::Own(QWidget* dialog, std::string& problem)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) {
        problem = "a window of another program can own the chooser on X11 only, not on " +
                  QGuiApplication::platformName().toStdString();
        return false;
    }
    if (m_windowId == 0 || m_windowId > 0xFFFFFFFFull) {
        problem = "no window " + Hex(m_windowId) + " on this display";
        return false;
    }
    const xcb_window_t topLevel = TopLevelOf(x11->connection(), static_cast<xcb_window_t>(m_windowId));
    if (topLevel == 0) {
        problem = "no window " + Hex(m_windowId) + " on this display";
        return false;
    }
    // A dialog transient for the root window is the whole screen's.
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(x11->connection()));
    for (xcb_screen_iterator_t screen = screens; screen.rem; xcb_screen_next(&screen)) {
        if (screen.data->root == topLevel) {
            problem = Hex(m_windowId) + " is the root window, no program's window";
            return false;
        }
    }
    // Qt never destroys a foreign window: this one only names the host's.
    m_window.reset(QWindow::fromWinId(topLevel));
    if (!m_window) {
        problem = "Qt cannot use the window " + Hex(m_windowId);
        return false;
    }
    dialog->setAttribute(Qt::WA_NativeWindow);
    dialog->winId();
    dialog->windowHandle()->setTransientParent(m_window.get());
    return true;
}
