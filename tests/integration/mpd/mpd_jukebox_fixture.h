#pragma once

#include "platform/mpd/mpd_slink_control.h"
#include "tests/support/mpd_probe.h"
#include "tests/support/throwaway_mpd.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace velmor::test {

// One throwaway MPD for the whole program, over the generated library with one-second tracks and the
// long-tag tracks below. Each case gets a fresh control, started and connected, on a stopped player
// with an empty queue.
class MpdJukebox : public testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    static ThrowawayMpd& mpd() { return *s_mpd; }
    static MpdProbe probe() { return MpdProbe(s_mpd->socketPath()); }

    // A control with the ports start-up defines, started.
    [[nodiscard]] std::unique_ptr<MpdSlinkControl> makeControl();
    qint32 send(const QString& command) { return m_control->SlinkSend(command); }

    // Every report so far, as "source:message".
    [[nodiscard]] const std::vector<std::string>& reports() const { return m_reports; }
    void clearReports() { m_reports.clear(); }
    [[nodiscard]] std::vector<std::string> reportsStartingWith(const std::string& prefix) const;
    // Waits, with a generous bound, until a report equal to this one ("source:message") arrives.
    [[nodiscard]] bool waitForReport(const std::string& report);
    [[nodiscard]] bool waitForReportStartingWith(const std::string& prefix);
    // How many client connections MPD has taken so far, the probe's included.
    [[nodiscard]] static qsizetype connectionsOpened();
    // Waits, with a generous bound, until the spy has caught its signal at least once.
    [[nodiscard]] static bool waitForSignal(QSignalSpy& spy);

    std::unique_ptr<MpdSlinkControl> m_control;

private:
    static inline std::unique_ptr<QTemporaryDir> s_music;
    static inline std::unique_ptr<ThrowawayMpd> s_mpd;
    std::vector<std::string> m_reports;
};

// Beside the catalogue, in this order on album "Noise Floor" by "Long Tags": "Liner Notes" (2 s) with a
// comment tag of 100,000 characters, a title of 10,000 "x" (2 s), and "Plain Again" (3 s). A line of
// either tag is past what libmpdclient reads in one piece.
inline constexpr char LongTagsArtist[] = "Long Tags";

// The catalogue's tracks as the probe lists them ("artist|album|title"), chosen by a tag's value.
enum class CatalogueTag { Artist, Album, Title, Genre };
[[nodiscard]] std::vector<std::string> catalogueEntries(CatalogueTag tag, const QString& value);

} // namespace velmor::test
