#include "tests/integration/mpd/mpd_jukebox_fixture.h"

#include "tools/music_library/music_library_writer.h"

#include <QDir>
#include <QTest>

namespace velmor::test {

namespace {

constexpr int ReportTimeoutMs = 15'000;

std::optional<QString> writeLongTagTracks(const QString& folder) {
    const QDir album(QDir(folder).filePath(QStringLiteral("long-tags/noise-floor")));
    if (!album.mkpath(QStringLiteral(".")))
        return QStringLiteral("cannot make %1").arg(album.path());
    const auto track = [](const char* title, int number) {
        return tools::CatalogueTrack{{},
                                     QString::fromUtf8(LongTagsArtist),
                                     QStringLiteral("Noise Floor"),
                                     QString::fromUtf8(title),
                                     QStringLiteral("Noise"),
                                     number,
                                     0,
                                     440};
    };
    tools::CatalogueTrack longTitle = track("", 2);
    longTitle.title = QString(10'000, QLatin1Char('x'));
    const struct {
        const char* file;
        tools::CatalogueTrack track;
        double seconds;
        QStringList moreTags;
    } tracks[] = {
        {"01-liner-notes.flac",
         track("Liner Notes", 1),
         2,
         {QStringLiteral("COMMENT=") + QString(100'000, QLatin1Char('c'))}},
        {"02-long-title.flac", longTitle, 2, {}},
        {"03-plain-again.flac", track("Plain Again", 3), 3, {}},
    };
    for (const auto& t : tracks) {
        if (const auto failure = tools::writeMusicTrack(album.filePath(QString::fromUtf8(t.file)), t.track,
                                                        t.seconds, t.moreTags))
            return QStringLiteral("%1: %2").arg(QString::fromUtf8(t.file), *failure);
    }
    return std::nullopt;
}

} // namespace

void MpdJukebox::SetUpTestSuite() {
    s_music = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(s_music->isValid());
    const std::optional<QString> failure = tools::writeMusicLibrary(s_music->path(), 1.0);
    ASSERT_FALSE(failure) << failure->toStdString();
    const std::optional<QString> longTagsFailure = writeLongTagTracks(s_music->path());
    ASSERT_FALSE(longTagsFailure) << longTagsFailure->toStdString();
    s_mpd = std::make_unique<ThrowawayMpd>(s_music->path());
    ASSERT_TRUE(s_mpd->start()) << s_mpd->failure().toStdString();
    qputenv("MPD_HOST", s_mpd->socketPath().toUtf8());
    qunsetenv("MPD_PORT");
}

void MpdJukebox::TearDownTestSuite() {
    s_mpd.reset();
    s_music.reset();
}

void MpdJukebox::SetUp() {
    ASSERT_TRUE(s_mpd) << "the suite's MPD was never set up";
    // A case that stopped MPD and failed half-way leaves it stopped.
    if (!s_mpd->isRunning()) {
        ASSERT_TRUE(s_mpd->start()) << s_mpd->failure().toStdString();
    }
    probe().reset();
    m_control = makeControl();
    ASSERT_TRUE(waitForReport("cdj:using_player[mp3]"));
    m_reports.clear();
}

void MpdJukebox::TearDown() {
    m_control.reset();
}

std::unique_ptr<MpdSlinkControl> MpdJukebox::makeControl() {
    auto control = std::make_unique<MpdSlinkControl>();
    QObject::connect(control.get(), &SlinkControl::SlinkReceived,
                     [this](const QString& source, const QString& message) {
                         m_reports.push_back((source + QLatin1Char(':') + message).toStdString());
                     });
    EXPECT_EQ(control->SlinkDefinePort(QStringLiteral("cdj"), QStringLiteral("type=devtx"), 1, 1, 0), 0);
    EXPECT_EQ(control->SlinkDefinePort(QStringLiteral("cdjr"), QStringLiteral("type=devrx"), 1, 1, 0), 0);
    EXPECT_EQ(control->SlinkStart(), 0);
    EXPECT_EQ(control->SlinkLoadDevice(QStringLiteral("cdsls"), QStringLiteral("no such file.cde"), 1, 1, 1),
              0);
    return control;
}

std::vector<std::string> MpdJukebox::reportsStartingWith(const std::string& prefix) const {
    std::vector<std::string> matching;
    for (const std::string& report : m_reports) {
        if (report.starts_with(prefix))
            matching.push_back(report);
    }
    return matching;
}

bool MpdJukebox::waitForReport(const std::string& report) {
    return QTest::qWaitFor(
        [&] { return std::find(m_reports.begin(), m_reports.end(), report) != m_reports.end(); },
        ReportTimeoutMs);
}

bool MpdJukebox::waitForReportStartingWith(const std::string& prefix) {
    return QTest::qWaitFor([&] { return !reportsStartingWith(prefix).empty(); }, ReportTimeoutMs);
}

bool MpdJukebox::waitForSignal(QSignalSpy& spy) {
    return !spy.isEmpty() || spy.wait(ReportTimeoutMs);
}

qsizetype MpdJukebox::connectionsOpened() {
    // At "info" MPD logs "client: [N] opened from ..." for each one.
    return s_mpd->log().count(QStringLiteral("] opened from"));
}

std::vector<std::string> catalogueEntries(CatalogueTag tag, const QString& value) {
    std::vector<std::string> entries;
    for (const tools::CatalogueTrack& track : tools::musicCatalogue()) {
        const QString& tagged = tag == CatalogueTag::Artist  ? track.artist
                                : tag == CatalogueTag::Album ? track.album
                                : tag == CatalogueTag::Title ? track.title
                                                             : track.genre;
        if (tagged == value)
            entries.push_back((track.artist + QLatin1Char('|') + track.album + QLatin1Char('|') + track.title)
                                  .toStdString());
    }
    return entries;
}

} // namespace velmor::test
