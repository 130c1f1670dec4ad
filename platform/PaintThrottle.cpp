#include "platform/PaintThrottle.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

PaintThrottle::PaintThrottle(QWidget* window) : QObject(window), m_window(window)
{
    m_held.setSingleShot(true);
    m_held.setTimerType(Qt::PreciseTimer);
    connect(&m_held, &QTimer::timeout, this, [this] { paintNow(); });
    window->installEventFilter(this);
}

bool PaintThrottle::eventFilter(QObject* watched, QEvent* event)
{
    // An update request makes the window paint everything marked for it
    // since the last one; the marks stay until a request gets through.
    if (watched != m_window || event->type() != QEvent::UpdateRequest || m_passing)
        return false;
    if (!m_lastPaint.isValid() || m_lastPaint.elapsed() >= PeriodMs) {
        m_lastPaint.start();
        return false;
    }
    if (!m_held.isActive())
        m_held.start(int(std::max<qint64>(1, PeriodMs - m_lastPaint.elapsed())));
    return true;
}

void PaintThrottle::paintNow()
{
    m_lastPaint.start();
    QEvent request(QEvent::UpdateRequest);
    m_passing = true;
    QCoreApplication::sendEvent(m_window, &request);
    m_passing = false;
}
