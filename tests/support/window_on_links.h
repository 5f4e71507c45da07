#pragma once

#include "app/form1.h"
#include "platform/posix/posix_regular_files.h"
#include "tests/support/call_log.h"
#include "tests/support/fake_message_box.h"
#include "tests/support/fake_slink_control.h"
#include "tests/support/fake_telephony_control.h"

#include <QListWidget>

#include <array>
#include <functional>
#include <memory>

namespace velmor::test {

// The main window as the program builds it, with four DDE links of the kind a test makes, the real
// files, and fakes for the jukebox, the telephone and the message box that all write into one log.
// `adjust` may change the parts (another control, an observer) before the window is made from them.
template <typename Link> class WindowOnLinks {
public:
    template <typename MakeLink>
    explicit WindowOnLinks(MakeLink makeLink, const std::function<void(Form1Parts&)>& adjust = {}) {
        Form1Parts parts;
        parts.ddeLinks.forEach([&](HvLabel label, std::unique_ptr<DdeLink>& slot) {
            std::unique_ptr<Link> made = makeLink();
            links[label] = made.get();
            slot = std::move(made);
        });
        parts.slinkx.reset(slinkx = new FakeSlinkControl(log));
        parts.callSoft1.reset(callSoft1 = new FakeTelephonyControl(log));
        parts.messageBox = std::make_unique<FakeMessageBox>(log);
        parts.files = std::make_unique<PosixRegularFiles>();
        if (adjust)
            adjust(parts);
        form = std::make_unique<Form1>(std::move(parts));
    }

    [[nodiscard]] qint16 open() { return form->ddeConversation().Open_DDE_Link(); }
    [[nodiscard]] qint16 send(const QString& command) {
        return form->ddeConversation().Send_DDE_Command(command);
    }
    // What lstMessage shows, in order.
    [[nodiscard]] QStringList messageLog() const {
        QStringList entries;
        const auto* list = form->template findChild<QListWidget*>(QStringLiteral("lstMessage"));
        for (int i = 0; i < list->count(); ++i)
            entries << list->item(i)->text();
        return entries;
    }
    [[nodiscard]] std::array<int, 4> modes() const {
        return {links.DDECommand->mode(), links.DDECommandAcknowledge->mode(), links.DDEMessage->mode(),
                links.DDEMessageAcknowledge->mode()};
    }

    CallLog log;
    DdeLinks<Link*> links;
    // The fakes, as long as `adjust` left them in place.
    FakeSlinkControl* slinkx = nullptr;
    FakeTelephonyControl* callSoft1 = nullptr;
    std::unique_ptr<Form1> form;
};

} // namespace velmor::test
