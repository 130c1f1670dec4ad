#include "platform/TransientWindow.h"

#include <QInputDialog>
#include <QMessageBox>

bool IsTransientWindow(const QWidget* window)
{
    if (!window)
        return false;
    const Qt::WindowType type = window->windowType();
    return type == Qt::Popup || type == Qt::ToolTip || qobject_cast<const QMessageBox*>(window)
        || qobject_cast<const QInputDialog*>(window);
}
