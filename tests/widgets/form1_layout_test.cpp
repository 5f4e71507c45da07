#include "tests/widgets/form1_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace velmor::test {
namespace {

struct ControlDesign {
    const char* name;
    const char* kind;
    const char* container;
    int left, top, width, height; // twips
    const char* caption;
};

// The design table, in the order the window creates its controls.
const ControlDesign Design[] = {
    {"CallSoft1", "QWidget", "Form1", 6360, 5760, 495, 255, nullptr},
    {"Connect", "QPushButton", "Form1", 4680, 5760, 1335, 255, "Hangup"},
    {"Frame8", "QGroupBox", "Form1", 120, 4680, 7335, 855, "CD Info Path"},
    {"CDInfo", "QLineEdit", "Frame8", 120, 360, 6135, 285, "h:\\progra~1\\homevi~1\\cdnow.txt"},
    {"Check1", "QCheckBox", "Form1", 480, 2400, 2175, 495, "Display Track Info on TV"},
    {"Command1", "QPushButton", "Form1", 4200, 3960, 1575, 255, "Send Command"},
    {"Frame2", "QGroupBox", "Form1", 120, 120, 7335, 2175, "HV DDE"},
    {"btnClearList", "QPushButton", "Frame2", 3840, 240, 1095, 255, "Clear List"},
    {"lstMessage", "QListWidget", "Frame2", 3840, 600, 3375, 1425, nullptr},
    {"DDEMessageAcknowledge", "QLabel", "Frame2", 120, 1800, 2415, 255, "None sent"},
    {"DDEMessage", "QLabel", "Frame2", 120, 1080, 3495, 735, "No message from HomeVision"},
    {"DDECommandAcknowledge", "QLabel", "Frame2", 120, 600, 2895, 255, "None received"},
    {"DDECommand", "QLabel", "Frame2", 120, 360, 2895, 255, "Command to send"},
    {"Frame1", "QGroupBox", "Form1", 120, 2880, 7335, 1575, "CDJ Messages"},
    {"Text1", "QLineEdit", "Frame1", 120, 1080, 3735, 285, ""},
    {"Label2", "QLabel", "Frame1", 1320, 600, 5775, 255, ""},
    {"Label4", "QLabel", "Frame1", 120, 600, 1095, 255, "Last Sent:"},
    {"Label3", "QLabel", "Frame1", 120, 240, 1215, 255, "Last Recieved:"},
    {"Label1", "QLabel", "Frame1", 1320, 240, 5775, 255, ""},
    {"Label19", "QLabel", "Form1", 120, 5640, 3015, 255, ""},
    {"Label5", "QLabel", "Form1", 3000, 2520, 3495, 375, ""},
};

QString captionOf(const QWidget& w) {
    if (auto* label = qobject_cast<const QLabel*>(&w))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(&w))
        return button->text();
    if (auto* box = qobject_cast<const QGroupBox*>(&w))
        return box->title();
    if (auto* edit = qobject_cast<const QLineEdit*>(&w))
        return edit->text();
    return {};
}

TEST_F(Form1Test, EveryControlHasItsDesignPlaceAndCaption) {
    for (const ControlDesign& d : Design) {
        SCOPED_TRACE(d.name);
        auto* w = control<QWidget>(d.name);
        ASSERT_NE(w, nullptr);
        EXPECT_STREQ(w->metaObject()->className(), d.kind);
        EXPECT_EQ(w->parentWidget()->objectName(), QLatin1String(d.container));
        EXPECT_EQ(w->geometry(), QRect(d.left / 15, d.top / 15, d.width / 15, d.height / 15));
        if (d.caption) {
            EXPECT_EQ(captionOf(*w), QString::fromUtf8(d.caption));
        }
    }
}

TEST_F(Form1Test, WindowHasItsTitleFixedClientAreaAndStartingState) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Velmor - Central Controls"));
    EXPECT_EQ(form->size(), QSize(507, 404));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_TRUE(control<QCheckBox>("Check1")->isChecked());
    EXPECT_EQ(control<QListWidget>("lstMessage")->count(), 0);
    EXPECT_FALSE(form->windowIcon().isNull());
    EXPECT_EQ(form->windowIcon().availableSizes(), (QList<QSize>{QSize(32, 32), QSize(16, 16)}));
}

TEST_F(Form1Test, OnlyTheDdeLabelsAreBold) {
    const QSet<QString> bold{QStringLiteral("DDECommand"), QStringLiteral("DDECommandAcknowledge"),
                             QStringLiteral("DDEMessage"), QStringLiteral("DDEMessageAcknowledge")};
    for (const QLabel* label : form->findChildren<QLabel*>())
        EXPECT_EQ(label->font().bold(), bold.contains(label->objectName()))
            << label->objectName().toStdString();
}

TEST_F(Form1Test, FocusStartsOnTheLogAndTabsThroughTheDesignOrder) {
    form->show();
    QApplication::setActiveWindow(form.get());
    EXPECT_EQ(QApplication::focusWidget(), control<QWidget>("lstMessage"));

    QStringList order;
    QWidget* w = control<QWidget>("lstMessage");
    do {
        if (w->focusPolicy() & Qt::TabFocus)
            order << w->objectName();
        w = w->nextInFocusChain();
    } while (w != control<QWidget>("lstMessage"));
    EXPECT_EQ(order,
              (QStringList{QStringLiteral("lstMessage"), QStringLiteral("btnClearList"),
                           QStringLiteral("Command1"), QStringLiteral("Text1"), QStringLiteral("Check1"),
                           QStringLiteral("CDInfo"), QStringLiteral("Connect")}));
}

TEST_F(Form1Test, HostedControlsGetTheirStoredSettingsUnchanged) {
    EXPECT_EQ(slinkx->storedSettings().toHex(' '),
              QByteArray("00 00 01 00 c2 01 00 00 c2 01 00 00 00 00 00 00"));
    const QByteArray& stream = callSoft1->storedSettings();
    EXPECT_EQ(stream.size(), 267);
    EXPECT_TRUE(stream.startsWith("TPF0\x09TCallSoft\x08"
                                  "CallSoft"));
    EXPECT_TRUE(stream.contains("\x09"
                                "Font.Name\x06\x0DMS Sans Serif"));
    EXPECT_TRUE(stream.endsWith(QByteArray("TextHeight\x02\x0D\x00\x00", 14)));
}

} // namespace
} // namespace velmor::test
