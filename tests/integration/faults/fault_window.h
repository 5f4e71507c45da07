#pragma once

#include "app/form1.h"
#include "platform/mpd/mpd_slink_control.h"
#include "platform/ncid/ncid_telephony_control.h"
#include "tests/integration/faults/fault_peers.h"
#include "tests/support/call_log.h"
#include "tests/support/homevision_process.h"
#include "tests/support/run_until.h"

#include <QTemporaryDir>
#include <gmock/gmock.h>

#include <functional>
#include <memory>
#include <string>

namespace velmor::test {

// A catalogue track as the jukebox reports it when it starts playing.
struct Track {
    const char* title;
    const char* report; // the whole of Label1: "cdj:playing[...]"
};

inline constexpr Track Lanterns{"Lanterns",
                                R"r(cdj:playing["Harbour Lights","The Quiet Pines","Lanterns","00:09"])r"};
inline constexpr Track SaltRoad{"Salt Road",
                                R"r(cdj:playing["Harbour Lights","The Quiet Pines","Salt Road","00:18"])r"};
inline constexpr Track Overtime{"Overtime",
                                R"r(cdj:playing["Late Shift","Brass Foundry","Overtime","00:10"])r"};

// The window as the program builds it, with every real backend in place: DDE links over the private
// bus to the HomeVision stand-in, the jukebox control on the throwaway MPD, the caller-ID client on the
// NCID stand-in. Only the message box is a fake, so a case can see what it would have shown.
class FaultWindowTest : public ::testing::Test {
protected:
    static constexpr int WaitMs = 15'000;

    FaultWindowTest();
    ~FaultWindowTest() override;
    void SetUp() override;
    void TearDown() override;

    // Starts the HomeVision stand-in with these options, then the window's start-up, and waits until
    // the window is linked to all three parties.
    void startWindow(const QStringList& homeVisionOptions = {});

    [[nodiscard]] const Form1Controls& controls() const { return form->controls(); }
    // Runs the event loop until the condition holds; false when it did not within the time. Unlike
    // QTest::qWaitFor this never sleeps between events, so a flood of them is taken at full speed.
    [[nodiscard]] static bool waitUntil(const std::function<bool()>& condition, int timeoutMs = WaitMs) {
        return runUntil(condition, timeoutMs);
    }
    // Waits until Label1 shows this text; false when it did not in time.
    [[nodiscard]] bool waitForLabel1(const QString& text) const;
    // Has MPD play the track alone and waits until its report reaches Label1.
    [[nodiscard]] bool play(const Track& track) const;
    // The bytes of the now-playing file at the window's first path; empty when there is none.
    [[nodiscard]] QByteArray nowPlayingFile() const;
    // The now-playing file the window writes for a track, as it stands on disk.
    [[nodiscard]] static QByteArray fileFor(const char* disc, const char* artist, const char* title,
                                            const char* time);
    // Whether the event loop still turns: a timer queued now fires.
    [[nodiscard]] static bool eventLoopTurns();

    FaultPeers& peers;
    HomeVisionProcess homeVision;
    QTemporaryDir folder;
    QString nowPlayingPath;
    CallLog messageBoxes;
    MpdSlinkControl* slinkx = nullptr;
    NcidTelephonyControl* callSoft1 = nullptr;
    std::unique_ptr<Form1> form;
};

} // namespace velmor::test
