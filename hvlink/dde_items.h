#pragma once

#include "hvlink/dde_links.h"

#include <QLatin1String>

namespace velmor {

// HomeVision's side of the conversation, as the DDE link topic names it: "application|topic".
inline constexpr QLatin1String HomeVisionApplication("HOMEVIS");
inline constexpr QLatin1String HomeVisionTopic("DDE");
inline constexpr QLatin1String HomeVisionLinkTopic("HOMEVIS|DDE");

// The item each DDE label is linked to.
inline constexpr DdeLinks<QLatin1String> DdeItems{
    QLatin1String("DDECommand"),
    QLatin1String("DDECommandAcknowledge"),
    QLatin1String("DDEMessage"),
    QLatin1String("DDEMessageAcknowledge"),
};

// What the DDE labels show until something went over their links.
inline constexpr DdeLinks<QLatin1String> DdeDesignCaptions{
    QLatin1String("Command to send"),
    QLatin1String("None received"),
    QLatin1String("No message from HomeVision"),
    QLatin1String("None sent"),
};

// The two acknowledgements, taken in turn.
inline constexpr QLatin1String FirstAcknowledgement("OK 1");
inline constexpr QLatin1String SecondAcknowledgement("OK 2");

} // namespace velmor
