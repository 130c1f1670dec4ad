#include "engine/LoginThrottle.h"

#include "engine/FtpEnginePrivate.h"

#include <algorithm>
#include <cmath>

namespace {
// One connection's allowance of failures costs the shortest delay each; every
// failure beyond it doubles the delay up to the longest.
constexpr double Allowance = 3;
constexpr int ForgetPerCall = 2; // more than the one count each call adds
} // namespace

qint64 LoginThrottle::wait(const QHostAddress& peer, qint64 now) const
{
    const auto it = m_records.constFind(peer);
    return it == m_records.cend() ? 0 : std::max<qint64>(0, it->notBefore - now);
}

qint64 LoginThrottle::failed(const QHostAddress& peer, qint64 now, const FtpLimits& limits)
{
    if (limits.loginDelayMs <= 0)
        return 0;
    // Past this many failures the delay is the longest anyway; counting more
    // would only keep a shared address waiting long after the guessing stopped.
    const double ceiling = Allowance + std::log2(std::max(1.0, double(limits.loginDelayMaxMs) / limits.loginDelayMs));
    Record& r = m_records[peer];
    const double forgiven = limits.loginForgetMs > 0 ? double(now - r.counted) / limits.loginForgetMs : 0;
    r.failures = std::min(ceiling, std::max(0.0, r.failures - forgiven) + 1);
    r.counted = now;
    const double delay = limits.loginDelayMs * std::exp2(std::max(0.0, r.failures - Allowance));
    const qint64 ms = std::max<qint64>(limits.loginDelayMs, std::min<qint64>(limits.loginDelayMaxMs, std::llround(delay)));
    r.notBefore = std::max(r.notBefore, now + ms);
    m_counts.emplace_back(peer, now);
    if (limits.loginForgetMs > 0)
        forget(now, qint64(std::ceil(ceiling * limits.loginForgetMs)) + limits.loginDelayMaxMs);
    return ms;
}

// A record whose last count lies a horizon back is forgiven and answered, and
// goes; a count that a later one replaced only leaves the queue.
void LoginThrottle::forget(qint64 now, qint64 horizon)
{
    for (int i = 0; i < ForgetPerCall && !m_counts.empty() && m_counts.front().second + horizon <= now; ++i) {
        const auto& [peer, counted] = m_counts.front();
        const auto it = m_records.find(peer);
        if (it != m_records.end() && it->counted == counted)
            m_records.erase(it);
        m_counts.pop_front();
    }
}
