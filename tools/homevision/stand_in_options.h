#pragma once

#include "hvlink/dde_items.h"
#include "tools/homevision/dde_topic_server.h"
#include "tools/homevision/transcript.h"

#include <QString>
#include <QStringList>

namespace velmor::homevision {

struct StandInOptions {
    QString application = HomeVisionApplication;
    QString topic = HomeVisionTopic;
    // Messages to deliver, one per line; empty for standard input.
    QString scriptFile;
    Transcript::Format format = Transcript::Format::Text;
    int ackTimeoutMs = 10000;
    // Serve on after the last message instead of ending.
    bool keepServing = false;
    // Serve on this MQTT broker (mqtt://... as VELMOR_MQTT takes it) instead of the session bus.
    QString mqttBroker;
    DdeTopicServer::Quirks quirks;
};

struct ParsedOptions {
    enum class Outcome { Run, Help, Invalid };
    Outcome outcome = Outcome::Run;
    StandInOptions options;
    // The help text, or why the command line was not understood.
    QString message;
};

// arguments includes the program name, as QCoreApplication::arguments() gives it.
[[nodiscard]] ParsedOptions parseStandInOptions(const QStringList& arguments);

} // namespace velmor::homevision
