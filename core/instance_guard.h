#pragma once

#include <QObject>
#include <QString>

namespace velmor {

// Keeps one copy of the program per HomeVision: two copies on one controller link would both handle
// every message, and the jukebox would get every command twice. The claim is made where the links
// go, so copies talking to different controllers never see each other.
class InstanceGuard : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        Ours,      // this copy is the one
        Taken,     // another copy runs on the same link
        Unchecked, // it cannot be told (nowhere to claim); the copy runs on
        NotYet,    // the place does not answer now; ask again before anything opens
    };

    using QObject::QObject;
    ~InstanceGuard() override = default;

    // Claims the place of the running copy; held until the object or the process ends.
    [[nodiscard]] virtual Claim claim() = 0;
    // Best effort, after claim() said Taken: asks the running copy to show its window. Whether it answered.
    virtual bool activateRunning() = 0;
    // Where the claim is made, for the line a second copy prints ("this session bus").
    [[nodiscard]] virtual QString place() const = 0;

Q_SIGNALS:
    // A later copy asked this one, which holds the claim, to show its window.
    void activationRequested();
};

} // namespace velmor
