#include "platform/PopupMenu.h"

#include "platform/Twips.h"

#include <QMenu>
#include <QWidget>

void PopupMenuAt(QMenu& menu, const QWidget& widget, int xTwips, int yTwips)
{
    menu.popup(widget.mapToGlobal(QPoint(TwipsToPixels(xTwips), TwipsToPixels(yTwips))));
}
