#include "platform/WindowOwner.h"

#include <QGuiApplication>
#include <QWindow>
#include <xcb/xcb.h>

void TellWindowOwner(QWindow& window, const QWindow& owner)
{
    // Other platforms may offer an X connection of their own (offscreen does,
    // for its GL), where the windows are none of its windows.
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection() || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    // On Qt's own connection, so that it reaches the window manager after the
    // window's mapping and before a raise that follows.
    const auto ownerId = xcb_window_t(owner.winId());
    xcb_change_property(x11->connection(), XCB_PROP_MODE_REPLACE, xcb_window_t(window.winId()),
                        XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1, &ownerId);
    xcb_flush(x11->connection());
}
