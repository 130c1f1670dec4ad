#include "platform/PopupMenu.h"

#include "platform/Twips.h"

#include <QMenu>
#include <QWidget>

void PopupMenuAt(QMenu& menu, const QWidget& widget, int xTwips, int yTwips, const QWidget* button)
{
    QPoint at = widget.mapToGlobal(QPoint(TwipsToPixels(xTwips), TwipsToPixels(yTwips)));
    // The toolbars here are taller than the old ones: the points given for
    // their menus fall on the buttons.
    if (button) {
        const QRect pressed(button->mapToGlobal(QPoint(0, 0)), button->size());
        if (QRect(at, menu.sizeHint()).intersects(pressed))
            at.setY(pressed.bottom() + 1);
    }
    menu.popup(at);
}
