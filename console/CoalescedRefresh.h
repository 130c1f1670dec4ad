#pragma once
// A display refresh that many events may ask for: each request only marks the
// display stale, and the work runs once on a short timer, at most once per
// period, so a burst of FTP events costs the console one refresh rather than
// one per event. A refresh that takes long spaces the next ones further out,
// so the console never takes more than a fraction of the thread that also
// serves every session.
#include <QElapsedTimer>
#include <QTimer>
#include <functional>

class CoalescedRefresh {
public:
    // 40 ms: 25 refreshes a second, which a person cannot tell from instant.
    static constexpr int PeriodMs = 40;
    // The work may take at most a quarter of the time between two refreshes.
    static constexpr int CostShare = 4;

    explicit CoalescedRefresh(std::function<void()> work);

    // Marks the display stale; the work runs within the period (at once, on
    // the next pass of the event loop, when the last run is long enough ago).
    void Request();
    // Called by the work itself when it runs, also when run directly: what
    // was asked for is done.
    void Done();
    bool Pending() const { return m_timer.isActive(); }

private:
    std::function<void()> m_work;
    QTimer m_timer;
    QElapsedTimer m_lastRun;
    qint64 m_lastCostMs = 0;
};
