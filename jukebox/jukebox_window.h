#pragma once

#include <QString>
#include <QtGlobal>

namespace velmor {

// What the jukebox report handling needs of the main window.
class JukeboxWindow {
public:
    virtual ~JukeboxWindow() = default;

    virtual void setLabel1Caption(const QString& caption) = 0;
    // 0 unchecked, 1 checked.
    [[nodiscard]] virtual qint16 check1Value() const = 0;
    // The path of the now-playing file, as the user left it.
    [[nodiscard]] virtual QString cdInfoText() const = 0;
};

} // namespace velmor
