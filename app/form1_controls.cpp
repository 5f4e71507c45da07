#include "app/form1_controls.h"

#include "app/log_entry_delegate.h"
#include "app/safe_caption_painter.h"
#include "hvlink/dde_items.h"

#include <QCheckBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <limits>

namespace velmor {

namespace {

// The design was laid out in twips; at 96 dots per inch fifteen of them make a pixel.
constexpr int TwipsPerPixel = 15;

QRect fromTwips(int left, int top, int width, int height) {
    return {left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel, height / TwipsPerPixel};
}

template <typename Control> Control* place(QWidget& container, const char* name, QRect geometry) {
    auto* control = new Control(&container);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
    return control;
}

QLabel* label(QWidget& container, const char* name, QRect geometry, const QString& caption) {
    auto* control = place<QLabel>(container, name, geometry);
    // Captions show whatever HomeVision or the jukebox sent, so nothing may be read as markup, nor
    // reorder what follows it.
    control->setTextFormat(Qt::PlainText);
    new SafeCaptionPainter(*control);
    control->setWordWrap(true);
    control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    control->setText(caption);
    return control;
}

QLabel* ddeLabel(QWidget& container, const char* name, QRect geometry, const QString& caption) {
    auto* control = label(container, name, geometry, caption);
    control->setFont(designFont(QFont::Bold));
    return control;
}

QGroupBox* frame(QWidget& container, const char* name, QRect geometry, const QString& caption) {
    auto* control = place<QGroupBox>(container, name, geometry);
    control->setTitle(caption);
    return control;
}

QPushButton* button(QWidget& container, const char* name, QRect geometry, const QString& caption) {
    auto* control = place<QPushButton>(container, name, geometry);
    control->setText(caption);
    control->setAutoDefault(false);
    return control;
}

QLineEdit* textBox(QWidget& container, const char* name, QRect geometry, const QString& text) {
    auto* control = place<QLineEdit>(container, name, geometry);
    control->setMaxLength(std::numeric_limits<int>::max());
    control->setText(text);
    return control;
}

} // namespace

std::vector<QWidget*> Form1Controls::all() const {
    return {CallSoft1,  Connect,
            Frame8,     CDInfo,
            Check1,     Command1,
            Frame2,     btnClearList,
            lstMessage, DDEMessageAcknowledge,
            DDEMessage, DDECommandAcknowledge,
            DDECommand, Frame1,
            Text1,      Label2,
            Label4,     Label3,
            Label1,     Label19,
            Label5};
}

QFont designFont(QFont::Weight weight) {
    const QString family = QStringLiteral("MS Sans Serif");
    // The design's captions were measured in this narrow bitmap font; where it is missing, a font
    // of the same widths keeps them from being cut off, before the platform's own sans.
    if (QFont::substitutes(family).isEmpty())
        QFont::insertSubstitutions(family, {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                            QStringLiteral("DejaVu Sans Condensed")});
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setWeight(weight);
    return font;
}

Form1Controls createForm1Controls(QWidget& form) {
    Form1Controls c;
    c.CallSoft1 = place<QWidget>(form, "CallSoft1", fromTwips(6360, 5760, 495, 255));
    c.Connect = button(form, "Connect", fromTwips(4680, 5760, 1335, 255), QStringLiteral("Hangup"));
    c.Frame8 = frame(form, "Frame8", fromTwips(120, 4680, 7335, 855), QStringLiteral("CD Info Path"));
    c.CDInfo = textBox(*c.Frame8, "CDInfo", fromTwips(120, 360, 6135, 285),
                       QStringLiteral("h:\\progra~1\\homevi~1\\cdnow.txt"));
    c.Check1 = place<QCheckBox>(form, "Check1", fromTwips(480, 2400, 2175, 495));
    c.Check1->setText(QStringLiteral("Display Track Info on TV"));
    c.Check1->setChecked(true);
    c.Command1 = button(form, "Command1", fromTwips(4200, 3960, 1575, 255), QStringLiteral("Send Command"));
    c.Frame2 = frame(form, "Frame2", fromTwips(120, 120, 7335, 2175), QStringLiteral("HV DDE"));
    c.btnClearList =
        button(*c.Frame2, "btnClearList", fromTwips(3840, 240, 1095, 255), QStringLiteral("Clear List"));
    c.lstMessage = place<MessageLogList>(*c.Frame2, "lstMessage", fromTwips(3840, 600, 3375, 1425));
    c.lstMessage->setSelectionMode(QAbstractItemView::SingleSelection);
    c.lstMessage->setSortingEnabled(false);
    c.lstMessage->setItemDelegate(new LogEntryDelegate(c.lstMessage));
    c.DDEMessageAcknowledge = ddeLabel(*c.Frame2, "DDEMessageAcknowledge", fromTwips(120, 1800, 2415, 255),
                                       DdeDesignCaptions.DDEMessageAcknowledge);
    c.DDEMessage =
        ddeLabel(*c.Frame2, "DDEMessage", fromTwips(120, 1080, 3495, 735), DdeDesignCaptions.DDEMessage);
    c.DDECommandAcknowledge = ddeLabel(*c.Frame2, "DDECommandAcknowledge", fromTwips(120, 600, 2895, 255),
                                       DdeDesignCaptions.DDECommandAcknowledge);
    c.DDECommand =
        ddeLabel(*c.Frame2, "DDECommand", fromTwips(120, 360, 2895, 255), DdeDesignCaptions.DDECommand);
    c.Frame1 = frame(form, "Frame1", fromTwips(120, 2880, 7335, 1575), QStringLiteral("CDJ Messages"));
    c.Text1 = textBox(*c.Frame1, "Text1", fromTwips(120, 1080, 3735, 285), QString());
    c.Label2 = label(*c.Frame1, "Label2", fromTwips(1320, 600, 5775, 255), QString());
    c.Label4 = label(*c.Frame1, "Label4", fromTwips(120, 600, 1095, 255), QStringLiteral("Last Sent:"));
    c.Label3 = label(*c.Frame1, "Label3", fromTwips(120, 240, 1215, 255), QStringLiteral("Last Recieved:"));
    c.Label1 = label(*c.Frame1, "Label1", fromTwips(1320, 240, 5775, 255), QString());
    c.Label19 = label(form, "Label19", fromTwips(120, 5640, 3015, 255), QString());
    c.Label5 = label(form, "Label5", fromTwips(3000, 2520, 3495, 375), QString());

    // The button belongs to the window but sits over the frame created after it.
    c.Command1->raise();

    QWidget::setTabOrder(c.lstMessage, c.btnClearList);
    QWidget::setTabOrder(c.btnClearList, c.Command1);
    QWidget::setTabOrder(c.Command1, c.Text1);
    QWidget::setTabOrder(c.Text1, c.Check1);
    QWidget::setTabOrder(c.Check1, c.CDInfo);
    QWidget::setTabOrder(c.CDInfo, c.Connect);
    return c;
}

} // namespace velmor
