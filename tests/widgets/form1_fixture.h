#pragma once

#include "tests/support/fake_dde_link.h"
#include "tests/support/window_on_links.h"

#include <gmock/gmock.h>

namespace velmor::test {

// A Form1 hosting fakes that all write into one call log.
class Form1Test : public ::testing::Test, public WindowOnLinks<FakeDdeLink> {
protected:
    Form1Test()
        : WindowOnLinks([this] { return std::make_unique<FakeDdeLink>(log); }) {}

    template <typename Control> Control* control(const char* name) const {
        auto* found = form->findChild<Control*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
};

} // namespace velmor::test
