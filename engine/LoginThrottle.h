#pragma once
// Slows password guessing down. A failed login is answered only after a delay
// that grows with its client address's recent failures, and the next login
// from that address is checked no earlier than that answer, so parallel
// connections guess no faster than one. Failures are forgotten one by one as
// time passes: a user who mistyped is soon served at once again. Times are
// milliseconds of one monotonic clock; the session asks and tells, and keeps
// its own timer.
#include <QHash>
#include <QHostAddress>

#include <deque>

struct FtpLimits;

class LoginThrottle {
public:
    // How long a login from this address must wait before it is checked; 0: at once.
    qint64 wait(const QHostAddress& peer, qint64 now) const;
    // Counts a failed login checked now; returns how long its answer waits.
    qint64 failed(const QHostAddress& peer, qint64 now, const FtpLimits& limits);

private:
    struct Record {
        double failures = 0; // recent ones, less what time has forgiven
        qint64 counted = 0;  // when the last one was counted
        qint64 notBefore = 0;
    };
    void forget(qint64 now, qint64 horizon);

    QHash<QHostAddress, Record> m_records;
    // Every count in time order, so that old records go a few at a time.
    std::deque<std::pair<QHostAddress, qint64>> m_counts;
};
