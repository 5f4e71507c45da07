#pragma once

#include "hvlink/dde_link.h"
#include "hvlink/dde_links.h"
#include "hvlink/hv_window.h"
#include "jukebox/now_playing_observer.h"
#include "jukebox/regular_files.h"
#include "jukebox/slink_control.h"
#include "telephony/call_observer.h"
#include "telephony/telephony_control.h"

#include <memory>

namespace velmor {

// The outside parties the window hosts. The program hands in the real ones, tests hand in fakes.
struct Form1Parts {
    // One DDE client per DDE label.
    DdeLinks<std::unique_ptr<DdeLink>> ddeLinks;
    std::unique_ptr<SlinkControl> slinkx;
    std::unique_ptr<TelephonyControl> callSoft1;
    std::unique_ptr<MessageBox> messageBox;
    // Where the now-playing file is written.
    std::unique_ptr<RegularFiles> files;
    // Told what the window reports, when someone outside wants to hear it; not owned, and must
    // outlive the window.
    NowPlayingObserver* nowPlayingObserver = nullptr;
    CallObserver* callObserver = nullptr;
};

} // namespace velmor
