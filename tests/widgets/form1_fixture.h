#pragma once

#include "app/form1.h"
#include "platform/posix/posix_regular_files.h"
#include "tests/support/fake_dde_link.h"
#include "tests/support/fake_message_box.h"
#include "tests/support/fake_slink_control.h"
#include "tests/support/fake_telephony_control.h"

#include <gmock/gmock.h>

namespace velmor::test {

// A Form1 hosting fakes that all write into one call log.
class Form1Test : public ::testing::Test {
protected:
    Form1Test() {
        Form1Parts parts;
        parts.ddeLinks.forEach([this](HvLabel label, std::unique_ptr<DdeLink>& slot) {
            auto link = std::make_unique<FakeDdeLink>(log);
            links[label] = link.get();
            slot = std::move(link);
        });
        auto slink = std::make_unique<FakeSlinkControl>(log);
        slinkx = slink.get();
        parts.slinkx = std::move(slink);
        auto telephony = std::make_unique<FakeTelephonyControl>(log);
        callSoft1 = telephony.get();
        parts.callSoft1 = std::move(telephony);
        parts.messageBox = std::make_unique<FakeMessageBox>(log);
        parts.files = std::make_unique<PosixRegularFiles>();
        form = std::make_unique<Form1>(std::move(parts));
    }

    template <typename Control> Control* control(const char* name) const {
        auto* found = form->findChild<Control*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    CallLog log;
    DdeLinks<FakeDdeLink*> links;
    FakeSlinkControl* slinkx = nullptr;
    FakeTelephonyControl* callSoft1 = nullptr;
    std::unique_ptr<Form1> form;
};

} // namespace velmor::test
