#pragma once

#include "hvlink/dde_link.h"
#include "tests/support/call_log.h"

#include <functional>
#include <optional>

namespace velmor::test {

// Records "<item> mode N" and "<item> poke VALUE"; fails a step with a chosen error number.
class FakeDdeLink : public DdeLink {
    Q_OBJECT
public:
    explicit FakeDdeLink(CallLog& log)
        : m_log(log) {}

    void setLinkTopic(const QString& topic) override;
    void setLinkItem(const QString& item) override;
    void setLinkMode(int mode) override;
    void poke(const QString& value) override;

    void failModeWith(int number) { m_modeFailure = number; }
    void failPokeWith(int number) { m_pokeFailure = number; }
    // HomeVision changes the item.
    void deliver(const QString& value) { Q_EMIT valueDelivered(value); }

    [[nodiscard]] const QString& topic() const { return m_topic; }
    [[nodiscard]] const QString& item() const { return m_item; }
    [[nodiscard]] int mode() const { return m_mode; }

    // A test may look at the world while the link is being set up.
    std::function<void(int)> onMode;

private:
    CallLog& m_log;
    QString m_topic;
    QString m_item;
    int m_mode = None;
    std::optional<int> m_modeFailure;
    std::optional<int> m_pokeFailure;
};

} // namespace velmor::test
