#include "console/CoalescedRefresh.h"

#include <algorithm>

CoalescedRefresh::CoalescedRefresh(std::function<void()> work) : m_work(std::move(work))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.callOnTimeout([this] {
        QElapsedTimer cost;
        cost.start();
        if (m_work)
            m_work();
        m_lastCostMs = cost.elapsed();
    });
}

void CoalescedRefresh::Request()
{
    if (m_timer.isActive())
        return;
    qint64 wait = 0;
    if (m_lastRun.isValid()) {
        const qint64 gap = std::max<qint64>(PeriodMs, m_lastCostMs * (CostShare - 1));
        wait = std::max<qint64>(0, gap - m_lastRun.elapsed());
    }
    m_timer.start(int(wait));
}

void CoalescedRefresh::Done()
{
    m_timer.stop();
    m_lastRun.start();
}
