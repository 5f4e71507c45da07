#pragma once

#include "hvlink/dde_items.h"

#include <QRect>

#include <string_view>

namespace velmor {

// One control of the window as the design lays it out: its place within its container, in twips, and
// its caption (none for a control that shows no text).
struct ControlDesign {
    const char* name;
    int left, top, width, height;
    const char* caption = nullptr;

    // The design was laid out in twips; at 96 dots per inch fifteen of them make a pixel.
    [[nodiscard]] constexpr QRect geometry() const { return {left / 15, top / 15, width / 15, height / 15}; }
};

// The window's design, kept once: the window creates its controls from it, in this order, and the
// tests hold the window to it.
inline constexpr ControlDesign Form1Design[] = {
    {"CallSoft1", 6360, 5760, 495, 255},
    {"Connect", 4680, 5760, 1335, 255, "Hangup"},
    {"Frame8", 120, 4680, 7335, 855, "CD Info Path"},
    {"CDInfo", 120, 360, 6135, 285, "h:\\progra~1\\homevi~1\\cdnow.txt"},
    {"Check1", 480, 2400, 2175, 495, "Display Track Info on TV"},
    {"Command1", 4200, 3960, 1575, 255, "Send Command"},
    {"Frame2", 120, 120, 7335, 2175, "HV DDE"},
    {"btnClearList", 3840, 240, 1095, 255, "Clear List"},
    {"lstMessage", 3840, 600, 3375, 1425},
    {"DDEMessageAcknowledge", 120, 1800, 2415, 255, DdeDesignCaptions.DDEMessageAcknowledge.data()},
    {"DDEMessage", 120, 1080, 3495, 735, DdeDesignCaptions.DDEMessage.data()},
    {"DDECommandAcknowledge", 120, 600, 2895, 255, DdeDesignCaptions.DDECommandAcknowledge.data()},
    {"DDECommand", 120, 360, 2895, 255, DdeDesignCaptions.DDECommand.data()},
    {"Frame1", 120, 2880, 7335, 1575, "CDJ Messages"},
    {"Text1", 120, 1080, 3735, 285, ""},
    {"Label2", 1320, 600, 5775, 255, ""},
    {"Label4", 120, 600, 1095, 255, "Last Sent:"},
    {"Label3", 120, 240, 1215, 255, "Last Recieved:"},
    {"Label1", 1320, 240, 5775, 255, ""},
    {"Label19", 120, 5640, 3015, 255, ""},
    {"Label5", 3000, 2520, 3495, 375, ""},
};

// The design of the named control; a name the design does not hold does not compile.
consteval const ControlDesign& designOf(std::string_view name) {
    for (const ControlDesign& design : Form1Design) {
        if (name == design.name)
            return design;
    }
    throw "the design holds no control of that name";
}

} // namespace velmor
