#include "platform/ActivationFilter.h"

#include "platform/TransientWindow.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace {

QWidget* widgetOf(QWindow* window)
{
    if (!window)
        return nullptr;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* widget : windows)
        if (widget->windowHandle() == window)
            return widget;
    return nullptr;
}

} // namespace

ActivationFilter::ActivationFilter(QWidget* form)
    : QObject(form)
    , m_form(form)
{
    form->installEventFilter(this);
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &ActivationFilter::focusWindowChanged);
}

bool ActivationFilter::eventFilter(QObject* watched, QEvent* event)
{
    // The first showing counts whether or not a window manager activates the form.
    if (watched == m_form && event->type() == QEvent::Show && !m_shown) {
        m_shown = true;
        Q_EMIT Activated();
    }
    return false;
}

void ActivationFilter::focusWindowChanged(QWindow* window)
{
    if (!m_shown || !window)
        return; // leaving for another program: a return from there is no activation
    QWidget* widget = widgetOf(window);
    if (!widget || IsTransientWindow(widget))
        return;
    if (widget != m_form) {
        m_left = true;
        return;
    }
    if (m_left) {
        m_left = false;
        Q_EMIT Activated();
    }
}
