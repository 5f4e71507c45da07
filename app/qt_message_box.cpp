#include "app/qt_message_box.h"

#include <QMessageBox>

namespace velmor {

void QtMessageBox::show(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Velmor"), text, QMessageBox::Ok, m_owner);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace velmor
