#include "app/form1_controls.h"

#include "app/form1_design.h"
#include "app/log_entry_delegate.h"
#include "app/safe_caption_painter.h"

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

template <typename Control> Control* place(QWidget& container, const ControlDesign& design) {
    auto* control = new Control(&container);
    control->setObjectName(QLatin1String(design.name));
    control->setGeometry(design.geometry());
    return control;
}

QLabel* label(QWidget& container, const ControlDesign& design) {
    auto* control = place<QLabel>(container, design);
    // Captions show whatever HomeVision or the jukebox sent, so nothing may be read as markup, nor
    // reorder what follows it.
    control->setTextFormat(Qt::PlainText);
    new SafeCaptionPainter(*control);
    control->setWordWrap(true);
    control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    control->setText(QString::fromUtf8(design.caption));
    return control;
}

QLabel* ddeLabel(QWidget& container, const ControlDesign& design) {
    auto* control = label(container, design);
    control->setFont(designFont(QFont::Bold));
    return control;
}

QGroupBox* frame(QWidget& container, const ControlDesign& design) {
    auto* control = place<QGroupBox>(container, design);
    control->setTitle(QString::fromUtf8(design.caption));
    return control;
}

QPushButton* button(QWidget& container, const ControlDesign& design) {
    auto* control = place<QPushButton>(container, design);
    control->setText(QString::fromUtf8(design.caption));
    control->setAutoDefault(false);
    return control;
}

QLineEdit* textBox(QWidget& container, const ControlDesign& design) {
    auto* control = place<QLineEdit>(container, design);
    control->setMaxLength(std::numeric_limits<int>::max());
    control->setText(QString::fromUtf8(design.caption));
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
    c.CallSoft1 = place<QWidget>(form, designOf("CallSoft1"));
    c.Connect = button(form, designOf("Connect"));
    c.Frame8 = frame(form, designOf("Frame8"));
    c.CDInfo = textBox(*c.Frame8, designOf("CDInfo"));
    c.Check1 = place<QCheckBox>(form, designOf("Check1"));
    c.Check1->setText(QString::fromUtf8(designOf("Check1").caption));
    c.Check1->setChecked(true);
    c.Command1 = button(form, designOf("Command1"));
    c.Frame2 = frame(form, designOf("Frame2"));
    c.btnClearList = button(*c.Frame2, designOf("btnClearList"));
    c.lstMessage = place<MessageLogList>(*c.Frame2, designOf("lstMessage"));
    c.lstMessage->setSelectionMode(QAbstractItemView::SingleSelection);
    c.lstMessage->setSortingEnabled(false);
    c.lstMessage->setItemDelegate(new LogEntryDelegate(c.lstMessage));
    c.DDEMessageAcknowledge = ddeLabel(*c.Frame2, designOf("DDEMessageAcknowledge"));
    c.DDEMessage = ddeLabel(*c.Frame2, designOf("DDEMessage"));
    c.DDECommandAcknowledge = ddeLabel(*c.Frame2, designOf("DDECommandAcknowledge"));
    c.DDECommand = ddeLabel(*c.Frame2, designOf("DDECommand"));
    c.Frame1 = frame(form, designOf("Frame1"));
    c.Text1 = textBox(*c.Frame1, designOf("Text1"));
    c.Label2 = label(*c.Frame1, designOf("Label2"));
    c.Label4 = label(*c.Frame1, designOf("Label4"));
    c.Label3 = label(*c.Frame1, designOf("Label3"));
    c.Label1 = label(*c.Frame1, designOf("Label1"));
    c.Label19 = label(form, designOf("Label19"));
    c.Label5 = label(form, designOf("Label5"));

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
