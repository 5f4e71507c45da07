#pragma once

#include "core/error.h"

#include <optional>
#include <utility>

namespace velmor::test {

// The velmor::Error the call raises; nothing when it raises none.
template <typename Call> std::optional<Error> errorOf(Call&& call) {
    try {
        std::forward<Call>(call)();
    } catch (const Error& e) {
        return e;
    }
    return std::nullopt;
}

} // namespace velmor::test
