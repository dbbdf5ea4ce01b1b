#include "web/AccessLog.h"

#include "web/WebRequest.h"

#include <QDateTime>

namespace tv::web {

AccessLog::~AccessLog()
{
    if (m_file)
        std::fclose(m_file);
}

bool AccessLog::openFile(const std::string &path)
{
    m_file = std::fopen(path.c_str(), "a");
    return m_file != nullptr;
}

void AccessLog::write(const std::string &address, const std::string &method, const std::string &path, int status,
                      std::size_t bytes, double milliseconds)
{
    const std::string when = QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toStdString();
    const std::string shownPath = pathForLog(path);
    // The method comes from the client: only its first letters, printable.
    std::string shownMethod;
    for (char c : method.substr(0, 10))
        shownMethod += (c >= 'A' && c <= 'Z') ? c : '?';
    const std::lock_guard lock(m_mutex);
    std::FILE *out = m_file ? m_file : stdout;
    std::fprintf(out, "%s %s %s %s %d %zu %.1fms\n", when.c_str(), address.c_str(), shownMethod.c_str(),
                 shownPath.c_str(), status, bytes, milliseconds);
    std::fflush(out);
}

} // namespace tv::web
