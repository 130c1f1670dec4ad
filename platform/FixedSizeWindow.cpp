#include "platform/FixedSizeWindow.h"

#include <QWidget>

void SetFixedWindowSize(QWidget& window, const QSize& size)
{
    window.setFixedSize(size);
    // Without the hint a window manager draws no maximize button, or only a
    // disabled one where its title layout keeps the button's place.
    window.setWindowFlag(Qt::WindowMaximizeButtonHint, false);
}
