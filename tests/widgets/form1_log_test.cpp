#include "app/kept_frame.h"
#include "tests/widgets/form1_fixture.h"

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTest>

namespace velmor::test {
namespace {

QString message(int n) {
    return QStringLiteral("Hallway motion detected %1").arg(n);
}

// The log as it may stand: this many messages, one of them current, the log focused or not, and the
// newest message this much longer.
struct LogState {
    const char* name;
    int messages;
    int current;
    bool focused;
    int longer;
};

void PrintTo(const LogState& state, std::ostream* out) {
    *out << state.name;
}

class LogDrawingTest : public Form1Test, public ::testing::WithParamInterface<LogState> {
protected:
    QImage drawnWith(QAbstractItemDelegate& delegate) {
        MessageLogList& list = *form->controls().lstMessage;
        QAbstractItemDelegate* const own = list.itemDelegate();
        list.setItemDelegate(&delegate);
        list.doItemsLayout();
        QImage drawn = list.grab().toImage();
        list.setItemDelegate(own);
        return drawn;
    }
};

// The log draws its entries from what it kept of them; drawn afresh by the style, they look the same.
TEST_P(LogDrawingTest, KeptEntriesLookAsDrawnAfresh) {
    const LogState& state = GetParam();
    ASSERT_EQ(form->start(), 0);
    MessageLogList& list = *form->controls().lstMessage;
    for (int n = 0; n < state.messages; ++n)
        form->appendMessageLogEntry(message(n) + QString(n + 1 == state.messages ? state.longer : 0, u'x'));
    form->selectMessageLogEntry(state.current);
    state.focused ? list.setFocus() : form->controls().Text1->setFocus();
    list.grab();

    QAbstractItemDelegate& kept = *list.itemDelegate();
    QStyledItemDelegate afresh;
    EXPECT_TRUE(drawnWith(kept) == drawnWith(afresh));
}

INSTANTIATE_TEST_SUITE_P(States, LogDrawingTest,
                         ::testing::Values(LogState{"AFewTheNewestCurrent", 3, 2, true, 0},
                                           LogState{"FullScrolledToTheNewest", 51, 50, true, 0},
                                           LogState{"AnOlderOneCurrentUnfocused", 20, 4, false, 0},
                                           LogState{"WiderThanTheList", 30, 29, true, 40},
                                           LogState{"FarWiderThanTheList", 30, 29, true, 400}),
                         [](const auto& tested) { return std::string(tested.param.name); });

// Counts the paint events of a widget.
class Paints : public QObject {
public:
    explicit Paints(QWidget& widget) { widget.installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

TEST_F(Form1Test, MessagesStraightBehindEachOtherEndPaintedWithTheNewestInView) {
    ASSERT_EQ(form->start(), 0);
    MessageLogList& list = *form->controls().lstMessage;
    const Paints paints(*list.viewport());
    for (int n = 0; n < 60; ++n)
        links.DDEMessage->deliver(message(n));
    EXPECT_EQ(list.currentItem()->text(), message(59));

    ASSERT_TRUE(QTest::qWaitFor([&] { return paints.count > 0; }));
    EXPECT_TRUE(list.viewport()->rect().contains(list.visualItemRect(list.currentItem())));
}

// Behind captions that change, the window copies what it kept of its frames; drawn so, the captions
// and the frame behind them look as when the frame draws itself afresh.
TEST_F(Form1Test, FramesBehindChangedCaptionsLookAsDrawnAfresh) {
    ASSERT_EQ(form->start(), 0);
    const Paints paints(*form->controls().lstMessage->viewport());
    for (int n = 0; n < 8; ++n)
        links.DDEMessage->deliver(message(n));
    ASSERT_TRUE(QTest::qWaitFor([&] { return paints.count > 0; }));
    QRegion captions;
    for (const QLabel* caption : form->controls().Frame2->findChildren<QLabel*>())
        captions += caption->geometry().translated(form->controls().Frame2->pos());
    const auto drawn = [&] {
        QImage image(form->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        form->render(&image, QPoint(), captions);
        return image;
    };
    drawn();
    QCoreApplication::processEvents();
    const QImage kept = drawn();

    qDeleteAll(form->findChildren<KeptFrame*>());
    EXPECT_TRUE(drawn() == kept);
}

} // namespace
} // namespace velmor::test
