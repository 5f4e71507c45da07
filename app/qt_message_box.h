#pragma once

#include "hvlink/hv_window.h"

#include <QPointer>
#include <QWidget>

namespace velmor {

class QtMessageBox : public MessageBox {
public:
    // The box stands over this window once it is set.
    void setOwner(QWidget* owner) { m_owner = owner; }
    void show(const QString& text) override;

private:
    QPointer<QWidget> m_owner;
};

} // namespace velmor
