#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace velmor::test {

// One record of the calls every fake receives, in the order they arrive, so that a test can read the
// sequence across parties. Kept as std::string so gMock matchers print it readably.
class CallLog {
public:
    void add(const QString& entry) { m_entries.push_back(entry.toStdString()); }
    [[nodiscard]] const std::vector<std::string>& entries() const { return m_entries; }
    void clear() { m_entries.clear(); }

private:
    std::vector<std::string> m_entries;
};

} // namespace velmor::test
