#include "web/RateLimiter.h"

namespace tv::web {

namespace {
// Past this many addresses the table is swept of those with nothing recent,
// so that a scan from many addresses cannot fill the memory.
constexpr std::size_t kSweepAbove = 10000;
} // namespace

RateLimiter::RateLimiter(int limit, Clock::duration window, Clock::duration ban)
    : m_limit(limit)
    , m_window(window)
    , m_ban(ban)
{
}

bool RateLimiter::banned(const std::string &address, Clock::time_point now)
{
    const std::lock_guard lock(m_mutex);
    const auto it = m_entries.find(address);
    return it != m_entries.end() && now < it->second.bannedUntil;
}

void RateLimiter::badToken(const std::string &address, Clock::time_point now)
{
    const std::lock_guard lock(m_mutex);
    if (m_entries.size() > kSweepAbove)
        forgetOld(now);
    Entry &entry = m_entries[address];
    entry.failures.push_back(now);
    while (!entry.failures.empty() && entry.failures.front() <= now - m_window)
        entry.failures.pop_front();
    if (int(entry.failures.size()) >= m_limit) {
        entry.bannedUntil = now + m_ban;
        entry.failures.clear();
    }
}

void RateLimiter::forgetOld(Clock::time_point now)
{
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        const Entry &e = it->second;
        const bool recent = (!e.failures.empty() && e.failures.back() > now - m_window) || now < e.bannedUntil;
        it = recent ? std::next(it) : m_entries.erase(it);
    }
}

} // namespace tv::web
