#include "platform/LostFocusFilter.h"

#include "platform/TransientWindow.h"

#include <QApplication>
#include <QFocusEvent>
#include <QWidget>

LostFocusFilter::LostFocusFilter(QWidget* control)
    : QObject(control)
{
    control->installEventFilter(this);
}

bool LostFocusFilter::eventFilter(QObject*, QEvent* event)
{
    if (event->type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::PopupFocusReason || QApplication::activePopupWidget())
        return false;
    // By the time the focus leaves, the window it goes to is already the active one.
    QWidget* now = QApplication::activeWindow();
    if (!now || IsTransientWindow(now))
        return false;
    Q_EMIT LostFocus();
    return false;
}
