#pragma once

#include "app/message_log_list.h"

#include <QFont>

#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace velmor {

// The window's controls, named as the window names them. The window owns them through Qt's parenting.
struct Form1Controls {
    QWidget* CallSoft1 = nullptr; // the place of the hosted telephony control
    QPushButton* Connect = nullptr;
    QGroupBox* Frame8 = nullptr;
    QLineEdit* CDInfo = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* Command1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QPushButton* btnClearList = nullptr;
    MessageLogList* lstMessage = nullptr;
    QLabel* DDEMessageAcknowledge = nullptr;
    QLabel* DDEMessage = nullptr;
    QLabel* DDECommandAcknowledge = nullptr;
    QLabel* DDECommand = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label19 = nullptr;
    QLabel* Label5 = nullptr;

    // Every control, in the order the window creates them.
    [[nodiscard]] std::vector<QWidget*> all() const;
};

// The font of the design: "MS Sans Serif", 8.25 point.
[[nodiscard]] QFont designFont(QFont::Weight weight = QFont::Normal);

// Creates every control with its design position, size, caption and tab order.
[[nodiscard]] Form1Controls createForm1Controls(QWidget& form);

} // namespace velmor
