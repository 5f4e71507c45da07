// The cutter of "playing" reports: the working text is the message's tail with its parentheses turned
// into angle brackets, and whatever is cut from it lies in it between the "," separators.
#include "fuzz/fuzz_support.h"
#include "jukebox/report_cutter.h"

namespace {

using velmor::fuzz::require;

const QLatin1String Separator("\",\"");

bool isSeparatorAt(const QString& s, qsizetype position) {
    const qsizetype j = position - 1;
    return j >= 1 && j + 1 < s.size() && s[j] == QLatin1Char(',') && s[j - 1] == QLatin1Char('"') &&
           s[j + 1] == QLatin1Char('"');
}

// Character j of the working text came from character j of the message's tail, mapped.
bool isMappedTail(const QString& working, const QString& message) {
    const qsizetype from = message.indexOf(QLatin1Char('[')) + 1;
    if (working.size() != std::min(message.size() - from, std::max<qsizetype>(message.size() - 1, 0)))
        return false;
    for (qsizetype j = 0; j < working.size(); ++j) {
        const QChar original = message[from + j];
        QChar expected = original;
        if (j > 0 && original == QLatin1Char('('))
            expected = QLatin1Char('<');
        else if (j > 0 && original == QLatin1Char(')'))
            expected = QLatin1Char('>');
        if (working[j] != expected)
            return false;
    }
    return true;
}

void checkWorkingText(const QString& message) {
    const velmor::WorkingText working = velmor::workingTextOf(message);
    const QString& s = working.text;
    require(isMappedTail(s, message), "working text is the mapped tail of the message", message);

    // The separators are the first three commas standing between quotation marks, in order.
    qsizetype expectedCount = 0;
    qsizetype next = 0;
    for (qsizetype position = 2; position <= s.size() && expectedCount < 3; ++position) {
        if (!isSeparatorAt(s, position))
            continue;
        require(working.separators[next++] == position, "separator found in order", message);
        ++expectedCount;
    }
    for (auto i = static_cast<std::size_t>(expectedCount); i < working.separators.size(); ++i)
        require(working.separators[i] == 0, "missing separators read as 0", message);
}

void checkCut(const QString& message) {
    const velmor::ReportCut cut = velmor::cutPlayingReport(message);
    const QString s = velmor::workingTextOf(message).text;
    const QString body = s.mid(1);
    require(!cut.track || cut.artist, "a cut track has its artist", message);
    if (cut.track) {
        const velmor::TrackInfo& t = *cut.track;
        require(t.artist == *cut.artist, "the track's artist is the one cut", message);
        require(t.trackTime.size() <= 5, "track time has at most 5 characters", message);
        // The four fields stand in the working text from its second character, separated exactly once.
        const QString joined = t.discTitle + Separator + t.artist + Separator + t.trackTitle + Separator;
        require(body.startsWith(joined), "fields and separators spell the working text", message);
        require(body.mid(joined.size()).startsWith(t.trackTime), "track time follows the third separator",
                message);
        require(t.trackTime.size() == std::min<qsizetype>(5, body.size() - joined.size()),
                "track time takes up to 5 characters", message);
        for (const QString* f : {&t.discTitle, &t.artist, &t.trackTitle}) {
            require(!f->contains(Separator), "no field holds a separator", message);
            require(!f->contains(QLatin1Char('(')) && !f->contains(QLatin1Char(')')),
                    "no field holds a parenthesis", message);
        }
        require(!t.trackTime.contains(QLatin1Char('(')) && !t.trackTime.contains(QLatin1Char(')')),
                "the track time holds no parenthesis", message);
    } else if (cut.artist) {
        // Cut as far as the artist: the disc title and the artist stand before the second separator.
        const qsizetype at = body.indexOf(Separator);
        require(at >= 0 && body.mid(at + Separator.size()).startsWith(*cut.artist + Separator),
                "a lone artist stands between the first two separators", message);
        require(!cut.artist->contains(Separator), "the artist holds no separator", message);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString message = velmor::fuzz::textOf(velmor::fuzz::bytesOf(data, size));
    require(velmor::isPlayingReport(message) == message.startsWith(QLatin1String("playing")),
            "a playing report starts with playing", message);
    checkWorkingText(message);
    checkCut(message);
    return 0;
}
