#pragma once

#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace tv::web {

// Whoever tries tokens one after another is stopped: after `limit` bad
// tokens within `window` from one address, every request from it gets a
// 429 for `ban`. Thread-safe.
class RateLimiter {
public:
    using Clock = std::chrono::steady_clock;

    explicit RateLimiter(int limit = 20, Clock::duration window = std::chrono::minutes(1),
                         Clock::duration ban = std::chrono::minutes(10));

    bool banned(const std::string &address, Clock::time_point now);
    void badToken(const std::string &address, Clock::time_point now);

private:
    struct Entry {
        std::deque<Clock::time_point> failures;
        Clock::time_point bannedUntil{};
    };
    void forgetOld(Clock::time_point now);

    const int m_limit;
    const Clock::duration m_window;
    const Clock::duration m_ban;
    std::mutex m_mutex;
    std::unordered_map<std::string, Entry> m_entries;
};

} // namespace tv::web
