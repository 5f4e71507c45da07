#include "app/form1_design.h"
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

TEST_F(Form1Test, EveryControlShowsItsDesignPlaceAndCaption) {
    for (const ControlDesign& design : Form1Design) {
        SCOPED_TRACE(design.name);
        auto* w = control<QWidget>(design.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), design.geometry());
        if (design.caption != nullptr) {
            EXPECT_EQ(captionOf(*w), QString::fromUtf8(design.caption));
        }
    }
}

// Each control can be seen whole: inside its container, and over no other control. Neighbours may
// share an edge, one pixel wide (the design puts many a control 15 twips into the next); the only true
// overlap is the Send Command button, raised over the CDJ frame.
TEST_F(Form1Test, EveryControlLiesInsideItsContainerAndOverlapsNoOther) {
    std::vector<QWidget*> controls;
    for (const ControlDesign& design : Form1Design)
        controls.push_back(control<QWidget>(design.name));
    for (QWidget* w : controls) {
        EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry())) << w->objectName().toStdString();
        for (QWidget* other : controls) {
            const QRect shared = w->geometry().intersected(other->geometry());
            if (other == w || other->parentWidget() != w->parentWidget() ||
                qMin(shared.width(), shared.height()) <= 1)
                continue;
            const QSet<QString> pair{w->objectName(), other->objectName()};
            EXPECT_EQ(pair, (QSet<QString>{QStringLiteral("Command1"), QStringLiteral("Frame1")}))
                << w->objectName().toStdString() << " overlaps " << other->objectName().toStdString();
        }
    }
    const QObjectList& stacking = form->children();
    EXPECT_GT(stacking.indexOf(control<QWidget>("Command1")), stacking.indexOf(control<QWidget>("Frame1")));
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
