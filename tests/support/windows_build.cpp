#include "tests/support/windows_build.h"

#include <QFileInfo>
#include <QProcess>

namespace velmor::test {

namespace {

const QString WineFolder = QStringLiteral("/usr/lib/wine");

} // namespace

WindowsBuild WindowsBuild::find() {
    WindowsBuild build;
    const bool named = qEnvironmentVariableIsSet("VELMOR_WINDOWS_BUILD");
    build.m_folder =
        named ? qEnvironmentVariable("VELMOR_WINDOWS_BUILD") : QStringLiteral(VELMOR_DEFAULT_WINDOWS_BUILD);
    build.m_required = named && !build.m_folder.isEmpty();
    return build;
}

QString WindowsBuild::missing() const {
    if (m_folder.isEmpty())
        return QStringLiteral("VELMOR_WINDOWS_BUILD is empty: this run leaves the Windows build out");
    for (const QString& file : {wine(), relayProgram(), homeVisionProgram(),
                                m_folder + QStringLiteral("/wine-prefix/system.reg")}) {
        if (!QFileInfo::exists(file))
            return file + QStringLiteral(" is missing: scripts/windows.sh makes the Windows build");
    }
    return {};
}

QString WindowsBuild::wine() const {
    return WineFolder + QStringLiteral("/wine64");
}

QString WindowsBuild::relayProgram() const {
    return m_folder + QStringLiteral("/relay/velmor-dde-relay.exe");
}

QString WindowsBuild::homeVisionProgram() const {
    return m_folder + QStringLiteral("/homevision/velmor-homevision.exe");
}

QString WindowsBuild::benchHomeVisionProgram() const {
    return m_folder + QStringLiteral("/bench/velmor-bench-homevision.exe");
}

QProcessEnvironment WindowsBuild::environment(QProcessEnvironment base) const {
    base.insert(QStringLiteral("WINEPREFIX"), m_folder + QStringLiteral("/wine-prefix"));
    base.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    return base;
}

void WindowsBuild::endSession() const {
    QProcess server;
    server.setProcessEnvironment(environment());
    server.start(WineFolder + QStringLiteral("/wineserver"), {QStringLiteral("-k")});
    server.waitForFinished(10'000);
    // -k only asks; -w waits until the server and every process of the prefix are gone.
    server.start(WineFolder + QStringLiteral("/wineserver"), {QStringLiteral("-w")});
    server.waitForFinished(10'000);
}

} // namespace velmor::test
