#pragma once

#include <cstdio>
#include <mutex>
#include <string>

namespace tv::web {

// One line per request: time, address, method, path with its token hidden,
// status, size and duration. To standard output (the system's journal under
// systemd) or appended to a file.
class AccessLog {
public:
    AccessLog() = default;
    ~AccessLog();
    AccessLog(const AccessLog &) = delete;
    AccessLog &operator=(const AccessLog &) = delete;

    // False when the file cannot be opened for appending.
    bool openFile(const std::string &path);
    void write(const std::string &address, const std::string &method, const std::string &path, int status,
               std::size_t bytes, double milliseconds);

private:
    std::mutex m_mutex;
    std::FILE *m_file = nullptr;
};

} // namespace tv::web
