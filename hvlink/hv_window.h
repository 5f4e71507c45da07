#pragma once

#include <QString>

namespace velmor {

enum class HvLabel { DDECommand, DDECommandAcknowledge, DDEMessage, DDEMessageAcknowledge, Label2, Label5 };

// What the HomeVision link needs of the main window: label captions and the message log.
class HvWindow {
public:
    virtual ~HvWindow() = default;

    [[nodiscard]] virtual QString caption(HvLabel label) const = 0;
    virtual void setCaption(HvLabel label, const QString& caption) = 0;

    [[nodiscard]] virtual qsizetype messageLogCount() const = 0;
    virtual void removeMessageLogEntry(qsizetype index) = 0;
    virtual void appendMessageLogEntry(const QString& entry) = 0;
    // Highlights the entry and scrolls it into view.
    virtual void selectMessageLogEntry(qsizetype index) = 0;
};

// A modal box titled "Velmor" with one OK button and no icon; returns when the user closed it.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual void show(const QString& text) = 0;
};

} // namespace velmor
