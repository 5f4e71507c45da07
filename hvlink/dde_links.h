#pragma once

#include "hvlink/hv_window.h"

#include <QtGlobal>

#include <type_traits>
#include <utility>

namespace velmor {

// One of something for each of the four DDE labels: a link, an item name, a link mode. Named members
// instead of positions, so nobody has to keep an order in step.
template <typename T> struct DdeLinks {
    T DDECommand{};
    T DDECommandAcknowledge{};
    T DDEMessage{};
    T DDEMessageAcknowledge{};

    // Calls visit(label, member) for each of the four, in the order the conversation opens them.
    template <typename Visit> void forEach(Visit&& visit) {
        visit(HvLabel::DDECommand, DDECommand);
        visit(HvLabel::DDECommandAcknowledge, DDECommandAcknowledge);
        visit(HvLabel::DDEMessage, DDEMessage);
        visit(HvLabel::DDEMessageAcknowledge, DDEMessageAcknowledge);
    }
    template <typename Visit> void forEach(Visit&& visit) const {
        visit(HvLabel::DDECommand, DDECommand);
        visit(HvLabel::DDECommandAcknowledge, DDECommandAcknowledge);
        visit(HvLabel::DDEMessage, DDEMessage);
        visit(HvLabel::DDEMessageAcknowledge, DDEMessageAcknowledge);
    }

    // The four results of f, one per member.
    template <typename F> [[nodiscard]] auto map(F&& f) const {
        using Result = std::decay_t<std::invoke_result_t<F&, const T&>>;
        return DdeLinks<Result>{f(DDECommand), f(DDECommandAcknowledge), f(DDEMessage),
                                f(DDEMessageAcknowledge)};
    }

    // The member for a DDE label; label is one of the four.
    [[nodiscard]] const T& operator[](HvLabel label) const {
        switch (label) {
        case HvLabel::DDECommand:
            return DDECommand;
        case HvLabel::DDECommandAcknowledge:
            return DDECommandAcknowledge;
        case HvLabel::DDEMessage:
            return DDEMessage;
        case HvLabel::DDEMessageAcknowledge:
            return DDEMessageAcknowledge;
        case HvLabel::Label2:
        case HvLabel::Label5:
            break;
        }
        Q_UNREACHABLE();
    }
    [[nodiscard]] T& operator[](HvLabel label) { return const_cast<T&>(std::as_const(*this)[label]); }
};

} // namespace velmor
