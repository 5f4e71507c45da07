// The whole message handler over a run of HomeVision messages, through a DDE conversation whose links
// only record (the fakes the tests use): the log, the jukebox sends, the acknowledgements and the release of
// parked commands.
//
// Byte 0: bit 0 makes every acknowledgement poke fail, bit 1 every command poke. Byte 1: how many
// entries the log already holds (0 to 51). Bytes 2 and 3: which of entries 1 to 10 are parked. Then
// NUL-separated pieces: the artist now playing, and each HomeVision message in turn.
#include "fuzz/fuzz_support.h"
#include "hvlink/dde_conversation.h"
#include "hvlink/dde_items.h"
#include "hvlink/message_handler.h"
#include "hvlink/message_text.h"
#include "tests/support/call_log.h"
#include "tests/support/fake_dde_link.h"
#include "tests/support/fake_message_box.h"
#include "tests/support/fake_slink_control.h"
#include "tests/support/fake_window.h"

namespace {

using velmor::fuzz::require;

constexpr qsizetype LogCap = 51;
constexpr std::size_t Header = 4;

// What followed a prefix in each entry of the log from the given one on ("SlinkSend X" gives "X").
QStringList valuesAfter(const velmor::test::CallLog& log, std::size_t from, const std::string& prefix) {
    QStringList values;
    for (std::size_t i = from; i < log.entries().size(); ++i)
        values.append(QString::fromStdString(log.entries()[i].substr(prefix.size())));
    return values;
}

// The texts as a fake's log keeps them: in UTF-8, where a lone surrogate becomes a replacement character.
QStringList asRecorded(const QStringList& texts) {
    QStringList recorded;
    for (const QString& text : texts)
        recorded.append(QString::fromStdString(text.toStdString()));
    return recorded;
}

// Each party records into a log of its own, so that a count of entries is a count of its calls.
struct Bench {
    velmor::test::CallLog commandPokes, ackPokes, sends, elsewhere;
    velmor::test::FakeWindow window;
    velmor::test::FakeMessageBox messageBox{elsewhere};
    velmor::test::FakeDdeLink command{commandPokes}, commandAck{elsewhere}, message{elsewhere},
        messageAck{ackPokes};
    velmor::DdeConversation conversation{window, messageBox, {&command, &commandAck, &message, &messageAck}};
    velmor::test::FakeSlinkControl slinkx{sends};
    velmor::PendingCommands pending;
    QString artist;
    velmor::MessageHandler handler{window, conversation, slinkx, pending, artist};
    QString lastAck = velmor::DdeDesignCaptions.DDEMessageAcknowledge;
};

const std::string CommandPoke = "DDECommand poke ";
const std::string AckPoke = "DDEMessageAcknowledge poke ";
const std::string Send = "SlinkSend ";

QStringList expectedSends(const QString& message, const QString& artist) {
    QStringList sends;
    if (const std::optional<QString> text = velmor::jukeboxTextOf(message))
        sends.append(*text);
    if (message.startsWith(QLatin1String("KRZ:PlayThisArtist")))
        sends += velmor::playArtistCommands(artist);
    return sends;
}

void receive(Bench& b, const QString& m) {
    const QString slotBefore = b.window.caption(velmor::HvLabel::DDEMessage);
    // Only the ends of the log are kept: copying it whole would cost more than the handling.
    const qsizetype logBefore = b.window.messageLog.size();
    const QString firstKept = b.window.messageLog.value(logBefore >= LogCap ? 1 : 0);
    const QString newestBefore = b.window.messageLog.value(logBefore - 1);
    const std::size_t acksBefore = b.ackPokes.entries().size();
    const std::size_t commandsBefore = b.commandPokes.entries().size();
    const std::size_t sendsBefore = b.sends.entries().size();
    const velmor::PendingCommands pendingBefore = b.pending;

    b.message.deliver(m);

    require(b.window.messageLog.size() <= LogCap, "the log never holds more than 51 entries", m);
    if (m == slotBefore || m == velmor::IdleMarker) {
        require(b.window.messageLog.size() == logBefore && b.ackPokes.entries().size() == acksBefore &&
                    b.commandPokes.entries().size() == commandsBefore &&
                    b.sends.entries().size() == sendsBefore && b.pending == pendingBefore,
                "an unchanged slot or the idle marker does nothing", m);
        return;
    }

    const QStringList& log = b.window.messageLog;
    require(log.size() == std::min(logBefore + 1, LogCap), "every message is logged", m);
    require(log.back() == m, "the newest entry is the message", m);
    require(logBefore == 0 || (log.front() == firstKept && log[log.size() - 2] == newestBefore),
            "only the oldest entry makes room", m);
    require(b.window.selectedEntry == b.window.messageLog.size() - 1, "the newest entry is selected", m);
    require(valuesAfter(b.sends, sendsBefore, Send) == asRecorded(expectedSends(m, b.artist)),
            "the jukebox gets what the message asks", m);
    require(b.window.caption(velmor::HvLabel::DDEMessage) == velmor::IdleMarker, "the slot is idle again", m);

    const QStringList acks = valuesAfter(b.ackPokes, acksBefore, AckPoke);
    require(acks.size() == 1, "exactly one acknowledgement per message", m);
    const QString ack = b.lastAck == velmor::FirstAcknowledgement ? velmor::SecondAcknowledgement
                                                                  : velmor::FirstAcknowledgement;
    require(acks.front() == ack, "acknowledgements alternate without a break", m);
    b.lastAck = ack;

    std::size_t lowest = 1;
    while (lowest < pendingBefore.size() && !velmor::isParked(pendingBefore[lowest]))
        ++lowest;
    velmor::PendingCommands released = pendingBefore;
    const QStringList commands = valuesAfter(b.commandPokes, commandsBefore, CommandPoke);
    if (lowest < released.size()) {
        require(commands == QStringList{pendingBefore[lowest]}, "the lowest parked command goes out", m);
        require(b.window.caption(velmor::HvLabel::Label5) == pendingBefore[lowest], "Label5 shows it", m);
        released[lowest].clear();
    } else {
        require(commands.isEmpty(), "nothing parked, nothing released", m);
    }
    require(b.pending == released, "only the released entry is emptied", m);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < Header)
        return 0;
    Bench b;
    if (data[0] & 1)
        b.messageAck.failPokeWith(286);
    if (data[0] & 2)
        b.command.failPokeWith(286);
    for (int i = 0; i < data[1] % (LogCap + 1); ++i)
        b.window.messageLog.append(QString::number(i));
    const unsigned parked = data[2] | data[3] << 8;
    for (std::size_t i = 1; i < b.pending.size(); ++i) {
        if (parked & (1u << (i - 1)))
            b.pending[i] = QStringLiteral(",P%1").arg(i);
    }
    QObject::connect(&b.conversation, &velmor::DdeConversation::DDEMessageChanged,
                     [&b] { b.handler.DDEMessage_Change(); });
    b.conversation.Open_DDE_Link();
    b.commandPokes.clear();
    b.ackPokes.clear();

    const QList<QByteArrayView> events =
        velmor::fuzz::eventsOf(velmor::fuzz::bytesOf(data + Header, size - Header));
    b.artist = velmor::fuzz::textOf(events.front());
    for (qsizetype i = 1; i < events.size(); ++i)
        receive(b, velmor::fuzz::textOf(events[i]));
    return 0;
}
