#include "tests/widgets/form1_fixture.h"

#include <QImage>
#include <QLabel>
#include <QListWidget>

namespace velmor::test {
namespace {

enum class Shown { Label1, DDEMessage, MessageLog };

struct BidiCase {
    const char* name;
    Shown where;
    const char16_t* value;
    const char16_t* drawnAs; // the same text without its explicit bidirectional controls
};

void PrintTo(const BidiCase& c, std::ostream* out) {
    *out << c.name;
}

class Form1BidiTest : public Form1Test, public ::testing::WithParamInterface<BidiCase> {
protected:
    // Shows the text where the case says and returns how that control looks then.
    QImage show(const QString& text) {
        QWidget* shownIn = nullptr;
        switch (GetParam().where) {
        case Shown::Label1:
            form->setLabel1Caption(text);
            shownIn = form->controls().Label1;
            break;
        case Shown::DDEMessage:
            form->setCaption(HvLabel::DDEMessage, text);
            shownIn = form->controls().DDEMessage;
            break;
        case Shown::MessageLog:
            form->controls().lstMessage->clear();
            form->appendMessageLogEntry(text);
            shownIn = form->controls().lstMessage;
            break;
        }
        return shownIn->grab().toImage();
    }

    // The value the window keeps for it.
    QString kept() const {
        switch (GetParam().where) {
        case Shown::Label1:
            return form->controls().Label1->text();
        case Shown::DDEMessage:
            return form->caption(HvLabel::DDEMessage);
        case Shown::MessageLog:
            return form->controls().lstMessage->item(0)->text();
        }
        return {};
    }
};

TEST_P(Form1BidiTest, ControlsInAValueCannotReorderWhatFollowsAndTheValueStaysExact) {
    const QString value = QString::fromUtf16(GetParam().value);
    const QImage drawnWithoutControls = show(QString::fromUtf16(GetParam().drawnAs));

    const QImage drawn = show(value);

    EXPECT_EQ(kept(), value);
    EXPECT_TRUE(drawn == drawnWithoutControls) << "the controls changed what the control shows";
}

INSTANTIATE_TEST_SUITE_P(Cases, Form1BidiTest,
                         ::testing::Values(BidiCase{"OverrideInATrackTitle", Shown::Label1,
                                                    u"cdj:playing[\"D\",\"A\",\"T\u202E\",\"00:03\"]",
                                                    u"cdj:playing[\"D\",\"A\",\"T\",\"00:03\"]"},
                                           BidiCase{"IsolateLeftOpenInAMessage", Shown::DDEMessage,
                                                    u"T\u2067\",\"00:03\"]", u"T\",\"00:03\"]"},
                                           BidiCase{"EmbeddingInALogEntry", Shown::MessageLog,
                                                    u"A\u202B\",\"00:03\"]\u202C.", u"A\",\"00:03\"]."}),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace velmor::test
