#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace velmor::test {

// The Windows build that scripts/windows.sh makes: the DDE relay and the Windows HomeVision stand-in,
// run under Debian's wine in the build's own prefix (headless, made by the script).
class WindowsBuild {
public:
    // The build VELMOR_WINDOWS_BUILD names, which must then be complete, or else this tree's
    // build/windows when it is there. VELMOR_WINDOWS_BUILD set but empty leaves it out of the run.
    [[nodiscard]] static WindowsBuild find();

    // What is missing for a run under wine; empty when nothing is.
    [[nodiscard]] QString missing() const;
    // Whether a missing build is a failure rather than a reason to skip.
    [[nodiscard]] bool isRequired() const { return m_required; }

    [[nodiscard]] QString wine() const;
    [[nodiscard]] QString relayProgram() const;
    [[nodiscard]] QString homeVisionProgram() const;
    // The round-trip benchmark's own HomeVision.
    [[nodiscard]] QString benchHomeVisionProgram() const;
    // The environment a program runs in under wine: the given one, with the prefix and a quiet wine.
    [[nodiscard]] QProcessEnvironment
    environment(QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;
    // Ends every process of the prefix, whoever left it running.
    void endSession() const;

private:
    // Empty when the run leaves the Windows build out.
    QString m_folder;
    bool m_required = false;
};

} // namespace velmor::test
