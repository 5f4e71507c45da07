#include "windows/homevision/homevision_stand_in.h"

#include <cstdio>

namespace velmor::homevision {

namespace {

const std::string DDECommand = "DDECommand";
const std::string DDECommandAcknowledge = "DDECommandAcknowledge";
const std::string DDEMessage = "DDEMessage";
const std::string DDEMessageAcknowledge = "DDEMessageAcknowledge";

void note(const std::string& text) {
    std::fprintf(stderr, "velmor-homevision: %s\n", text.c_str());
    std::fflush(stderr);
}

} // namespace

HomeVisionStandIn::HomeVisionStandIn(const StandInOptions& options)
    : m_options(options)
    , m_transcript(options.json, stdout)
    , m_server(options.application, options.topic, options.refusedPokes, *this)
    , m_feed({[this](const std::string& message) {
                  m_server.setItem(DDEMessage, message);
                  m_ackTimer = SetTimer(nullptr, 0, static_cast<UINT>(m_options.ackTimeoutMs), nullptr);
              },
              [this](const std::string& message) {
                  note("no acknowledgement of \"" + message.substr(0, 80) + "\" within " +
                       std::to_string(m_options.ackTimeoutMs) + " ms; going on");
              },
              [this] { m_finished = true; }}) {}

void HomeVisionStandIn::run(InputMailbox& input) {
    m_server.serve();
    note("serving " + m_options.application + '|' + m_options.topic + " over DDE");
    MSG message;
    while ((!m_finished || m_options.keepServing) && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == InputMessage) {
            for (const InputLine& line : input.takeAll()) {
                if (line.ended)
                    m_feed.endOfInput();
                else
                    m_feed.add(line.text);
            }
        } else if (message.hwnd == nullptr && message.message == DdeTopicServer::AcceptPokesMessage) {
            m_server.acceptPokes();
        } else if (message.hwnd == nullptr && message.message == WM_TIMER && message.wParam == m_ackTimer) {
            stopAckTimer();
            m_feed.overdue();
        } else {
            DispatchMessageW(&message);
        }
    }
}

void HomeVisionStandIn::stopAckTimer() {
    if (m_ackTimer != 0)
        KillTimer(nullptr, m_ackTimer);
    m_ackTimer = 0;
}

void HomeVisionStandIn::received(const std::string& call, const std::string& item, const std::string& value) {
    m_transcript.received(call, item, value);
}

void HomeVisionStandIn::sent(const std::string& item, const std::string& value) {
    m_transcript.sent(item, value);
}

void HomeVisionStandIn::advised(const std::string& item) {
    if (item == DDEMessage)
        m_feed.clientListens();
}

void HomeVisionStandIn::poked(const std::string& item, const std::string& /*value*/) {
    if (item == DDECommand) {
        m_commandsAcknowledged = m_commandsAcknowledged % 2 + 1;
        m_server.setItem(DDECommandAcknowledge, m_commandsAcknowledged == 1 ? "OK 1" : "OK 2");
    } else if (item == DDEMessageAcknowledge) {
        stopAckTimer();
        m_feed.acknowledged();
    }
}

} // namespace velmor::homevision
